// The RESULT window procedure and its helpers.
#include "windows/result_window.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "common/dbcs_text.h"
#include "common/dpi_scale.h"
#include "common/replacing_file.h"
#include "common/win_handle.h"
#include "dialogs/pickers.h"
#include "editor/line_jump.h"
#include "java/error_hints.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "tools/tool_run.h"
#include "windows/screen_place.h"

namespace {

const char kResultTemplate[] = "RESULT";
const char kOpenFailedText[] = "ファイルのオープンに失敗しました。";
const char kWriteFailedText[] = "ファイルの書き込みに失敗しました。";

const char kCaption[] = "結果";
const char kRunningMark[] = " (実行中)";
const wchar_t kEndOfInputMark[] = L"^Z";

// The band above the text field that holds the buttons, and the input
// field below it, at 96 DPI.
constexpr int kButtonBandHeight = 21;
constexpr int kInputHeight = 22;
// A text whose middle was left out is shown whole this long after the cut
// was first seen, so that a burst of output costs one whole showing, and what
// came is still seen within half a second.
constexpr DWORD kWholeTextDelay = 400;
constexpr UINT_PTR kInputSubclass = 1;

struct ResultWindowState {
  UniqueFont font;
  bool modal = false;
  bool live = false;              // opened on a run that went on
  RunControl* control = nullptr;  // while that run goes on
  std::string sourceFile;
  std::size_t shownStored = 0;  // what of the run's text is shown
  std::size_t seenStored = 0;   // and looked at: a character cut in two waits
  std::size_t shownCuts = 0;
  DWORD cutSeenAt = 0;  // when a cut not yet shown was seen; 0: none
};

// The creation parameter: how the window is shown and the run it shows.
struct ResultWindowStart {
  bool modal;
  const RunOrigin& origin;
  RunControl* control = nullptr;
  const ResultText* text = nullptr;
  bool takeKeyboard = true;
};

ResultWindowState* StateOf(HWND window) {
  return reinterpret_cast<ResultWindowState*>(GetWindowLongPtrA(window, DWLP_USER));
}

std::string WindowText(HWND control) {
  int length = GetWindowTextLengthA(control);
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(control, text.data(), length + 1);
  return std::string(text.data(), copied > 0 ? copied : 0);
}

// Places the window where it was last closed. The stored size, kept at
// 96 DPI, is scaled and held within the work area before the place is made
// reachable. The first window is made to be read.
void PlaceWindow(HWND window) {
  const UINT dpi = WindowDpi(window);
  if (Settings.LogSizeX <= 0 || Settings.LogSizeY <= 0) {
    PlaceFirstTextWindow(window, GetDlgItem(window, IDC_RESULT_TEXT),
                         ScaleToDpi(kButtonBandHeight, dpi), Settings.MainWindow);
    return;
  }
  const POINT corner = {Settings.LogPosX, Settings.LogPosY};
  const RECT work = NearestWorkArea(corner);
  const SIZE size = {std::min<LONG>(ScaleToDpi(Settings.LogSizeX, dpi), work.right - work.left),
                     std::min<LONG>(ScaleToDpi(Settings.LogSizeY, dpi), work.bottom - work.top)};
  const POINT place = ReachableCorner(corner, size);
  SetWindowPos(window, nullptr, place.x, place.y, size.cx, size.cy,
               SWP_NOZORDER | SWP_FRAMECHANGED);
}

void LayOut(HWND window, int width, int height) {
  const UINT dpi = WindowDpi(window);
  const int band = ScaleToDpi(kButtonBandHeight, dpi);
  HWND input = GetDlgItem(window, IDC_RESULT_INPUT);
  const int inputHeight = IsWindowVisible(input) ? ScaleToDpi(kInputHeight, dpi) : 0;
  SetWindowPos(GetDlgItem(window, IDC_RESULT_TEXT), nullptr, 0, band, width,
               std::max(0, height - band - inputHeight), SWP_NOZORDER);
  SetWindowPos(input, nullptr, 0, std::max(band, height - inputHeight), width, inputHeight,
               SWP_NOZORDER);
}

void SetTitle(HWND window, bool running) {
  const std::string& source = StateOf(window)->sourceFile;
  std::string title = kCaption;
  if (!source.empty()) title += " - " + FileNameOf(source);
  if (running) title += kRunningMark;
  SetWindowTextA(window, title.c_str());
}

// Whether the last line of the text field is in view: then new text keeps it so.
bool ViewAtEnd(HWND edit) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(edit, SB_VERT, &info) || info.nPage == 0) return true;
  return info.nPos + static_cast<int>(info.nPage) > info.nMax;
}

