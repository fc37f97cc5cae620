// The property sheet: the settings window on the Windows 95 family.
#pragma once

#include <windows.h>

// On the NT family shows the page selector instead. Otherwise runs the
// sheet modally, owned by owner: OK applies the pages shown at least once;
// Cancel and the close box discard. False when a page could not be made.
bool ShowSettingsSheet(HWND owner);
