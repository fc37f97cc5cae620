// javac.exe / java.exe for Wine: runs the machine's own Linux JDK tool of the
// same name and hands its output and exit code back as a Windows program would.
// PELLARO_BRIDGE_JDK names another Linux JDK's home to take the tool from
// (its bin/<tool>); unset, the tool is the system's own /usr/bin/<tool>.
//
// Wine starts a Linux program without any standard handles, so the tool is run
// by a small sh script that sends its output and then its exit code to files,
// and takes its input from a file that `tail -f` follows. This program prints
// the output as it grows, appends what comes on its own standard input to the
// input file, and ends when the exit-code file appears.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "common/win_handle.h"

#ifndef PELLARO_JDK_TOOL
#error "PELLARO_JDK_TOOL names the Linux tool to run, e.g. \"javac\""
#endif

namespace {

constexpr DWORD kToolTimeLimitMs = 5 * 60 * 1000;

// Set when the tool has ended and this program goes.
std::atomic<bool> ending{false};

void WriteAll(HANDLE out, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(bytes.size() - done);
    if (!WriteFile(out, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
    done += written;
  }
}

int Fail(const std::string& message) {
  WriteAll(GetStdHandle(STD_ERROR_HANDLE), message + "\r\n");
  return 1;
}

// The arguments after the program name, split by the usual Windows rules:
// blanks separate, double quotes group, 2n backslashes before a quote give n
// backslashes and a grouping quote, 2n+1 give n and a literal quote, and "" in
// a group gives a literal quote. Double-byte characters are copied whole, as
// their trail byte may be 0x5C.
std::vector<std::string> SplitArguments(const char* line) {
  const char* p = line;
  if (*p == '"') {
    for (++p; *p && *p != '"'; p = CharNextA(p)) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') p = CharNextA(p);
  }

  std::vector<std::string> arguments;
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) return arguments;
    std::string argument;
    bool quoted = false;
    while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
      if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) {
        argument.append(p, 2);
        p += 2;
        continue;
      }
      if (*p == '\\') {
        std::size_t slashes = 0;
        while (*p == '\\') ++slashes, ++p;
        if (*p == '"') {
          argument.append(slashes / 2, '\\');
          if (slashes % 2) argument += '"', ++p;
        } else {
          argument.append(slashes, '\\');
        }
        continue;
      }
      if (*p == '"') {
        if (quoted && p[1] == '"') {
          argument += '"';
          p += 2;
        } else {
          quoted = !quoted;
          ++p;
        }
        continue;
      }
      argument += *p++;
    }
    arguments.push_back(argument);
  }
}

// One sh word holding text (UTF-8) literally.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The Unix form (UTF-8) of a Windows path, from Wine's own kernel32; empty
// when not running under Wine or the path has no Unix form.
std::string UnixPath(const std::wstring& windowsPath) {
  using UnixFileNameProc = char*(CDECL*)(LPCWSTR);
  static const auto unixFileName = reinterpret_cast<UnixFileNameProc>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixFileName) return std::string();
  char* name = unixFileName(windowsPath.c_str());
  if (!name) return std::string();
  std::string result(name);
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

std::wstring CurrentDirectory() {
  DWORD needed = GetCurrentDirectoryW(0, nullptr);
  std::wstring directory(needed, L'\0');
  DWORD length = GetCurrentDirectoryW(needed, &directory[0]);
  directory.resize(length < needed ? length : 0);
  return directory;
}

bool ReadWholeFile(const std::wstring& path, std::string& contents) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  contents = ReadAllFrom(file.Get());
  return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& contents) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), contents.data(), static_cast<DWORD>(contents.size()), &written,
                   nullptr) &&
         written == contents.size();
}

// The tool's UTF-8 output as ANSI text with CR LF line ends, as it grows: a
// character cut at a chunk's end waits for the rest.
class OutputFollower {
 public:
  explicit OutputFollower(const std::wstring& path) : path_(path) {}

