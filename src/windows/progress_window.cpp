// The progress window of a tool run and the message handling while it runs.
#include "windows/progress_window.h"

#include "common/dbcs_text.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "windows/screen_place.h"

namespace {

const char kProgressTemplate[] = "PROGRESS";
const char kRunningText[] = " を実行しています";
const char kSecondsText[] = "経過 %lu 秒";
constexpr DWORD kShowAfter = 1000;
constexpr int kGap = 4;

bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_HOTKEY ||
         message == WM_COMMAND || message == WM_SYSCOMMAND || message == WM_CONTEXTMENU;
}

// Just below the strip, or above it when the screen ends there; without a
// strip (compile-only mode), at the top right of the work area. Always on a
// work area.
void PlaceNearStrip(HWND window) {
  RECT own;
  GetWindowRect(window, &own);
  SIZE size = {own.right - own.left, own.bottom - own.top};
  RECT strip = {};
  if (!Settings.MainWindow || !GetWindowRect(Settings.MainWindow, &strip)) {
    POINT origin = {0, 0};
    const RECT area = NearestWorkArea(origin);
    SetWindowPos(window, HWND_TOPMOST, area.right - size.cx, area.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  POINT corner = {strip.left, strip.bottom + kGap};
  RECT area = NearestWorkArea(corner);
  if (corner.y + size.cy > area.bottom) corner.y = strip.top - kGap - size.cy;
  corner = ReachableCorner(corner, size);
  SetWindowPos(window, HWND_TOPMOST, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

INT_PTR CALLBACK ProgressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      // No focus of its own: setting one would take the keyboard from the
      // window the user types into.
      return FALSE;
    case WM_COMMAND:
      // 中止, Escape and the close command all stop the run.
      if (LOWORD(wParam) == IDCANCEL) {
        auto* progress = reinterpret_cast<RunProgress*>(GetWindowLongPtrA(window, DWLP_USER));
        if (progress) progress->RequestStop();
        EnableWindow(GetDlgItem(window, IDCANCEL), FALSE);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

RunProgress::~RunProgress() {
  if (window_) DestroyWindow(window_);
  if (quit_) PostQuitMessage(static_cast<int>(quitCode_));
}

void RunProgress::Begin(const char* tool, const std::string& path) {
  what_ = std::string(tool) + " " + FileNameOf(path) + kRunningText;
  started_ = GetTickCount();
  shownSeconds_ = 0;
}

bool RunProgress::ShouldStop() {
  PumpMessages();
  const DWORD elapsed = GetTickCount() - started_;
  if (elapsed >= kShowAfter && (!window_ || !IsWindowVisible(window_))) Show();
  if (window_ && elapsed / 1000 != shownSeconds_) ShowSeconds(elapsed / 1000);
  if (stopRequested_) stopped_ = true;
  return stopRequested_;
}

void RunProgress::End() {
  if (window_) ShowWindow(window_, SW_HIDE);
  // The next tool of a stopped sequence does not run; a run that went on
  // starts with a fresh button.
  stopRequested_ = false;
  if (window_) EnableWindow(GetDlgItem(window_, IDCANCEL), TRUE);
}

void RunProgress::PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit_ = true;
      quitCode_ = message.wParam;
      continue;
    }
    if (window_ && IsWindowVisible(window_) && IsDialogMessageA(window_, &message)) continue;
    // The run's own window takes input; the rest of the program waits, and
    // its timers would start what must wait for the run's end.
    if (IsUserInput(message.message) || message.message == WM_TIMER) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void RunProgress::Show() {
  if (!window_)
    window_ = CreateDialogParamA(GetModuleHandleA(nullptr), kProgressTemplate, nullptr,
                                 ProgressWindowProc, reinterpret_cast<LPARAM>(this));
  if (!window_) return;
  SetDlgItemTextA(window_, IDC_PROGRESS_WHAT, what_.c_str());
  ShowSeconds(1);
  PlaceNearStrip(window_);
  // The keyboard stays where the user types: in the console, the program's
  // own window or the editor. 中止 takes a click, or Escape once the user
  // has given this window the focus.
  ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void RunProgress::ShowSeconds(DWORD seconds) {
  shownSeconds_ = seconds;
  char text[64];
  wsprintfA(text, kSecondsText, static_cast<unsigned long>(seconds));
  SetDlgItemTextA(window_, IDC_PROGRESS_TIME, text);
}
