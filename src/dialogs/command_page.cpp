// A command page: the slot's tool sequence, its two argument strings, its
// tooltip and its hot key.
#include "dialogs/command_page.h"

#include <commctrl.h>
#include <prsht.h>

#include "dialogs/page_controls.h"
#include "dialogs/settings_values.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace {

// In list order; the entries' ExeModes are ListIndexToExeMode's.
const char* const kCommandList[] = {"javac", "java", "appletviewer", "javac&java",
                                    "javac&appletviewer"};

// Read counts: an argument string keeps at most 258 bytes, a tooltip 79 (the
// size of the tooltip's own text buffer, less its terminator).
constexpr std::size_t kArgumentCount = 259;
constexpr std::size_t kToolTipCount = 80;

void OnInitDialog(HWND page, const CommandSlot& slot) {
  HWND list = GetDlgItem(page, IDC_CMD_EXE_MODE);
  int index = 0;
  for (const char* entry : kCommandList)
    SendMessageA(list, CB_INSERTSTRING, index++, reinterpret_cast<LPARAM>(entry));
  SetDlgItemTextA(page, IDC_CMD_FIRST_LINE, slot.FirstCmdLine);
  SetDlgItemTextA(page, IDC_CMD_SECOND_LINE, slot.SecondCmdLine);
  SetDlgItemTextA(page, IDC_CMD_TOOLTIP, slot.ToolTipText);
  const int selected = ExeModeToListIndex(slot.ExeMode);
  SendMessageA(list, CB_SETCURSEL, selected == kNoListIndex ? -1 : selected, 0);
  const WORD hotKey = MAKEWORD(LOBYTE(slot.HotKey1), ModifiersToHotKeyFlags(slot.HotKey2));
  SendDlgItemMessageA(page, IDC_CMD_HOTKEY, HKM_SETHOTKEY, hotKey, 0);
}

void OnApply(HWND page, CommandSlot& slot) {
  ReadControlText(page, IDC_CMD_FIRST_LINE, slot.FirstCmdLine, kArgumentCount);
  ReadControlText(page, IDC_CMD_SECOND_LINE, slot.SecondCmdLine, kArgumentCount);
  ReadControlText(page, IDC_CMD_TOOLTIP, slot.ToolTipText, kToolTipCount);
  const LRESULT selected = SendDlgItemMessageA(page, IDC_CMD_EXE_MODE, CB_GETCURSEL, 0, 0);
  slot.ExeMode = ListIndexToExeMode(static_cast<int>(selected));
  const WORD hotKey = LOWORD(SendDlgItemMessageA(page, IDC_CMD_HOTKEY, HKM_GETHOTKEY, 0, 0));
  slot.HotKey2 = HotKeyFlagsToModifiers(HIBYTE(hotKey));
  slot.HotKey1 = LOBYTE(hotKey);
}

}  // namespace

INT_PTR CommandPageProc(HWND page, UINT message, WPARAM, LPARAM lParam, int slot) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(page, Settings.Cmd[slot]);
      return FALSE;
    case WM_NOTIFY:
      return AnswerFrameNotification(page, reinterpret_cast<const NMHDR*>(lParam),
                                     [&] { OnApply(page, Settings.Cmd[slot]); });
  }
  return FALSE;
}

INT_PTR CALLBACK CommandPage1Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return CommandPageProc(page, message, wParam, lParam, 0);
}

INT_PTR CALLBACK CommandPage2Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return CommandPageProc(page, message, wParam, lParam, 1);
}

INT_PTR CALLBACK CommandPage3Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return CommandPageProc(page, message, wParam, lParam, 2);
}
