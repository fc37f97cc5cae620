// The RESULT window procedure and its helpers.
#include "windows/result_window.h"

#include <algorithm>
#include <string>
#include <vector>

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

// The band above the text field that holds the two buttons, at 96 DPI.
constexpr int kButtonBandHeight = 21;

struct ResultWindowState {
  UniqueFont font;
  bool modal = false;
};

// The creation parameter: how the window is shown and the run it shows.
struct ResultWindowStart {
  bool modal;
  const RunOrigin& origin;
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
  const int band = ScaleToDpi(kButtonBandHeight, WindowDpi(window));
  SetWindowPos(GetDlgItem(window, IDC_RESULT_TEXT), nullptr, 0, band, width,
               std::max(0, height - band), SWP_NOZORDER);
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
std::string ShownText(const RunOrigin& origin) {
  if (!Settings.ShowHints) return ResultBuffer;
  return WithHints(ResultBuffer, origin.toolFolder, ReadSourceAsAnsi);
}

void OnInitDialog(HWND window, const ResultWindowStart* start) {
  auto* state = new ResultWindowState;
  state->modal = start && start->modal;
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
  SetWindowTextA(edit, ShownText(start ? start->origin : RunOrigin()).c_str());
  // The window owns its copy now; the buffer is free for the next command.
  std::fill(ResultBuffer, ResultBuffer + lstrlenA(ResultBuffer), '\0');
  InstallResultEditProc(edit, start ? start->origin : RunOrigin());

  PlaceWindow(window);
  // Moving to the size the window already has sends no WM_SIZE.
  RECT client;
  GetClientRect(window, &client);
  LayOut(window, client.right, client.bottom);
  ShowFirstErrorOrEnd(edit);
  ShowWindow(window, SW_SHOW);
  // The text field takes the keys at once, so F8 walks its lines from there.
  SetFocus(edit);
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
