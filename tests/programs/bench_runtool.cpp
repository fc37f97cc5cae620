// What a tool run costs, measured side by side with the command interpreter
// doing the same work. Run by scripts/bench.sh:
//
//   bench_runtool [pairs]
//
// P1: RunTool with a javac that prints nothing, against "cmd.exe /c javac"
//     with its output on a pipe (and, for information, javac started
//     directly).
// P2: RunTool collecting 256 KiB, against "cmd.exe /c javac" piping the
//     same 256 KiB.
// The sides take turns (A B A B ...) after two warm-up rounds; each ratio is
// the median of A over the median of B, with the median of the pairs' own
// ratios beside it. Also: 1 MiB of output keeps its end within 262,144 bytes.
// Exit code 0 when every run delivered what it should.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "bench_timing.h"
#include "common/win_handle.h"
#include "settings/app_settings.h"
#include "tools/tool_run.h"

namespace {

const char kBytesVariable[] = "PELLARO_FAKE_BYTES_JAVAC";
const char kLargeOutput[] = "262144";
constexpr std::size_t kLargeOutputBytes = 262144;

std::string OwnFolder() {
  char path[MAX_PATH];
  std::string module(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return DirectoryOf(module);
}

// How long each CreateProcess of RunWithPipe took, in milliseconds.
std::vector<double> createTimes;

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 25;
  if (rounds < 15) rounds = 15;

  char tempBase[MAX_PATH];
  GetTempPathA(MAX_PATH, tempBase);
  std::string folder =
      std::string(tempBase) + "pellaro-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string source = folder + "Hello.java";
  UniqueHandle file(
      CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  file.Reset();

  // The fake javac lives beside this program.
  std::string fakes = OwnFolder();
  std::string path = fakes + ";" + EnvironmentValue("PATH");
  SetEnvironmentVariableA("PATH", path.c_str());
  SetEnvironmentVariableA("PELLARO_FAKE_LOG", nullptr);
  SetEnvironmentVariableA(kBytesVariable, nullptr);
  Settings.DOSPrompt = 0;
  Settings.ClassCmdLine[0] = '\0';
  const std::string directJavac = "\"" + fakes + "javac.exe\" Hello.java";
  // The text is the tool's line, then what it printed.
  const std::string shownLine = "> javac Hello.java\r\n";
  auto runTool = [&](std::size_t expected) {
    ResultText text;
    return RunTool("javac", source, 0, ToolArguments::None, text) == RunEnd::Finished &&
           std::string(text.Text(), shownLine.size()) == shownLine &&
           (expected == 0 || text.Stored() == expected);
  };

  std::printf("%d rounds after two warm-up rounds, sides taking turns:\n", rounds);
  Side quietRunTool{"RunTool, javac printing nothing", [&] { return runTool(shownLine.size()); }};
  Side quietInterpreter{
      "cmd.exe /c javac, output on a pipe",
      [&] { return RunWithPipe("cmd.exe /c javac Hello.java", folder, &createTimes) == 0; }};
  Side quietDirect{"javac started directly, output on a pipe",
                   [&] { return RunWithPipe(directJavac, folder, &createTimes) == 0; }};
  TakeTurns(rounds, {&quietRunTool, &quietInterpreter, &quietDirect});
  PrintSide(quietRunTool);
  PrintSide(quietInterpreter);
  PrintSide(quietDirect);

  SetEnvironmentVariableA(kBytesVariable, kLargeOutput);
  Side largeRunTool{"RunTool, javac printing 256 KiB",
                    [&] { return runTool(shownLine.size() + kLargeOutputBytes); }};
  Side largeInterpreter{"cmd.exe /c javac printing 256 KiB, on a pipe", [&] {
                          return RunWithPipe("cmd.exe /c javac Hello.java", folder, &createTimes) >=
                                 static_cast<long long>(kLargeOutputBytes);
                        }};
  TakeTurns(rounds, {&largeRunTool, &largeInterpreter});
  PrintSide(largeRunTool);
  PrintSide(largeInterpreter);

  SetEnvironmentVariableA(kBytesVariable, "1048576");
  Side hugeRunTool{"RunTool, javac printing 1 MiB (its middle left out)", [&] {
                     ResultText text;
                     return RunTool("javac", source, 0, ToolArguments::None, text) ==
                                RunEnd::Finished &&
                            text.Stored() <= kResultBufferSize &&
                            std::strstr(text.Text(), "00016383 ---") != nullptr;
                   }};
  TakeTurns(3, {&hugeRunTool});
  PrintSide(hugeRunTool);
  SetEnvironmentVariableA(kBytesVariable, nullptr);

  std::printf("Ratios of the medians:\n");
  PrintRatio("P1", quietRunTool, quietInterpreter, "<= 1.15");
  PrintRatio("", quietRunTool, quietDirect, "");
  std::printf(
      "     (over javac started directly, for information: the interpreter is part of "
      "the design)\n");
  PrintRatio("P2", largeRunTool, largeInterpreter, "<= 1.10");

  DeleteFileA(source.c_str());
  RemoveDirectoryA(folder.c_str());
  bool ok = quietRunTool.ok && quietInterpreter.ok && quietDirect.ok && largeRunTool.ok &&
            largeInterpreter.ok && hugeRunTool.ok;
  std::fflush(stdout);
  // No static destructors: nothing of this program's settings is saved.
  std::_Exit(ok ? 0 : 1);
}
