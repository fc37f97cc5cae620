// Path forms and existence checks.
#include "common/file_paths.h"

#include <windows.h>

#include "common/dbcs_text.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool EndsInBackslash(const std::string& folder) {
  return !folder.empty() && FindLastChar(folder, '\\') == folder.size() - 1;
}

DWORD AttributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

}  // namespace

bool IsNetworkPath(const std::string& path) { return path.compare(0, 2, "\\\\") == 0; }

bool IsFullPath(const std::string& path) {
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
  if (path.size() < 5 || !IsNetworkPath(path)) return false;
  const std::size_t serverEnd = FindFirstChar(path, '\\', 2);
  if (serverEnd == std::string::npos || serverEnd == 2) return false;
  const std::string server = path.substr(2, serverEnd - 2);
  if (server == "." || server == "?") return false;
  return serverEnd + 1 < path.size() && path[serverEnd + 1] != '\\';
}

std::string WithoutTrailingBackslash(std::string folder) {
  if (folder.size() > 1 && EndsInBackslash(folder)) folder.pop_back();
  return folder;
}

std::string TrimmedFolder(std::string folder) {
  while (!folder.empty() && (folder.back() == ' ' || folder.back() == '"')) folder.pop_back();
  std::size_t start = 0;
  while (start < folder.size() && (folder[start] == ' ' || folder[start] == '"')) ++start;
  folder.erase(0, start);
  while (EndsInBackslash(folder)) folder.pop_back();
  return folder;
}

bool IsExistingFile(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFolder(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
