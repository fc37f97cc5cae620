// The parameter dialog.
#include "dialogs/param_dialog.h"

#include <string>

#include "common/dbcs_text.h"
#include "dialogs/page_controls.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"

namespace {

const char kParamTemplate[] = "PARAM";
const char kQuoteRefusedText[] = "名前と値には「\"」を使えません。";
const char kQuoteRefusedCaption[] = "パラメータの挿入";
// Each field keeps at most 259 bytes.
constexpr std::size_t kFieldCount = 260;

std::string FieldOf(HWND dialog, int id) {
  char field[kFieldCount] = {};
  ReadControlText(dialog, id, field, kFieldCount);
  return field;
}

// The stored parameter text separates names and values by double quotes, so
// a quote inside either would shift every pair after it.
bool HoldsQuote(const AppletParam& param) {
  return ContainsAnyChar(param.name, "\"") || ContainsAnyChar(param.value, "\"");
}

void OnOk(HWND dialog) {
  AppletParam typed{FieldOf(dialog, IDC_PARAM_NAME), FieldOf(dialog, IDC_PARAM_VALUE)};
  if (HoldsQuote(typed)) {
    MessageBoxA(dialog, kQuoteRefusedText, kQuoteRefusedCaption, MB_OK | MB_ICONEXCLAMATION);
    SetFocus(
        GetDlgItem(dialog, ContainsAnyChar(typed.name, "\"") ? IDC_PARAM_NAME : IDC_PARAM_VALUE));
    return;
  }
  *reinterpret_cast<AppletParam*>(GetWindowLongPtrA(dialog, DWLP_USER)) = typed;
  EndDialog(dialog, TRUE);
}

INT_PTR CALLBACK ParamDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      // Where the answer goes; the fields start empty and nothing takes the focus.
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      return FALSE;
    case WM_COMMAND:
      if (wParam == IDOK) {
        OnOk(dialog);
        return TRUE;
      }
      if (wParam == IDCANCEL) {
        EndDialog(dialog, FALSE);
        return TRUE;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
      EndDialog(dialog, FALSE);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

bool AskParam(HWND owner, AppletParam& answer) {
  return DialogBoxParamA(Settings.Instance, kParamTemplate, owner, ParamDialogProc,
                         reinterpret_cast<LPARAM>(&answer)) == TRUE;
}
