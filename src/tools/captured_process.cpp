// A child process fed through one pipe and read through another.
#include "tools/captured_process.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace {

bool MakePipe(UniqueHandle& readEnd, UniqueHandle& writeEnd) {
  SECURITY_ATTRIBUTES security = {};
  security.nLength = sizeof security;
  security.bInheritHandle = TRUE;
  HANDLE r = nullptr;
  HANDLE w = nullptr;
  if (!CreatePipe(&r, &w, &security, 0)) return false;
  readEnd.Reset(r);
  writeEnd.Reset(w);
  return true;
}

void KeepFromChild(const UniqueHandle& handle) {
  SetHandleInformation(handle.Get(), HANDLE_FLAG_INHERIT, 0);
}

// A console for a child to show its output in: the program's own console,
// made for the moment the child is started (the child attaches to it and keeps
// it after the program lets go), with an inheritable handle on its screen.
// The child is given that screen explicitly, because neither the program's own
// standard handles (NULL in a program without a console, a file or terminal
// under Wine) nor a NULL handle in STARTUPINFO (kept NULL by Windows before 8)
// would lead its output into a console of its own.
class LentConsole {
 public:
  LentConsole() {
    for (int i = 0; i < 3; ++i) savedStd_[i] = GetStdHandle(kStdIds[i]);
    // A program that already has a console shares that one instead.
    made_ = AllocConsole() != FALSE;
    if (made_) {
      HWND window = GetConsoleWindow();
      if (window)
        SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    SECURITY_ATTRIBUTES inheritable = {};
    inheritable.nLength = sizeof inheritable;
    inheritable.bInheritHandle = TRUE;
    screen_.Reset(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                              nullptr));
  }
  ~LentConsole() {
    screen_.Reset();
    if (!made_) return;
    FreeConsole();
    // AllocConsole pointed the program's standard handles at the console.
    for (int i = 0; i < 3; ++i) SetStdHandle(kStdIds[i], savedStd_[i]);
  }
  LentConsole(const LentConsole&) = delete;
  LentConsole& operator=(const LentConsole&) = delete;

  HANDLE Screen() const { return screen_.Get(); }

 private:
  static constexpr DWORD kStdIds[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE savedStd_[3] = {};
  bool made_ = false;
  UniqueHandle screen_;
};

}  // namespace

void OutputSink::Append(const char* bytes, std::size_t count) {
  received_ += count;
  std::size_t room = capacity_ - stored_;
  std::size_t take = std::min(room, count);
  std::memcpy(destination_ + stored_, bytes, take);
  stored_ += take;
  destination_[stored_] = '\0';
}

bool CapturedProcess::CreatePipes() {
  if (!MakePipe(outputRead_, outputWrite_)) return false;
  if (!MakePipe(inputRead_, inputWrite_)) {
    outputRead_.Reset();
    outputWrite_.Reset();
    return false;
  }
  KeepFromChild(outputRead_);
  KeepFromChild(inputWrite_);
  return true;
}

bool CapturedProcess::Preload(const char* bytes, std::size_t count) {
  DWORD written = 0;
  return WriteFile(outputWrite_.Get(), bytes, static_cast<DWORD>(count), &written, nullptr) &&
         written == count;
}

bool CapturedProcess::Start(const std::string& commandLine, bool visibleConsole,
                            const char* currentDirectory) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwXSize = 1;
  startup.dwYSize = 1;
  startup.dwXCountChars = 1;
  startup.dwYCountChars = 1;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION |
                    STARTF_USECOUNTCHARS | STARTF_USESTDHANDLES;
  startup.hStdInput = inputRead_.Get();
  std::optional<LentConsole> console;
  if (visibleConsole) {
    console.emplace();
    startup.dwX = 0;
    startup.dwY = 0;
    startup.wShowWindow = SW_SHOW;
    startup.hStdOutput = console->Screen();
    startup.hStdError = console->Screen();
  } else {
    startup.dwX = 5000;
    startup.dwY = 5000;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = outputWrite_.Get();
    startup.hStdError = outputWrite_.Get();
  }

  std::vector<char> mutableCommand(commandLine.begin(), commandLine.end());
  mutableCommand.push_back('\0');
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, mutableCommand.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      currentDirectory, &startup, &info))
    return false;
  process_.Reset(info.hProcess);
  thread_.Reset(info.hThread);
  // Only the child holds the write end now, so the pipe breaks when it ends.
  outputWrite_.Reset();
  return true;
}

bool CapturedProcess::DrainAvailable(OutputSink& sink) {
  bool readSomething = false;
  char chunk[65536];
  for (;;) {
    DWORD available = 0;
    DWORD read = 0;
    // A broken pipe (the child and all it started have ended) holds nothing.
    if (!PeekNamedPipe(outputRead_.Get(), nullptr, 0, nullptr, &available, nullptr) ||
        available == 0 ||
        !ReadFile(outputRead_.Get(), chunk, std::min<DWORD>(available, sizeof chunk), &read,
                  nullptr))
      return readSomething;
    sink.Append(chunk, read);
    readSomething = true;
  }
}

bool CapturedProcess::InputTaken() const {
  DWORD available = 0;
  return PeekNamedPipe(inputRead_.Get(), nullptr, 0, nullptr, &available, nullptr) &&
         available == 0;
}

bool CapturedProcess::Exited(DWORD waitMilliseconds) const {
  return WaitForSingleObject(process_.Get(), waitMilliseconds) == WAIT_OBJECT_0;
}

void CapturedProcess::FeedAndCollect(const std::string& script, OutputSink& sink) {
  std::size_t lineStart = 0;
  while (lineStart < script.size() && !Exited(0)) {
    std::size_t lineEnd = script.find('\n', lineStart);
    lineEnd = lineEnd == std::string::npos ? script.size() : lineEnd + 1;
    DWORD written = 0;
    if (!WriteFile(inputWrite_.Get(), script.data() + lineStart,
                   static_cast<DWORD>(lineEnd - lineStart), &written, nullptr))
      break;
    lineStart = lineEnd;
    // The interpreter may read ahead and drop what it read beyond one line, so
    // the next line goes in only once this one has left the pipe.
    for (;;) {
      bool readSomething = DrainAvailable(sink);
      if (InputTaken() || Exited(0)) break;
      if (!readSomething) Exited(1);
    }
  }
  // End of input: a tool that reads standard input stops here, and so does
  // the interpreter.
  inputWrite_.Reset();
  inputRead_.Reset();

  for (;;) {
    bool exited = Exited(0);
    bool readSomething = DrainAvailable(sink);
    if (exited && !readSomething) break;
    if (!readSomething) Exited(2);
  }
}
