// Where JDKs are installed, which is newest, and which one runs use.
#include "java/jdk_finder.h"

#include <windows.h>

#include <algorithm>

#include "common/dbcs_text.h"
#include "common/file_paths.h"
#include "common/system_text.h"
#include "common/win_handle.h"
#include "settings/reg_key.h"

namespace {

// Installers' registry keys: each subkey of key (one per version) holds the
// JDK's folder in value, in the subkey below when there is one.
struct RegistryPlace {
  const char* key;
  const char* below;
  const char* value;
};
const RegistryPlace kRegistryPlaces[] = {
    {"SOFTWARE\\JavaSoft\\JDK", "", "JavaHome"},
    {"SOFTWARE\\JavaSoft\\Java Development Kit", "", "JavaHome"},
    {"SOFTWARE\\Eclipse Adoptium\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\AdoptOpenJDK\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Microsoft\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Azul Systems\\Zulu", "", "InstallationPath"},
};

// Vendors' folders under the program folders, one subfolder per JDK.
const char* const kVendorFolders[] = {"Java", "Eclipse Adoptium", "Microsoft", "Amazon Corretto",
                                      "Zulu", "BellSoft"};

// Saturates rather than overflows on a long run of digits.
constexpr unsigned long kLargestNumber = 100000000;

bool IsReleaseKeyChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c) || c == '_';
}

bool SameFolder(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string ParentOf(const std::string& folder) { return TrimmedFolder(DirectoryOf(folder)); }

Jdk Described(const std::string& folder, const std::string& bin, const std::string& name) {
  Jdk jdk;
  jdk.folder = folder;
  jdk.bin = bin;
  jdk.release = ParseJdkRelease(ReadWholeFile(folder + "\\release"));
  auto version = jdk.release.find("JAVA_VERSION");
  jdk.version = version != jdk.release.end() ? version->second : VersionFromName(name);
  jdk.hasAppletviewer = IsExistingFile(bin + "\\appletviewer.exe");
  return jdk;
}

// The path a link such as Oracle's javapath\javac.exe stands for; the path
// itself when it is none or cannot be followed.
std::string FinalPathOf(const std::string& path) {
  UniqueHandle file(CreateFileA(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return path;
  char buffer[2 * MAX_PATH];
  const DWORD length = GetFinalPathNameByHandleA(file.Get(), buffer, sizeof buffer,
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= sizeof buffer) return path;
  std::string real(buffer, length);
  if (real.compare(0, 8, "\\\\?\\UNC\\") == 0)
    real = "\\\\" + real.substr(8);
  else if (real.compare(0, 4, "\\\\?\\") == 0)
    real = real.substr(4);
  return IsExistingFile(real) ? real : path;
}

std::optional<Jdk> JdkOnPath() {
  const std::string path = EnvironmentValue("PATH");
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = FindFirstChar(path, ';', start);
    if (end == std::string::npos) end = path.size();
    const std::string entry = TrimmedFolder(path.substr(start, end - start));
    start = end + 1;
    if (entry.empty() || !IsExistingFile(entry + "\\javac.exe")) continue;
    const std::string bin = TrimmedFolder(DirectoryOf(FinalPathOf(entry + "\\javac.exe")));
    const std::string folder = ParentOf(bin);
    Jdk jdk = Described(folder, bin, FileNameOf(folder));
    jdk.onPath = true;
    return jdk;
  }
  return std::nullopt;
}

void AddRegistryJdks(std::vector<Jdk>& found) {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      for (const RegistryPlace& place : kRegistryPlaces) {
        RegKey versions;
        if (!versions.Open(root, place.key, view)) continue;
        for (const std::string& name : versions.SubkeyNames()) {
          RegKey key;
          const std::string path = std::string(place.key) + "\\" + name + place.below;
          std::string folder;
          if (!key.Open(root, path.c_str(), view) || !key.ReadAll(place.value, folder)) continue;
          if (auto jdk = JdkIn(folder, name)) found.push_back(*jdk);
        }
      }
    }
  }
}

void AddProgramFolderJdks(std::vector<Jdk>& found) {
  std::string programs = EnvironmentValue("ProgramW6432");
  if (programs.empty()) programs = EnvironmentValue("ProgramFiles");
  std::vector<std::string> roots = {TrimmedFolder(programs),
                                    TrimmedFolder(EnvironmentValue("ProgramFiles(x86)"))};
  if (SameFolder(roots[0], roots[1])) roots.pop_back();
  for (const std::string& root : roots) {
    if (root.empty()) continue;
    for (const char* vendor : kVendorFolders) {
      const std::string folder = root + "\\" + vendor + "\\";
      WIN32_FIND_DATAA entry;
      UniqueFindHandle search(FindFirstFileA((folder + "*").c_str(), &entry));
      if (!search) continue;
      do {
        const std::string name = entry.cFileName;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..")
          continue;
        if (auto jdk = JdkIn(folder + name, name)) found.push_back(*jdk);
      } while (FindNextFileA(search.Get(), &entry));
    }
  }
}

struct KeptSearch {
  JdkSearch search;
  ULONGLONG madeAt = 0;
};

std::optional<KeptSearch>& CachedSearch() {
  static std::optional<KeptSearch> kept;
  return kept;
}

