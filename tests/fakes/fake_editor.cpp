// A stand-in for the user's text editor. On start it appends two records to
// the log named by PELLARO_FAKE_EDITOR_LOG:
//   "thread" TAB process-id TAB primary-thread-id CR LF
//   process-id TAB whole-command-line CR LF
// then opens two top-level windows of class "PellaroFakeEditor", titled
//   "fake editor <pid> main"    created by the primary thread
//   "fake editor <pid> second"  created by a second thread
// (only the main one activated) and runs until WM_CLOSE reaches the main
// window or the file named by PELLARO_FAKE_EDITOR_QUIT_FILE appears (polled
// every 50 ms); it then ends without destroying its windows first.
//   PELLARO_FAKE_EDITOR_AT_ONCE  when set, ends right after writing the record
//   PELLARO_FAKE_EDITOR_ONE_WINDOW  when set, opens the main window alone
//   PELLARO_FAKE_EDITOR_PLACE    "left top width height" of the main window
//   PELLARO_FAKE_EDITOR_EXIT     the exit code (default 0)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fake_common.h"

namespace {

void AppendToLog(const std::string& record) {
  fake::AppendToLog("PELLARO_FAKE_EDITOR_LOG", record);
}

const char kClassName[] = "PellaroFakeEditor";
const UINT_PTR kQuitPollTimer = 1;

HWND MainWindow = nullptr;
std::string QuitFile;

std::string Title(const char* which) {
  return "fake editor " + std::to_string(GetCurrentProcessId()) + " " + which;
}

LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kQuitPollTimer &&
          GetFileAttributesA(QuitFile.c_str()) != INVALID_FILE_ATTRIBUTES)
        PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      // The windows go with the process: hiding a window first makes Wine
      // wait two seconds for a window manager that Xvfb does not have.
      if (window == MainWindow) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateEditorWindow(const char* which, int show) {
  int place[4] = {40, 40, 320, 200};
  const std::string wanted = EnvironmentValue("PELLARO_FAKE_EDITOR_PLACE");
  if (show == SW_SHOW && !wanted.empty())
    std::sscanf(wanted.c_str(), "%d %d %d %d", &place[0], &place[1], &place[2], &place[3]);
  HWND window =
      CreateWindowExA(0, kClassName, Title(which).c_str(), WS_OVERLAPPEDWINDOW, place[0], place[1],
                      place[2], place[3], nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window) ShowWindow(window, show);
  return window;
}

void RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The second thread: its window must not be one the tracker recognises.
DWORD WINAPI SecondThread(LPVOID created) {
  // Not activated, so that showing it sends nothing to the busy primary thread.
  CreateEditorWindow("second", SW_SHOWNOACTIVATE);
  SetEvent(static_cast<HANDLE>(created));
  RunMessageLoop();
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  AppendToLog("thread\t" + std::to_string(GetCurrentProcessId()) + "\t" +
              std::to_string(GetCurrentThreadId()) + "\r\n");
  AppendToLog(std::to_string(GetCurrentProcessId()) + "\t" + GetCommandLineA() + "\r\n");
  const std::string exitCode = EnvironmentValue("PELLARO_FAKE_EDITOR_EXIT");
  const int result = exitCode.empty() ? 0 : std::atoi(exitCode.c_str());
  if (!EnvironmentValue("PELLARO_FAKE_EDITOR_AT_ONCE").empty()) return result;

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = EditorWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);

  MainWindow = CreateEditorWindow("main", SW_SHOW);
  if (!MainWindow) return 1;
  QuitFile = EnvironmentValue("PELLARO_FAKE_EDITOR_QUIT_FILE");
  if (!QuitFile.empty()) SetTimer(MainWindow, kQuitPollTimer, 50, nullptr);

  // Both windows exist before the primary thread first waits for input, so a
  // launcher that waited for the editor to become idle finds them.
  HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD secondId = 0;
  HANDLE second = EnvironmentValue("PELLARO_FAKE_EDITOR_ONE_WINDOW").empty()
                      ? CreateThread(nullptr, 0, SecondThread, created, 0, &secondId)
                      : nullptr;
  if (second) WaitForSingleObject(created, 5000);

  RunMessageLoop();
  // Ending the second thread first lets the process end at once.
  if (second) {
    PostThreadMessageA(secondId, WM_QUIT, 0, 0);
    WaitForSingleObject(second, 5000);
    CloseHandle(second);
  }
  CloseHandle(created);
  return result;
}
