// Running one JDK tool on one file through a hidden command interpreter. The
// run owns the interpreter, the tool's own input and output pipes and what the
// user types for the tool; its text goes into a ResultText.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "java/jdk_finder.h"
#include "tools/interpreter.h"
#include "tools/tool_pipes.h"
#include "tools/transcript.h"

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
// tool on the file with the redirections given, and exit with the tool's exit
// code (on the NT family, expanded when that line is read, after the tool).
std::string ToolScript(const std::string& path, const char* tool, const char* arguments,
                       const char* classArguments);
// The same with the folder (with its trailing backslash) and what the tool is
// given there apart: a file name, a path from the folder, or a class name.
std::string ToolScript(const std::string& folder, const std::string& target, const char* tool,
                       const char* arguments, const char* classArguments,
                       const std::string& redirections = "");

// The command line that runs script in a console the user sees: the lines
// but the last (exit) as one command, after which the console waits for a
// key. The interpreter's input, which the tool inherits, stays the keyboard.
std::string VisiblePromptCommand(const std::string& script);

// The file name as the interpreter takes it: quoted where it holds a blank
// or a character the interpreter acts on.
std::string QuotedFileName(const std::string& name);

class ToolRun;

// Watches the tool runs while the program waits for them; the run calls it
// on the program's one thread, whenever something happened: messages for the
// thread, output, the time it asked for.
class RunWatch {
 public:
  virtual ~RunWatch() = default;
  virtual void Begin(ToolRun& run) = 0;
  // Whether the user can type for tool while it runs. When not, and when no
  // one watches, the tool's input ends at once.
  virtual bool GivesInput(const char* tool) const = 0;
  // Milliseconds until the watch wants to be asked again whatever happens;
  // INFINITE for never.
  virtual DWORD NextWake() = 0;
  // Handles what happened (it may give the run input): true asks for the run
  // to be stopped.
  virtual bool ShouldStop() = 0;
  virtual void End() = 0;
};

// The watch of the tool runs from now on; null for none.
void WatchRuns(RunWatch* watch);

// How a tool run ended: the interpreter ran to its end; nothing could be run
// (the file's folder cannot be entered, which the text then says, or the
// pipes or the interpreter cannot be made, or the tool's line was never
// reached); or the user stopped it: the interpreter and all it started were
// ended, and the text ends with a line that says so.
enum class RunEnd { Finished, NotStarted, Stopped };

// How a tool that ran ended: its exit code, and how long it ran. The code is
// not known for a java shown in the visible prompt, which waits for a key
// and ends with 0.
struct ToolExit {
  DWORD code = 0;
  DWORD milliseconds = 0;
  bool codeKnown = true;
};

// Where one tool runs and on what: the folder (with its trailing backslash),
// the target it is given there, the environment block (NUL-terminated
// UTF-16 strings, then one more NUL) the interpreter starts with, an empty
// one being the program's own, and the JDK the tool comes from. With it,
// javac starts quickly (see tools/fast_javac.h) unless the FastJavac setting
// is 0, and the program's input is encoded as that JDK reads it. javac is
// told javacEncoding (unless the arguments name one; empty: none), and after
// it ran the text gets encodingNote (CR LF ended lines; empty: none).
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

// One tool running: what its watch sees of it and gives it.
class ToolRun {
 public:
  ToolRun(const char* tool, const ToolCall& call, ResultText& text)
      : tool_(tool), call_(call), text_(text) {}
  ToolRun(const ToolRun&) = delete;
  ToolRun& operator=(const ToolRun&) = delete;

  const char* Tool() const { return tool_; }
  const ToolCall& Call() const { return call_; }
  const ResultText& Text() const { return text_; }
  // A line the user typed for the program (without its line end), as the
  // JDK reads its input: added to the text as a console shows it, and sent
  // with CR LF. What the program does not read is thrown away when it ends.
  void Send(const std::wstring& line);
  // The program sees the input's end.
  void EndInput();

 private:
  friend RunEnd RunTool(const char*, const ToolCall&, int, ToolArguments, ResultText&, ToolExit*);
  const char* tool_;
  const ToolCall& call_;
  ResultText& text_;
  ToolPipes pipes_;
};

// Runs tool ("javac", "java" or "appletviewer") on path with the chosen
// arguments of command slot `slot`, appending to text the tool's line as the
// user would type it and what the tool prints. A tool that ran gives its exit
// to exit.
RunEnd RunTool(const char* tool, const std::string& path, int slot, ToolArguments arguments,
               ResultText& text, ToolExit* exit = nullptr);
RunEnd RunTool(const char* tool, const ToolCall& call, int slot, ToolArguments arguments,
               ResultText& text, ToolExit* exit = nullptr);