  // Prints what the file gained since the last look.
  void PrintNew() {
    if (!file_) {
      file_.Reset(CreateFileW(path_.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file_.Get() == INVALID_HANDLE_VALUE) file_.Release();
      if (!file_) return;
    }
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file_.Get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
      pending_.append(chunk, read);
      std::size_t whole = pending_.size();
      // Back to the start of a UTF-8 sequence that has not fully come yet.
      for (std::size_t back = 1; back <= 3 && back <= pending_.size(); ++back) {
        const unsigned char c = static_cast<unsigned char>(pending_[pending_.size() - back]);
        if ((c & 0xC0) == 0x80) continue;
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length > back) whole = pending_.size() - back;
        break;
      }
      Print(pending_.substr(0, whole));
      pending_.erase(0, whole);
    }
  }

 private:
  void Print(const std::string& utf8) {
    const std::wstring wide = ToWide(utf8, CP_UTF8);
    std::wstring lines;
    lines.reserve(wide.size() + wide.size() / 16);
    for (wchar_t c : wide) {
      if (c == L'\n' && last_ != L'\r') lines += L'\r';
      lines += c;
      last_ = c;
    }
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), FromWide(lines, CP_ACP));
  }

  std::wstring path_;
  UniqueHandle file_;
  std::string pending_;
  wchar_t last_ = 0;
};

// The files of one run: the script, the tool's output, and its exit code
// (written under a second name first, then renamed, so it appears whole).
struct RunFiles {
  std::wstring script, output, exitCode, exitCodePart, input, inputEnd, feature;

  bool Make() {
    wchar_t folder[MAX_PATH];
    wchar_t name[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return false;
    if (!GetTempFileNameW(folder, L"pjb", 0, name)) return false;
    script = name;
    output = script + L".out";
    exitCode = script + L".code";
    exitCodePart = script + L".part";
    input = script + L".in";
    inputEnd = script + L".end";
    feature = script + L".jdk";
    return true;
  }

  ~RunFiles() { Remove(); }

  void Remove() {
    for (const std::wstring* path :
         {&script, &output, &exitCode, &exitCodePart, &input, &inputEnd, &feature})
      if (!path->empty()) DeleteFileW(path->c_str());
  }
};

// An argument as the Linux tool takes it (UTF-8): a Windows path with
// backslashes that names an existing file or folder, such as javac's
// app\Main.java in a package's root, becomes a Unix path.
std::string LinuxArgument(const std::string& argument) {
  std::wstring wide = ToWide(argument, CP_ACP);
  if (wide.find(L'\\') != std::wstring::npos &&
      GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
    const bool absolute = wide.compare(0, 2, L"\\\\") == 0 || (wide.size() > 1 && wide[1] == L':');
    if (absolute) return UnixPath(wide);
    for (wchar_t& c : wide)
      if (c == L'\\') c = L'/';
  }
  return FromWide(wide, CP_UTF8);
}

std::string Utf8(const std::string& ansi) { return FromWide(ToWide(ansi, CP_ACP), CP_UTF8); }

// An argument as one sh word for the Linux tool. A JVM option that names a
// Windows file after its "=" (-J-XX:SharedArchiveFile=C:\...) gets the file's
// Unix name, since the JVM runs on Linux; realpath takes the colon of Wine's
// dosdevices/c: out of it, where the JVM would split the name.
std::string ToolWord(const std::string& argument) {
  const std::size_t equals = FindFirstChar(argument, '=');
  if (argument.compare(0, 2, "-J") != 0 || equals == std::string::npos)
    return ShellQuoted(LinuxArgument(argument));
  const std::string value = argument.substr(equals + 1);
  const bool drivePath = FindFirstChar(value, ':') == 1 && FindFirstChar(value, '\\') == 2;
  const std::string unixPath = drivePath ? UnixPath(ToWide(value, CP_ACP)) : std::string();
  if (unixPath.empty()) return ShellQuoted(Utf8(argument));
  return ShellQuoted(Utf8(argument.substr(0, equals + 1))) + "\"$(realpath -m " +
         ShellQuoted(unixPath) + ")\"";
}

// The Linux tool's path, as one sh word.
std::string ToolProgram() {
  wchar_t home[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"PELLARO_BRIDGE_JDK", home, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "/usr/bin/" PELLARO_JDK_TOOL;
  return ShellQuoted(FromWide(home, CP_UTF8) + "/bin/" PELLARO_JDK_TOOL);
}

// The run: the JDK's feature version (from its release file), for the bytes
// of the input; then the tool, reading through a pipe what tail follows in
// the input file, its output into a file, its exit code into a second one.
// tail ends when the tool has ended, or when this program has made the end
// mark (its own input ended), which the tool then sees as its input's end.
std::string ToolScript(const std::string& directory, const std::vector<std::string>& arguments,
                       const RunFiles& files) {
  const std::string tool = ToolProgram();
  std::string command = "exec " + tool;
  for (const std::string& argument : arguments) command += " " + ToolWord(argument);
  const std::string part = ShellQuoted(UnixPath(files.exitCodePart));
  const std::string input = ShellQuoted(UnixPath(files.input));
  const std::string end = ShellQuoted(UnixPath(files.inputEnd));
  return "sed -n 's/^JAVA_VERSION=\"\\([0-9]*\\).*/\\1/p' \"$(dirname \"$(dirname \"$(readlink "
         "-f " +
         tool + ")\")\")/release\" >" + ShellQuoted(UnixPath(files.feature)) + "\n" + ": >>" +
         input + "\n" + "(tail -c +1 -f " + input + " & t=$!\n" + " while [ ! -e " + end +
         " ] && [ ! -e " + part + " ]; do sleep 0.05; done\n" + " kill $t 2>/dev/null) | { (cd " +
         ShellQuoted(directory) + " && " + command + ") >" + ShellQuoted(UnixPath(files.output)) +
         " 2>&1; echo $? >" + part + "; }\n" + "mv -f " + part + " " +
         ShellQuoted(UnixPath(files.exitCode)) + "\n";
}

// Looks every 2 ms: a longer pause would add to every tool's time what no
// Windows JDK costs, and a look is cheap.
bool WaitForFile(const std::wstring& path, DWORD limitMs) {
  const DWORD start = GetTickCount();
  while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > limitMs) return false;
    Sleep(2);
  }
  return true;
}

