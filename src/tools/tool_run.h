// Running one JDK tool on one file through a hidden command interpreter, with
// its console output captured into ResultBuffer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "java/jdk_finder.h"
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

// The command interpreter by its full path: %ComSpec% when that names an
// existing file, else cmd.exe in the system folder (NT family) or
// command.com in the Windows folder (Windows 95 family). Never found by
// search, so a cmd.exe beside a downloaded source file cannot run.
std::string InterpreterPath();

// The interpreter, quoted, followed by " /K ".
std::string InterpreterCommand();

// The script the interpreter reads: change drive, cd into the file's
// directory (on the NT family ending the script when that fails), run the
// tool on the file, exit.
std::string ToolScript(const std::string& path, const char* tool, const char* arguments,
                       const char* classArguments);
// The same with the folder (with its trailing backslash) and what the tool is
// given there apart: a file name, a path from the folder, or a class name.
std::string ToolScript(const std::string& folder, const std::string& target, const char* tool,
                       const char* arguments, const char* classArguments);

// The command line that runs script in a console the user sees: the lines
// but the last (exit) as one command, after which the console waits for a
// key. The interpreter's input, which the tool inherits, stays the keyboard.
std::string VisiblePromptCommand(const std::string& script);

// Watches the tool runs while the program waits for them.
class RunWatch {
 public:
  virtual ~RunWatch() = default;
  virtual void Begin(const char* tool, const std::string& path) = 0;
  // Called whenever the thread has messages and at least every 250 ms: true
  // asks for the run to be stopped.
  virtual bool ShouldStop() = 0;
  virtual void End() = 0;
};

// The watch of the tool runs from now on; null for none.
void WatchRuns(RunWatch* watch);

// How a tool run ended: the interpreter ran to its end; nothing could be run
// (the file's folder cannot be entered, which the text then says, or the
// pipes or the interpreter cannot be made); or the user stopped it: the
// interpreter and all it started were ended, and the text ends with a line
// that says so.
enum class RunEnd { Finished, NotStarted, Stopped };

// Where one tool runs and on what: the folder (with its trailing backslash),
// the target it is given there, and the environment block (NUL-terminated
// UTF-16 strings, then one more NUL) the interpreter starts with; an empty
// environment is the program's own. With the JDK the tool comes from, javac
// starts quickly (see tools/fast_javac.h) unless the FastJavac setting is 0.
// javac is told javacEncoding (unless the arguments name one; empty: none),
// and after it ran the text gets encodingNote (CR LF ended lines; empty:
// none).
struct ToolCall {
  std::string folder;
  std::string target;
  std::wstring environment;
  std::optional<Jdk> jdk = std::nullopt;
  std::string javacEncoding;
  std::string encodingNote;
};

// A call on path in its own folder, with the program's environment.
ToolCall CallOn(const std::string& path);

// Runs tool ("javac", "java" or "appletviewer") on path with the chosen
// arguments of command slot `slot`, appending what the interpreter prints to
// text.
RunEnd RunTool(const char* tool, const std::string& path, int slot, ToolArguments arguments,
               ResultText& text);
RunEnd RunTool(const char* tool, const ToolCall& call, int slot, ToolArguments arguments,
               ResultText& text);
