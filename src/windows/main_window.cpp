// The MAIN strip's dialog procedure and its helpers.
#include "windows/main_window.h"

#include <string>

#include "app/instance_channel.h"
#include "common/dpi_scale.h"
#include "common/win_handle.h"
#include "editor/editor_tracker.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "windows/screen_place.h"
#include "windows/tool_window.h"

namespace {

const char kMainTemplate[] = "MAIN";
const char kMenuName[] = "MENU";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 500;
constexpr int kHotKeyCount = 3;
// The strip's own surface left of the toolbar, at 96 DPI: wide enough to grab
// and right-click, no wider; a raised bar in it shows where.
constexpr int kGripWidth = 6;
constexpr int kGripBarLeft = 1;
constexpr int kGripBarWidth = 3;
constexpr int kGripBarInset = 2;

bool holdingFiles = false;

void RegisterHotKeys(HWND window) {
  for (int id = 1; id <= kHotKeyCount; ++id) {
    const CommandSlot& slot = Settings.Cmd[id - 1];
    // A slot without a key has no hot key; a key another program holds stays
    // without one too.
    if (slot.HotKey1 != 0) RegisterHotKey(window, id, slot.HotKey2, slot.HotKey1);
  }
}

void UnregisterHotKeys(HWND window) {
  for (int id = 1; id <= kHotKeyCount; ++id) UnregisterHotKey(window, id);
}

// The stored place, kept reachable when its screen is gone.
POINT StripPlace(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return ReachableCorner({Settings.WindowX, Settings.WindowY},
                         {rect.right - rect.left, rect.bottom - rect.top});
}

void OnInitDialog(HWND window) {
  const LONG_PTR removed = WS_BORDER | WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~removed);
  const POINT place = StripPlace(window);
  SetWindowPos(window, nullptr, place.x, place.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  ShowWindow(window, SW_SHOW);
  SetTimer(window, kPollTimer, kPollMs, nullptr);
  RegisterHotKeys(window);
}

void ExitSequence(HWND window) {
  UnregisterHotKeys(window);
  RECT rect;
  GetWindowRect(window, &rect);
  Settings.WindowX = rect.left;
  Settings.WindowY = rect.top;
  PostQuitMessage(0);
  EndDialog(window, 0);
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const UINT dpi = WindowDpi(window);
  RECT client;
  GetClientRect(window, &client);
  const LONG left = ScaleToDpi(kGripBarLeft, dpi);
  const LONG inset = ScaleToDpi(kGripBarInset, dpi);
  RECT bar = {left, inset, left + ScaleToDpi(kGripBarWidth, dpi), client.bottom - inset};
  DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT);
  EndPaint(window, &paint);
}

// On a screen of another DPI the toolbar is made again for it.
void OnDpiChanged(HWND window, const RECT* suggested) {
  BuildToolbar();
  FitStripToToolbar(window);
  SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window, nullptr, TRUE);
}

void OnPollTick(HWND window) {
  std::string path;
  if (!holdingFiles && Channel.Receive(path)) Editors.Launch(Settings.editor, path);
  if (!Editors.StillRunning()) {
    KillTimer(window, kPollTimer);
    ExitSequence(window);
  }
}

void OnRightButtonDown(HWND window, LPARAM where) {
  POINT point = {LOWORD(where), HIWORD(where)};
  UniqueMenu menu(LoadMenuA(Settings.Instance, kMenuName));
  HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
  if (!popup) return;
  const UINT entries[kSlotCount] = {IDM_COMMAND1, IDM_COMMAND2, IDM_COMMAND3};
  for (int slot = 0; slot < kSlotCount; ++slot)
    ModifyMenuA(popup, entries[slot], MF_BYCOMMAND | MF_STRING, entries[slot],
                SlotDescription(slot).c_str());
  ClientToScreen(window, &point);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, point.x, point.y, 0, window, nullptr);
}

