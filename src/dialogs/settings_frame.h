// The settings window: the five pages that both of its frames host, and the
// two frames themselves — a property sheet on the Windows 95 family
// (settings_sheet.h), a page selector on the NT family (page_selector.h).
// Both are modal and change the settings in memory only.
#pragma once

#include <windows.h>

#include "dialogs/page_selector.h"
#include "dialogs/settings_sheet.h"

struct SettingsPage {
  const char* templateName;
  DLGPROC procedure;
  const char* selectorName;  // its entry in the page selector's list
};

constexpr int kSettingsPageCount = 5;
// In the order of the sheet's tabs and the selector's list.
extern const SettingsPage kSettingsPages[kSettingsPageCount];

// The pages' hot-key control needs its window class registered.
void RegisterSettingsControls();
