// The setup program's registry entries, written in their fixed order.
#include "setup/setup_registry.h"

#include <windows.h>
#include <shlobj.h>

#include "common/dbcs_text.h"
#include "settings/reg_key.h"

namespace {

const char kSettingsKey[] = "SoftWare\\DrussetApp\\Pellaro\\AppData";
// The file class goes among the user's own classes, which Explorer reads
// through HKEY_CLASSES_ROOT for that user: the machine's classes would need an
// administrator, and an ordinary user's setup would stop halfway.
const char kUserClasses[] = "Software\\Classes\\";
const char kExtension[] = ".java";
const char kFileClass[] = "Java Source File";
const char kFileClassName[] = "JAVA Source File";
const char kProgramName[] = "Pellaro.exe";
// The module name is read with this count, so a folder must leave room for it.
constexpr DWORD kModuleNameCount = 255;

struct Entry {
  HKEY root;
  std::string key;
  const char* name;  // "" is the key's default value
  std::string data;
};

// REG_SZ with its terminating NUL, as every reader of these values expects.
bool Write(const Entry& entry) {
  RegKey key;
  if (!key.Create(entry.root, entry.key.c_str())) return false;
  std::string bytes = entry.data;
  bytes.push_back('\0');
  return key.WriteBytes(entry.name, REG_SZ, bytes) == ERROR_SUCCESS;
}

// This program's folder with its trailing backslash; false when the name does
// not fit the buffer, since a cut name would register a wrong program.
bool ProgramFolder(std::string& folder) {
  char name[kModuleNameCount] = {};
  const DWORD length = GetModuleFileNameA(nullptr, name, kModuleNameCount);
  if (length == 0 || length >= kModuleNameCount) return false;
  const std::string path(name, length);
  const std::size_t slash = FindLastChar(path, '\\');
  if (slash == std::string::npos) return false;
  folder = path.substr(0, slash + 1);
  return true;
}

}  // namespace

bool WriteSetupRegistry(const std::string& editorPath) {
  std::string folder;
  if (!ProgramFolder(folder)) return false;
  const std::string program = folder + kProgramName;
  const std::string extension = std::string(kUserClasses) + kExtension;
  const std::string fileClass = std::string(kUserClasses) + kFileClass;
  const Entry entries[] = {
      {HKEY_CURRENT_USER, kSettingsKey, "editor", editorPath},
      {HKEY_CURRENT_USER, extension, "", kFileClass},
      {HKEY_CURRENT_USER, fileClass + "\\Shell\\Open\\Command", "", "\"" + program + "\" %1"},
      {HKEY_CURRENT_USER, fileClass + "\\Shell\\コンパイル\\Command", "",
       "\"" + program + "\" -c %1"},
      {HKEY_CURRENT_USER, fileClass + "\\DefaultIcon", "", program + ",1"},
      {HKEY_CURRENT_USER, fileClass, "", kFileClassName},
      {HKEY_CURRENT_USER, extension + "\\ShellNew", "NullFile", ""},
  };
  for (const Entry& entry : entries)
    if (!Write(entry)) return false;
  // Explorer caches icons and verbs; tell it the association changed.
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return true;
}
