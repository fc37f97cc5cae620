// The result text field's window procedure, installed in place of the edit
// control's own one: a double-click on a compiler message such as
// "Hello.java:12: ..." starts the editor on the current source file at that line.
#pragma once

#include <windows.h>

#include <string>

// Installs ResultEditProc on edit, keeping its previous procedure for it.
void InstallResultEditProc(HWND edit);

LRESULT CALLBACK ResultEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The line number a compiler message names: the digits (7 at most) after the
// first colon, from the line's second character on, that is directly followed by
// digits and another colon. Empty when the line has none.
std::string LineNumberOf(const std::string& line);

// The LineJump template with its first "%f" replaced by sourcePath, then its
// first "%l" by lineNumber, then every "%%" made one "%".
std::string ExpandLineJump(const std::string& lineJumpTemplate, const std::string& sourcePath,
                           const std::string& lineNumber);

// How "%f" names the source file: its short form, or the long path (quoted
// when it holds a blank) where no short form can be had.
std::string SourcePathForJump(const std::string& sourceFile);