void AppendToFile(const std::wstring& path, const std::string& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Hands this program's own input to the tool, in the bytes the tool's JDK
// would read on Windows: JDK 18 and later read UTF-8, which the Linux tool
// reads too; older ones read the ANSI code page, turned into UTF-8 here,
// whole characters at a time. Its end ends the tool's input.
void ForwardInput(const RunFiles& files) {
  WaitForFile(files.feature, 5000);
  std::string feature;
  ReadWholeFile(files.feature, feature);
  const bool utf8 = std::atoi(feature.c_str()) >= 18;
  std::string pending;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), chunk, sizeof chunk, &read, nullptr) &&
         read > 0 && !ending) {
    pending.append(chunk, read);
    std::size_t whole = 0;
    while (whole < pending.size()) {
      const std::size_t length = CharLengthAt(pending, whole);
      if (!utf8 && length == 1 && IsDBCSLeadByte(static_cast<BYTE>(pending[whole]))) break;
      whole += length;
    }
    if (utf8) whole = pending.size();
    AppendToFile(files.input,
                 utf8 ? pending : FromWide(ToWide(pending.substr(0, whole), CP_ACP), CP_UTF8));
    pending.erase(0, whole);
  }
  if (!ending) WriteWholeFile(files.inputEnd, std::string());
}

bool StartShell(const std::string& scriptUnixPath) {
  std::wstring commandLine = L"Z:\\bin\\sh \"" + ToWide(scriptUnixPath, CP_UTF8) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    return false;
  // Wine hands back no usable handles for a Linux program; close whatever came.
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  return true;
}

}  // namespace

int main() {
  const char* tool = PELLARO_JDK_TOOL;
  std::string directory = UnixPath(CurrentDirectory());
  if (directory.empty())
    return Fail(std::string(tool) +
                ": Wine の中でしか動きません (現在のフォルダの Unix 名がありません)。");

  RunFiles files;
  if (!files.Make()) return Fail(std::string(tool) + ": 一時ファイルを作れません。");
  std::string scriptUnixPath = UnixPath(files.script);
  std::string script = ToolScript(directory, SplitArguments(GetCommandLineA()), files);
  if (!WriteWholeFile(files.script, script))
    return Fail(std::string(tool) + ": 一時ファイルに書けません。");
  if (!StartShell(scriptUnixPath))
    return Fail(std::string(tool) + ": Z:\\bin\\sh を起動できません。");

  // Left running when the tool has ended: the program's end ends it.
  std::thread(ForwardInput, std::cref(files)).detach();
  OutputFollower output(files.output);
  const DWORD start = GetTickCount();
  while (GetFileAttributesW(files.exitCode.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > kToolTimeLimitMs)
      return Fail(std::string(tool) + ": 5 分たっても終わりませんでした。");
    output.PrintNew();
    // A longer pause would add to every tool's time what no Windows JDK
    // costs, and a look is cheap.
    Sleep(2);
  }
  output.PrintNew();
  std::string exitCode;
  ReadWholeFile(files.exitCode, exitCode);
  // The thread that may still wait for input ends with the program, and
  // writes nothing more from now on.
  ending = true;
  files.Remove();
  ExitProcess(static_cast<UINT>(std::atoi(exitCode.c_str())));
}
