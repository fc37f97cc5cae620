// result_peek.exe: lets the run and screenshot scripts look at Pellaro's
// windows from outside — wait for the result window, read its text, close it;
// find the strip's toolbar buttons; end the program through the strip's menu;
// find any window by its caption, press its buttons, fill in its fields, open
// the strip's menu and turn the settings pages.
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
//   result_peek <desktop> rect <caption> <seconds> [<id>]
//                                          waits for a visible window with that
//                                          caption ("-": the strip), and with a
//                                          control id when one is given; prints
//                                          "left top width height"
//   result_peek <desktop> press <caption> <id>
//                                          clicks the window's visible button id,
//                                          also one on a page it shows (for the
//                                          strip: the menu command id)
//   result_peek <desktop> type <caption> <id> <text>
//                                          puts the text into the window's field id
//   result_peek <desktop> field <caption> <id>
//                                          prints the text of the window's field id
//   result_peek <desktop> menu             opens the strip's menu at its grip;
//                                          prints the menu's "left top width height"
//   result_peek <desktop> page <n>         shows page n (0 first) of the settings
//                                          page selector
//
// <desktop> is the Wine desktop Pellaro runs in ("-" for this process's own).
// Captions and texts are in the ANSI code page, as the command line gives them.
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
constexpr int kPageListId = 1099;
const char kResultTitle[] = "結果";
const char kSelectorTitle[] = "プロパティ";
const char kStripName[] = "-";

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

// Whether a window's caption is caption, or caption followed by " - " and
// what the window shows (結果 - Hello.java).
bool CaptionIs(HWND window, const std::string& caption) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  const std::string shown = text;
  return shown == caption || shown.compare(0, caption.size() + 3, caption + " - ") == 0;
}

HWND FindResultWindow() {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));)
    if (IsWindowVisible(window) && CaptionIs(window, kResultTitle)) return window;
  return nullptr;
}

void PrintRect(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  Print(std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
        std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top) +
        "\n");
}

// Calls find every 100 ms until it gives a window or seconds after start.
template <typename Find>
HWND WaitFor(Find find, int seconds, DWORD start) {
  HWND window;
  while (!(window = find())) {
    if (GetTickCount() - start > static_cast<DWORD>(seconds) * 1000) return nullptr;
    Sleep(100);
  }
  return window;
}

// ANSI text to UTF-8 with LF line ends, for a Unix terminal.
std::string ToTerminalText(const std::string& ansi) {
  std::string utf8 = Recode(ansi, CP_ACP, CP_UTF8);
  utf8.erase(std::remove(utf8.begin(), utf8.end(), '\r'), utf8.end());
  return utf8;
}

// Waits until seconds after start for the window; prints its rectangle.
int WaitForWindow(int seconds, DWORD start) {
  HWND window = WaitFor(FindResultWindow, seconds, start);
  if (!window) return 1;
  PrintRect(window);
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

HWND FindStrip() {
  HWND strip = nullptr;
  FindToolbar(&strip);
  return strip;
}

// The visible top-level window with this caption (and this control, unless
// 0), or the strip for "-".
HWND FindWindowCalled(const std::string& caption, int controlId = 0) {
  if (caption == kStripName) return FindStrip();
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, nullptr));)
    if (IsWindowVisible(window) && CaptionIs(window, caption) &&
        (controlId == 0 || GetDlgItem(window, controlId)))
      return window;
  return nullptr;
}

int PrintWindowRect(const std::string& caption, int seconds, DWORD start, int controlId) {
  HWND window = WaitFor([&] { return FindWindowCalled(caption, controlId); }, seconds, start);
  if (!window) return 1;
  PrintRect(window);
  return 0;
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<ControlSearch*>(data);
  if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child)) return TRUE;
  search->found = child;
  return FALSE;
}

