// Helpers shared by the tests.
#include "test_support.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstring>

#include "common/system_text.h"
#include "common/win_handle.h"
#include "settings/app_settings.h"
#include "tools/tool_run.h"

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string SourcePath(const std::string& relative) {
  return WindowsPath(std::string(PELLARO_SOURCE_DIR) + "/" + relative);
}
std::string FakesFolder() { return WindowsPath(std::string(PELLARO_BINARY_DIR) + "/fakes"); }
std::string ProgramsFolder() { return WindowsPath(std::string(PELLARO_BINARY_DIR) + "/bin"); }
std::string BridgeFolder() { return WindowsPath(std::string(PELLARO_BINARY_DIR) + "/jdkbridge"); }
std::string HostJdkRelease() {
  const std::string release = PELLARO_JDK_RELEASE;
  return release.empty() ? release : WindowsPath(release);
}

std::string Jdk25Home() {
  const char kJvms[] = "/usr/lib/jvm/";
  auto hasJavac = [&](const std::string& name) {
    return FileExists(WindowsPath(kJvms + name + "/bin/javac"));
  };
  if (hasJavac("temurin-25-jdk-amd64")) return kJvms + std::string("temurin-25-jdk-amd64");
  WIN32_FIND_DATAA entry;
  UniqueFindHandle search(FindFirstFileA((WindowsPath(kJvms) + "*25*").c_str(), &entry));
  if (!search) return std::string();
  do
    if (hasJavac(entry.cFileName)) return kJvms + std::string(entry.cFileName);
  while (FindNextFileA(search.Get(), &entry));
  return std::string();
}

TempFolder::TempFolder(const std::string& nameHint) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::string(base) + "pellaro-" + nameHint + "-" +
            std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\";
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

ScopedEnv::ScopedEnv(const std::string& name, const std::string& value) : name_(name) {
  had_ = GetEnvironmentVariableA(name.c_str(), nullptr, 0) > 0;
  old_ = EnvironmentValue(name);
  SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}

ScopedEnv::~ScopedEnv() { SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr); }

std::string PathWith(const std::string& folder) { return folder + ";" + EnvironmentValue("PATH"); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << Utf8(path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path) {
  std::string folder = path;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = folder + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

std::vector<std::vector<std::string>> ReadFakeLog(const std::string& path) {
  std::vector<std::vector<std::string>> records;
  std::string text = ReadWholeFile(path);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::vector<std::string> fields;
    std::string line = text.substr(start, end - start);
    std::size_t fieldStart = 0;
    for (;;) {
      std::size_t tab = line.find('\t', fieldStart);
      fields.push_back(line.substr(fieldStart, tab - fieldStart));
      if (tab == std::string::npos) break;
      fieldStart = tab + 1;
    }
    // The interpreter leaves the blanks around the redirections it takes
    // off the tool's line: blanks at the end do not count.
    std::string& last = fields.back();
    while (!last.empty() && last.back() == ' ') last.pop_back();
    records.push_back(fields);
    start = end + 2;
  }
  return records;
}

void DeleteSettingsKeys() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\DrussetAPP"); }

void ResetSettingsInMemory() {
  AppSettings& s = Settings;
  s.editor[0] = s.width[0] = s.height[0] = '\0';
  s.Forground = 1;
  s.PxsMode = 0;
  s.LineJump[0] = '\0';
  s.Kekka = 0;
  s.LogSizeX = s.LogSizeY = s.LogPosX = s.LogPosY = s.WindowX = s.WindowY = 0;
  s.DOSPrompt = 0;
  s.ClassCmdLine[0] = s.HTMLRead[0] = '\0';
  s.Fukusuu = 0;
  s.Param.clear();
  s.JdkFolder[0] = '\0';
  s.FastJavac = 1;
  s.ShowHints = 1;
  s.font = DefaultResultFont();
  for (int i = 0; i < kSlotCount; ++i) {
    s.Cmd[i] = CommandSlot();
    s.Cmd[i].ExeMode = static_cast<DWORD>(i + 1);
  }
  std::memset(ResultBuffer, 0, sizeof ResultBuffer);
}

std::string Utf8(const std::string& ansi) { return Recode(ansi, CP_ACP, CP_UTF8); }

DWORD RunProgram(const std::string& commandLine) {
  std::string writable = commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &writable[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return GetLastError();
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.Get(), &code);
  return code;
}

namespace {

void DeleteKeyIfEmpty(const std::string& path) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  UniqueRegKey owned(handle);
  DWORD subkeys = 0;
  DWORD values = 0;
  LONG status = RegQueryInfoKeyA(owned.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                 &values, nullptr, nullptr, nullptr, nullptr);
  owned.Reset();
  if (status == ERROR_SUCCESS && subkeys == 0 && values == 0)
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace

ScopedWineSetting::ScopedWineSetting(const std::string& program, const std::string& subkey,
                                     const std::string& name, const std::string& value)
    : programKey_("Software\\Wine\\AppDefaults\\" + program),
      settingKey_(subkey.empty() ? programKey_ : programKey_ + "\\" + subkey),
      name_(name) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, settingKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return;
  UniqueRegKey owned(handle);
  RegSetValueExA(owned.Get(), name_.c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

ScopedWineSetting::~ScopedWineSetting() {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, settingKey_.c_str(), 0, KEY_ALL_ACCESS, &handle) ==
      ERROR_SUCCESS) {
    UniqueRegKey owned(handle);
    RegDeleteValueA(owned.Get(), name_.c_str());
  }
  DeleteKeyIfEmpty(settingKey_);
  DeleteKeyIfEmpty(programKey_);
}

bool ProcessEnds(DWORD id, DWORD milliseconds) {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
  return !process || WaitForSingleObject(process.Get(), milliseconds) == WAIT_OBJECT_0;
}

std::vector<std::pair<DWORD, std::string>> ChildProcesses(DWORD parent) {
  std::vector<std::pair<DWORD, std::string>> children;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return children;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry))
    if (entry.th32ParentProcessID == parent)
      children.emplace_back(entry.th32ProcessID, entry.szExeFile);
  return children;
}

std::vector<DWORD> LoggedProcessIds(const std::string& log) {
  std::vector<DWORD> ids;
  for (const auto& record : ReadFakeLog(log))
    if (record.size() == 2 && record[0] == "pid")
      ids.push_back(std::strtoul(record[1].c_str(), nullptr, 10));
  return ids;
}
