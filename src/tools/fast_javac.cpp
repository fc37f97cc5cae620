// The class-data archive of javac's classes: which file, whether it can be
// used or written, and putting a new one in place.
#include "tools/fast_javac.h"

#include <windows.h>

#include <algorithm>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "common/win_handle.h"
#include "java/javac_launch.h"

namespace {

// The first four bytes of a dynamic archive.
const unsigned char kArchiveMagic[4] = {0xa8, 0xab, 0x0b, 0xf0};
const char kArchiveExtension[] = ".jsa";

void RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
}

// Makes the folder (and the one above it) when missing; whether a file can
// be made in it.
bool IsWritableFolder(const std::string& folder) {
  const std::string parent = DirectoryOf(folder.substr(0, folder.size() - 1));
  CreateDirectoryA(parent.c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string probe = folder + "probe-" + std::to_string(GetCurrentProcessId()) + ".tmp";
  UniqueHandle file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.Valid();
}

bool StartsWithArchiveMagic(const std::string& path) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  unsigned char start[sizeof kArchiveMagic] = {};
  DWORD read = 0;
  return file && ReadFile(file.Get(), start, sizeof start, &read, nullptr) &&
         read == sizeof start && std::equal(start, start + sizeof start, kArchiveMagic);
}

// JDK 13 to 18 map an archive without checking its length and crash on one
// cut short, so an archive carries the size it was written with in its
// name, base.<size>.jsa. The one whose size still matches; the others go.
std::string SizedArchive(const std::string& folder, const std::string& base) {
  std::string found;
  WIN32_FIND_DATAA entry;
  UniqueFindHandle search(
      FindFirstFileA((folder + base + ".*" + kArchiveExtension).c_str(), &entry));
  if (!search) return found;
  do {
    const std::string name = entry.cFileName;
    const std::size_t extension = sizeof kArchiveExtension - 1;
    // A name the pattern matched only through its short form is another file.
    if (name.size() <= base.size() + 1 + extension ||
        lstrcmpiA(name.substr(0, base.size()).c_str(), base.c_str()) != 0)
      continue;
    const std::string middle =
        name.substr(base.size() + 1, name.size() - base.size() - 1 - extension);
    const ULONGLONG size = (static_cast<ULONGLONG>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    if (found.empty() && !middle.empty() && middle == std::to_string(size))
      found = folder + name;
    else
      RemoveFile(folder + name);
  } while (FindNextFileA(search.Get(), &entry));
  return found;
}

// The JDK's version as the archive's name gives it: the full runtime version
// where the release file has one, since a JVM only reads its own build's
// archive.
std::string VersionForName(const JdkRelease& release) {
  for (const char* key : {"JAVA_RUNTIME_VERSION", "JAVA_VERSION"}) {
    const auto value = release.find(key);
    if (value != release.end() && !value->second.empty()) return value->second;
  }
  return std::string();
}

}  // namespace

std::string ArchiveFolder() {
  std::string local = EnvironmentValue("LOCALAPPDATA");
  if (local.empty()) return local;
  if (FindLastChar(local, '\\') != local.size() - 1) local += '\\';
  return local + "Pellaro\\cds\\";
}

FastJavacRun::FastJavacRun(const Jdk& jdk, const std::string& userArguments) {
  const ArchiveSupport support = ArchiveSupportOf(jdk.release);
  const std::string folder = ArchiveFolder();
  ArchivePlace place;
  std::string archive;
  std::string base;
  // The JDK's own archive stands beside its JVM.
  place.base = GetFileAttributesA((jdk.folder + "\\bin\\server\\classes.jsa").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
  if (support != ArchiveSupport::None && place.base && !folder.empty()) {
    base = folder + ArchiveBaseName(VersionForName(jdk.release), jdk.folder);
    archive = SizedArchive(folder, FileNameOf(base));
    place.exists = !archive.empty();
    place.writable = !place.exists && IsWritableFolder(folder);
  }
  const JavacLaunch launch = ChooseJavacLaunch(
      jdk.release, userArguments,
      EnvironmentValue("JAVA_TOOL_OPTIONS") + " " + EnvironmentValue("_JAVA_OPTIONS"), place);
  if (launch.archive == JavacArchive::WriteAtExit) {
    // Written under a name of this run's own until it is whole: another
    // compile (compile-only mode beside the strip) may write at the same time.
    static unsigned long runs = 0;
    archive =
        base + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs) + ".new";
    RemoveFile(archive);
    written_ = archive;
    finalBase_ = base;
  }
  options_ = JavacLaunchOptions(launch, archive);
}

FastJavacRun::~FastJavacRun() {
  if (!written_.empty()) RemoveFile(written_);
}

void FastJavacRun::Finished() {
  if (written_.empty()) return;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExA(written_.c_str(), GetFileExInfoStandard, &data) &&
      StartsWithArchiveMagic(written_)) {
    const ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const std::string placed = finalBase_ + "." + std::to_string(size) + kArchiveExtension;
    if (MoveFileA(written_.c_str(), placed.c_str())) written_.clear();
  }
}