// Changes the text field's text by change, keeping the view and the
// selection where they were, unless the view was at the end: then it
// follows the end.
template <typename Change>
void ChangeKeepingView(HWND edit, Change change) {
  const bool atEnd = ViewAtEnd(edit);
  DWORD selectionStart = 0;
  DWORD selectionEnd = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
               reinterpret_cast<LPARAM>(&selectionEnd));
  const LRESULT firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
  change();
  if (atEnd) {
    SendMessageA(edit, EM_SETSEL, INT_MAX, INT_MAX);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
  } else {
    SendMessageA(edit, EM_SETSEL, selectionStart, selectionEnd);
    SendMessageA(edit, EM_LINESCROLL, 0,
                 firstLine - SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
  }
  SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit, nullptr, TRUE);
}

// Every result window's text once its run has ended: the finished text of
// the run, from ResultBuffer, which is then free for the next command.
std::string ShownText(const RunOrigin& origin) {
  if (!Settings.ShowHints) return ResultBuffer;
  return WithHints(ResultBuffer, origin.toolFolder, ReadSourceAsAnsi);
}

void SetFinishedText(HWND window, const RunOrigin& origin) {
  SetWindowTextA(GetDlgItem(window, IDC_RESULT_TEXT), ShownText(origin).c_str());
  std::fill(ResultBuffer, ResultBuffer + lstrlenA(ResultBuffer), '\0');
}

// Ctrl+Z in the input field stands for the input's end, as in a console,
// instead of undoing.
LRESULT CALLBACK InputFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
  if (message == WM_CHAR && wParam == 0x1A) {
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kEndOfInputMark));
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(edit, InputFieldProc, kInputSubclass);
  return DefSubclassProc(edit, message, wParam, lParam);
}

std::wstring WideText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

// Enter in the input field: the line goes to the program.
void OnEnter(HWND window) {
  ResultWindowState* state = StateOf(window);
  HWND input = GetDlgItem(window, IDC_RESULT_INPUT);
  if (!state->control || GetFocus() != input) return;
  const std::wstring line = WideText(input);
  SetWindowTextW(input, L"");
  state->control->Send(line);
}

void OnStop(HWND window) {
  ResultWindowState* state = StateOf(window);
  if (!state->control) return;
  state->control->RequestStop();
  EnableWindow(GetDlgItem(window, IDC_RESULT_STOP), FALSE);
}

// The text field's font from the font setting, which is kept at 96 DPI.
void SetTextFont(HWND window, UINT dpi) {
  ResultWindowState* state = StateOf(window);
  const LOGFONTA font = FontAtDpi(Settings.font, kDefaultDpi, dpi);
  UniqueFont made(CreateFontIndirectA(&font));
  SendMessageA(GetDlgItem(window, IDC_RESULT_TEXT), WM_SETFONT,
               reinterpret_cast<WPARAM>(made.Get()), FALSE);
  state->font = std::move(made);
}

// The run's output, with hint lines under the errors it explains when they
// are wanted. Whether the window opens was decided on the output alone.

