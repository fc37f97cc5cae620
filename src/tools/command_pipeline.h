// Carrying out one command button: find the source file of the editor window
// the user works in and run the slot's tool sequence on it.
#pragma once

#include <string>

// The file of the editor window in front (or just beneath the main window):
// true, with the path stored in CurrentSourceFile and in path.
bool FindTargetFile(std::string& path);

// Runs command slot `slot` (0 to 2); output is where in ResultBuffer the text
// goes. False when no source file was found (then nothing ran).
bool RunCommand(int slot, char* output);
