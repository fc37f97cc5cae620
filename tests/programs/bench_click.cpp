// A click on the strip with the machine's real JDK, measured side by side
// with the command interpreter and javac doing the same compile. Run by
// scripts/bench.sh:
//
//   bench_click <Pellaro.exe> <fake editor> <bridge folder> <Hello.java>
//               <the real JDK's release file> [rounds]
//
// The JDK is the bridge's javac.exe copied into a JDK folder of its own beside
// the real JDK's release file, so that Pellaro knows its version; that folder
// leads PATH for every side. LOCALAPPDATA points into the benchmark's folder.
// C1: a click on button 1 (javac on Hello.java) to its result window, over
//     "cmd /c javac Hello.java" with its output on a pipe (goal <= 0.6), and
//     over javac started directly.
// C2: the first compile after a JDK change: the class-data archives are
//     removed before each click, so that the click builds the archive.
// C3: the processor time of Pellaro and of the processes it started that
//     still run (the editor, the interpreter waiting for the next run), idle
//     for 10 s after a run.
// The sides take turns after a warm-up. The click's time runs from the
// button's release to the result window being visible; the strip is brought
// to the front before, and the result window closed after, outside the time.
// PELLARO_BENCH_FAST_JAVAC=0 stores FastJavac 0 for the run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "common/win_handle.h"
#include "ui_driver.h"

namespace {

constexpr DWORD kResultWaitMs = 60000;
// A user reads the result before the next click; the program prepares the
// next run meanwhile.
constexpr DWORD kBetweenClicksMs = 600;

// A value under the program's AppData key, put back as it was at the end.
class KeptValue {
 public:
  KeptValue(const char* name, DWORD value) : name_(name) {
    LONG old = 0;
    had_ = StoredNumber("AppData", name, old);
    old_ = static_cast<DWORD>(old);
    StoreNumber("AppData", name, value);
  }
  KeptValue(const char* name, const std::string& text) : name_(name), isText_(true) {
    oldText_ = StoredText("AppData", name);
    had_ = oldText_ != "<missing>";
    StoreText("AppData", name, text);
  }
  ~KeptValue() {
    if (had_ && isText_) {
      StoreText("AppData", name_, oldText_);
      return;
    }
    if (had_) {
      StoreNumber("AppData", name_, old_);
      return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\DrussetAPP\\Pellaro\\AppData", 0, KEY_SET_VALUE,
                      &key) != ERROR_SUCCESS)
      return;
    UniqueRegKey owned(key);
    RegDeleteValueA(owned.Get(), name_);
  }
  KeptValue(const KeptValue&) = delete;
  KeptValue& operator=(const KeptValue&) = delete;

 private:
  const char* name_;
  bool isText_ = false;
  bool had_ = false;
  DWORD old_ = 0;
  std::string oldText_;
};

void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Clicks button 1 of the strip and waits for the result window: the seconds
// from the click to the window, or a negative value when none showed.
// The text the window showed goes to text.
double ClickToResult(DWORD pid, HWND strip, std::string& text) {
  if (!BringToFront(strip)) return -1;
  const POINT button = CenterOf(ToolbarButtonRect(strip, 0));
  SetCursorPos(button.x, button.y);
  Sleep(20);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  const double start = Now();
  SendMouse(MOUSEEVENTF_LEFTUP);
  HWND result = nullptr;
  while (!(result = FindResultWindow(pid)) && Now() - start < kResultWaitMs / 1000.0) Sleep(1);
  const double seconds = Now() - start;
  if (!result) return -1;
  text = ResultText(result);
  PressButton(result, kCloseButton);
  WaitUntilGone(result);
  Sleep(kBetweenClicksMs);
  return seconds;
}

bool MentionsError(const std::string& text) {
  return text.find("error") != std::string::npos || text.find("エラー") != std::string::npos;
}

void RemoveArchives(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  UniqueFindHandle search(FindFirstFileA((folder + "*").c_str(), &entry));
  if (!search) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string path = folder + entry.cFileName;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  } while (FindNextFileA(search.Get(), &entry));
}

double CpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) return 2;
  const std::string pellaro = argv[1];
  const std::string editor = argv[2];
  const std::string bridge = argv[3];
  const std::string sample = argv[4];
  const std::string release = argv[5];
  int rounds = argc > 6 ? std::atoi(argv[6]) : 15;
  if (rounds < 5) rounds = 5;

  TempFolder folder("bench-click");
  const std::string jdkBin = folder / "jdk\\bin\\";
  const std::string local = folder / "local\\";
  const std::string archives = local + "Pellaro\\cds\\";
  bool ok = CreateDirectoryA((folder / "jdk").c_str(), nullptr) &&
            CreateDirectoryA(jdkBin.c_str(), nullptr) && CreateDirectoryA(local.c_str(), nullptr) &&
            CopyFileA((bridge + "\\javac.exe").c_str(), (jdkBin + "javac.exe").c_str(), FALSE) &&
            CopyFileA((bridge + "\\java.exe").c_str(), (jdkBin + "java.exe").c_str(), FALSE) &&
            CopyFileA(release.c_str(), (folder / "jdk\\release").c_str(), FALSE) &&
            CreateDirectoryA((jdkBin + "server").c_str(), nullptr) &&
            CopyFileA(sample.c_str(), (folder / "Hello.java").c_str(), FALSE);
  // Stands for the base archive, which the real JDK keeps in its own folder.
  if (ok) WriteFileBytes(jdkBin + "server\\classes.jsa", "");
  if (!ok) {
    std::printf("bench_click: cannot set up %s\n", folder.Path().c_str());
    return 1;
  }
  ScopedEnv path("PATH", PathWith(jdkBin.substr(0, jdkBin.size() - 1)));
  ScopedEnv localAppData("LOCALAPPDATA", local.substr(0, local.size() - 1));
  ScopedEnv quitFile("PELLARO_FAKE_EDITOR_QUIT_FILE", folder / "quit");
  ScopedEnv oneWindow("PELLARO_FAKE_EDITOR_ONE_WINDOW", "1");
  KeptValue storedEditor("editor", editor);
  KeptValue kekka("Kekka", 0);
  const char* fast = std::getenv("PELLARO_BENCH_FAST_JAVAC");
  KeptValue fastJavac("FastJavac", fast && std::string(fast) == "0" ? 0 : 1);
  ScopedWineSetting unmanaged(FileNameOf(pellaro), "X11 Driver", "Managed", "N");

  PellaroProcess running =
      StartCommandLine("\"" + pellaro + "\" \"" + (folder / "Hello.java") + "\"");
  HWND strip = WaitForStrip(running.Id());
  if (!strip) {
    std::printf("bench_click: the strip did not show\n");
    return 1;
  }
  // The editor's window stands beneath the strip once it is ready.
  Sleep(1000);

  std::string lastText;
  Side click{"click on button 1 to the result window", [&] {
               const double seconds = ClickToResult(running.Id(), strip, lastText);
               MeasuredByRun = seconds;
               return seconds > 0 && !MentionsError(lastText);
             }};
  Side interpreter{"cmd /c javac Hello.java, output on a pipe",
                   [&] { return RunWithPipe("cmd.exe /c javac Hello.java", folder.Path()) >= 0; }};
  Side direct{"javac started directly, output on a pipe", [&] {
                return RunWithPipe("\"" + jdkBin + "javac.exe\" Hello.java", folder.Path()) >= 0;
              }};
  std::printf("C1: %d rounds after two warm-up rounds, sides taking turns:\n", rounds);
  TakeTurns(rounds, {&click, &interpreter, &direct});
  PrintSide(click);
  PrintSide(interpreter);
  PrintSide(direct);
  PrintRatio("C1", click, interpreter, "<= 0.6");
  PrintRatio("", click, direct, "");
  std::printf("     (over javac started directly)\n");
  if (!click.ok)
    std::printf("     last result text: %s\n", Recode(lastText, CP_ACP, CP_UTF8).c_str());

  const int changeRounds = rounds / 3 < 5 ? 5 : rounds / 3;
  Side firstClick{"click, no class-data archive yet", [&] {
                    RemoveArchives(archives);
                    const double seconds = ClickToResult(running.Id(), strip, lastText);
                    MeasuredByRun = seconds;
                    return seconds > 0 && !MentionsError(lastText);
                  }};
  Side plainInterpreter{"cmd /c javac Hello.java, output on a pipe", [&] {
                          return RunWithPipe("cmd.exe /c javac Hello.java", folder.Path()) >= 0;
                        }};
  std::printf("C2: the first compile after a JDK change, %d rounds, sides taking turns:\n",
              changeRounds);
  TakeTurns(changeRounds, {&firstClick, &plainInterpreter}, 1);
  PrintSide(firstClick);
  PrintSide(plainInterpreter);
  PrintRatio("C2", firstClick, plainInterpreter, "");

  // One more run leaves the archive and the next interpreter in place.
  ClickToResult(running.Id(), strip, lastText);
  Sleep(2000);
  std::vector<std::pair<DWORD, std::string>> children = ChildProcesses(running.Id());
  std::vector<UniqueHandle> childHandles;
  for (const auto& child : children)
    childHandles.emplace_back(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, child.first));
  UniqueHandle own(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, running.Id()));
  auto childTime = [&] {
    double total = 0;
    for (const UniqueHandle& handle : childHandles) total += CpuSeconds(handle.Get());
    return total;
  };
  const double ownBefore = CpuSeconds(own.Get());
  const double childrenBefore = childTime();
  Sleep(10000);
  std::printf(
      "C3: idle for 10 s after a run: Pellaro %.1f ms of processor time; its %zu child "
      "processes (",
      (CpuSeconds(own.Get()) - ownBefore) * 1000, children.size());
  for (std::size_t i = 0; i < children.size(); ++i)
    std::printf("%s%s", i ? ", " : "", children[i].second.c_str());
  std::printf(") %.1f ms\n", (childTime() - childrenBefore) * 1000);
  std::printf("     (Wine counts another process's time in 10 ms ticks)\n");

  // Ended as the user ends it: its editor closes.
  WriteFileBytes(folder / "quit", "");
  const bool ended = running.WaitForExit(15000);
  bool childrenGone = true;
  for (const UniqueHandle& handle : childHandles)
    childrenGone =
        childrenGone && (!handle || WaitForSingleObject(handle.Get(), 5000) == WAIT_OBJECT_0);
  std::printf("     Pellaro %s; its child processes %s\n", ended ? "ended" : "DID NOT END",
              childrenGone ? "ended too" : "DID NOT END");
  std::fflush(stdout);
  return click.ok && interpreter.ok && direct.ok && firstClick.ok && ended ? 0 : 1;
}
