// Running one JDK tool through the command interpreter with captured output.
#include "tools/tool_run.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "common/windows_family.h"
#include "java/source_encoding.h"
#include "settings/app_settings.h"
#include "tools/captured_process.h"
#include "tools/fast_javac.h"
#include "tools/path_ops.h"
#include "tools/waiting_interpreter.h"

char ResultBuffer[kResultBufferSize + 1];

ResultText::ResultText(std::size_t start)
    : OutputSink(ResultBuffer + std::min(start, kResultBufferSize),
                 kResultBufferSize - std::min(start, kResultBufferSize)),
      start_(std::min(start, kResultBufferSize)) {}

namespace {

const char kFolderUnreachableText[] = "フォルダに入れません: ";
const char kStoppedText[] = "中止しました\r\n";
const char kPressAKeyText[] = "何かキーを押すとこの画面を閉じます . . .";
// The interpreter's exit code when the script could not enter the file's
// folder (ERROR_DIRECTORY): nothing of the script after the cd runs.
constexpr DWORD kFolderNotEntered = 267;

RunWatch* currentWatch = nullptr;

std::string QuotedFileName(const std::string& name) {
  return NeedsQuotes(name) ? "\"" + name + "\"" : name;
}

}  // namespace

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
                       const char* arguments, const char* classArguments) {
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
  script += QuotedFileName(target) + " " + classArguments + "\r\n";
  // On the NT family the interpreter's exit code tells a folder that could
  // not be entered from a tool that ran, whatever the tool's own code.
  script += IsWindows95Family() ? "exit\r\n" : "exit 0\r\n";
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

// Appends line on a line of its own.
void AppendLine(ResultText& text, const std::string& line) {
  if (text.Stored() > 0 && text.Text()[text.Stored() - 1] != '\n') text.Append("\r\n");
  text.Append(line);
}

}  // namespace

ToolCall CallOn(const std::string& path) {
  ToolCall call;
  call.folder = DirectoryOf(path);
  call.target = FileNameOf(path);
  return call;
}

RunEnd RunTool(const char* tool, const std::string& path, int slot, ToolArguments arguments,
               ResultText& text) {
  return RunTool(tool, CallOn(path), slot, arguments, text);
}

RunEnd RunTool(const char* tool, const ToolCall& call, int slot, ToolArguments arguments,
               ResultText& text) {
  const bool visible = Settings.DOSPrompt != 0 && lstrcmpA(tool, "java") == 0;
  const std::string path = call.folder + call.target;
  std::string argumentText = ArgumentText(slot, arguments);
  const bool javac = lstrcmpA(tool, "javac") == 0;
  std::optional<FastJavacRun> fast;
  if (javac) {
    argumentText = WithSourceEncoding(argumentText, call.javacEncoding);
    if (Settings.FastJavac && call.jdk) {
      fast.emplace(*call.jdk, argumentText);
      if (!fast->Options().empty())
        argumentText = fast->Options() + (argumentText.empty() ? "" : " ") + argumentText;
    }
  }
  std::string script =
      ToolScript(call.folder, call.target, tool, argumentText.c_str(), Settings.ClassCmdLine);
  std::string commandLine = InterpreterCommand();
  // The NT family's interpreter takes the whole script at once; the one of
  // the Windows 95 family reads it, with its input, from the pipe.
  if (visible && IsNtFamily()) {
    commandLine = VisiblePromptCommand(script);
    script.clear();
  }

  // The interpreter starts in the file's folder, so that a cd that fails
  // cannot leave it in the program's own folder with a same-named file.
  const std::string& folder = call.folder;
  if (!folder.empty() && !IsExistingFolder(folder)) {
    text.Append(kFolderUnreachableText + folder + "\r\n");
    return RunEnd::NotStarted;
  }

  // A captured run takes the interpreter that waits for it, where one does.
  std::unique_ptr<CapturedProcess> child;
  if (!visible) child = TakeWaitingInterpreter(call.environment);
  if (!child) {
    child = std::make_unique<CapturedProcess>();
    if (!child->CreatePipes()) return RunEnd::NotStarted;
    // The text always starts with this space, so a read never finds the pipe empty.
    child->Preload(" ", 1);
    if (!child->Start(commandLine, visible,
                      folder.empty() || IsNetworkPath(folder) ? nullptr : folder.c_str(),
                      visible && script.empty(),
                      call.environment.empty() ? nullptr : call.environment.data()))
      return RunEnd::NotStarted;
  }

  RunWatch* watch = currentWatch;
  StopQuestion shouldStop;
  if (watch) {
    watch->Begin(tool, path);
    shouldStop = [watch] { return watch->ShouldStop(); };
  }
  const bool finished = child->FeedAndCollect(script, text, shouldStop);
  if (watch) watch->End();
  if (finished && child->ExitCode() == kFolderNotEntered) {
    text.Append(kFolderUnreachableText + folder + "\r\n");
    return RunEnd::NotStarted;
  }
  if (finished && fast) fast->Finished();
  if (finished && javac && !call.encodingNote.empty()) AppendLine(text, call.encodingNote);
  if (finished) return RunEnd::Finished;
  AppendLine(text, kStoppedText);
  return RunEnd::Stopped;
}
