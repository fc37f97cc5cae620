// The EDITOR dialog procedure.
#include "windows/editor_dialog.h"

#include "dialogs/pickers.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace {

const char kEditorTemplate[] = "EDITOR";

// The dialog's answer; the dialog's result is its address.
char EditorAnswer[kTextFieldSize];

void OnBrowse(HWND window) {
  if (PickExecutable(window, EditorAnswer)) SetDlgItemTextA(window, IDC_EDITOR_PATH, EditorAnswer);
}

void OnOk(HWND window) {
  EditorAnswer[0] = '\0';
  GetDlgItemTextA(window, IDC_EDITOR_PATH, EditorAnswer, sizeof EditorAnswer);
  EndDialog(window, reinterpret_cast<INT_PTR>(EditorAnswer));
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
  if (answer == 0 || answer == -1) return false;
  path = reinterpret_cast<const char*>(answer);
  return true;
}
