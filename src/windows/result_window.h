// The RESULT window: shows the captured tool output, saves it to a text file,
// and remembers its place in the settings when it is closed.
#pragma once

#include <windows.h>

#include "tools/run_origin.h"

INT_PTR CALLBACK ResultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens a modeless result window on the text in ResultBuffer, the output of
// the run from origin, which its line jumps read.
HWND OpenResultWindow(const RunOrigin& origin);
// Shows a modal result window on the text in ResultBuffer until it is closed.
void ShowResultWindowModal(const RunOrigin& origin);
