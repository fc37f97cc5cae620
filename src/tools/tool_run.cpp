// Running one JDK tool through the command interpreter, with its own input
// and output through pipes of its own.
#include "tools/tool_run.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "common/dbcs_text.h"
#include "common/file_paths.h"
#include "common/system_text.h"
#include "common/windows_family.h"
#include "java/program_input.h"
#include "java/source_encoding.h"
#include "settings/app_settings.h"
#include "tools/fast_javac.h"
#include "tools/path_ops.h"
#include "tools/waiting_interpreter.h"

namespace {

const char kFolderUnreachableText[] = "フォルダに入れません: ";
const char kStoppedText[] = "中止しました\r\n";
const char kPressAKeyText[] = "何かキーを押すとこの画面を閉じます . . .";
// The interpreter's exit code when the script could not enter the file's
// folder (ERROR_DIRECTORY): nothing of the script after the cd runs. A tool
// may exit with the same code; on the NT family the folder is known to be
// unreachable only when the tool's line was never reached as well.
constexpr DWORD kFolderNotEntered = 267;
// How long a stopped run's processes may take to end.
constexpr DWORD kStopWait = 5000;
constexpr DWORD kStopWatchPeriod = 250;

RunWatch* currentWatch = nullptr;

}  // namespace

std::string QuotedFileName(const std::string& name) {
  return NeedsQuotes(name) ? "\"" + name + "\"" : name;
}

std::string InterpreterPath() {
  const bool windows95 = IsWindows95Family();
  const std::string comSpec = EnvironmentValue("ComSpec");
  if (IsFullPath(comSpec) && IsExistingFile(comSpec)) return comSpec;
  char folder[MAX_PATH] = {};
  const UINT length =
      windows95 ? GetWindowsDirectoryA(folder, MAX_PATH) : GetSystemDirectoryA(folder, MAX_PATH);
  std::string path = length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
  // The last character, not the last byte: a trail byte may be 0x5C.
  if (!path.empty() && FindLastChar(path, '\\') + 1 != path.size()) path += '\\';
  return path + (windows95 ? "command.com" : "cmd.exe");
}

std::string InterpreterCommand() { return "\"" + InterpreterPath() + "\" /K "; }

void WatchRuns(RunWatch* watch) { currentWatch = watch; }

std::string VisiblePromptCommand(const std::string& script) {
  std::string command = "\"" + InterpreterPath() + "\" /S /C \"";
  std::size_t lineStart = 0;
  for (std::size_t lineEnd; (lineEnd = script.find("\r\n", lineStart)) != std::string::npos;
       lineStart = lineEnd + 2) {
    const std::string line = script.substr(lineStart, lineEnd - lineStart);
    if (line.compare(0, 4, "exit") == 0) break;
    command += line + " &";
  }
  return command + " echo. & echo " + kPressAKeyText + " & pause > NUL & exit 0\"";
}

std::string ToolScript(const std::string& path, const char* tool, const char* arguments,
                       const char* classArguments) {
  return ToolScript(DirectoryOf(path), FileNameOf(path), tool, arguments, classArguments);
}

std::string ToolScript(const std::string& folder, const std::string& target, const char* tool,
                       const char* arguments, const char* classArguments,
                       const std::string& redirections) {
  std::string script;
  if (IsWindows95Family()) {
    script = folder.substr(0, 2) + "\r\n";
    script += " cd \"" + folder + "\"\r\n";
  } else {
    // A folder that cannot be entered leaves the interpreter wherever it
    // started, where a same-named file must not be compiled: the script ends
    // there. cd and pushd clear the error level when they succeed; the check
    // stands on a line of its own and in parentheses, so that it also works
    // where the lines are joined by "&".
    // The interpreter cannot make a network folder its current one by cd,
    // only through pushd, which lends it a drive letter.
    script = IsNetworkPath(folder) ? " pushd \"" : " cd /d \"";
    script += folder + "\"\r\n";
    script += " (if errorlevel 1 exit " + std::to_string(kFolderNotEntered) + ")\r\n";
  }
  script += std::string(" ") + tool + " ";
  if (*arguments) script += std::string(arguments) + " ";
  script += QuotedFileName(target) + " " + classArguments;
  if (!redirections.empty()) script += " " + redirections;
  script += "\r\n";
  // The tool's exit code passes out through the interpreter's: this line is
  // read, and %ERRORLEVEL% expanded, only after the tool has ended.
  script += IsWindows95Family() ? "exit\r\n" : "exit %ERRORLEVEL%\r\n";
  return script;
}