void OnInitDialog(HWND window, const ResultWindowStart* start) {
  auto* state = new ResultWindowState;
  state->modal = start && start->modal;
  state->control = start ? start->control : nullptr;
  state->live = state->control != nullptr;
  if (start) state->sourceFile = start->origin.sourceFile;
  SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(state));

  HICON icon = LoadIconA(Settings.Instance, MAKEINTRESOURCEA(IDI_PELLARO));
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  HWND edit = GetDlgItem(window, IDC_RESULT_TEXT);
  SetTextFont(window, WindowDpi(window));
  // On a screen of another DPI the dialog rescales its buttons; the text
  // field keeps its own font and place, which this window sets.
  KeepOwnFontAndPlaceOnDpiChange(edit);
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
  HWND input = GetDlgItem(window, IDC_RESULT_INPUT);
  if (state->live) {
    SendMessageA(input, WM_SETFONT, reinterpret_cast<WPARAM>(state->font.Get()), FALSE);
    SetWindowSubclass(input, InputFieldProc, kInputSubclass, 0);
    ShowWindow(GetDlgItem(window, IDC_RESULT_STOP), SW_SHOWNA);
    ShowWindow(input, SW_SHOWNA);
    ShowLiveText(window, *start->text);
  } else {
    SetFinishedText(window, start ? start->origin : RunOrigin());
    InstallResultEditProc(edit, start ? start->origin : RunOrigin());
  }
  SetTitle(window, state->live);

  PlaceWindow(window);
  // Moving to the size the window already has sends no WM_SIZE.
  RECT client;
  GetClientRect(window, &client);
  LayOut(window, client.right, client.bottom);
  if (!state->live) ShowFirstErrorOrEnd(edit);
  if (state->live && !start->takeKeyboard) {
    // Behind the window in front, which keeps the keyboard.
    HWND front = GetForegroundWindow();
    ShowWindow(window, SW_SHOWNOACTIVATE);
    if (front && front != window)
      SetWindowPos(window, front, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  ShowWindow(window, SW_SHOW);
  if (state->live) SetForegroundWindow(window);
  // The keys go to the program's input while it runs; else to the text
  // field at once, so F8 walks its lines from the top.
  SetFocus(state->live ? input : edit);
}

void OnSize(HWND window, LPARAM size) { LayOut(window, LOWORD(size), HIWORD(size)); }

BOOL OnSave(HWND window) {
  char path[kPickerBufferSize];
  if (!PickTextFileToSave(window, path)) return FALSE;
  switch (WriteFileReplacing(path, WindowText(GetDlgItem(window, IDC_RESULT_TEXT)))) {
    case FileWriteResult::Written:
      break;
    case FileWriteResult::OpenFailed:
      MessageBoxA(window, kOpenFailedText, nullptr, MB_OK);
      break;
    case FileWriteResult::WriteFailed:
      MessageBoxA(window, kWriteFailedText, nullptr, MB_OK);
      break;
  }
  return TRUE;
}

void OnClose(HWND window) {
  // A window closed while its run goes on stops the run.
  OnStop(window);
  RECT rect;
  GetWindowRect(window, &rect);
  const UINT dpi = WindowDpi(window);
  Settings.LogPosX = rect.left;
  Settings.LogPosY = rect.top;
  Settings.LogSizeX = ScaleFromDpi(rect.right - rect.left, dpi);
  Settings.LogSizeY = ScaleFromDpi(rect.bottom - rect.top, dpi);
  if (StateOf(window)->modal)
    EndDialog(window, 0);
  else
    DestroyWindow(window);
}

// The last message: the text field, destroyed after the window's own
// WM_DESTROY, no longer draws with the font that goes here.
void OnNcDestroy(HWND window) {
  delete StateOf(window);
  SetWindowLongPtrA(window, DWLP_USER, 0);
}

}  // namespace

INT_PTR CALLBACK ResultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(window, reinterpret_cast<const ResultWindowStart*>(lParam));
      return FALSE;
    case WM_SIZE:
      OnSize(window, lParam);
      return TRUE;
    case WM_COMMAND:
      if (wParam == IDC_RESULT_SAVE) return OnSave(window);
      if (wParam == IDC_RESULT_CLOSE) {
        OnClose(window);
        return TRUE;
      }
      // Enter and Escape never close the window; while the run goes on,
      // Enter sends the typed line and Escape stops the run.
      if (wParam == IDOK) {
        OnEnter(window);
        return TRUE;
      }
      if (wParam == IDCANCEL || wParam == IDC_RESULT_STOP) {
        OnStop(window);
        return TRUE;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if (wParam == SC_CLOSE) {
        OnClose(window);
        return TRUE;
      }
      return FALSE;
    case WM_DPICHANGED:
      // The dialog's own handling then sizes the window and its buttons.
      SetTextFont(window, HIWORD(wParam));
      return FALSE;
    case WM_NCDESTROY:
      OnNcDestroy(window);
      return FALSE;
  }
  return FALSE;
}

