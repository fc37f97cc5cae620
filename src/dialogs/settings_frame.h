// The two frames that host the settings pages: a property sheet on the
// Windows 95 family, a page selector on the NT family. Both are modal, owned
// by owner, and change the settings in memory only.
#pragma once

#include <windows.h>

void ShowSettingsSheet(HWND owner);
void ShowPageSelector(HWND owner);
