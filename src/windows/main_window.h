// The MAIN window: the borderless floating strip that holds the toolbar, with
// its popup menu, hot keys, dragging and the poll timer that takes paths from
// a second start and ends the program after the last editor.
#pragma once

#include <windows.h>

#include <string>

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates MAIN (no owner); null when it cannot be made.
HWND CreateMainWindow();

// While held, files that second starts hand over wait in the channel: the
// editor to start them with is not known yet.
void HoldIncomingFiles(bool hold);

// Sizes the strip to its grip and the tool window, which BuildToolbar has
// sized to the toolbar; the strip keeps its place.
void FitStripToToolbar(HWND window);

// Whether the strip has a place of its own: one stored, or the first place
// already given. A stored (0, 0) is the place older versions gave every first
// start, and every process writes a missing place back as (0, 0).
bool StripHasStoredPlace();

// The first place of a strip without a stored one: the top right of the work
// area, just below the caption bar of the editor window on file when it would
// cover that bar (an empty file: no editor yet).
void PlaceStripFirstTime(HWND window, const std::string& file);
