// The TOOLWND child of the strip: its toolbar of three command buttons and a
// settings button, the buttons' tooltips, and what a command does with the
// captured output.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

INT_PTR CALLBACK ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates TOOLWND as a child of parent; null when it cannot be made.
HWND CreateToolWindow(HWND parent);

// Creates the toolbar inside ToolWindow, its images drawn for the window's
// DPI, and sizes ToolWindow to it; a toolbar made before is replaced. False
// when it cannot be made.
bool BuildToolbar();

// What command slot (0 to 2) does, for its tooltip and its menu entry: its
// own ToolTipText, else words for its ExeMode ("コンパイル (javac)").
std::string SlotDescription(int slot);

// Starts the next run's command interpreter once the program is idle (the
// window a run opened has drawn): after start-up and after each command.
void PrepareNextRunSoon();

// Whether a command's output gets a RESULT window: 8 line feeds or more, or
// always when Kekka is 0.
bool WantsResultWindow(const char* output, DWORD kekka);