// Whether every JDK the search found still has its javac.
bool StillInstalled(const JdkSearch& search) {
  if (search.onPath && !IsExistingFile(search.onPath->bin + "\\javac.exe")) return false;
  for (const Jdk& jdk : search.found)
    if (!IsExistingFile(jdk.bin + "\\javac.exe")) return false;
  return true;
}

}  // namespace

JdkRelease ParseJdkRelease(const std::string& text) {
  JdkRelease release;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // The key is ASCII letters, digits and underscores up to the "=".
    std::size_t keyEnd = 0;
    while (keyEnd < line.size() && IsReleaseKeyChar(line[keyEnd])) ++keyEnd;
    if (keyEnd == 0 || keyEnd == line.size() || line[keyEnd] != '=') continue;
    std::string value = line.substr(keyEnd + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    release[line.substr(0, keyEnd)] = value;
  }
  return release;
}

std::vector<unsigned long> VersionNumbers(const std::string& text) {
  std::vector<unsigned long> numbers;
  for (std::size_t i = 0; i < text.size();) {
    if (!IsDigit(text[i])) {
      ++i;
      continue;
    }
    unsigned long number = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
      number = std::min(kLargestNumber, number * 10 + static_cast<unsigned long>(text[i] - '0'));
    numbers.push_back(number);
  }
  if (numbers.size() > 1 && numbers[0] == 1) numbers.erase(numbers.begin());
  return numbers;
}

int CompareJdkVersions(const std::string& a, const std::string& b) {
  const std::vector<unsigned long> x = VersionNumbers(a);
  const std::vector<unsigned long> y = VersionNumbers(b);
  for (std::size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
    const unsigned long p = i < x.size() ? x[i] : 0;
    const unsigned long q = i < y.size() ? y[i] : 0;
    if (p != q) return p < q ? -1 : 1;
  }
  return 0;
}

std::string VersionFromName(const std::string& name) {
  for (std::size_t i = 0; i < name.size(); i += CharLengthAt(name, i))
    if (IsDigit(name[i])) return name.substr(i);
  return std::string();
}

std::vector<Jdk> NewestFirst(std::vector<Jdk> candidates) {
  std::vector<Jdk> unique;
  for (Jdk& candidate : candidates) {
    if (std::none_of(unique.begin(), unique.end(),
                     [&](const Jdk& kept) { return SameFolder(kept.folder, candidate.folder); }))
      unique.push_back(std::move(candidate));
  }
  std::stable_sort(unique.begin(), unique.end(), [](const Jdk& a, const Jdk& b) {
    return CompareJdkVersions(a.version, b.version) > 0;
  });
  return unique;
}

const Jdk* PickRunJdk(const JdkSearch& search) {
  if (search.setting) return &*search.setting;
  if (search.onPath) return &*search.onPath;
  return search.found.empty() ? nullptr : &search.found.front();
}

const Jdk* PickAppletJdk(const JdkSearch& search) {
  const Jdk* run = PickRunJdk(search);
  if (run && run->hasAppletviewer) return run;
  std::vector<const Jdk*> all;
  if (search.setting) all.push_back(&*search.setting);
  if (search.onPath) all.push_back(&*search.onPath);
  for (const Jdk& jdk : search.found) all.push_back(&jdk);
  const Jdk* best = nullptr;
  for (const Jdk* jdk : all) {
    if (jdk->hasAppletviewer && (!best || CompareJdkVersions(jdk->version, best->version) > 0))
      best = jdk;
  }
  return best;
}

std::optional<Jdk> JdkIn(const std::string& given, const std::string& name) {
  std::string folder = TrimmedFolder(given);
  if (folder.empty()) return std::nullopt;
  if (!IsExistingFile(folder + "\\bin\\javac.exe")) {
    // The bin folder itself, as JAVA_HOME sometimes names it.
    if (lstrcmpiA(FileNameOf(folder).c_str(), "bin") != 0 ||
        !IsExistingFile(folder + "\\javac.exe"))
      return std::nullopt;
    folder = ParentOf(folder);
  }
  return Described(folder, folder + "\\bin", name.empty() ? FileNameOf(folder) : name);
}

JdkSearch SearchJdks(const std::string& settingFolder) {
  JdkSearch search;
  search.setting = JdkIn(settingFolder);
  search.onPath = JdkOnPath();
  std::vector<Jdk> found;
  if (auto home = JdkIn(EnvironmentValue("JAVA_HOME"))) found.push_back(*home);
  AddRegistryJdks(found);
  AddProgramFolderJdks(found);
  search.found = NewestFirst(std::move(found));
  return search;
}

JdkSearch FoundJdks(const std::string& settingFolder, unsigned long maxAgeMs) {
  std::optional<KeptSearch>& cached = CachedSearch();
  const ULONGLONG now = GetTickCount64();
  if (!cached || (!cached->search.onPath && cached->search.found.empty()) ||
      now - cached->madeAt > maxAgeMs || !StillInstalled(cached->search))
    cached = KeptSearch{SearchJdks(std::string()), now};
  JdkSearch search = cached->search;
  search.setting = JdkIn(settingFolder);
  return search;
}

void ForgetFoundJdks() { CachedSearch().reset(); }
