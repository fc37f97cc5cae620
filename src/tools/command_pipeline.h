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
bool RunCommand(int slot, char* output, RunOrigin* origin = nullptr,
                HWND* editorWindow = nullptr);

// The tools of slot's ExeMode on the source file path: javac first when bit 0
// is set, stopping there when it reports an error; then java (2) or
// appletviewer (6). Each tool's output follows the one before, from output on.
// Gives the run's origin.
RunOrigin RunSequence(int slot, const std::string& path, char* output);

// Whether the text the interpreter printed around javac holds "error" or
// "エラー" (case-sensitive, whole characters only). Where the text shows the
// source file's own folder or name, as in prompts, echoed commands and the
// file names in messages, it does not count, so a source in a folder named
// "error" still compiles cleanly.
bool ReportsCompileError(const std::string& text, const std::string& sourcePath);
