// Carrying out one command button: find the source file of the editor window
// the user works in and run the slot's tool sequence on it.
#pragma once

#include <windows.h>

#include <string>

#include "tools/run_origin.h"

// The file of the editor window in front (or just beneath the main window):
// true, with the path stored in CurrentSourceFile and in path, and that
// window in editorWindow when one is asked for.
bool FindTargetFile(std::string& path, HWND* editorWindow = nullptr);

// Runs command slot `slot` (0 to 2); output is where in ResultBuffer the text
// goes. False when no source file was found (then nothing ran). The run's
// origin, and the editor window the command was for, go to origin and
// editorWindow when they are asked for.
bool RunCommand(int slot, char* output, RunOrigin* origin = nullptr, HWND* editorWindow = nullptr);

// The tools of slot's ExeMode on the source file path: javac first when bit 0
// is set, stopping there when it reports an error; then java (2) or
// appletviewer (6), all from one JDK. Each tool's output follows the one
// before, from output on; when the runs cannot start (no JDK, a package in
// the wrong folders) the text says why instead. Gives the run's origin: the
// source and the folder the tools ran in (the package root for a source in a
// package, else the source's folder, with its trailing backslash), against
// which relative paths in their output stand; that folder is empty when
// nothing ran.
RunOrigin RunSequence(int slot, const std::string& path, char* output);
