// Pieces shared by the fake programs, which link only the program's common
// helpers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// Puts keys into the input of this process's console, as if typed there.
inline void TypeIntoConsole(const std::string& keys) {
  HANDLE input =
      CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (input == INVALID_HANDLE_VALUE) return;
  std::vector<INPUT_RECORD> records;
  for (char c : keys) {
    for (BOOL down : {TRUE, FALSE}) {
      INPUT_RECORD record = {};
      record.EventType = KEY_EVENT;
      record.Event.KeyEvent.bKeyDown = down;
      record.Event.KeyEvent.wRepeatCount = 1;
      record.Event.KeyEvent.wVirtualKeyCode = c == '\r' ? VK_RETURN : LOBYTE(VkKeyScanA(c));
      record.Event.KeyEvent.uChar.AsciiChar = c;
      records.push_back(record);
    }
  }
  DWORD written = 0;
  WriteConsoleInputA(input, records.data(), static_cast<DWORD>(records.size()), &written);
  CloseHandle(input);
}

// Starts program (found on PATH) with this process's inheritable handles,
// such as the pipe its output goes to, and leaves it running.
inline void StartInheriting(const std::string& program) {
  std::string commandLine = program;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
}

}  // namespace fake
