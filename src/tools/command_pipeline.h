// Carrying out one command button: find the source file of the editor window
// the user works in and run the slot's tool sequence on it.
#pragma once

#include <windows.h>

#include <string>

// The file of the editor window in front (or just beneath the main window):
// true, with the path stored in CurrentSourceFile and in path, and that
// window in editorWindow when one is asked for.
bool FindTargetFile(std::string& path, HWND* editorWindow = nullptr);

// Runs command slot `slot` (0 to 2); output is where in ResultBuffer the text
// goes. False when no source file was found (then nothing ran). The editor
// window the command was for goes to editorWindow, and RunSequence's answer
// to toolFolder, when they are asked for.
bool RunCommand(int slot, char* output, HWND* editorWindow = nullptr,
                std::string* toolFolder = nullptr);

// The tools of slot's ExeMode on the source file path: javac first when bit 0
// is set, stopping there when it reports an error; then java (2) or
// appletviewer (6), all from one JDK. Each tool's output follows the one
// before, from output on; when the runs cannot start (no JDK, a package in
// the wrong folders) the text says why instead. Gives the folder the tools
// ran in (the package root for a source in a package, else the source's
// folder, with its trailing backslash), against which relative paths in
// their output stand; empty when nothing ran.
std::string RunSequence(int slot, const std::string& path, char* output);

// Whether the text the interpreter printed around javac holds "error" or
// "エラー" (case-sensitive, whole characters only). Where the text shows the
// source file's own folder or name, as in prompts, echoed commands and the
// file names in messages, it does not count, so a source in a folder named
// "error" still compiles cleanly.
bool ReportsCompileError(const std::string& text, const std::string& sourcePath);
