// The extended settings page (SUBOPTION): visible prompt, program arguments,
// applet page and size, and the applet parameter list.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ExtendedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
