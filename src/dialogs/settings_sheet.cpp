// The settings property sheet.
#include "dialogs/settings_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include "common/windows_family.h"
#include "dialogs/page_selector.h"
#include "dialogs/settings_frame.h"
#include "settings/app_settings.h"

namespace {

const char kSheetCaption[] = "設定";

}  // namespace

bool ShowSettingsSheet(HWND owner) {
  if (IsNtFamily()) {
    ShowPageSelector(owner);
    return true;
  }
  RegisterSettingsControls();
  HPROPSHEETPAGE pages[kSettingsPageCount] = {};
  PROPSHEETPAGEA page = {};
  // The first layout, which every version of the common controls takes.
  page.dwSize = PROPSHEETPAGEA_V1_SIZE;
  page.dwFlags = PSP_HASHELP;
  page.hInstance = Settings.Instance;
  for (int i = 0; i < kSettingsPageCount; ++i) {
    page.pszTemplate = kSettingsPages[i].templateName;
    page.pfnDlgProc = kSettingsPages[i].procedure;
    pages[i] = CreatePropertySheetPageA(&page);
    if (!pages[i]) {
      // Pages never handed to a sheet are the caller's to free.
      for (int made = 0; made < i; ++made) DestroyPropertySheetPage(pages[made]);
      return false;
    }
  }
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = PROPSHEETHEADERA_V1_SIZE;
  sheet.dwFlags = PSH_NOAPPLYNOW | PSH_HASHELP;
  sheet.hwndParent = owner;
  sheet.hInstance = Settings.Instance;
  sheet.pszCaption = kSheetCaption;
  sheet.nPages = kSettingsPageCount;
  sheet.phpage = pages;
  sheet.nStartPage = 0;
  PropertySheetA(&sheet);
  return true;
}
