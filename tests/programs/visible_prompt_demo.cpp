// Shows the visible-prompt mode at work: runs "java" through RunTool with
// DOSPrompt set, from a process that has no console, as the program does.
//
//   visible_prompt_demo [--hold folder] [--own-output] [--no-key]
//
// The java it runs is a copy of this program (in a bin folder put ahead of
// the fakes on PATH). That copy prints a few lines to its standard output and
// error, reads its console's screen back to see whether they arrived there and
// writes what it found to report.txt. It then types a line and a key into its
// console, reads the line back from its standard input, which must be the
// console's keyboard, and ends; the key closes the console, which waits for
// one. With --no-key it types the line only, and the console must still be
// open when the demo stops the run after 3 s. With --hold the work folder is the one
// given, and the copy then writes the file "ready" and keeps the console open
// until a file "release" appears there (a minute at most), so that the window
// can be looked at. Without --hold a temporary folder is used and removed.
//
// Like a program of the windows subsystem on Windows, the demo has no console
// and no standard handles. With --own-output its standard output and error
// lead to own-output.txt instead, as they do under Wine for such a program
// started from a shell; the tool's lines must not end up there either.
//
// Exit code 0 when the lines were on the tool's console (and nowhere else),
// java read the typed line, the run ended as it should and ResultBuffer holds
// just java's line; 1 otherwise; 2 when the set-up failed.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "../fakes/fake_common.h"
#include "../support/test_support.h"
#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "common/win_handle.h"
#include "settings/app_settings.h"
#include "tools/tool_run.h"

