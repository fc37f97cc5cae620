// A child process fed through one pipe and read through another.
#include "tools/captured_process.h"

#include <algorithm>
#include <cstring>
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

}  // namespace

void OutputSink::Append(const char* bytes, std::size_t count) {
  received_ += count;
  std::size_t room = capacity_ - stored_;
  std::size_t take = std::min(room, count);
  std::memcpy(destination_ + stored_, bytes, take);
  stored_ += take;
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

bool CapturedProcess::Start(const std::string& commandLine, bool visibleConsole) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwXSize = 1;
  startup.dwYSize = 1;
  startup.dwXCountChars = 1;
  startup.dwYCountChars = 1;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION |
                    STARTF_USECOUNTCHARS | STARTF_USESTDHANDLES;
  startup.hStdInput = inputRead_.Get();
  DWORD creationFlags = 0;
  if (visibleConsole) {
    startup.dwX = 0;
    startup.dwY = 0;
    startup.wShowWindow = SW_SHOW;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
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
  if (!CreateProcessA(nullptr, mutableCommand.data(), nullptr, nullptr, TRUE, creationFlags,
                      nullptr, nullptr, &startup, &info))
    return false;
  process_.Reset(info.hProcess);
  thread_.Reset(info.hThread);
  // Only the child holds the write end now, so the pipe breaks when it ends.
  outputWrite_.Reset();
  return true;
}

bool CapturedProcess::DrainAvailable(OutputSink& sink, bool& readSomething) {
  readSomething = false;
  char chunk[65536];
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(outputRead_.Get(), nullptr, 0, nullptr, &available, nullptr))
      return GetLastError() != ERROR_BROKEN_PIPE;
    if (available == 0) return true;
    DWORD read = 0;
    if (!ReadFile(outputRead_.Get(), chunk, std::min<DWORD>(available, sizeof chunk), &read,
                  nullptr))
      return GetLastError() != ERROR_BROKEN_PIPE;
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

bool CapturedProcess::FeedAndCollect(const std::string& script, OutputSink& sink) {
  bool pipeOk = true;
  bool readSomething = false;
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
      pipeOk = DrainAvailable(sink, readSomething) && pipeOk;
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
    pipeOk = DrainAvailable(sink, readSomething) && pipeOk;
    if (exited && !readSomething) break;
    if (!readSomething) Exited(2);
  }
  return pipeOk || sink.Received() > 0;
}
