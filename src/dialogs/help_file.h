// The help document shipped beside the program, opened through the shell.
#pragma once

#include <string>

// The running program's folder, ending in a backslash.
std::string ProgramFolder();

// Opens HELP.HTML from the program's folder, shown normally; does nothing
// when the file is not there.
void OpenHelpFile();
