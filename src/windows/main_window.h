// The MAIN window: the borderless floating strip that holds the toolbar, with
// its popup menu, hot keys, dragging and the poll timer that takes paths from
// a second start and ends the program after the last editor.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates MAIN (no owner); null when it cannot be made.
HWND CreateMainWindow();

// While held, files that second starts hand over wait in the channel: the
// editor to start them with is not known yet.
void HoldIncomingFiles(bool hold);
