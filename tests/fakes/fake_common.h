// Pieces shared by the fake programs, which link only the program's common
// helpers.
#pragma once

#include <windows.h>

#include <string>

#include "common/system_text.h"

namespace fake {

// Appends record to the log file named by the variable logVariable, if set.
// Several fakes may start at once; retry briefly while another holds the log.
inline void AppendToLog(const char* logVariable, const std::string& record) {
  std::string log = EnvironmentValue(logVariable);
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