// The visible control with this id anywhere inside the window (on the page
// a settings window shows, say); null when there is none.
HWND FindControl(HWND window, int id) {
  ControlSearch search = {id, nullptr};
  if (window) EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A click on the button as its parent hears of it; for the strip, a menu choice.
int Press(const std::string& caption, int id) {
  HWND window = FindWindowCalled(caption);
  HWND button = FindControl(window, id);
  HWND parent = button ? GetParent(button) : window;
  if (!parent) return 1;
  return PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))
             ? 0
             : 1;
}

int TypeInto(const std::string& caption, int id, const std::string& text) {
  HWND field = FindControl(FindWindowCalled(caption), id);
  DWORD_PTR done = 0;
  return field && SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                      SMTO_ABORTIFHUNG, 5000, &done)
             ? 0
             : 1;
}

int PrintField(const std::string& caption, int id) {
  HWND field = FindControl(FindWindowCalled(caption), id);
  char text[1024] = {};
  DWORD_PTR copied = 0;
  if (!field || !SendMessageTimeoutA(field, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                     SMTO_ABORTIFHUNG, 5000, &copied))
    return 1;
  Print(ToTerminalText(text) + "\n");
  return 0;
}

// A right click on the strip's grip, left of its toolbar, as the user gives it.
int OpenStripMenu() {
  HWND strip = FindStrip();
  if (!strip) return 1;
  SetForegroundWindow(strip);
  RECT client;
  GetClientRect(strip, &client);
  PostMessageA(strip, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, client.bottom / 2));
  HWND menu = WaitFor([] { return FindWindowA("#32768", nullptr); }, 10, GetTickCount());
  if (!menu) return 1;
  PrintRect(menu);
  return 0;
}

// What the page list does when the user picks an entry.
int ShowSettingsPage(int index) {
  HWND selector = FindWindowCalled(kSelectorTitle);
  HWND list = selector ? GetDlgItem(selector, kPageListId) : nullptr;
  if (!list) return 1;
  DWORD_PTR done = 0;
  SendMessageTimeoutA(list, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 5000, &done);
  return SendMessageTimeoutA(selector, WM_COMMAND, MAKEWPARAM(kPageListId, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(list), SMTO_ABORTIFHUNG, 5000, &done)
             ? 0
             : 1;
}

// The toolbar writes an item's rectangle into its own process's memory.
int PrintButtonCentre(int index, int seconds, DWORD start) {
  HWND toolbar = WaitFor([] { return FindToolbar(nullptr); }, seconds, start);
  if (!toolbar) return 1;
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
  const std::string verb = argv[2];
  const bool waiting = verb == "wait";
  const bool button = verb == "button" && argc > 4;
  const bool rect = verb == "rect" && argc > 4;
  const int seconds = waiting && argc > 3 ? std::atoi(argv[3])
                      : button || rect    ? std::atoi(argv[4])
                                          : 30;
  const DWORD start = GetTickCount();
  UniqueDesktop desktop;
  const bool waitsForDesktop = waiting || button || rect;
  if (std::strcmp(argv[1], "-") != 0 &&
      !EnterDesktop(argv[1], waitsForDesktop ? static_cast<DWORD>(seconds) * 1000 : 0, desktop))
    return 1;
  if (waiting) return WaitForWindow(seconds, start);
  if (verb == "text") return PrintText();
  if (verb == "close") return CloseResultWindow();
  if (button) return PrintButtonCentre(std::atoi(argv[3]), seconds, start);
  if (verb == "exit") return ExitThroughMenu();
  if (rect) return PrintWindowRect(argv[3], seconds, start, argc > 5 ? std::atoi(argv[5]) : 0);
  if (verb == "press" && argc > 4) return Press(argv[3], std::atoi(argv[4]));
  if (verb == "type" && argc > 5) return TypeInto(argv[3], std::atoi(argv[4]), argv[5]);
  if (verb == "field" && argc > 4) return PrintField(argv[3], std::atoi(argv[4]));
  if (verb == "menu") return OpenStripMenu();
  if (verb == "page" && argc > 3) return ShowSettingsPage(std::atoi(argv[3]));
  return 2;
}
