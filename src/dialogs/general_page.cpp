// The general settings page.
#include "dialogs/general_page.h"

#include <commdlg.h>
#include <prsht.h>

#include <cstring>
#include <string>

#include "common/dpi_scale.h"
#include "dialogs/page_controls.h"
#include "dialogs/pickers.h"
#include "dialogs/settings_values.h"
#include "dialogs/version_dialog.h"
#include "editor/known_editors.h"
#include "resources/resource_ids.h"

char SpecifiedPath[kTextFieldSize] = {};

namespace {

const char kLineJumpExample[] = "行番号ジャンプ例(EmEditor)：/l %l %f";

// The rule the line jump follows with the fields as they are now, in place of
// the example while the template field does not give one itself.
void ShowLineJumpRule(HWND page) {
  const std::string note =
      LineJumpRuleNote(ControlText(page, IDC_GEN_LINE_JUMP), ControlText(page, IDC_GEN_EDITOR));
  SetDlgItemTextA(page, IDC_GEN_LINE_JUMP_RULE, note.empty() ? kLineJumpExample : note.c_str());
}

void OnInitDialog(HWND page) {
  SetDlgItemTextA(page, IDC_GEN_PATH, SpecifiedPath);
  SetDlgItemTextA(page, IDC_GEN_EDITOR, Settings.editor);
  SetDlgItemTextA(page, IDC_GEN_LINE_JUMP, Settings.LineJump);
  SetCheck(page, IDC_GEN_FOREGROUND, Settings.Forground);
  SetCheck(page, IDC_GEN_KEKKA, Settings.Kekka);
  SetCheck(page, IDC_GEN_FUKUSUU, Settings.Fukusuu);
  ShowLineJumpRule(page);
}

void OnApply(HWND page) {
  ReadControlText(page, IDC_GEN_PATH, SpecifiedPath, sizeof SpecifiedPath);
  ReadControlText(page, IDC_GEN_EDITOR, Settings.editor, sizeof Settings.editor);
  ReadControlText(page, IDC_GEN_LINE_JUMP, Settings.LineJump, sizeof Settings.LineJump);
  Settings.Forground = CheckState(page, IDC_GEN_FOREGROUND);
  Settings.Kekka = CheckState(page, IDC_GEN_KEKKA);
  Settings.Fukusuu = CheckState(page, IDC_GEN_FUKUSUU);
  SetWindowPos(Settings.MainWindow, Settings.Forground ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
  const std::string path = WithTrailingBackslash(SpecifiedPath, sizeof SpecifiedPath);
  std::memcpy(SpecifiedPath, path.c_str(), path.size() + 1);
}

// The chosen font goes straight into the settings: it stays chosen even when
// the settings window is then cancelled. The dialog works on a copy, so a
// cancelled one leaves the font as it was whatever the dialog wrote. The
// setting is kept at 96 DPI; the dialog measures at the screen's.
void ChooseResultFont(HWND page) {
  const UINT dpi = SystemDpi();
  LOGFONTA font = FontAtDpi(Settings.font, kDefaultDpi, dpi);
  CHOOSEFONTA dialog = {};
  dialog.lStructSize = sizeof dialog;
  // Owned by the settings window: owned by the strip, which the settings
  // window keeps disabled, the font dialog would enable it again on closing.
  dialog.hwndOwner = SettingsWindowOf(page);
  dialog.lpLogFont = &font;
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (ChooseFontA(&dialog)) Settings.font = FontAtDpi(font, dpi, kDefaultDpi);
}

void PickInto(HWND page, int id, bool (*pick)(HWND, char*)) {
  char chosen[kPickerBufferSize] = {};
  if (pick(page, chosen)) SetDlgItemTextA(page, id, chosen);
}

INT_PTR OnCommand(HWND page, WPARAM command) {
  switch (command) {
    case MAKEWPARAM(IDC_GEN_LINE_JUMP, EN_CHANGE):
    case MAKEWPARAM(IDC_GEN_EDITOR, EN_CHANGE):
      ShowLineJumpRule(page);
      return TRUE;
    case IDC_GEN_PATH_BROWSE:
      PickInto(page, IDC_GEN_PATH, PickFolder);
      return TRUE;
    case IDC_GEN_EDITOR_BROWSE:
      PickInto(page, IDC_GEN_EDITOR, PickExecutable);
      return TRUE;
    case IDC_GEN_FONT:
      ChooseResultFont(page);
      return TRUE;
    case IDC_GEN_VERSION:
      ShowVersionBox(SettingsWindowOf(page));
      return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(page);
      return FALSE;
    case WM_NOTIFY:
      return AnswerFrameNotification(page, reinterpret_cast<const NMHDR*>(lParam),
                                     [&] { OnApply(page); });
    case WM_COMMAND:
      return OnCommand(page, wParam);
  }
  return FALSE;
}
