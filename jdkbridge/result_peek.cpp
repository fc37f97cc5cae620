// result_peek.exe: lets the run script look at Pellaro's windows from
// outside — wait for the result window, read its text, close it; find the
// strip's toolbar buttons; end the program through the strip's menu.
//
//   result_peek <desktop> wait <seconds>   prints "left top width height"
//   result_peek <desktop> text             prints the captured text as UTF-8
//   result_peek <desktop> close            closes the window as its close box does
//   result_peek <desktop> button <n> <seconds>
//                                          waits for the strip; prints the screen
//                                          centre "x y" of toolbar item n (0 first)
//   result_peek <desktop> exit             chooses the strip's 終了 entry, waits
//                                          for Pellaro to end (its exit code is
//                                          this program's) and closes the rest
//
// <desktop> is the Wine desktop Pellaro runs in ("-" for this process's own).
// Exit code 0 on success, 1 when the window is not there, 2 on bad usage.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/system_text.h"
#include "common/win_handle.h"

namespace {

constexpr int kResultTextId = 1098;
constexpr WPARAM kExitCommand = 40008;
const char kResultTitle[] = "結果";

struct DesktopTraits {
  using Type = HDESK;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { CloseDesktop(h); }
};
using UniqueDesktop = UniqueObject<DesktopTraits>;

void Print(const std::string& bytes) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

HWND FindResultWindow() {
  HWND window = FindWindowA("#32770", kResultTitle);
  return window && IsWindowVisible(window) ? window : nullptr;
}

// ANSI text to UTF-8 with LF line ends, for a Unix terminal.
std::string ToTerminalText(const std::string& ansi) {
  std::string utf8 = Recode(ansi, CP_ACP, CP_UTF8);
  utf8.erase(std::remove(utf8.begin(), utf8.end(), '\r'), utf8.end());
  return utf8;
}

// Waits until seconds after start for the window; prints its rectangle.
int WaitForWindow(int seconds, DWORD start) {
  DWORD limit = static_cast<DWORD>(seconds) * 1000;
  HWND window;
  while (!(window = FindResultWindow())) {
    if (GetTickCount() - start > limit) return 1;
    Sleep(100);
  }
  RECT rect;
  GetWindowRect(window, &rect);
  Print(std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
        std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top) +
        "\n");
  return 0;
}

int PrintText() {
  HWND window = FindResultWindow();
  HWND edit = window ? GetDlgItem(window, kResultTextId) : nullptr;
  if (!edit) return 1;
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return 1;
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(edit, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, 5000, &copied))
    return 1;
  text.resize(copied);
  Print(ToTerminalText(text) + "\n");
  return 0;
}

int CloseResultWindow() {
  HWND window = FindResultWindow();
  if (!window) return 1;
  return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
}

// The strip: an untitled dialog holding a dialog that holds the toolbar.
HWND FindToolbar(HWND* strip) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
    char title[8] = {};
    if (!IsWindowVisible(window) || GetWindowTextA(window, title, sizeof title) > 0) continue;
    HWND tool = FindWindowExA(window, nullptr, "#32770", nullptr);
    HWND toolbar = tool ? FindWindowExA(tool, nullptr, TOOLBARCLASSNAMEA, nullptr) : nullptr;
    if (!toolbar) continue;
    if (strip) *strip = window;
    return toolbar;
  }
  return nullptr;
}

// The toolbar writes an item's rectangle into its own process's memory.
int PrintButtonCentre(int index, int seconds, DWORD start) {
  HWND toolbar;
  while (!(toolbar = FindToolbar(nullptr))) {
    if (GetTickCount() - start > static_cast<DWORD>(seconds) * 1000) return 1;
    Sleep(100);
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(toolbar, &pid);
  UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid));
  void* remote =
      process ? VirtualAllocEx(process.Get(), nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE)
              : nullptr;
  if (!remote) return 1;
  RECT rect = {};
  DWORD_PTR ok = 0;
  SIZE_T read = 0;
  SendMessageTimeoutA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote),
                      SMTO_ABORTIFHUNG, 5000, &ok);
  const bool got = ok && ReadProcessMemory(process.Get(), remote, &rect, sizeof rect, &read);
  VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  if (!got) return 1;
  POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(toolbar, &centre);
  Print(std::to_string(centre.x) + " " + std::to_string(centre.y) + "\n");
  return 0;
}

BOOL CALLBACK CloseTopLevel(HWND window, LPARAM) {
  if (IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Chooses 終了 and waits for Pellaro to end; then closes what is left on the
// run script's own desktop (the editor), so the desktop ends too. Gives
// Pellaro's exit code.
int ExitThroughMenu() {
  HWND strip = nullptr;
  if (!FindToolbar(&strip)) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(strip, &pid);
  UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!process || !PostMessageA(strip, WM_COMMAND, kExitCommand, 0)) return 1;
  if (WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return 1;
  DWORD code = 1;
  GetExitCodeProcess(process.Get(), &code);
  EnumWindows(CloseTopLevel, 0);
  return static_cast<int>(code);
}

// Makes this thread use the named desktop, waiting up to limitMs for it to be
// made (Pellaro's desktop appears only once Wine's explorer has started).
bool EnterDesktop(const char* name, DWORD limitMs, UniqueDesktop& desktop) {
  DWORD start = GetTickCount();
  while (!desktop.Valid()) {
    desktop.Reset(OpenDesktopA(name, 0, FALSE, GENERIC_ALL));
    if (desktop.Valid()) break;
    if (GetTickCount() - start > limitMs) return false;
    Sleep(100);
  }
  return SetThreadDesktop(desktop.Get()) != FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const bool waiting = std::strcmp(argv[2], "wait") == 0;
  const bool button = std::strcmp(argv[2], "button") == 0 && argc > 4;
  const int seconds = waiting && argc > 3 ? std::atoi(argv[3]) : button ? std::atoi(argv[4]) : 30;
  const DWORD start = GetTickCount();
  UniqueDesktop desktop;
  if (std::strcmp(argv[1], "-") != 0 &&
      !EnterDesktop(argv[1], waiting || button ? static_cast<DWORD>(seconds) * 1000 : 0, desktop))
    return 1;
  if (waiting) return WaitForWindow(seconds, start);
  if (std::strcmp(argv[2], "text") == 0) return PrintText();
  if (std::strcmp(argv[2], "close") == 0) return CloseResultWindow();
  if (button) return PrintButtonCentre(std::atoi(argv[3]), seconds, start);
  if (std::strcmp(argv[2], "exit") == 0) return ExitThroughMenu();
  return 2;
}
