// Opening the help document beside the program.
#include "dialogs/help_file.h"

#include <windows.h>
#include <shellapi.h>

#include "common/dbcs_text.h"

namespace {

const char kHelpFileName[] = "HELP.HTML";

}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  const std::string program(path, length);
  const std::size_t slash = FindLastChar(program, '\\');
  return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

void OpenHelpFile() {
  const std::string folder = ProgramFolder();
  if (folder.empty()) return;
  const std::string help = folder + kHelpFileName;
  // A missing file would only bring the shell's own complaint.
  if (GetFileAttributesA(help.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  ShellExecuteA(nullptr, "open", help.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
