// A stand-in for javac, java and appletviewer, named after the tool it plays.
// It appends one record to the log named by PELLARO_FAKE_LOG:
//   tool TAB working-directory TAB arguments CR LF
// (appletviewer adds a record "page" TAB the bytes of the page it was given;
// with PELLARO_FAKE_FULL_NAMES set, the tool field is the program's full path),
// then prints what the environment asks for, for this tool (TOOL upper-case):
//   PELLARO_FAKE_DELAY_TOOL  wait that many milliseconds before printing
//   PELLARO_FAKE_OUT_TOOL    a file whose bytes are printed as they are
//   PELLARO_FAKE_BYTES_TOOL  that many bytes of numbered 64-byte lines
//   PELLARO_FAKE_STDIN_TOOL  read standard input to its end first
//   PELLARO_FAKE_KEYS_TOOL   keys to type into its console first (CR: Enter)
//   PELLARO_FAKE_READLINE_TOOL  read one line of standard input and log
//                            "line" TAB the line
//   PELLARO_FAKE_SPAWN_TOOL  another fake (say "appletviewer") to start and
//                            leave running with this one's handles
//   PELLARO_FAKE_SLEEP_TOOL  log "pid" TAB its process id, then wait that
//                            many milliseconds before it ends
//   PELLARO_FAKE_ENV         a variable whose value it logs as "env" TAB
//                            the value in UTF-8, as it reached the tool
//   PELLARO_FAKE_EXIT        the exit code
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/dbcs_text.h"
#include "fake_common.h"

namespace {

void AppendToLog(const std::string& record) { fake::AppendToLog("PELLARO_FAKE_LOG", record); }

std::string ProgramPath() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::string ToolName() {
  std::string name = FileNameOf(ProgramPath());
  name = name.substr(0, FindLastChar(name, '.'));
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// The command line less the program's own name and the blanks after it.
std::string Arguments() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// The last argument, quotes removed.
std::string LastArgument(const std::string& arguments) {
  std::string last;
  std::string current;
  bool quoted = false;
  bool any = false;
  for (char c : arguments + " ") {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) last = current;
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  return last;
}

void Print(const std::string& bytes) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 65536));
    if (!WriteFile(out, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
    done += written;
  }
}

std::string NumberedLines(std::size_t count) {
  std::string text;
  text.reserve(count);
  for (std::size_t line = 0; text.size() < count; ++line) {
    char buffer[80];
    wsprintfA(buffer, "%08lu ------------------------------------------------------\r\n",
              static_cast<unsigned long>(line));
    text += buffer;
  }
  text.resize(count);
  return text;
}

}  // namespace

int main() {
  const std::string tool = ToolName();
  std::string upper = tool;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

  char directory[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, directory);
  const std::string arguments = Arguments();
  const std::string logged =
      EnvironmentValue("PELLARO_FAKE_FULL_NAMES").empty() ? tool : ProgramPath();
  AppendToLog(logged + "\t" + directory + "\t" + arguments + "\r\n");
  if (tool == "appletviewer")
    AppendToLog("page\t" + ReadWholeFile(LastArgument(arguments)) + "\r\n");
  const std::string variable = EnvironmentValue("PELLARO_FAKE_ENV");
  if (!variable.empty()) {
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(ToWide(variable, CP_ACP).c_str(), value, 1024);
    AppendToLog("env\t" + FromWide(value, CP_UTF8) + "\r\n");
  }

  if (!EnvironmentValue("PELLARO_FAKE_STDIN_" + upper).empty()) {
    char chunk[4096];
    DWORD read = 0;
    std::string input;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), chunk, sizeof chunk, &read, nullptr) &&
           read > 0)
      input.append(chunk, read);
    AppendToLog("stdin\t" + std::to_string(input.size()) + "\r\n");
  }

  std::string keys = EnvironmentValue("PELLARO_FAKE_KEYS_" + upper);
  if (!keys.empty()) fake::TypeIntoConsole(keys);
  if (!EnvironmentValue("PELLARO_FAKE_READLINE_" + upper).empty()) {
    char line[256];
    DWORD read = 0;
    ReadFile(GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &read, nullptr);
    std::string text(line, read);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    AppendToLog("line\t" + text + "\r\n");
  }
  std::string spawn = EnvironmentValue("PELLARO_FAKE_SPAWN_" + upper);
  if (!spawn.empty()) fake::StartInheriting(spawn + ".exe");

  std::string delay = EnvironmentValue("PELLARO_FAKE_DELAY_" + upper);
  if (!delay.empty()) Sleep(std::strtoul(delay.c_str(), nullptr, 10));
  std::string outputFile = EnvironmentValue("PELLARO_FAKE_OUT_" + upper);
  if (!outputFile.empty()) Print(ReadWholeFile(outputFile));
  std::string byteCount = EnvironmentValue("PELLARO_FAKE_BYTES_" + upper);
  if (!byteCount.empty()) Print(NumberedLines(std::strtoul(byteCount.c_str(), nullptr, 10)));

  std::string sleep = EnvironmentValue("PELLARO_FAKE_SLEEP_" + upper);
  if (!sleep.empty()) {
    AppendToLog("pid\t" + std::to_string(GetCurrentProcessId()) + "\r\n");
    Sleep(std::strtoul(sleep.c_str(), nullptr, 10));
  }

  std::string exitCode = EnvironmentValue("PELLARO_FAKE_EXIT");
  return exitCode.empty() ? 0 : std::atoi(exitCode.c_str());
}
