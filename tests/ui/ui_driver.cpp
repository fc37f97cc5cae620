// Driving the real Pellaro.exe from a test.
#include "ui_driver.h"

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <vector>

#include "test_support.h"

namespace {

const char kDialogClass[] = "#32770";
const char kResultCaption[] = "結果";
const char kProductKey[] = "Software\\DrussetAPP\\Pellaro\\";
const char kDesktopKey[] = "Control Panel\\Desktop";
const char kLogPixels[] = "LogPixels";

// The static that holds a message box's text.
constexpr int kMessageBoxText = 0xFFFF;
// The save picker's file name field: the combo box of the explorer-style
// dialog, or the plain edit of the old-style one.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

constexpr DWORD kPollMs = 20;
// The result window's text is at most 262,144 bytes; room to spare shows a cut
// that went wrong.
constexpr std::size_t kResultTextRoom = 300 * 1024;

// Polls until found gives a window or the time runs out.
HWND PollForWindow(DWORD timeoutMs, const std::function<HWND()>& found) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = found()) return window;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(kPollMs);
  }
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The caption the system keeps for a top-level window; no message is sent.
std::string CaptionOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The visible top-level windows of the process of this class that pass the
// test, front first.
std::vector<HWND> FindWindows(DWORD pid, const char* className,
                              const std::function<bool(HWND)>& wanted) {
  std::vector<HWND> found;
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window) && wanted(window)) found.push_back(window);
  }
  return found;
}

// The first visible dialog of the process that passes the test.
HWND FindDialog(DWORD pid, const std::function<bool(HWND)>& wanted) {
  const std::vector<HWND> found = FindWindows(pid, kDialogClass, wanted);
  return found.empty() ? nullptr : found.front();
}

std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

// A message box is a dialog of buttons and statics with its text static.
bool IsMessageBox(HWND window) {
  if (!GetDlgItem(window, kMessageBoxText)) return false;
  for (HWND child : ChildrenOf(window)) {
    std::string type = ClassOf(child);
    if (type != "Button" && type != "Static") return false;
  }
  return true;
}

std::string TextByMessage(HWND window, std::size_t room) {
  std::vector<char> text(room, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, room, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_NORMAL, kUiWaitMs, &copied))
    return std::string();
  return std::string(text.data(), copied < room ? copied : room - 1);
}

std::string KeyPath(const std::string& key) { return kProductKey + key; }

void StoreValue(const std::string& key, const std::string& name, DWORD type, const void* data,
                DWORD size) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return;
  UniqueRegKey owned(handle);
  RegSetValueExA(owned.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

bool StoredBytes(const std::string& key, const std::string& name, std::string& bytes) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return false;
  UniqueRegKey owned(handle);
  DWORD size = 0;
  if (RegQueryValueExA(owned.Get(), name.c_str(), nullptr, nullptr, nullptr, &size) !=
      ERROR_SUCCESS)
    return false;
  bytes.assign(size, '\0');
  return size == 0 || RegQueryValueExA(owned.Get(), name.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(&bytes[0]), &size) == ERROR_SUCCESS;
}

}  // namespace

bool PellaroProcess::WaitForExit(DWORD timeoutMs) const {
  return Started() && WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD PellaroProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (Started()) GetExitCodeProcess(process_.Get(), &code);
  return code;
}

void PellaroProcess::EndIfRunning() {
  if (!Started() || WaitForExit(0)) return;
  TerminateProcess(process_.Get(), 1);
  WaitForSingleObject(process_.Get(), kUiWaitMs);
}

PellaroProcess StartPellaro(const std::string& arguments, const std::string& workingFolder) {
  return StartCommandLine("\"" + ProgramsFolder() + "\\Pellaro.exe\" " + arguments, workingFolder);
}

PellaroProcess StartCommandLine(const std::string& commandLine, const std::string& workingFolder) {
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  // As Explorer starts a program: no console to share and no standard
  // handles, so that a console the program makes is its own.
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION started = {};
  PellaroProcess process;
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started))
    return process;
  CloseHandle(started.hThread);
  process.process_.Reset(started.hProcess);
  process.id_ = started.dwProcessId;
  return process;
}

