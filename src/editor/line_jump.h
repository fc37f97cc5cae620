// The result text field's window procedure, installed in place of the edit
// control's own one: a double-click on a compiler message or a stack frame
// starts the editor on the file it names at that line, and F8 / Shift+F8 walk
// from one such line to the next.
#pragma once

#include <windows.h>

#include <string>

#include "tools/run_origin.h"

// Installs ResultEditProc on edit, keeping its previous procedure and the run
// whose output it shows for it.
void InstallResultEditProc(HWND edit, const RunOrigin& origin);

// Where a result opens: its first compiler message selected, so that F8 goes
// there first and then on; without one, its end in view.
void ShowFirstErrorOrEnd(HWND edit);

LRESULT CALLBACK ResultEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The LineJump template with its first "%f" replaced by sourcePath, then its
// first "%l" by lineNumber, then every "%%" made one "%".
std::string ExpandLineJump(const std::string& lineJumpTemplate, const std::string& sourcePath,
                           const std::string& lineNumber);

// How "%f" names a file: its short form, or the long path where no short
// form can be had; in quotes when it holds a blank.
std::string SourcePathForJump(const std::string& sourceFile);

// path in quotes when it holds a blank. A volume without 8.3 names gives the
// long path back as its short form.
std::string QuotedWhenBlank(const std::string& path);
