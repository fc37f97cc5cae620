// The result text field's window procedure, installed in place of the edit
// control's own one.
#pragma once

#include <windows.h>

// Installs ResultEditProc on edit, keeping its previous procedure for it.
void InstallResultEditProc(HWND edit);

LRESULT CALLBACK ResultEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
