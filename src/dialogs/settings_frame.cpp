// The settings frames. The settings pages are not part of this build yet, so
// both frames open nothing; the strip's settings button and its "オプション"
// entry already come here.
#include "dialogs/settings_frame.h"

void ShowSettingsSheet(HWND) {}

void ShowPageSelector(HWND) {}
