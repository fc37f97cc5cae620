// The INST dialog: asks for the editor and writes the registry.
#pragma once

#include <windows.h>

INT_PTR CALLBACK InstDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
