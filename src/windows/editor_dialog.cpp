// The EDITOR dialog procedure.
#include "windows/editor_dialog.h"

#include "common/dbcs_text.h"
#include "dialogs/pickers.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace {

const char kEditorTemplate[] = "EDITOR";

// The dialog's answer. The dialog's result only says that OK was pressed: a
// pointer does not survive as a dialog result on every 64-bit system.
char EditorAnswer[kTextFieldSize];
constexpr INT_PTR kAnswered = 1;

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
    SendDlgItemMessageA(window, IDC_EDITOR_PATH, EM_LIMITTEXT, sizeof EditorAnswer - 1, 0);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  if (wParam == IDC_EDITOR_BROWSE) {
    OnBrowse(window);
    return FALSE;
  }
  if (wParam == IDC_EDITOR_OK) {
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
