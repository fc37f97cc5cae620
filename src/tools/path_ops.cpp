// Path operations shared by the tool runs and their callers.
#include "tools/path_ops.h"

#include <windows.h>

#include <vector>

#include "common/dbcs_text.h"
#include "common/win_handle.h"

void ResolveLongName(std::string& path) {
  // A wildcard would make the search report some other file.
  if (path.empty() || ContainsAnyChar(path, "*?")) return;
  WIN32_FIND_DATAA found = {};
  UniqueFindHandle search(FindFirstFileA(path.c_str(), &found));
  if (!search) return;
  path = DirectoryOf(path) + found.cFileName;
}

void StripExtension(std::string& path) {
  std::size_t slash = FindLastChar(path, '\\');
  std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = FindLastChar(path, '.');
  if (dot != std::string::npos && dot >= fileStart) path.erase(dot);
}

std::string FullPathOf(const std::string& path) {
  DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::vector<char> full(needed + 1, '\0');
  DWORD length = GetFullPathNameA(path.c_str(), needed + 1, full.data(), nullptr);
  return length == 0 || length > needed ? path : std::string(full.data(), length);
}

std::string ArgumentPath(std::string argument) {
  if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
    argument = argument.substr(1, argument.size() - 2);
  return argument.empty() ? argument : FullPathOf(argument);
}
