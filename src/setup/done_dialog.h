// The OK dialog: setup has written everything.
#pragma once

#include <windows.h>

INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
