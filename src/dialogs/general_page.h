// The general settings page (MAINOPTION): folder path, editor, switches,
// line-jump template, the result window's font and the version box.
#pragma once

#include <windows.h>

#include "settings/app_settings.h"

// A folder path the user keeps for as long as the program runs; never stored.
extern char SpecifiedPath[kTextFieldSize];

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