namespace {

std::string ArgumentText(int slot, ToolArguments choice) {
  if (slot < 0 || slot >= kSlotCount) return std::string();
  const CommandSlot& command = Settings.Cmd[slot];
  switch (choice) {
    case ToolArguments::First:
      return FieldText(command.FirstCmdLine, sizeof command.FirstCmdLine);
    case ToolArguments::Second:
      return FieldText(command.SecondCmdLine, sizeof command.SecondCmdLine);
    case ToolArguments::None:
      break;
  }
  return std::string();
}


}  // namespace

ToolCall CallOn(const std::string& path) {
  ToolCall call;
  call.folder = DirectoryOf(path);
  call.target = FileNameOf(path);
  return call;
}

void ToolRun::Send(const std::wstring& line) {
  // As a console takes it: Ctrl+Z at the end of a line ends the input.
  const std::wstring endMark = L"^Z";
  const bool ending =
      line.size() >= endMark.size() && line.compare(line.size() - 2, 2, endMark) == 0;
  const std::wstring sent = ending ? line.substr(0, line.size() - 2) : line;
  text_.Append(FromWide(line, CP_ACP) + "\r\n");
  unsigned long feature = 0;
  if (call_.jdk) {
    const std::vector<unsigned long> numbers = VersionNumbers(call_.jdk->version);
    if (!numbers.empty()) feature = numbers[0];
  }
  const std::string bytes = ProgramInputBytes(sent, feature);
  if (ending) {
    pipes_.Send(bytes);
    pipes_.EndInput();
  } else {
    pipes_.Send(bytes + "\r\n");
  }
}

void ToolRun::EndInput() { pipes_.EndInput(); }

RunEnd RunTool(const char* tool, const std::string& path, int slot, ToolArguments arguments,
               ResultText& text, ToolExit* exit) {
  return RunTool(tool, CallOn(path), slot, arguments, text, exit);
}

