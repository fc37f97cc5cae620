// Running one JDK tool on one file through a hidden command interpreter, with
// its console output captured into ResultBuffer.
#pragma once

#include <cstddef>
#include <string>

#include "tools/captured_process.h"

constexpr std::size_t kResultBufferSize = 262144;

// Output of the last command: up to 262,144 bytes of text and a NUL.
extern char ResultBuffer[kResultBufferSize + 1];

// The part of ResultBuffer a command writes, from offset start to the
// buffer's end: always NUL-terminated, never written past the buffer.
class ResultText : public OutputSink {
 public:
  explicit ResultText(std::size_t start = 0);
  // The text from start on.
  const char* Text() const { return ResultBuffer + start_; }
  // Offset in ResultBuffer just past the text.
  std::size_t End() const { return start_ + Stored(); }

 private:
  std::size_t start_;
};

// Which of the slot's argument strings a tool run takes: none (compile-only
// mode), FirstCmdLine (a run on its own or the compile), or SecondCmdLine
// (the tool that follows a successful compile).
enum class ToolArguments { None, First, Second };

// "Cmd.exe /K " on the NT family, "command.com /K " on the Windows 95 family.
const char* InterpreterCommand();

// The script the interpreter reads: change drive, cd into the file's
// directory, run the tool on the file, exit.
std::string ToolScript(const std::string& path, const char* tool, const char* arguments,
                       const char* classArguments);

// Runs tool ("javac", "java" or "appletviewer") on path with the chosen
// arguments of command slot `slot`, appending what the interpreter prints to
// text. False when nothing could be run: the file's folder cannot be entered
// (text then says so), or the pipes or the interpreter cannot be made.
bool RunTool(const char* tool, const std::string& path, int slot, ToolArguments arguments,
             ResultText& text);
