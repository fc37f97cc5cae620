// result_peek.exe: lets the run script look at Pellaro's result window from
// outside — wait for it, read its text, close it.
//
//   result_peek <desktop> wait <seconds>   prints "left top width height"
//   result_peek <desktop> text             prints the captured text as UTF-8
//   result_peek <desktop> close            closes the window as its close box does
//
// <desktop> is the Wine desktop Pellaro runs in ("-" for this process's own).
// Exit code 0 on success, 1 when the window is not there, 2 on bad usage.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/win_handle.h"

namespace {

constexpr int kResultTextId = 1098;
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
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
  std::wstring lines;
  for (wchar_t c : wide)
    if (c != L'\r') lines += c;
  n = WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), nullptr, 0,
                          nullptr, nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), &utf8[0], n,
                      nullptr, nullptr);
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
  const int seconds = waiting && argc > 3 ? std::atoi(argv[3]) : 30;
  const DWORD start = GetTickCount();
  UniqueDesktop desktop;
  if (std::strcmp(argv[1], "-") != 0 &&
      !EnterDesktop(argv[1], waiting ? static_cast<DWORD>(seconds) * 1000 : 0, desktop))
    return 1;
  if (waiting) return WaitForWindow(seconds, start);
  if (std::strcmp(argv[2], "text") == 0) return PrintText();
  if (std::strcmp(argv[2], "close") == 0) return CloseResultWindow();
  return 2;
}
