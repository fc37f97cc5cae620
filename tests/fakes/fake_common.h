// Pieces shared by the fake programs, which link nothing of the program's own.
#pragma once

#include <windows.h>

#include <string>

namespace fake {

// The variable's value; empty when it is not set.
inline std::string Env(const std::string& name) {
  char value[32768];
  DWORD length = GetEnvironmentVariableA(name.c_str(), value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// Appends record to the log file named by the variable logVariable, if set.
// Several fakes may start at once; retry briefly while another holds the log.
inline void AppendToLog(const char* logVariable, const std::string& record) {
  std::string log = Env(logVariable);
  if (log.empty()) return;
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
      CloseHandle(file);
      return;
    }
    Sleep(5);
  }
}

}  // namespace fake
