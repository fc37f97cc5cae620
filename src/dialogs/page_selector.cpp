// The page selector. It creates all five pages at once as borderless child
// dialogs and drives them with the property sheet's notifications, so the
// pages need not know which frame hosts them.
#include "dialogs/page_selector.h"

#include <commctrl.h>
#include <prsht.h>

#include "dialogs/settings_frame.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace {

const char kSelectorTemplate[] = "DIALOGPROP";
// Where the pages sit in the dialog's client area, in pixels: below the list.
constexpr int kPageX = 15;
constexpr int kPageY = 33;
// Takes away the caption, system menu and frame, and the two bits a child
// reads as WS_GROUP and WS_TABSTOP.
constexpr LONG_PTR kPageStyleMask = static_cast<LONG_PTR>(0xFF34FFFF);

struct SelectorState {
  HWND pages[kSettingsPageCount] = {};
  int current = 0;
  bool switching = false;
};

SelectorState* StateOf(HWND dialog) {
  return reinterpret_cast<SelectorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void NotifyPage(HWND page, UINT code) {
  NMHDR header = {};
  header.code = code;
  SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

INT_PTR OnInitDialog(HWND dialog, SelectorState* state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  HWND list = GetDlgItem(dialog, IDC_SEL_PAGES);
  for (int i = 0; i < kSettingsPageCount; ++i)
    SendMessageA(list, CB_INSERTSTRING, i,
                 reinterpret_cast<LPARAM>(kSettingsPages[i].selectorName));
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  state->current = 0;
  for (int i = 0; i < kSettingsPageCount; ++i) {
    HWND page = CreateDialogParamA(Settings.Instance, kSettingsPages[i].templateName, dialog,
                                   kSettingsPages[i].procedure, 0);
    state->pages[i] = page;
    if (!page) continue;
    SetWindowLongPtrA(page, GWL_STYLE, GetWindowLongPtrA(page, GWL_STYLE) & kPageStyleMask);
    // Tab walks from the selector's own controls into the page shown.
    SetWindowLongPtrA(page, GWL_EXSTYLE,
                      GetWindowLongPtrA(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    SetWindowPos(page, nullptr, kPageX, kPageY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ShowWindow(page, i == 0 ? SW_SHOW : SW_HIDE);
  }
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  return TRUE;
}

// Ends the dialog; with apply, each page first takes its controls back into
// the settings, in list order.
void Close(HWND dialog, bool apply) {
  SelectorState* state = StateOf(dialog);
  for (HWND& page : state->pages) {
    if (!page) continue;
    if (apply) NotifyPage(page, PSN_APPLY);
    DestroyWindow(page);
    page = nullptr;
  }
  EndDialog(dialog, 0);
}

void ShowSelectedPage(HWND dialog) {
  SelectorState* state = StateOf(dialog);
  if (state->switching) return;
  state->switching = true;
  ShowWindow(state->pages[state->current], SW_HIDE);
  const LRESULT selected = SendDlgItemMessageA(dialog, IDC_SEL_PAGES, CB_GETCURSEL, 0, 0);
  if (selected >= 0 && selected < kSettingsPageCount) state->current = static_cast<int>(selected);
  ShowWindow(state->pages[state->current], SW_SHOW);
  SetFocus(dialog);
  state->switching = false;
}

INT_PTR OnCommand(HWND dialog, WPARAM command) {
  switch (LOWORD(command)) {
    case IDC_SEL_OK:
      Close(dialog, true);
      return TRUE;
    case IDC_SEL_CANCEL:
    case IDCANCEL:  // Escape
      Close(dialog, false);
      return TRUE;
    case IDC_SEL_HELP:
      NotifyPage(StateOf(dialog)->pages[StateOf(dialog)->current], PSN_HELP);
      return TRUE;
    case IDC_SEL_PAGES:
      if (HIWORD(command) != CBN_SELCHANGE) return FALSE;
      ShowSelectedPage(dialog);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK PageSelectorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, reinterpret_cast<SelectorState*>(lParam));
    case WM_COMMAND:
      return OnCommand(dialog, wParam);
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
      SendMessageA(dialog, WM_COMMAND, IDC_SEL_CANCEL, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

bool ShowPageSelector(HWND owner) {
  RegisterSettingsControls();
  SelectorState state;
  return DialogBoxParamA(Settings.Instance, kSelectorTemplate, owner, PageSelectorProc,
                         reinterpret_cast<LPARAM>(&state)) == 0;
}
