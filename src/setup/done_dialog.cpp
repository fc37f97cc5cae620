// The OK dialog: its one button ends it.
#include "setup/done_dialog.h"

#include "setup_ids.h"

INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && wParam == IDC_DONE_FINISH) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}
