// The TOOLWND dialog procedure, the toolbar and the command runs behind it.
#include "windows/tool_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "common/dbcs_text.h"
#include "common/dpi_scale.h"
#include "common/windows_family.h"
#include "dialogs/settings_frame.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "tools/command_pipeline.h"
#include "tools/run_plan.h"
#include "tools/tool_run.h"
#include "windows/progress_window.h"
#include "windows/result_window.h"

namespace {

const char kToolWindowTemplate[] = "TOOLWND";
const char kSettingsTip[] = "設定";
constexpr int kImageCount = 4;
constexpr int kButtonPadding = 2;
constexpr std::size_t kResultLineFeeds = 8;
constexpr UINT_PTR kPrepareTimer = 1;
// Timers come after drawing, so this leaves the result window's first paint
// to the window.
constexpr UINT kPrepareDelayMs = 50;

// What a slot's ExeMode does, for a button without a tooltip of its own.
const char* ExeModeWords(DWORD mode) {
  switch (mode) {
    case 1:
      return "コンパイル (javac)";
    case 2:
      return "実行 (java)";
    case 3:
      return "コンパイルして実行 (javac → java)";
    case 6:
      return "アプレット表示 (appletviewer)";
    case 7:
      return "コンパイルしてアプレット表示 (javac → appletviewer)";
  }
  return nullptr;
}

void OnNeedText(NMTTDISPINFOA* info) {
  // Kept until the tooltip asks again.
  static char text[kTextFieldSize];
  switch (info->hdr.idFrom) {
    case IDC_COMMAND1:
    case IDC_COMMAND2:
    case IDC_COMMAND3:
      // Read now, so a tooltip changed in the settings shows at once.
      CopyToField(text, sizeof text,
                  SlotDescription(static_cast<int>(info->hdr.idFrom - IDC_COMMAND1)));
      info->lpszText = text;
      break;
    default:
      info->lpszText = const_cast<char*>(kSettingsTip);
      break;
  }
}

BOOL OnNotify(NMHDR* header) {
  if (header->code != TTN_NEEDTEXTA) return FALSE;
  if (header->idFrom < IDC_COMMAND1 || header->idFrom > IDC_SETTINGS) return FALSE;
  OnNeedText(reinterpret_cast<NMTTDISPINFOA*>(header));
  return TRUE;
}

// While a run goes on, the progress window's message handling gives the
// strip no command; this guards against one sent to it all the same.
bool running = false;

void OnPrepareTimer(HWND window) {
  KillTimer(window, kPrepareTimer);
  // A run's end asks again.
  if (running || Settings.PxsMode) return;
  PrepareInterpreterForNextRun();
}

// The finished run's text goes to the window that showed it live, or to a
// new one when the run ended within a second and the text asks for one.
void ShowRunResult(HWND live, bool stopped, const RunOrigin& origin, HWND editor) {
  if (live) {
    // Closed by the user while the run went on: the user has seen enough.
    if (IsWindow(live)) FinishLiveResultWindow(live, origin);
    return;
  }
  // A stopped run shows what it printed up to the stop.
  if (stopped || WantsResultWindow(ResultBuffer, Settings.Kekka))
    OpenResultWindow(origin);
  else if (IsWindow(editor))
    // The strip, a console or the program's own window may have taken the
    // keyboard: what the user types next belongs to the editor.
    SetForegroundWindow(editor);
}

void RunSlot(int slot) {
  if (running) return;
  std::string source;
  HWND editor = nullptr;
  if (!FindTargetFile(source, &editor)) return;
  running = true;
  RunOrigin origin;
  HWND live = nullptr;
  bool stopped = false;
  {
    RunProgress progress(source, editor);
    WatchRuns(&progress);
    origin = RunSequence(slot, source, ResultBuffer);
    WatchRuns(nullptr);
    stopped = progress.Stopped();
    live = progress.LiveWindow();
  }
  running = false;
  PrepareNextRunSoon();
  Beep(0, 0);
  ShowRunResult(live, stopped, origin, editor);
}

void OpenSettings() {
  if (IsWindows95Family())
    ShowSettingsSheet(Settings.MainWindow);
  else if (IsNtFamily())
    ShowPageSelector(Settings.MainWindow);
}

BOOL OnCommand(WPARAM command) {
  if (running) return TRUE;
  ResultBuffer[0] = '\0';
  switch (LOWORD(command)) {
    case IDC_COMMAND1:
    case IDC_COMMAND2:
    case IDC_COMMAND3:
      RunSlot(LOWORD(command) - IDC_COMMAND1);
      break;
    case IDC_SETTINGS:
      OpenSettings();
      break;
  }
  return TRUE;
}

}  // namespace

