// A stand-in for the program the shell opens a help page with. Appends one
// record to the log named by PELLARO_FAKE_HELP_LOG and ends:
//   show-command TAB whole-command-line CR LF
// where show-command is the STARTUPINFO's wShowWindow, or "default" when its
// starter gave none.
#include <windows.h>

#include <string>

#include "fake_common.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const std::string show = (startup.dwFlags & STARTF_USESHOWWINDOW)
                               ? std::to_string(startup.wShowWindow)
                               : std::string("default");
  fake::AppendToLog("PELLARO_FAKE_HELP_LOG", show + "\t" + GetCommandLineA() + "\r\n");
  return 0;
}
