// The page selector (DIALOGPROP): the settings window on the NT family. A
// list at the top picks which of the five pages shows.
#pragma once

#include <windows.h>

// Runs the selector modally, owned by owner. OK applies every page, shown
// or not; Cancel and the close box discard. True once it has closed.
bool ShowPageSelector(HWND owner);
