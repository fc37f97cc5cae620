// What a tool run costs, measured against running the same fake tool without
// it. Run by scripts/bench.sh:
//
//   bench_runtool [repetitions] [path of Pellaro.exe]
//
// (a) RunTool with a javac that prints nothing, over that javac started
//     directly with its output on a pipe: the interpreter's cost.
// (b) RunTool collecting 256 KiB, over the interpreter alone ("cmd /c")
//     running the same javac with its output on a pipe: the cost of feeding
//     the script and collecting through RunTool.
// Each time is the mean of the repetitions (10 unless given) after one
// warm-up run. Exit code 0 when every run delivered what it should.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/dbcs_text.h"
#include "common/system_text.h"
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

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs commandLine in folder with standard output and error on one pipe and
// an empty standard input; reads the pipe to its end. The number of bytes
// read, or -1 when the child could not be started.
long long RunWithPipe(const std::string& commandLine, const std::string& folder) {
  SECURITY_ATTRIBUTES inheritable = {};
  inheritable.nLength = sizeof inheritable;
  inheritable.bInheritHandle = TRUE;
  UniqueHandle outputRead, outputWrite, inputRead, inputWrite;
  if (!CreatePipe(outputRead.Receive(), outputWrite.Receive(), &inheritable, 0) ||
      !CreatePipe(inputRead.Receive(), inputWrite.Receive(), &inheritable, 0))
    return -1;
  SetHandleInformation(outputRead.Get(), HANDLE_FLAG_INHERIT, 0);
  inputWrite.Reset();

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = inputRead.Get();
  startup.hStdOutput = outputWrite.Get();
  startup.hStdError = outputWrite.Get();
  std::string mutableCommand = commandLine;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &mutableCommand[0], nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &info))
    return -1;
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  outputWrite.Reset();
  inputRead.Reset();

  long long total = 0;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(outputRead.Get(), chunk, sizeof chunk, &read, nullptr) && read > 0) total += read;
  WaitForSingleObject(process.Get(), INFINITE);
  return total;
}

struct Timing {
  double mean = 0;
  double fastest = 0;
  bool ok = true;
};

// One warm-up run, then the mean and the fastest of `repetitions` runs.
// run returns false when the run did not deliver what it should.
template <typename Run>
Timing Measure(int repetitions, Run run) {
  Timing timing;
  timing.ok = run();
  double total = 0;
  for (int i = 0; i < repetitions; ++i) {
    double start = Now();
    timing.ok = run() && timing.ok;
    double seconds = Now() - start;
    total += seconds;
    if (i == 0 || seconds < timing.fastest) timing.fastest = seconds;
  }
  timing.mean = total / repetitions;
  return timing;
}

void PrintTiming(const char* what, const Timing& timing) {
  std::printf("  %-52s %8.1f ms  (fastest %.1f ms)%s\n", what, timing.mean * 1000,
              timing.fastest * 1000, timing.ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  int repetitions = argc > 1 ? std::atoi(argv[1]) : 10;
  if (repetitions < 1) repetitions = 10;
  std::string pellaroPath = argc > 2 ? argv[2] : "";

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
  Settings.Cmd[0].FirstCmdLine[0] = '\0';
  Settings.ClassCmdLine[0] = '\0';
  const std::string directJavac = "\"" + fakes + "javac.exe\" Hello.java";

  std::printf("Tool runs, mean of %d after one warm-up run:\n", repetitions);
  Timing quietRunTool = Measure(repetitions, [&] {
    ResultText text;
    return RunTool("javac", source, 0, ToolArguments::First, text) && ResultBuffer[0] == ' ';
  });
  PrintTiming("RunTool, javac printing nothing", quietRunTool);
  Timing quietDirect = Measure(repetitions, [&] { return RunWithPipe(directJavac, folder) == 0; });
  PrintTiming("javac started directly, output on a pipe", quietDirect);

  SetEnvironmentVariableA(kBytesVariable, kLargeOutput);
  Timing largeRunTool = Measure(repetitions, [&] {
    ResultText text;
    bool ran = RunTool("javac", source, 0, ToolArguments::First, text);
    std::size_t collected = std::strlen(ResultBuffer);
    if (ran && collected == kResultBufferSize) return true;
    std::fprintf(stderr, "RunTool %s, collected %zu bytes:\n%.300s\n...\n%s\n",
                 ran ? "true" : "false", collected, ResultBuffer,
                 ResultBuffer + (collected > 300 ? collected - 300 : 0));
    return false;
  });
  PrintTiming("RunTool, javac printing 256 KiB", largeRunTool);
  Timing largeInterpreter = Measure(repetitions, [&] {
    return RunWithPipe("cmd.exe /c javac Hello.java", folder) >=
           static_cast<long long>(kLargeOutputBytes);
  });
  PrintTiming("cmd /c javac printing 256 KiB, output on a pipe", largeInterpreter);
  SetEnvironmentVariableA(kBytesVariable, nullptr);

  std::printf("Ratios of the means (of the fastest runs):\n");
  std::printf("  (a) RunTool / javac started directly, quiet:        %6.2f  (%.2f)\n",
              quietRunTool.mean / quietDirect.mean, quietRunTool.fastest / quietDirect.fastest);
  std::printf("  (b) RunTool / cmd /c javac, 256 KiB:                %6.2f  (%.2f)\n",
              largeRunTool.mean / largeInterpreter.mean,
              largeRunTool.fastest / largeInterpreter.fastest);

  bool sized = true;
  if (!pellaroPath.empty()) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    sized = GetFileAttributesExA(pellaroPath.c_str(), GetFileExInfoStandard, &data) != FALSE;
    if (sized)
      std::printf("Pellaro.exe: %llu bytes\n",
                  (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    else
      std::printf("Pellaro.exe: not found at %s\n", pellaroPath.c_str());
  }

  DeleteFileA(source.c_str());
  RemoveDirectoryA(folder.c_str());
  bool ok = quietRunTool.ok && quietDirect.ok && largeRunTool.ok && largeInterpreter.ok && sized;
  std::fflush(stdout);
  // No static destructors: the settings this program loaded are not saved.
  std::_Exit(ok ? 0 : 1);
}
