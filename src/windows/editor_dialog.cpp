// The EDITOR dialog procedure.
#include "windows/editor_dialog.h"

#include <vector>

#include "common/dbcs_text.h"
#include "dialogs/pickers.h"
#include "editor/editor_finder.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace {

const char kEditorTemplate[] = "EDITOR";

// The dialog's answer. The dialog's result only says that OK was pressed: a
// pointer does not survive as a dialog result on every 64-bit system.
char EditorAnswer[kTextFieldSize];
constexpr INT_PTR kAnswered = 1;

// The editors the list offers, in its order.
std::vector<FoundEditor> Offered;

void OnInitDialog(HWND window) {
  SendDlgItemMessageA(window, IDC_EDITOR_PATH, EM_LIMITTEXT, sizeof EditorAnswer - 1, 0);
  Offered = FindInstalledEditors();
  HWND list = GetDlgItem(window, IDC_EDITOR_FOUND);
  for (const FoundEditor& editor : Offered)
    SendMessageA(list, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>((editor.name + "  (" + editor.path + ")").c_str()));
  if (Offered.empty()) return;
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  SetDlgItemTextA(window, IDC_EDITOR_PATH, Offered[0].path.c_str());
}

void OnChosen(HWND window) {
  const LRESULT index = SendDlgItemMessageA(window, IDC_EDITOR_FOUND, LB_GETCURSEL, 0, 0);
  if (index >= 0 && static_cast<std::size_t>(index) < Offered.size())
    SetDlgItemTextA(window, IDC_EDITOR_PATH, Offered[index].path.c_str());
}

void OnBrowse(HWND window) {
  if (PickExecutable(window, EditorAnswer)) SetDlgItemTextA(window, IDC_EDITOR_PATH, EditorAnswer);
}

void OnOk(HWND window) {
  EditorAnswer[0] = '\0';
  GetDlgItemTextA(window, IDC_EDITOR_PATH, EditorAnswer, sizeof EditorAnswer);
  EndDialog(window, kAnswered);
}

}  // namespace

INT_PTR CALLBACK EditorDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    OnInitDialog(window);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (wParam) {
    case MAKEWPARAM(IDC_EDITOR_FOUND, LBN_SELCHANGE):
      OnChosen(window);
      return TRUE;
    case MAKEWPARAM(IDC_EDITOR_FOUND, LBN_DBLCLK):
      OnChosen(window);
      OnOk(window);
      return TRUE;
    case IDC_EDITOR_BROWSE:
      OnBrowse(window);
      return FALSE;
    case IDC_EDITOR_OK:
      OnOk(window);
      return TRUE;
  }
  // Escape and the close box (IDCANCEL) are ignored: only an editor that
  // starts ends the question.
  return FALSE;
}

bool AskForEditor(std::string& path) {
  INT_PTR answer =
      DialogBoxParamA(Settings.Instance, kEditorTemplate, nullptr, EditorDialogProc, 0);
  if (answer != kAnswered) return false;
  path = FieldText(EditorAnswer, sizeof EditorAnswer);
  return true;
}
