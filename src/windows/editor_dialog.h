// The EDITOR dialog: asks for the editor's path when the stored one does not
// start. It can only be left with OK.
#pragma once

#include <windows.h>

#include <string>

INT_PTR CALLBACK EditorDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally without owner: the path typed or picked. False only
// when the dialog cannot be shown at all.
bool AskForEditor(std::string& path);
