// The extended settings page. The parameter buttons change the page's own
// working copy of the list; only an apply copies it into the settings.
#include "dialogs/extended_page.h"

#include <prsht.h>

#include <cstring>
#include <string>

#include "dialogs/page_controls.h"
#include "dialogs/param_dialog.h"
#include "dialogs/pickers.h"
#include "java/jdk_finder.h"
#include "resources/resource_ids.h"
#include "settings/app_settings.h"
#include "tools/run_plan.h"

namespace {

const char kJdkInUseText[] = "使う JDK：";

// The working list lives as long as the page window.
AppletParamList* WorkingListOf(HWND page) {
  return reinterpret_cast<AppletParamList*>(GetWindowLongPtrA(page, DWLP_USER));
}

HWND ListBoxOf(HWND page) { return GetDlgItem(page, IDC_EXT_PARAM_LIST); }

// The selected line, or -1 for none.
int SelectedLine(HWND page) {
  return static_cast<int>(SendMessageA(ListBoxOf(page), LB_GETCURSEL, 0, 0));
}

// Names the JDK the runs would use with the folder typed so far.
void ShowJdkInUse(HWND page) {
  const std::string text = kJdkInUseText + JdkDescription(ControlText(page, IDC_EXT_JDK_FOLDER));
  SetDlgItemTextA(page, IDC_EXT_JDK_FOUND, text.c_str());
}

void OnInitDialog(HWND page) {
  SetCheck(page, IDC_EXT_DOS_PROMPT, Settings.DOSPrompt);
  SetDlgItemTextA(page, IDC_EXT_HEIGHT, Settings.height);
  SetDlgItemTextA(page, IDC_EXT_WIDTH, Settings.width);
  SetDlgItemTextA(page, IDC_EXT_CLASS_CMD_LINE, Settings.ClassCmdLine);
  SetDlgItemTextA(page, IDC_EXT_HTML_READ, Settings.HTMLRead);
  SetDlgItemTextA(page, IDC_EXT_JDK_FOLDER, Settings.JdkFolder);
  SetCheck(page, IDC_EXT_FAST_JAVAC, Settings.FastJavac);
  SetCheck(page, IDC_EXT_SHOW_HINTS, Settings.ShowHints);
  auto* list = new AppletParamList(Settings.Param);
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(list));
  for (const AppletParam& param : *list)
    SendMessageA(ListBoxOf(page), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(ParamItemText(param).c_str()));
  ShowJdkInUse(page);
}

void OnDestroy(HWND page) {
  delete WorkingListOf(page);
  SetWindowLongPtrA(page, DWLP_USER, 0);
}

void OnAdd(HWND page) {
  AppletParam answer;
  if (!AskParam(page, answer)) return;
  WorkingListOf(page)->push_back(answer);
  SendMessageA(ListBoxOf(page), LB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(ParamItemText(answer).c_str()));
}

void OnDelete(HWND page) {
  const int line = SelectedLine(page);
  AppletParamList& list = *WorkingListOf(page);
  if (line < 0 || static_cast<std::size_t>(line) >= list.size()) return;
  SendMessageA(ListBoxOf(page), LB_DELETESTRING, line, 0);
  list.erase(list.begin() + line);
}

void OnChange(HWND page) {
  const int line = SelectedLine(page);
  if (line < 0 || static_cast<std::size_t>(line) >= WorkingListOf(page)->size()) return;
  AppletParam answer;
  if (!AskParam(page, answer)) return;
  (*WorkingListOf(page))[line] = answer;
  SendMessageA(ListBoxOf(page), LB_DELETESTRING, line, 0);
  SendMessageA(ListBoxOf(page), LB_INSERTSTRING, line,
               reinterpret_cast<LPARAM>(ParamItemText(answer).c_str()));
}

void OnPickJdkFolder(HWND page) {
  char chosen[kPickerBufferSize] = {};
  if (PickFolder(page, chosen)) SetDlgItemTextA(page, IDC_EXT_JDK_FOLDER, chosen);
}

INT_PTR OnCommand(HWND page, WPARAM command) {
  switch (command) {
    case MAKEWPARAM(IDC_EXT_JDK_FOLDER, EN_CHANGE):
      ShowJdkInUse(page);
      return TRUE;
    case IDC_EXT_JDK_BROWSE:
      OnPickJdkFolder(page);
      return TRUE;
    case IDC_EXT_PARAM_ADD:
      OnAdd(page);
      return TRUE;
    case IDC_EXT_PARAM_DELETE:
      OnDelete(page);
      return TRUE;
    case IDC_EXT_PARAM_CHANGE:
      OnChange(page);
      return TRUE;
    case IDC_EXT_PARAM_OUTPUT:
      return TRUE;
  }
  return FALSE;
}

void OnApply(HWND page) {
  Settings.DOSPrompt = CheckState(page, IDC_EXT_DOS_PROMPT);
  ReadControlText(page, IDC_EXT_HEIGHT, Settings.height, sizeof Settings.height);
  ReadControlText(page, IDC_EXT_WIDTH, Settings.width, sizeof Settings.width);
  ReadControlText(page, IDC_EXT_CLASS_CMD_LINE, Settings.ClassCmdLine,
                  sizeof Settings.ClassCmdLine);
  ReadControlText(page, IDC_EXT_HTML_READ, Settings.HTMLRead, sizeof Settings.HTMLRead);
  char jdkFolder[sizeof Settings.JdkFolder];
  ReadControlText(page, IDC_EXT_JDK_FOLDER, jdkFolder, sizeof jdkFolder);
  // A new folder is a reason to look at the machine again.
  if (std::strcmp(jdkFolder, Settings.JdkFolder) != 0) {
    std::memcpy(Settings.JdkFolder, jdkFolder, sizeof jdkFolder);
    ForgetFoundJdks();
  }
  Settings.Param = *WorkingListOf(page);
  Settings.FastJavac = CheckState(page, IDC_EXT_FAST_JAVAC);
  Settings.ShowHints = CheckState(page, IDC_EXT_SHOW_HINTS);
}

}  // namespace

INT_PTR CALLBACK ExtendedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(page);
      return FALSE;
    case WM_COMMAND:
      return OnCommand(page, wParam);
    case WM_NOTIFY:
      return AnswerFrameNotification(page, reinterpret_cast<const NMHDR*>(lParam),
                                     [&] { OnApply(page); });
    case WM_DESTROY:
      OnDestroy(page);
      return FALSE;
  }
  return FALSE;
}