std::string SlotDescription(int slot) {
  const CommandSlot& command = Settings.Cmd[slot];
  const std::string own = FieldText(command.ToolTipText, sizeof command.ToolTipText);
  if (!own.empty()) return own;
  if (const char* words = ExeModeWords(command.ExeMode)) return words;
  // The slot's number in full-width digits, as the menu always had it.
  const char* const numbers[kSlotCount] = {"コマンド１", "コマンド２", "コマンド３"};
  return numbers[slot];
}

bool WantsResultWindow(const char* output, DWORD kekka) {
  if (kekka == 0) return true;
  // The verdict line does not count.
  const std::string text = output;
  const std::size_t end = VerdictStart(text);
  return static_cast<std::size_t>(std::count(text.begin(), text.begin() + end, '\n')) >=
         kResultLineFeeds;
}

void PrepareNextRunSoon() {
  SetTimer(Settings.ToolWindow, kPrepareTimer, kPrepareDelayMs, nullptr);
}

INT_PTR CALLBACK ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
      return OnCommand(wParam);
    case WM_TIMER:
      if (wParam != kPrepareTimer) return FALSE;
      OnPrepareTimer(window);
      return TRUE;
  }
  return FALSE;
}

HWND CreateToolWindow(HWND parent) {
  return CreateDialogParamA(Settings.Instance, kToolWindowTemplate, parent, ToolWindowProc, 0);
}

namespace {

struct ToolbarImages {
  int bitmap;
  int size;
};

// The images drawn at the size nearest above what 16 pixels at 96 DPI become
// at this DPI (24 at 150%, 32 at 200%), or the largest there is.
ToolbarImages ToolbarImagesFor(UINT dpi) {
  const ToolbarImages drawn[] = {{IDB_TOOLBAR, 16}, {IDB_TOOLBAR_24, 24}, {IDB_TOOLBAR_32, 32}};
  const LONG wanted = ScaleToDpi(drawn[0].size, dpi);
  for (const ToolbarImages& images : drawn)
    if (images.size >= wanted) return images;
  return drawn[2];
}

// The tool window takes the size of the toolbar's buttons and separators.
void FitToolWindowToToolbar(HWND toolbar) {
  const LRESULT count = SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
  RECT last = {};
  SendMessageA(toolbar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
  RECT bar;
  GetWindowRect(toolbar, &bar);
  SetWindowPos(Settings.ToolWindow, nullptr, 0, 0, last.right, bar.bottom - bar.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
}

}  // namespace

bool BuildToolbar() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // Made again when the strip moves to a screen of another DPI.
  if (HWND old = GetDlgItem(Settings.ToolWindow, IDC_TOOLBAR)) DestroyWindow(old);

  const UINT dpi = WindowDpi(Settings.ToolWindow);
  const ToolbarImages images = ToolbarImagesFor(dpi);
  TBBUTTON buttons[kImageCount] = {};
  const int commands[kImageCount] = {IDC_COMMAND1, IDC_COMMAND2, IDC_COMMAND3, IDC_SETTINGS};
  for (int i = 0; i < kImageCount; ++i) {
    buttons[i].iBitmap = i;
    buttons[i].idCommand = commands[i];
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = TBSTYLE_BUTTON;
  }
  HWND toolbar =
      CreateToolbarEx(Settings.ToolWindow, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, IDC_TOOLBAR,
                      kImageCount, Settings.Instance, images.bitmap, buttons, kImageCount,
                      images.size, images.size, images.size, images.size, sizeof(TBBUTTON));
  if (!toolbar) return false;
  // Narrow padding, so that the three commands and the gear fit the strip.
  const int padding = ScaleToDpi(kButtonPadding, dpi);
  SendMessageA(toolbar, TB_SETPADDING, 0, MAKELPARAM(padding, padding));
  SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(images.size, images.size));

  TBBUTTON separator = {};
  separator.fsStyle = TBSTYLE_SEP;
  SendMessageA(toolbar, TB_INSERTBUTTONA, 3, reinterpret_cast<LPARAM>(&separator));
  SendMessageA(toolbar, TB_INSERTBUTTONA, 5, reinterpret_cast<LPARAM>(&separator));
  SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
  FitToolWindowToToolbar(toolbar);
  return true;
}
