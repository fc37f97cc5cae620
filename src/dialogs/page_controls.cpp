// Filling and reading the settings pages' controls.
#include "dialogs/page_controls.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>
#include <vector>

#include "dialogs/help_file.h"
#include "dialogs/settings_values.h"

std::string ControlText(HWND page, int id) {
  HWND control = GetDlgItem(page, id);
  const int length = GetWindowTextLengthA(control);
  if (length <= 0) return std::string();
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(control, text.data(), length + 1);
  return std::string(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void ReadControlText(HWND page, int id, char* field, std::size_t count) {
  if (count == 0) return;
  const std::string text = CutAtCharBoundary(ControlText(page, id), count - 1);
  std::memcpy(field, text.c_str(), text.size() + 1);
}

void SetCheck(HWND page, int id, DWORD value) {
  SendDlgItemMessageA(page, id, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

DWORD CheckState(HWND page, int id) {
  return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

INT_PTR AnswerFrameNotification(HWND page, const NMHDR* header,
                                const std::function<void()>& apply) {
  switch (header->code) {
    case PSN_APPLY:
      apply();
      SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
      return TRUE;
    case PSN_HELP:
      OpenHelpFile();
      return TRUE;
  }
  return FALSE;
}

HWND SettingsWindowOf(HWND page) { return GetAncestor(page, GA_ROOT); }