// Menu entries stand for the toolbar's commands.
int ToolbarCommandFor(WPARAM menuCommand) {
  switch (menuCommand) {
    case IDM_COMMAND1:
      return IDC_COMMAND1;
    case IDM_COMMAND2:
      return IDC_COMMAND2;
    case IDM_COMMAND3:
      return IDC_COMMAND3;
    case IDM_OPTIONS:
      return IDC_SETTINGS;
  }
  return 0;
}

BOOL OnCommand(HWND window, WPARAM command) {
  if (command == IDM_EXIT) {
    ExitSequence(window);
    return FALSE;
  }
  const int toolbarCommand = ToolbarCommandFor(command);
  if (toolbarCommand == 0) return FALSE;
  SendMessageA(Settings.ToolWindow, WM_COMMAND, toolbarCommand, 0);
  return TRUE;
}

BOOL OnHotKey(WPARAM id) {
  if (id < 1 || id > kHotKeyCount) return FALSE;
  SendMessageA(Settings.ToolWindow, WM_COMMAND, IDC_COMMAND1 + (id - 1), 0);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(window);
      return FALSE;
    case WM_COMMAND:
      return OnCommand(window, wParam);
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
      // Alt+F4 leaves the strip in place; only its hot keys go.
      UnregisterHotKeys(window);
      return TRUE;
    case WM_TIMER:
      OnPollTick(window);
      return TRUE;
    case WM_LBUTTONDOWN:
      // Grabbing the strip's own surface drags it as a caption would.
      SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      return TRUE;
    case WM_RBUTTONDOWN:
      OnRightButtonDown(window, lParam);
      return TRUE;
    case WM_HOTKEY:
      return OnHotKey(wParam);
    case WM_SETFOCUS:
      // The strip keeps the focus itself: a toolbar given the focus shows its
      // first button as if the mouse were on it.
      return TRUE;
    case WM_PAINT:
      OnPaint(window);
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(window, reinterpret_cast<const RECT*>(lParam));
      return TRUE;
  }
  return FALSE;
}

void HoldIncomingFiles(bool hold) { holdingFiles = hold; }

bool StripHasStoredPlace() { return Settings.WindowX != 0 || Settings.WindowY != 0; }

namespace {

BOOL CALLBACK TakeCaptionedWindow(HWND window, LPARAM found) {
  if (!IsWindowVisible(window) || (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The caption bar of the editor's window on file, in screen coordinates;
// empty when there is none.
RECT EditorCaptionBar(const std::string& file) {
  HWND editor = nullptr;
  for (DWORD thread : Editors.ThreadsOnFile(file))
    if (!editor) EnumThreadWindows(thread, TakeCaptionedWindow, reinterpret_cast<LPARAM>(&editor));
  TITLEBARINFO bar = {};
  bar.cbSize = sizeof bar;
  if (!editor || !GetTitleBarInfo(editor, &bar) || (bar.rgstate[0] & STATE_SYSTEM_INVISIBLE))
    return RECT{};
  return bar.rcTitleBar;
}

}  // namespace

void PlaceStripFirstTime(HWND window, const std::string& file) {
  RECT rect;
  GetWindowRect(window, &rect);
  const RECT bar = file.empty() ? RECT{} : EditorCaptionBar(file);
  const RECT work =
      NearestWorkArea(bar.right > bar.left ? POINT{bar.left, bar.top} : POINT{rect.left, rect.top});
  const POINT place = StripFirstPlace({rect.right - rect.left, rect.bottom - rect.top}, work, bar);
  SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateMainWindow() {
  return CreateDialogParamA(Settings.Instance, kMainTemplate, nullptr, MainWindowProc, 0);
}

void FitStripToToolbar(HWND window) {
  const LONG grip = ScaleToDpi(kGripWidth, WindowDpi(window));
  RECT tool, outer, client;
  GetWindowRect(Settings.ToolWindow, &tool);
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  SetWindowPos(Settings.ToolWindow, nullptr, grip, 0, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame the strip keeps without its caption, around grip and toolbar.
  const LONG width = grip + (tool.right - tool.left) + (outer.right - outer.left) - client.right;
  const LONG height = (tool.bottom - tool.top) + (outer.bottom - outer.top) - client.bottom;
  SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
