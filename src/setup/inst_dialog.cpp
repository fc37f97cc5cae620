// The INST dialog: the editor's path, its picker, OK and cancel. It is
// modeless; leaving it ends the program's message loop.
#include "setup/inst_dialog.h"

#include <string>

#include "dialogs/pickers.h"
#include "setup/done_dialog.h"
#include "setup/setup_registry.h"
#include "setup_ids.h"

namespace {

const char kNoEditorText[] = "同時に開くエディタを指定してください";
const char kTooLongText[] = "エディタのパスが長すぎます。254バイト以内で指定してください";
const char kWriteFailedText[] = "レジストリの書き込みに失敗！！";
const char kDoneDialog[] = "OK";
// At most 254 bytes are taken; Pellaro's own field holds 259.
constexpr int kEditorPathLimit = 254;

void Leave(HWND dialog, INT_PTR result) {
  PostQuitMessage(0);
  EndDialog(dialog, result);
}

void OnBrowse(HWND dialog) {
  char path[kPickerBufferSize] = {};
  if (PickSetupExecutable(dialog, path)) SetDlgItemTextA(dialog, IDC_INST_EDITOR, path);
}

void OnOk(HWND dialog) {
  // Room for one byte more than is taken, so a longer path shows as such
  // instead of being stored cut.
  char path[kEditorPathLimit + 2] = {};
  const UINT length = GetDlgItemTextA(dialog, IDC_INST_EDITOR, path, sizeof path);
  if (length == 0) {
    MessageBoxA(dialog, kNoEditorText, nullptr, MB_OK);
    return;
  }
  if (length > kEditorPathLimit) {
    MessageBoxA(dialog, kTooLongText, nullptr, MB_OK);
    return;
  }
  if (!WriteSetupRegistry(std::string(path, length))) {
    MessageBoxA(dialog, kWriteFailedText, nullptr, MB_OK);
    Leave(dialog, 0);
    return;
  }
  ShowWindow(dialog, SW_HIDE);
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  DialogBoxParamA(instance, kDoneDialog, dialog, DoneDialogProc, 0);
  Leave(dialog, 1);
}

}  // namespace

INT_PTR CALLBACK InstDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return FALSE;
  switch (wParam) {
    case IDC_INST_BROWSE:
      OnBrowse(dialog);
      return TRUE;
    case IDC_INST_OK:
      OnOk(dialog);
      return TRUE;
    case IDC_INST_CANCEL:
      Leave(dialog, 0);
      return TRUE;
  }
  return FALSE;
}
