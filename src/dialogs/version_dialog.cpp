// The version box. Its name and version line comes from the template, which
// takes the version from common/version.h.
#include "dialogs/version_dialog.h"

#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace {

const char kVersionTemplate[] = "VER";
const char kContactMail[] = "support@pellaro.example";
const char kContactPage[] = "https://pellaro.example/";

INT_PTR CALLBACK VersionBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(box, IDC_VER_MAIL, kContactMail);
      SetDlgItemTextA(box, IDC_VER_PAGE, kContactPage);
      return TRUE;
    case WM_COMMAND:
      if (wParam != IDC_VER_OK) return FALSE;
      EndDialog(box, 0);
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
      EndDialog(box, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowVersionBox(HWND owner) {
  DialogBoxParamA(Settings.Instance, kVersionTemplate, owner, VersionBoxProc, 0);
}
