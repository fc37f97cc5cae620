// Every start that is not compile-only: the editor, the tool window and the
// message loop.
#pragma once

#include <windows.h>

#include <string>

int RunInteractiveStartup(std::string commandLine, bool anotherInstance, HANDLE instanceMutex);