namespace {

// Lines that start at the left edge, so that wrapping cannot split them.
const char* const kJavaLines[] = {"  出力 1 行目 ----------", "  出力 2 行目 ----------",
                                  "  出力 3 行目 ----------"};
const char kJavaErrorLine[] = "java 標準エラー出力";

std::string ModulePath() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

bool PlaysJava() {
  std::string path = ModulePath();
  return lstrcmpiA(FileNameOf(path).c_str(), "java.exe") == 0;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void AppendToFile(const std::string& path, const std::string& text) {
  UniqueHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (file) WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void WriteTo(DWORD which, const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The text of the console screen this process is attached to, one line per
// row, or an empty text when it has none.
std::string ConsoleScreenText() {
  UniqueHandle screen(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
  std::string text;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (screen && GetConsoleScreenBufferInfo(screen.Get(), &info)) {
    // Wide characters: Wine's ANSI read drops rows with double-byte characters.
    std::wstring row(info.dwSize.X, L' ');
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
      DWORD read = 0;
      COORD at = {0, y};
      if (!ReadConsoleOutputCharacterW(screen.Get(), &row[0], info.dwSize.X, at, &read)) break;
      text += FromWide(row.substr(0, read), CP_ACP);
      text += "\r\n";
    }
  }
  return text;
}

bool HoldsJavaLines(const std::string& text) {
  bool all = text.find(kJavaErrorLine) != std::string::npos;
  for (const char* line : kJavaLines) all = all && text.find(line) != std::string::npos;
  return all;
}

std::string HandleKind(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr) return "NULL";
  if (handle == INVALID_HANDLE_VALUE) return "invalid";
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) return "console";
  switch (GetFileType(handle)) {
    case FILE_TYPE_PIPE:
      return "pipe";
    case FILE_TYPE_DISK:
      return "file";
    case FILE_TYPE_CHAR:
      return "character device";
    default:
      return "unusable";
  }
}

int PlayJava() {
  std::string folder = EnvironmentValue("PELLARO_DEMO_FOLDER");
  WriteTo(STD_OUTPUT_HANDLE, "\r\njava の標準出力です。\r\n");
  for (const char* line : kJavaLines) WriteTo(STD_OUTPUT_HANDLE, std::string(line) + "\r\n");
  WriteTo(STD_ERROR_HANDLE, std::string(kJavaErrorLine) + "\r\n");

  bool shown = HoldsJavaLines(ConsoleScreenText());
  AppendToFile(folder + "report.txt",
               "java stdin: " + HandleKind(STD_INPUT_HANDLE) +
                   "\r\njava stdout: " + HandleKind(STD_OUTPUT_HANDLE) +
                   "\r\njava stderr: " + HandleKind(STD_ERROR_HANDLE) +
                   "\r\njava console window: " + (GetConsoleWindow() ? "yes" : "none") +
                   "\r\njava lines on the console: " + (shown ? "yes" : "no") + "\r\n");
  if (!EnvironmentValue("PELLARO_DEMO_HOLD").empty()) {
    AppendToFile(folder + "ready", "");
    for (int tick = 0; tick < 600 && !Exists(folder + "release"); ++tick) Sleep(100);
  } else {
    fake::TypeIntoConsole(EnvironmentValue("PELLARO_DEMO_KEYS"));
    char line[256];
    DWORD read = 0;
    ReadFile(GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &read, nullptr);
    AppendToFile(folder + "report.txt",
                 "java read from the keyboard: [" + std::string(line, read) + "]\r\n");
  }
  return shown ? 0 : 1;
}

int RunDemo(int argc, char** argv) {
  std::string folder;
  bool ownOutput = false;
  bool noKey = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--hold") == 0 && i + 1 < argc) {
      folder = argv[++i];
      if (folder.back() != '\\') folder += '\\';
    } else if (std::strcmp(argv[i], "--own-output") == 0) {
      ownOutput = true;
    } else if (std::strcmp(argv[i], "--no-key") == 0) {
      noKey = true;
    } else {
      return 2;
    }
  }
  bool hold = !folder.empty();
  if (!hold) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "pellaro-visible-" + std::to_string(GetCurrentProcessId()) + "\\";
  }
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "bin").c_str(), nullptr);
  for (const char* name : {"report.txt", "ready", "release", "own-output.txt"})
    DeleteFileA((folder + name).c_str());
  if (!CopyFileA(ModulePath().c_str(), (folder + "bin\\java.exe").c_str(), FALSE)) return 2;

  FreeConsole();
  UniqueHandle own;
  if (ownOutput) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    own.Reset(CreateFileA((folder + "own-output.txt").c_str(), GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, CREATE_ALWAYS, 0,
                          nullptr));
    if (!own) return 2;
  }
  SetStdHandle(STD_INPUT_HANDLE, nullptr);
  SetStdHandle(STD_OUTPUT_HANDLE, own.Get());
  SetStdHandle(STD_ERROR_HANDLE, own.Get());

  std::string path = folder + "bin;" + DirectoryOf(ModulePath()) + ";" + EnvironmentValue("PATH");
  SetEnvironmentVariableA("PATH", path.c_str());
  SetEnvironmentVariableA("PELLARO_DEMO_FOLDER", folder.c_str());
  SetEnvironmentVariableA("PELLARO_DEMO_HOLD", hold ? "1" : nullptr);
  SetEnvironmentVariableA("PELLARO_DEMO_KEYS", noKey ? "typed\r" : "typed\rx");

  Settings.DOSPrompt = 1;
  ResultText text;
  std::optional<StopAfter> stop;
  if (noKey) stop.emplace(3000);
  const RunEnd end = RunTool("java", folder + "Hello", 0, ToolArguments::First, text);
  stop.reset();
  bool ran = end == (noKey ? RunEnd::Stopped : RunEnd::Finished);
  bool onlySpace = std::string(ResultBuffer) ==
                   (noKey ? "> java Hello\r\n中止しました\r\n" : "> java Hello\r\n");
  own.Reset();
  bool stray = HoldsJavaLines(ReadWholeFile(folder + "own-output.txt"));
  AppendToFile(folder + "report.txt",
               std::string("RunTool: ") + (ran ? "true" : "false") + "\r\nResultBuffer: [" +
                   ResultBuffer +
                   "]\r\njava lines in the demo's own output: " + (stray ? "yes" : "no") + "\r\n");
  const std::string report = ReadWholeFile(folder + "report.txt");
  bool shown = report.find("java lines on the console: yes") != std::string::npos;
  bool typed = hold || report.find("java read from the keyboard: [typed\r\n]") != std::string::npos;

  if (!hold) {
    DeleteFileA((folder + "bin\\java.exe").c_str());
    RemoveDirectoryA((folder + "bin").c_str());
    DeleteFileA((folder + "report.txt").c_str());
    DeleteFileA((folder + "own-output.txt").c_str());
    RemoveDirectoryA(folder.c_str());
  }
  return ran && onlySpace && shown && typed && !stray ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  int code = PlaysJava() ? PlayJava() : RunDemo(argc, argv);
  // Leave the stored settings alone: this is not the program.
  std::_Exit(code);
}
