// How fast Pellaro.exe starts and how little it costs while it waits. Run by
// scripts/bench.sh:
//
//   bench_start <Pellaro.exe> <fake editor> [pairs]
//   bench_start --window     (the baseline it measures: a window, nothing more)
//
// P3: from starting "Pellaro.exe Hello.java" to its strip being visible,
//     against Wine's notepad from its start to its window being visible; the
//     two take turns after a warm-up, and the ratio is that of the medians.
// P4: the size of Pellaro.exe; with the strip open and idle for 10 s, the
//     processor time it used and its private memory. Then the processor time
//     it uses while a java that prints nothing sleeps for 10 s. For memory,
//     the baseline is a program that shows one window after loading the
//     common controls, which the strip's toolbar needs: what Wine itself
//     costs any such program.
// The stored editor is set to the fake editor for the run and put back after.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "common/win_handle.h"
#include "resources/resource_ids.h"

namespace {

const char kAppDataKey[] = "Software\\DrussetAPP\\Pellaro\\AppData";

struct Search {
  DWORD process;
  bool wantToolbar;
  HWND found;
};

BOOL CALLBACK HasToolbar(HWND child, LPARAM found) {
  char name[32];
  if (GetClassNameA(child, name, sizeof name) && lstrcmpA(name, "ToolbarWindow32") == 0) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  bool toolbar = false;
  if (search->wantToolbar) EnumChildWindows(window, HasToolbar, reinterpret_cast<LPARAM>(&toolbar));
  if (search->wantToolbar && !toolbar) return TRUE;
  search->found = window;
  return FALSE;
}

// Polls for a visible top-level window of the process (with a toolbar when
// asked) for up to 20 s.
HWND WaitForWindow(DWORD process, bool wantToolbar) {
  for (int tick = 0; tick < 20000; ++tick) {
    Search search = {process, wantToolbar, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(1);
  }
  return nullptr;
}

struct Started {
  UniqueHandle process;
  DWORD id = 0;
  HWND window = nullptr;  // once it showed
};

Started Start(const std::string& commandLine) {
  std::string writable = commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  Started started;
  if (!CreateProcessA(nullptr, &writable[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return started;
  CloseHandle(info.hThread);
  started.process.Reset(info.hProcess);
  started.id = info.dwProcessId;
  return started;
}

// Seconds from the start to the window; negative when it did not show.
double TimeToWindow(const std::string& commandLine, bool wantToolbar, Started& started) {
  double start = Now();
  started = Start(commandLine);
  if (!started.process) return -1;
  started.window = WaitForWindow(started.id, wantToolbar);
  if (!started.window) return -1;
  return Now() - start;
}

// Ends a program that has no ending of its own to wait for.
void EndAbruptly(Started& started) {
  TerminateProcess(started.process.Get(), 0);
  WaitForSingleObject(started.process.Get(), 5000);
}

// Ends Pellaro the way the user does: its editor is closed.
void EndPellaro(Started& pellaro, const std::string& quitFile) {
  UniqueHandle quit(
      CreateFileA(quitFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  quit.Reset();
  if (WaitForSingleObject(pellaro.process.Get(), 10000) != WAIT_OBJECT_0)
    TerminateProcess(pellaro.process.Get(), 1);
  DeleteFileA(quitFile.c_str());
  Sleep(100);  // the editor follows the quit file within 50 ms
}

std::string StoredEditor(bool& present) {
  UniqueRegKey key;
  char value[MAX_PATH] = {};
  DWORD size = sizeof value - 1;
  present =
      RegOpenKeyExA(HKEY_CURRENT_USER, kAppDataKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS &&
      RegQueryValueExA(key.Get(), "editor", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                       &size) == ERROR_SUCCESS;
  return present ? std::string(value) : std::string();
}

void StoreEditor(const std::string* editor) {
  UniqueRegKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppDataKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                      key.Receive(), nullptr) != ERROR_SUCCESS)
    return;
  if (editor)
    RegSetValueExA(key.Get(), "editor", 0, REG_SZ, reinterpret_cast<const BYTE*>(editor->c_str()),
                   static_cast<DWORD>(editor->size() + 1));
  else
    RegDeleteValueA(key.Get(), "editor");
}

double CpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

// Private memory in KiB. Wine leaves PrivateUsage at 0 and counts the
// committed private memory in PagefileUsage, as Windows does too.
double PrivateKiB(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  return (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024.0;
}

// The baseline: one window, after loading the common controls.
int ShowBaselineWindow() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HWND window = CreateWindowExA(0, "STATIC", "baseline", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                200, 60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

// Private memory of a program's window 1 s after it shows; negative when it
// did not show.
double PrivateKiBOnceShown(const std::string& commandLine) {
  Started started;
  if (TimeToWindow(commandLine, false, started) < 0) return -1;
  Sleep(1000);
  const double kib = PrivateKiB(started.process.Get());
  EndAbruptly(started);
  return kib;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--window") return ShowBaselineWindow();
  if (argc < 3) return 2;
  const std::string pellaro = argv[1];
  const std::string editor = argv[2];
  int pairs = argc > 3 ? std::atoi(argv[3]) : 15;
  if (pairs < 15) pairs = 15;

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder =
      std::string(temp) + "pellaro-bench-start-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string source = folder + "Hello.java";
  const std::string quitFile = folder + "quit";
  for (const std::string& path : {source, folder + "s.pxs"}) {
    UniqueHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  SetEnvironmentVariableA("PELLARO_FAKE_EDITOR_QUIT_FILE", quitFile.c_str());
  SetEnvironmentVariableA("PELLARO_FAKE_EDITOR_ONE_WINDOW", "1");
  SetEnvironmentVariableA("PELLARO_FAKE_EDITOR_LOG", nullptr);
  bool hadEditor = false;
  const std::string oldEditor = StoredEditor(hadEditor);
  StoreEditor(&editor);

  const std::string pellaroCommand = "\"" + pellaro + "\" \"" + source + "\"";
  // The strip alone: a settings file starts no editor.
  const std::string settingsCommand = "\"" + pellaro + "\" \"" + folder + "s.pxs\"";
  std::vector<double> pellaroTimes, notepadTimes, settingsTimes;
  bool ok = true;
  for (int round = -1; round < pairs && ok; ++round) {
    Started started;
    double seconds = TimeToWindow(pellaroCommand, true, started);
    EndPellaro(started, quitFile);
    ok = seconds > 0;
    if (round >= 0) pellaroTimes.push_back(seconds);

    seconds = TimeToWindow(settingsCommand, true, started);
    EndAbruptly(started);
    ok = ok && seconds > 0;
    if (round >= 0) settingsTimes.push_back(seconds);

    seconds = TimeToWindow("notepad.exe", false, started);
    EndAbruptly(started);
    ok = ok && seconds > 0;
    if (round >= 0) notepadTimes.push_back(seconds);
  }

  std::printf("Cold starts, %d rounds after a warm-up, sides taking turns:\n", pairs);
  if (ok) {
    std::printf("  %-50s median %8.1f ms\n", "Pellaro.exe Hello.java to its strip",
                Median(pellaroTimes) * 1000);
    std::printf("  %-50s median %8.1f ms\n", "notepad.exe to its window",
                Median(notepadTimes) * 1000);
    std::printf("  %-50s median %8.1f ms  (information: no editor)\n",
                "Pellaro.exe s.pxs to its strip", Median(settingsTimes) * 1000);
    std::printf("P3   %5.2f   target <= 1.0\n", Median(pellaroTimes) / Median(notepadTimes));
  } else {
    std::printf("  FAILED: a window did not show\n");
  }

  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExA(pellaro.c_str(), GetFileExInfoStandard, &data))
    std::printf("P4   Pellaro.exe: %lu bytes (%.0f KiB; target <= 512 KiB)\n",
                static_cast<unsigned long>(data.nFileSizeLow), data.nFileSizeLow / 1024.0);

  // The tools are the fakes beside this program; java sleeps for 10 s.
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string fakes = DirectoryOf(self);
  const std::string path = EnvironmentValue("PATH");
  SetEnvironmentVariableA("PATH", (fakes + ";" + path).c_str());
  SetEnvironmentVariableA("PELLARO_FAKE_LOG", (folder + "tools.log").c_str());
  SetEnvironmentVariableA("PELLARO_FAKE_SLEEP_JAVA", "10000");

  Started idle;
  if (TimeToWindow(pellaroCommand, true, idle) > 0) {
    Sleep(1000);
    double before = CpuSeconds(idle.process.Get());
    Sleep(10000);
    double used = CpuSeconds(idle.process.Get()) - before;
    std::printf("     idle for 10 s: %.1f ms of processor time (target about 0)\n", used * 1000);
    const double own = PrivateKiB(idle.process.Get());
    std::printf("     private memory %.0f KiB (target <= 4096 KiB)\n", own);

    before = CpuSeconds(idle.process.Get());
    PostMessageA(idle.window, WM_COMMAND, IDM_COMMAND2, 0);  // java alone
    Sleep(10500);
    used = CpuSeconds(idle.process.Get()) - before;
    std::printf("     during a 10 s java that prints nothing: %.1f ms of processor time\n",
                used * 1000);
    std::printf("     (Wine counts another process's time in 10 ms ticks)\n");
    EndPellaro(idle, quitFile);

    // What Wine costs any program with a window: the baseline and notepad.
    const double baseline = PrivateKiBOnceShown("\"" + std::string(self) + "\" --window");
    std::printf(
        "     a window with the common controls: private memory %.0f KiB;"
        " Pellaro's own above it: %.0f KiB\n",
        baseline, own - baseline);
    std::printf("     notepad: private memory %.0f KiB\n", PrivateKiBOnceShown("notepad.exe"));
  } else {
    ok = false;
  }
  SetEnvironmentVariableA("PATH", path.c_str());
  DeleteFileA((folder + "tools.log").c_str());

  StoreEditor(hadEditor ? &oldEditor : nullptr);
  DeleteFileA(source.c_str());
  DeleteFileA((folder + "s.pxs").c_str());
  RemoveDirectoryA(folder.c_str());
  std::fflush(stdout);
  std::_Exit(ok ? 0 : 1);
}