std::vector<HWND> FindResultWindows(DWORD pid) {
  return FindWindows(pid, kDialogClass, [](HWND window) {
    // "結果", or "結果 - Hello.java" with " (実行中)" while its run goes on.
    return CaptionOf(window).compare(0, sizeof kResultCaption - 1, kResultCaption) == 0 &&
           GetDlgItem(window, kResultEdit) != nullptr;
  });
}

HWND FindResultWindow(DWORD pid) {
  const std::vector<HWND> found = FindResultWindows(pid);
  return found.empty() ? nullptr : found.front();
}

HWND WaitForResultWindow(DWORD pid, DWORD timeoutMs) {
  return PollForWindow(timeoutMs, [pid] { return FindResultWindow(pid); });
}

HWND WaitForResultOrMessageBox(DWORD pid, DWORD timeoutMs) {
  return PollForWindow(timeoutMs, [pid] {
    HWND result = FindResultWindow(pid);
    return result ? result : WaitForMessageBox(pid, nullptr, 0);
  });
}

HWND WaitForDialog(DWORD pid, const std::string& caption, DWORD timeoutMs) {
  return PollForWindow(timeoutMs, [&] {
    return FindDialog(pid, [&](HWND window) { return CaptionOf(window) == caption; });
  });
}

HWND WaitForMessageBox(DWORD pid, HWND owner, DWORD timeoutMs) {
  return PollForWindow(timeoutMs, [&] {
    return FindDialog(pid, [&](HWND window) {
      return GetWindow(window, GW_OWNER) == owner && IsMessageBox(window);
    });
  });
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
  return PollForWindow(timeoutMs, [window] { return IsWindow(window) ? nullptr : window; }) !=
         nullptr;
}

bool WaitUntilIdle(HWND window) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kUiWaitMs, &ignored) != 0;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  return PollForWindow(timeoutMs, [&done] { return done() ? GetDesktopWindow() : nullptr; }) !=
         nullptr;
}

HWND WaitForStrip(DWORD pid, DWORD timeoutMs) {
  return PollForWindow(timeoutMs, [pid] {
    return FindDialog(pid, [](HWND window) {
      HWND tool = FindWindowExA(window, nullptr, kDialogClass, nullptr);
      return tool && FindWindowExA(tool, nullptr, TOOLBARCLASSNAMEA, nullptr) != nullptr;
    });
  });
}

HWND StripToolbar(HWND strip) {
  HWND tool = FindWindowExA(strip, nullptr, kDialogClass, nullptr);
  return tool ? FindWindowExA(tool, nullptr, TOOLBARCLASSNAMEA, nullptr) : nullptr;
}

RECT ToolbarButtonRect(HWND strip, int index) {
  RECT rect = {};
  HWND toolbar = StripToolbar(strip);
  DWORD pid = 0;
  GetWindowThreadProcessId(toolbar, &pid);
  UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid));
  if (!toolbar || !process) return rect;
  // The toolbar writes the rectangle into its own process's memory.
  void* remote = VirtualAllocEx(process.Get(), nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return rect;
  DWORD_PTR ok = 0;
  SendMessageTimeoutA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                      kUiWaitMs, &ok);
  SIZE_T read = 0;
  if (ok) ReadProcessMemory(process.Get(), remote, &rect, sizeof rect, &read);
  VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs) {
  return PollForWindow(timeoutMs, [pid]() -> HWND {
    const std::vector<HWND> menus = FindWindows(pid, "#32768", [](HWND) { return true; });
    return menus.empty() ? nullptr : menus.front();
  });
}

namespace {

void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

void MoveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  Sleep(kPollMs);
}

}  // namespace

void HoverAt(POINT screen) {
  MoveMouse(screen);
  // A move as the hand makes it, so the window under the mouse hears of it.
  SendMouse(MOUSEEVENTF_MOVE);
}

