// Compile-only mode: "-c <path>" compiles one file with javac, shows the
// result and ends.
#pragma once

#include <string>

// True when the command line asks for compile-only mode ("-c", case matters).
bool IsCompileOnly(const std::string& commandLine);

// Runs the mode on the whole command line; gives the process exit code.
int RunCompileOnly(const std::string& commandLine);

// The file to compile: the command line less "-c" and one blank, without
// surrounding quotes, made full against the current directory, long name
// resolved. Empty when nothing is named.
std::string CompileTarget(const std::string& commandLine);
