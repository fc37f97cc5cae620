// What setup writes: the editor's path for Pellaro, and the .java file class
// that opens and compiles .java files with the Pellaro.exe beside setup.exe.
#pragma once

#include <string>

// Writes the seven entries in order and returns true when all were written;
// stops with false at the first that fails and leaves the ones before it.
bool WriteSetupRegistry(const std::string& editorPath);
