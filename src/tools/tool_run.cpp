// Running one JDK tool through the command interpreter with captured output.
#include "tools/tool_run.h"

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

const char kFolderUnreachableText[] = "フォルダに入れません: ";

std::string QuotedFileName(const std::string& name) {
  return ContainsAnyChar(name, kNeedsQuotes) ? "\"" + name + "\"" : name;
}

// \\server\share\...: the interpreter cannot make such a folder its current
// one by cd, only through pushd, which lends it a drive letter.
bool IsUncPath(const std::string& path) { return path.compare(0, 2, "\\\\") == 0; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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
  std::string script;
  if (IsUncPath(path)) {
    // Without its folder, a same-named file elsewhere must not be compiled.
    script = " pushd \"" + DirectoryOf(path) + "\" || exit\r\n";
  } else {
    script = path.substr(0, 2) + "\r\n";
    script += " cd \"" + DirectoryOf(path) + "\"\r\n";
  }
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

  // The interpreter starts in the file's folder, so that a cd that fails
  // cannot leave it in the program's own folder with a same-named file.
  const std::string folder = DirectoryOf(path);
  if (!folder.empty() && !IsFolder(folder)) {
    OutputSink sink(output, std::min<std::size_t>(ResultBuffer + kResultBufferSize - output,
                                                  kResultBufferSize));
    const std::string message = kFolderUnreachableText + folder + "\r\n";
    sink.Append(message.data(), message.size());
    output[sink.Stored()] = '\0';
    return false;
  }

  CapturedProcess child;
  if (!child.CreatePipes()) return false;
  // The text always starts with this space, so a read never finds the pipe empty.
  child.Preload(" ", 1);
  bool visible = Settings.DOSPrompt != 0 && lstrcmpA(tool, "java") == 0;
  if (!child.Start(InterpreterCommand(), visible,
                   folder.empty() || IsUncPath(folder) ? nullptr : folder.c_str()))
    return false;

  std::size_t room = ResultBuffer + kResultBufferSize - output;
  OutputSink sink(output, std::min(room, kResultBufferSize));
  bool ok = child.FeedAndCollect(script, sink);
  output[sink.Stored()] = '\0';
  return ok;
}
