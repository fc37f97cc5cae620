// Filling the settings pages' controls from the settings and reading them
// back into fixed fields, the same way on every page.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

// The control's whole text.
std::string ControlText(HWND page, int id);

// Stores the control's text in field as if read with a buffer of count bytes
// (at most count - 1 bytes kept), cut at a character boundary. field holds at
// least count bytes.
void ReadControlText(HWND page, int id, char* field, std::size_t count);

// Checks the box for any nonzero value; reads it back as 1 or 0.
void SetCheck(HWND page, int id, DWORD value);
DWORD CheckState(HWND page, int id);

// Answers the frame's notifications the same way on every page: apply runs
// the page's own apply and reports it taken without objection; help opens the
// help file. FALSE for any other notification.
INT_PTR AnswerFrameNotification(HWND page, const NMHDR* header, const std::function<void()>& apply);

// The settings window the page belongs to (the sheet or the page selector),
// so that a dialog opened from the page is modal to the whole window.
HWND SettingsWindowOf(HWND page);