RunEnd RunTool(const char* tool, const ToolCall& call, int slot, ToolArguments arguments,
               ResultText& text, ToolExit* exit) {
  const bool visible = Settings.DOSPrompt != 0 && lstrcmpA(tool, "java") == 0;
  // On the NT family the tool's input and output are pipes of its own, named
  // on its line; the interpreter's own output goes nowhere. The Windows 95
  // family's interpreter opens no pipe by name: there the tool shares the
  // interpreter's input and output, as it always did.
  const bool ownPipes = !visible && IsNtFamily();
  const std::string path = call.folder + call.target;
  std::string userArguments = ArgumentText(slot, arguments);
  std::string argumentText = userArguments;
  const bool javac = lstrcmpA(tool, "javac") == 0;
  std::optional<FastJavacRun> fast;
  if (javac) {
    userArguments = WithSourceEncoding(userArguments, call.javacEncoding);
    argumentText = userArguments;
    if (Settings.FastJavac && call.jdk) {
      fast.emplace(*call.jdk, argumentText);
      if (!fast->Options().empty())
        argumentText = fast->Options() + (argumentText.empty() ? "" : " ") + argumentText;
    }
  }

  // The interpreter starts in the file's folder, so that a cd that fails
  // cannot leave it in the program's own folder with a same-named file.
  const std::string& folder = call.folder;
  if (!folder.empty() && !IsExistingFolder(folder)) {
    text.AppendLine(kFolderUnreachableText + folder + "\r\n");
    return RunEnd::NotStarted;
  }

  ToolRun run(tool, call, text);
  if (!visible && !run.pipes_.Create()) return RunEnd::NotStarted;
  std::string script =
      ToolScript(call.folder, call.target, tool, argumentText.c_str(), Settings.ClassCmdLine,
                 ownPipes ? run.pipes_.Redirections() : std::string());
  text.AppendLine(
      ShownCommandLine(tool, userArguments, QuotedFileName(call.target), Settings.ClassCmdLine));

  // A run through its own pipes takes the interpreter that waits for it,
  // where one does.
  std::unique_ptr<Interpreter> interpreter;
  if (ownPipes) interpreter = TakeWaitingInterpreter(call.environment);
  if (!interpreter) {
    interpreter = std::make_unique<Interpreter>();
    const char* startFolder = folder.empty() || IsNetworkPath(folder) ? nullptr : folder.c_str();
    const wchar_t* environment = call.environment.empty() ? nullptr : call.environment.data();
    bool started = false;
    if (visible && IsNtFamily()) {
      // The NT family's interpreter takes the whole script at once; the one
      // of the Windows 95 family reads it, with its input, from the pipe.
      started =
          interpreter->StartVisible(VisiblePromptCommand(script), startFolder, environment, true);
      script.clear();
    } else if (visible) {
      started = interpreter->StartVisible(InterpreterCommand(), startFolder, environment, false);
    } else if (ownPipes) {
      started = interpreter->Start(InterpreterCommand(), startFolder, environment);
    } else {
      UniqueHandle output = run.pipes_.OpenOutputHere();
      started = output &&
                interpreter->Start(InterpreterCommand(), startFolder, environment, output.Get());
    }
    if (!started) return RunEnd::NotStarted;
  }
  interpreter->SetScript(script);

  RunWatch* watch = currentWatch;
  if (!watch || !watch->GivesInput(tool)) run.pipes_.EndInput();
  if (watch) watch->Begin(run);
  const DWORD began = GetTickCount();
  bool feeding = true;
  bool stopped = false;
  for (;;) {
    if (feeding) feeding = interpreter->FeedMore();
    HANDLE handles[3] = {interpreter->Process()};
    const DWORD count = 1 + run.pipes_.Waitables(handles + 1);
    DWORD timeout = watch ? watch->NextWake() : INFINITE;
    // The next script line goes in once the interpreter has taken this one.
    if (feeding) timeout = std::min<DWORD>(timeout, 1);
    if (watch)
      MsgWaitForMultipleObjects(count, handles, FALSE, timeout, QS_ALLINPUT);
    else
      WaitForMultipleObjects(count, handles, FALSE, timeout);
    run.pipes_.Service(text);
    if (watch && watch->ShouldStop()) {
      stopped = true;
      break;
    }
    if (interpreter->HasEnded()) break;
  }
  const DWORD milliseconds = GetTickCount() - began;
  if (stopped) {
    interpreter->EndAll();
    // The program keeps answering while its processes end.
    while (!interpreter->HasEnded() && GetTickCount() - began - milliseconds < kStopWait) {
      HANDLE process = interpreter->Process();
      MsgWaitForMultipleObjects(1, &process, FALSE, kStopWatchPeriod, QS_ALLINPUT);
      watch->ShouldStop();
    }
  }
  run.pipes_.TakeRest(text);
  if (watch) watch->End();
  if (stopped) {
    text.AppendLine(kStoppedText);
    return RunEnd::Stopped;
  }
  const DWORD code = interpreter->ExitCode();
  if (ownPipes ? !run.pipes_.ToolReached() : code == kFolderNotEntered) {
    if (code == kFolderNotEntered) text.AppendLine(kFolderUnreachableText + folder + "\r\n");
    return RunEnd::NotStarted;
  }
  if (fast) fast->Finished();
  if (javac && !call.encodingNote.empty()) text.AppendLine(call.encodingNote);
  if (exit) *exit = {code, milliseconds, !visible};
  return RunEnd::Finished;
}
