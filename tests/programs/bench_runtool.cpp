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
// L1: a java printing 1 MiB as fast as it can, after the live result window
//     has opened, against the same run captured without a window (the time
//     after the program's start-up delay).
// W1: the processor time of the program's thread while a java in the live
//     window waits for input.
// Exit code 0 when every run delivered what it should.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "bench_timing.h"
#include "common/win_handle.h"
#include "settings/app_settings.h"
#include "tools/tool_run.h"
#include "resources/resource_ids.h"
#include "windows/progress_window.h"

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

// How long java waits before it prints, so that the live window is open.
constexpr DWORD kJavaDelayMs = 1200;

// Runs java on source the way the strip does: a run that goes on shows its
// result window live, which then shows the finished text. Timed to there:
// closing the window, which Wine delays without a window manager, is not.
bool RunJavaLive(const std::string& source) {
  const double start = Now();
  RunEnd end;
  HWND live = nullptr;
  {
    ResultText text;
    RunProgress progress(source, nullptr);
    WatchRuns(&progress);
    end = RunTool("java", DirectoryOf(source) + "Hello", 0, ToolArguments::None, text);
    WatchRuns(nullptr);
    live = progress.LiveWindow();
  }
  if (live) FinishLiveResultWindow(live, {source, DirectoryOf(source)});
  MeasuredByRun = Now() - start;
  if (live) DestroyWindow(live);
  return live != nullptr && end != RunEnd::NotStarted;
}

// The same run captured, as before the live window: the result window opens
// on the text at the end.
bool RunJavaCaptured(const std::string& source) {
  const double start = Now();
  RunEnd end;
  {
    ResultText text;
    end = RunTool("java", DirectoryOf(source) + "Hello", 0, ToolArguments::None, text);
  }
  HWND result = OpenResultWindow({source, DirectoryOf(source)});
  MeasuredByRun = Now() - start;
  if (result) DestroyWindow(result);
  return result != nullptr && end == RunEnd::Finished;
}

double ThreadMilliseconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  const auto value = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (value(kernel) + value(user)) / 10000.0;
}

// The processor time the program's thread uses in 2 s while java waits for a
// line in the live window; then the run is stopped.
double IdleWhileWaitingForInput(const std::string& source) {
  SetEnvironmentVariableA("PELLARO_FAKE_READLINE_JAVA", "1");
  HANDLE mainThread = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread, 0,
                  FALSE, DUPLICATE_SAME_ACCESS);
  const DWORD mainId = GetCurrentThreadId();
  double used = -1;
  std::thread watcher([&] {
    Sleep(2000);
    const double before = ThreadMilliseconds(mainThread);
    Sleep(2000);
    used = ThreadMilliseconds(mainThread) - before;
    EnumThreadWindows(
        mainId,
        [](HWND window, LPARAM) {
          PostMessageA(window, WM_COMMAND, IDC_RESULT_STOP, 0);
          return TRUE;
        },
        0);
  });
  RunJavaLive(source);
  watcher.join();
  CloseHandle(mainThread);
  SetEnvironmentVariableA("PELLARO_FAKE_READLINE_JAVA", nullptr);
  return used;
}

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
  // The text is the tool's line, then what it printed, within the buffer.
  const std::string shownLine = "> javac Hello.java\r\n";
  auto runTool = [&](std::size_t expected) {
    ResultText text;
    return RunTool("javac", source, 0, ToolArguments::None, text) == RunEnd::Finished &&
           std::string(text.Text(), shownLine.size()) == shownLine &&
           (expected <= kResultBufferSize ? text.Stored() == expected
                                          : text.Stored() <= kResultBufferSize);
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
                            std::strstr(text.Text(), "00016131 ---") != nullptr;
                   }};
  TakeTurns(3, {&hugeRunTool});
  PrintSide(hugeRunTool);
  SetEnvironmentVariableA(kBytesVariable, nullptr);

  // The live window against the captured run of a java that waits, then
  // prints 1 MiB as fast as it can.
  Settings.Instance = GetModuleHandleA(nullptr);
  SetEnvironmentVariableA("PELLARO_FAKE_DELAY_JAVA", std::to_string(kJavaDelayMs).c_str());
  SetEnvironmentVariableA("PELLARO_FAKE_BYTES_JAVA", "1048576");
  Side liveRun{"java printing 1 MiB into the live window", [&] { return RunJavaLive(source); }};
  Side capturedRun{"java printing 1 MiB, captured", [&] { return RunJavaCaptured(source); }};
  TakeTurns(5, {&liveRun, &capturedRun}, 1);
  PrintSide(liveRun);
  PrintSide(capturedRun);
  SetEnvironmentVariableA("PELLARO_FAKE_DELAY_JAVA", nullptr);
  SetEnvironmentVariableA("PELLARO_FAKE_BYTES_JAVA", nullptr);
  const double idle = IdleWhileWaitingForInput(source);

  std::printf("Ratios of the medians:\n");
  PrintRatio("P1", quietRunTool, quietInterpreter, "<= 1.15");
  PrintRatio("", quietRunTool, quietDirect, "");
  std::printf(
      "     (over javac started directly, for information: the interpreter is part of "
      "the design)\n");
  PrintRatio("P2", largeRunTool, largeInterpreter, "<= 1.10");
  const double delay = kJavaDelayMs / 1000.0;
  std::printf(
      "L1 %5.2f  live %.0f ms against captured %.0f ms after java's %lu ms delay "
      "(target <= 1.2)\n",
      (Median(liveRun.seconds) - delay) / (Median(capturedRun.seconds) - delay),
      (Median(liveRun.seconds) - delay) * 1000, (Median(capturedRun.seconds) - delay) * 1000,
      static_cast<unsigned long>(kJavaDelayMs));
  std::printf("W1 %5.1f ms of processor time in 2 s while java waits for input (target 0)\n", idle);

  DeleteFileA(source.c_str());
  RemoveDirectoryA(folder.c_str());
  bool ok = quietRunTool.ok && quietInterpreter.ok && quietDirect.ok && largeRunTool.ok &&
            largeInterpreter.ok && hugeRunTool.ok && liveRun.ok && capturedRun.ok && idle >= 0;
  std::fflush(stdout);
  // No static destructors: nothing of this program's settings is saved.
  std::_Exit(ok ? 0 : 1);
}
