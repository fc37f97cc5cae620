// The pages of the settings window, shared by its two frames.
#include "dialogs/settings_frame.h"

#include <commctrl.h>

#include "dialogs/command_page.h"
#include "dialogs/extended_page.h"
#include "dialogs/general_page.h"

const SettingsPage kSettingsPages[kSettingsPageCount] = {
    {"OPTION1", CommandPage1Proc, "command1"},   {"OPTION2", CommandPage2Proc, "command2"},
    {"OPTION3", CommandPage3Proc, "command3"},   {"MAINOPTION", GeneralPageProc, "全般設定"},
    {"SUBOPTION", ExtendedPageProc, "拡張設定"},
};

void RegisterSettingsControls() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
}
