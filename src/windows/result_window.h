// The RESULT window: shows the captured tool output, saves it to a text file,
// and remembers its place in the settings when it is closed.
#pragma once

#include <windows.h>

// Creation parameter of the modal (compile-only) use; the tool window opens
// modeless windows with 0.
constexpr LPARAM kResultWindowModal = 1;

INT_PTR CALLBACK ResultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens a modeless result window on the text in ResultBuffer.
HWND OpenResultWindow();
// Shows a modal result window on the text in ResultBuffer until it is closed.
void ShowResultWindowModal();