void ClickAt(POINT screen, bool rightButton) {
  MoveMouse(screen);
  SendMouse(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  SendMouse(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void DoubleClickAt(POINT screen) {
  MoveMouse(screen);
  for (int i = 0; i < 2; ++i) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
  }
}

void DragFromTo(POINT from, POINT to) {
  MoveMouse(from);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(100);
  // A few steps, as a hand moves; the system's move loop follows each one.
  for (int step = 1; step <= 4; ++step) {
    MoveMouse({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
    Sleep(30);
  }
  SendMouse(MOUSEEVENTF_LEFTUP);
  Sleep(100);
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--it;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

POINT CenterOf(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool BringToFront(HWND window) {
  return PollForWindow(kUiWaitMs, [window]() -> HWND {
           if (GetForegroundWindow() == window) return window;
           SetForegroundWindow(window);
           return nullptr;
         }) != nullptr;
}

std::string WindowText(HWND window) { return TextByMessage(window, 4096); }

std::string ResultText(HWND result) {
  return TextByMessage(GetDlgItem(result, kResultEdit), kResultTextRoom);
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, kMessageBoxText)); }

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SendCommand(HWND dialog, int id) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, kUiWaitMs,
                      &ignored);
}

void CloseFromSystemMenu(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

RECT OuterRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

WindowPlace PlaceOf(HWND window) {
  RECT rect = OuterRect(window);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool StoredResultPlace(WindowPlace& place) {
  return StoredNumber("AppData", "LogPosX", place.x) &&
         StoredNumber("AppData", "LogPosY", place.y) &&
         StoredNumber("AppData", "LogSizeX", place.width) &&
         StoredNumber("AppData", "LogSizeY", place.height);
}

void StoreResultPlace(const WindowPlace& place) {
  StoreNumber("AppData", "LogPosX", static_cast<DWORD>(place.x));
  StoreNumber("AppData", "LogPosY", static_cast<DWORD>(place.y));
  StoreNumber("AppData", "LogSizeX", static_cast<DWORD>(place.width));
  StoreNumber("AppData", "LogSizeY", static_cast<DWORD>(place.height));
}

RECT RectInParent(HWND child) {
  RECT rect = OuterRect(child);
  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  HWND parent = GetParent(child);
  ScreenToClient(parent, &corners[0]);
  ScreenToClient(parent, &corners[1]);
  return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void TypeFileName(HWND picker, const std::string& text) {
  HWND field = GetDlgItem(picker, kFileNameCombo);
  if (!field) field = GetDlgItem(picker, kFileNameEdit);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                      kUiWaitMs, &ignored);
}

void PressPickerOk(HWND picker) { PressButton(picker, IDOK); }

void StoreText(const std::string& key, const std::string& name, const std::string& text) {
  StoreValue(key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void StoreNumber(const std::string& key, const std::string& name, DWORD value) {
  StoreValue(key, name, REG_DWORD, &value, sizeof value);
}

std::string StoredText(const std::string& key, const std::string& name) {
  std::string bytes;
  if (!StoredBytes(key, name, bytes)) return "<missing>";
  std::size_t end = bytes.find('\0');
  return end == std::string::npos ? bytes : bytes.substr(0, end);
}

bool StoredNumber(const std::string& key, const std::string& name, LONG& value) {
  std::string bytes;
  if (!StoredBytes(key, name, bytes) || bytes.size() != sizeof(DWORD)) return false;
  DWORD number = 0;
  std::memcpy(&number, bytes.data(), sizeof number);
  value = static_cast<LONG>(number);
  return true;
}

ScopedLogPixels::ScopedLogPixels(DWORD dpi) {
  UniqueRegKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      key.Receive(), nullptr) != ERROR_SUCCESS)
    return;
  DWORD size = sizeof old_;
  had_ = RegQueryValueExA(key.Get(), kLogPixels, nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                          &size) == ERROR_SUCCESS;
  RegSetValueExA(key.Get(), kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                 sizeof dpi);
}

ScopedLogPixels::~ScopedLogPixels() {
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_ALL_ACCESS, key.Receive()) !=
      ERROR_SUCCESS)
    return;
  if (had_)
    RegSetValueExA(key.Get(), kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                   sizeof old_);
  else
    RegDeleteValueA(key.Get(), kLogPixels);
}
