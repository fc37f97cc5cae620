// Running one JDK tool on one file through a hidden command interpreter, with
// its console output captured into ResultBuffer.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t kResultBufferSize = 262144;

// Output of the last command: up to 262,144 bytes of text and a NUL.
extern char ResultBuffer[kResultBufferSize + 1];

// Set between a successful compile and the tool that follows it: tool runs
// then take the slot's SecondCmdLine.
extern bool UseSecondCmdLine;

// "Cmd.exe /K " on the NT family, "command.com /K " on the Windows 95 family.
const char* InterpreterCommand();

// The script the interpreter reads: change drive, cd into the file's
// directory, run the tool on the file, exit.
std::string ToolScript(const std::string& path, const char* tool, const char* arguments,
                       const char* classArguments);

// Runs tool ("javac", "java" or "appletviewer") on path with the arguments of
// command slot `slot`, storing what the interpreter prints at output (inside
// ResultBuffer) followed by a NUL. False when the pipes cannot be made, the
// interpreter cannot be started, or its output could not be read.
bool RunTool(const char* tool, const std::string& path, char* output, int slot);
