// How long one search for the installed JDKs takes (the setting, PATH,
// JAVA_HOME, the registry, the program folders): runs search again after a
// minute or when a JDK has gone, so it must stay cheap. Run by
// scripts/bench.sh:
//
//   bench_jdk_search [rounds]
//
// The machine it searches holds six JDKs in a program folder of its own and
// the fake javac on PATH, besides what the Wine prefix has. Prints the median
// and the slowest of the rounds after one warm-up; exit code 0 when the
// median is under 20 ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_timing.h"
#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "common/win_handle.h"
#include "java/jdk_finder.h"

namespace {

constexpr double kTargetMs = 20.0;
const char* const kJdks[] = {"jdk-1.8.0_402", "jdk-11.0.22", "jdk-17.0.10.7-hotspot",
                             "jdk-21.0.5",    "jdk-24",      "jdk-25.0.1"};

std::string OwnFolder() {
  char path[MAX_PATH];
  return DirectoryOf(std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH)));
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (file)
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Program folders with a Java folder of six JDKs; the folder to remove after.
std::string MakeProgramFolders() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string root =
      std::string(temp) + "pellaro-bench-jdks-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA((root + "\\Java").c_str(), nullptr);
  for (const char* name : kJdks) {
    const std::string jdk = root + "\\Java\\" + name;
    CreateDirectoryA(jdk.c_str(), nullptr);
    CreateDirectoryA((jdk + "\\bin").c_str(), nullptr);
    CopyFileA((OwnFolder() + "javac.exe").c_str(), (jdk + "\\bin\\javac.exe").c_str(), FALSE);
    WriteBytes(jdk + "\\release", "JAVA_VERSION=\"" + VersionFromName(name) + "\"\n");
  }
  SetEnvironmentVariableA("ProgramW6432", root.c_str());
  SetEnvironmentVariableA("ProgramFiles", root.c_str());
  SetEnvironmentVariableA("PATH", (OwnFolder() + ";" + EnvironmentValue("PATH")).c_str());
  return root;
}

void RemoveProgramFolders(const std::string& root) {
  for (const char* name : kJdks) {
    const std::string jdk = root + "\\Java\\" + name;
    DeleteFileA((jdk + "\\bin\\javac.exe").c_str());
    DeleteFileA((jdk + "\\release").c_str());
    RemoveDirectoryA((jdk + "\\bin").c_str());
    RemoveDirectoryA(jdk.c_str());
  }
  RemoveDirectoryA((root + "\\Java").c_str());
  RemoveDirectoryA(root.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 25;
  if (rounds < 15) rounds = 15;
  const std::string programs = MakeProgramFolders();
  SearchJdks(std::string());
  std::vector<double> times;
  std::size_t found = 0;
  for (int i = 0; i < rounds; ++i) {
    const double start = Now();
    const JdkSearch search = SearchJdks(std::string());
    times.push_back((Now() - start) * 1000.0);
    found = search.found.size() + (search.onPath ? 1 : 0);
  }
  RemoveProgramFolders(programs);
  const double median = Median(times);
  std::printf(
      "J1 JDK search (%zu JDKs found), %d rounds: median %.2f ms, slowest %.2f ms "
      "(target < %.0f ms) %s\n",
      found, rounds, median, *std::max_element(times.begin(), times.end()), kTargetMs,
      median < kTargetMs ? "ok" : "TOO SLOW");
  std::fflush(stdout);
  // No static destructors: nothing of this program's settings is saved.
  std::_Exit(median < kTargetMs ? 0 : 1);
}
