// The version box (VER): the program's icon, name, version and contacts.
#pragma once

#include <windows.h>

// Shows the box modally, owned by owner.
void ShowVersionBox(HWND owner);
