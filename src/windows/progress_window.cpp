// The progress window of a tool run and the message handling while it runs.
#include "windows/progress_window.h"

#include <algorithm>

#include "common/dbcs_text.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "windows/screen_place.h"

namespace {

const char kProgressTemplate[] = "PROGRESS";
const char kRunningText[] = " を実行しています";
const char kSecondsText[] = "経過 %lu 秒";
constexpr DWORD kShowAfter = 1000;
// The live text is brought up to date at most this often.
constexpr DWORD kLivePeriod = 100;
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

void RunProgress::Begin(ToolRun& run) {
  run_ = &run;
  what_ = std::string(run.Tool()) + " " + FileNameOf(run.Call().folder + run.Call().target) +
          kRunningText;
  started_ = GetTickCount();
  shownSeconds_ = 0;
}

// A java run that goes on shows its output, and takes the user's lines, in
// its result window; in the visible prompt the console does both.
bool RunProgress::ShowsLive(const char* tool) const {
  return liveResults_ && lstrcmpA(tool, "java") == 0 && Settings.DOSPrompt == 0;
}

bool RunProgress::GivesInput(const char* tool) const { return ShowsLive(tool); }

DWORD RunProgress::NextWake() {
  const DWORD elapsed = GetTickCount() - started_;
  DWORD wake = INFINITE;
  if (!live_ && (!window_ || !IsWindowVisible(window_)))
    wake = elapsed >= kShowAfter ? 0 : kShowAfter - elapsed;
  else if (window_ && IsWindowVisible(window_))
    wake = 1000 - elapsed % 1000;
  if (live_ && IsWindow(live_) && LiveTextBehind()) {
    const DWORD since = GetTickCount() - liveShownAt_;
    wake = std::min(wake, since >= kLivePeriod ? 0 : kLivePeriod - since);
  }
  return wake;
}

bool RunProgress::ShouldStop() {
  PumpMessages();
  const DWORD elapsed = GetTickCount() - started_;
  if (run_ && elapsed >= kShowAfter && !live_ && (!window_ || !IsWindowVisible(window_))) {
    if (ShowsLive(run_->Tool()))
      OpenLive();
    else
      Show();
  }
  if (window_ && IsWindowVisible(window_) && elapsed / 1000 != shownSeconds_)
    ShowSeconds(elapsed / 1000);
  if (live_ && run_ && LiveTextBehind() && GetTickCount() - liveShownAt_ >= kLivePeriod) {
    ShowLiveText(live_, run_->Text());
    liveShownAt_ = GetTickCount();
  }
  if (stopRequested_) stopped_ = true;
  return stopRequested_;
}

void RunProgress::End() {
  run_ = nullptr;
  if (window_) ShowWindow(window_, SW_HIDE);
  // The next tool of a stopped sequence does not run; a run that went on
  // starts with a fresh button.
  stopRequested_ = false;
  if (window_) EnableWindow(GetDlgItem(window_, IDCANCEL), TRUE);
}

void RunProgress::Send(const std::wstring& line) {
  if (!run_) return;
  run_->Send(line);
  // The typed line shows at once.
  if (live_) {
    ShowLiveText(live_, run_->Text());
    liveShownAt_ = GetTickCount();
  }
}

bool RunProgress::LiveTextBehind() const {
  return run_ && IsWindow(live_) && !LiveTextShown(live_, run_->Text());
}

// Input for the live result window reaches it (with the timers of its
// fields); the progress window takes its own through IsDialogMessage.
bool RunProgress::TakesInput(const MSG& message) const {
  return live_ && message.hwnd && (message.hwnd == live_ || IsChild(live_, message.hwnd));
}

void RunProgress::PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit_ = true;
      quitCode_ = message.wParam;
      continue;
    }
    if (TakesInput(message) && IsDialogMessageA(live_, &message)) continue;
    if (window_ && IsWindowVisible(window_) && IsDialogMessageA(window_, &message)) continue;
    // The run's own windows take input; the rest of the program waits, and
    // its timers would start what must wait for the run's end.
    if (!TakesInput(message) && (IsUserInput(message.message) || message.message == WM_TIMER))
      continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void RunProgress::OpenLive() {
  // The keyboard is the result window's only when the user's eyes are on
  // the strip or the editor; a window of the program's own (Swing, AWT) or
  // any other keeps it.
  HWND front = GetForegroundWindow();
  const bool takeKeyboard = front && (front == Settings.MainWindow || front == commandWindow_);
  live_ = OpenLiveResultWindow(sourceFile_, run_->Text(), *this, takeKeyboard);
  liveShownAt_ = GetTickCount();
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