HWND OpenResultWindow(const RunOrigin& origin) {
  const ResultWindowStart start = {false, origin};
  return CreateDialogParamA(Settings.Instance, kResultTemplate, nullptr, ResultWindowProc,
                            reinterpret_cast<LPARAM>(&start));
}

void ShowResultWindowModal(const RunOrigin& origin) {
  const ResultWindowStart start = {true, origin};
  DialogBoxParamA(Settings.Instance, kResultTemplate, nullptr, ResultWindowProc,
                  reinterpret_cast<LPARAM>(&start));
}

HWND OpenLiveResultWindow(const std::string& sourceFile, const ResultText& text,
                          RunControl& control, bool takeKeyboard) {
  const RunOrigin origin = {sourceFile, std::string()};
  ResultWindowStart start = {false, origin};
  start.control = &control;
  start.text = &text;
  start.takeKeyboard = takeKeyboard;
  return CreateDialogParamA(Settings.Instance, kResultTemplate, nullptr, ResultWindowProc,
                            reinterpret_cast<LPARAM>(&start));
}

void ShowLiveText(HWND window, const ResultText& text) {
  ResultWindowState* state = StateOf(window);
  if (!state) return;
  HWND edit = GetDlgItem(window, IDC_RESULT_TEXT);
  if (text.Cuts() == state->shownCuts && text.Stored() >= state->shownStored) {
    // Whole characters only: the output may stop between a lead byte and
    // its trail byte.
    std::size_t end = state->shownStored;
    while (end < text.Stored()) {
      const std::size_t length = IsDBCSLeadByte(static_cast<BYTE>(text.Text()[end])) ? 2 : 1;
      if (end + length > text.Stored()) break;
      end += length;
    }
    state->seenStored = text.Stored();
    if (end == state->shownStored) return;
    const std::string added(text.Text() + state->shownStored, end - state->shownStored);
    ChangeKeepingView(edit, [&] {
      SendMessageA(edit, EM_SETSEL, INT_MAX, INT_MAX);
      SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
    });
    state->shownStored = end;
    return;
  }
  // The middle was left out: the whole text changes.
  const DWORD now = GetTickCount();
  if (state->cutSeenAt == 0) state->cutSeenAt = now;
  if (now - state->cutSeenAt < kWholeTextDelay) return;
  state->cutSeenAt = 0;
  ChangeKeepingView(edit, [&] { SetWindowTextA(edit, text.Text()); });
  state->shownStored = state->seenStored = text.Stored();
  state->shownCuts = text.Cuts();
}

bool LiveTextShown(HWND window, const ResultText& text) {
  ResultWindowState* state = StateOf(window);
  return !state || (state->seenStored == text.Stored() && state->shownCuts == text.Cuts());
}

void FinishLiveResultWindow(HWND window, const RunOrigin& origin) {
  ResultWindowState* state = StateOf(window);
  if (!state || !state->live) return;
  state->control = nullptr;
  HWND edit = GetDlgItem(window, IDC_RESULT_TEXT);
  ChangeKeepingView(edit, [&] { SetFinishedText(window, origin); });
  InstallResultEditProc(edit, origin);
  HWND input = GetDlgItem(window, IDC_RESULT_INPUT);
  if (GetFocus() == input || GetFocus() == GetDlgItem(window, IDC_RESULT_STOP)) SetFocus(edit);
  ShowWindow(GetDlgItem(window, IDC_RESULT_STOP), SW_HIDE);
  EnableWindow(input, FALSE);
  SetTitle(window, false);
}
