// The registry and file-system probes behind FindInstalledEditors.
#include "editor/editor_finder.h"

#include <windows.h>

#include "common/dbcs_text.h"
#include "common/win_handle.h"
#include "editor/known_editors.h"
#include "settings/reg_key.h"
#include "tools/path_ops.h"

namespace {

const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Environment(const char* name) {
  char value[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// A registry path text: %variables% expanded, surrounding quotes and a
// trailing ",<icon index>" removed.
std::string CleanPath(const std::string& stored) {
  char expanded[MAX_PATH];
  const DWORD length = ExpandEnvironmentStringsA(stored.c_str(), expanded, sizeof expanded);
  std::string path = length > 0 && length <= sizeof expanded ? expanded : stored;
  const std::size_t comma = FindLastChar(path, ',');
  if (comma != std::string::npos && FindLastChar(path, '\\') < comma) path.erase(comma);
  if (path.size() >= 2 && path.front() == '"')
    path = path.substr(1, FindFirstChar(path, '"', 1) - 1);
  return path;
}

std::string InFolder(const std::string& folder, const char* program) {
  if (folder.empty()) return std::string();
  const bool hasSeparator = FindLastChar(folder, '\\') == folder.size() - 1;
  return folder + (hasSeparator ? "" : "\\") + program;
}

bool IsProgram(const std::string& path, const char* program) {
  return lstrcmpiA(FileNameOf(path).c_str(), program) == 0 && IsExistingFile(path);
}

// Both registry views and both roots: a 32-bit program's entries and a
// per-user installation's.
template <typename Visit>
void ForEachKey(const std::string& path, Visit visit) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      RegKey key;
      if (key.Open(root, path.c_str(), view)) visit(key, root, view);
    }
}

std::string FromAppPaths(const char* program) {
  std::string found;
  ForEachKey(kAppPathsKey + std::string(program), [&](const RegKey& key, HKEY, REGSAM) {
    std::string stored;
    if (found.empty() && key.ReadAll("", stored) && IsProgram(CleanPath(stored), program))
      found = CleanPath(stored);
  });
  return found;
}

std::string FromUninstallEntries(const char* program) {
  std::string found;
  ForEachKey(kUninstallKey, [&](const RegKey& uninstall, HKEY root, REGSAM view) {
    for (const std::string& name : uninstall.SubkeyNames()) {
      if (!found.empty()) return;
      RegKey entry;
      if (!entry.Open(root, (kUninstallKey + ("\\" + name)).c_str(), view)) continue;
      std::string icon, location;
      if (entry.ReadAll("DisplayIcon", icon) && IsProgram(CleanPath(icon), program))
        found = CleanPath(icon);
      else if (entry.ReadAll("InstallLocation", location) &&
               IsProgram(InFolder(CleanPath(location), program), program))
        found = InFolder(CleanPath(location), program);
    }
  });
  return found;
}

std::vector<std::string> ProgramFolders() {
  std::vector<std::string> roots;
  for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"})
    roots.push_back(Environment(name));
  const std::string local = Environment("LOCALAPPDATA");
  if (!local.empty()) roots.push_back(InFolder(local, "Programs"));
  std::vector<std::string> folders;
  for (const std::string& root : roots) {
    if (root.empty()) continue;
    WIN32_FIND_DATAA entry;
    UniqueFindHandle find(FindFirstFileA(InFolder(root, "*").c_str(), &entry));
    if (!find) continue;
    do {
      const std::string name = entry.cFileName;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
        folders.push_back(InFolder(root, name.c_str()));
    } while (FindNextFileA(find.Get(), &entry));
  }
  return folders;
}

std::string FromProgramFolders(const std::vector<std::string>& folders, const char* program) {
  for (const std::string& folder : folders)
    if (IsExistingFile(InFolder(folder, program))) return InFolder(folder, program);
  return std::string();
}

}  // namespace

std::vector<FoundEditor> FindInstalledEditors() {
  std::vector<FoundEditor> found;
  const std::vector<std::string> folders = ProgramFolders();
  for (const KnownEditor& editor : kKnownEditors) {
    std::string path = FromAppPaths(editor.program);
    if (path.empty()) path = FromUninstallEntries(editor.program);
    if (path.empty()) path = FromProgramFolders(folders, editor.program);
    if (!path.empty()) found.push_back({editor.name, path});
  }
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, sizeof system);
  if (length > 0 && length < sizeof system)
    found.push_back({kNotepadName, InFolder(std::string(system, length), kNotepadProgram)});
  return found;
}
