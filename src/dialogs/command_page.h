// The three command pages (OPTION1 to OPTION3), one per command slot.
#pragma once

#include <windows.h>

// The page procedure of the slot's page (slot index 0 to 2).
INT_PTR CommandPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam, int slot);

// The procedures registered for OPTION1, OPTION2 and OPTION3.
INT_PTR CALLBACK CommandPage1Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CommandPage2Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CommandPage3Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
