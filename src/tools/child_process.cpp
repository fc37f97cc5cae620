// Running one JDK tool through the command interpreter with captured output.
#include "tools/child_process.h"

#include <windows.h>

#include <algorithm>

#include "common/dbcs_text.h"
#include "settings/app_settings.h"
#include "tools/captured_process.h"
#include "tools/path_ops.h"

char ResultBuffer[kResultBufferSize + 1];
bool UseSecondCmdLine = false;

namespace {

char interpreterCommand[16];

// Characters that make the interpreter split or redirect an unquoted name.
const char kNeedsQuotes[] = " &|<>^(),;=";

std::string QuotedFileName(const std::string& name) {
  return ContainsAnyChar(name, kNeedsQuotes) ? "\"" + name + "\"" : name;
}

}  // namespace

const char* InterpreterCommand() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&version);
#pragma GCC diagnostic pop
  if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
    lstrcpynA(interpreterCommand, "command.com /K ", sizeof interpreterCommand);
  else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
    lstrcpynA(interpreterCommand, "Cmd.exe /K ", sizeof interpreterCommand);
  return interpreterCommand;
}

std::string ToolScript(const std::string& path, const char* tool, const char* arguments,
                       const char* classArguments) {
  std::string script = path.substr(0, 2) + "\r\n";
  script += " cd \"" + DirectoryOf(path) + "\"\r\n";
  script += std::string(" ") + tool + " ";
  if (*arguments) script += std::string(arguments) + " ";
  script += QuotedFileName(FileNameOf(path)) + " " + classArguments + "\r\n";
  script += "exit\r\n";
  return script;
}

bool RunTool(const char* tool, const std::string& path, char* output, int slot) {
  const CommandSlot& command = Settings.Cmd[slot];
  const char* arguments = UseSecondCmdLine ? command.SecondCmdLine : command.FirstCmdLine;
  std::string script = ToolScript(path, tool, arguments, Settings.ClassCmdLine);

  CapturedProcess child;
  if (!child.CreatePipes()) return false;
  // The text always starts with this space, so a read never finds the pipe empty.
  child.Preload(" ", 1);
  bool visible = Settings.DOSPrompt != 0 && lstrcmpA(tool, "java") == 0;
  if (!child.Start(InterpreterCommand(), visible)) return false;

  std::size_t room = ResultBuffer + kResultBufferSize - output;
  OutputSink sink(output, std::min(room, kResultBufferSize));
  bool ok = child.FeedAndCollect(script, sink);
  output[sink.Stored()] = '\0';
  return ok;
}
