// The named pipes of a tool's own input and output.
//
// Measured under Wine 8: cmd.exe opens "<\\.\pipe\name" with GENERIC_READ and
// OPEN_EXISTING and ">\\.\pipe\name" with GENERIC_WRITE and CREATE_ALWAYS,
// then moves to the end of the file, which fails on a pipe and prints
// "使用できないファンクションです" on the interpreter's own output; the tool
// runs all the same. Windows' cmd opens both the same way, without the move.
// The tool reads what was written before this program closes its end, then
// sees the input's end.
#include "tools/tool_pipes.h"

#include "tools/transcript.h"

namespace {

// Large enough that a tool printing much seldom waits for the program.
constexpr DWORD kOutputPipeSize = 1 << 20;
constexpr DWORD kInputPipeSize = 1 << 16;
constexpr DWORD kReadChunk = 1 << 16;
// How long the rest of the output may take to come out of the pipe after
// the interpreter has ended.
constexpr DWORD kRestWait = 250;

std::string NewPipeName(const char* kind) {
  static LONG counter = 0;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  char name[128];
  wsprintfA(name, "\\\\.\\pipe\\pellaro-%s-%lu-%lu-%ld", kind, GetCurrentProcessId(),
            static_cast<unsigned long>(now.LowPart), InterlockedIncrement(&counter));
  return name;
}

UniqueHandle MakeServer(const std::string& name, DWORD direction, DWORD size) {
  UniqueHandle pipe(CreateNamedPipeA(
      name.c_str(), direction | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_BYTE | PIPE_WAIT, 1, size, size, 0, nullptr));
  if (pipe.Get() == INVALID_HANDLE_VALUE) pipe.Release();
  return pipe;
}

// Starts waiting for the pipe's client: true while that waits, false when
// it came already (the event is then set) or the wait failed.
bool Connect(HANDLE pipe, OVERLAPPED& overlapped, bool& connected) {
  if (ConnectNamedPipe(pipe, &overlapped)) return false;
  const DWORD error = GetLastError();
  if (error == ERROR_IO_PENDING) return true;
  connected = error == ERROR_PIPE_CONNECTED;
  return false;
}

void CancelWaiting(HANDLE pipe, OVERLAPPED& overlapped, bool pending) {
  if (!pending) return;
  CancelIo(pipe);
  DWORD count = 0;
  GetOverlappedResult(pipe, &overlapped, &count, TRUE);
}

}  // namespace

ToolPipes::~ToolPipes() {
  CancelWaiting(output_.Get(), outputOverlapped_, outputPending_);
  CancelWaiting(input_.Get(), inputOverlapped_, inputPending_);
}

bool ToolPipes::Create() {
  outputName_ = NewPipeName("out");
  inputName_ = NewPipeName("in");
  output_ = MakeServer(outputName_, PIPE_ACCESS_INBOUND, kOutputPipeSize);
  input_ = MakeServer(inputName_, PIPE_ACCESS_OUTBOUND, kInputPipeSize);
  outputEvent_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  inputEvent_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!output_ || !input_ || !outputEvent_ || !inputEvent_) return false;
  chunk_.resize(kReadChunk);
  outputOverlapped_.hEvent = outputEvent_.Get();
  inputOverlapped_.hEvent = inputEvent_.Get();
  outputPending_ = Connect(output_.Get(), outputOverlapped_, outputConnected_);
  inputPending_ = Connect(input_.Get(), inputOverlapped_, inputConnected_);
  return true;
}

std::string ToolPipes::Redirections() const {
  return "<" + inputName_ + " >" + outputName_ + " 2>&1";
}

UniqueHandle ToolPipes::OpenOutputHere() {
  SECURITY_ATTRIBUTES security = InheritableAttributes();
  UniqueHandle writeEnd(CreateFileA(outputName_.c_str(), GENERIC_WRITE, 0, &security, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (writeEnd.Get() == INVALID_HANDLE_VALUE) writeEnd.Release();
  return writeEnd;
}

DWORD ToolPipes::Waitables(HANDLE* events) const {
  DWORD count = 0;
  if (outputPending_) events[count++] = outputEvent_.Get();
  if (inputPending_) events[count++] = inputEvent_.Get();
  return count;
}

bool ToolPipes::Service(ResultText& text) {
  bool arrived = false;
  if (outputPending_ && WaitForSingleObject(outputEvent_.Get(), 0) == WAIT_OBJECT_0) {
    outputPending_ = false;
    DWORD count = 0;
    const bool done = GetOverlappedResult(output_.Get(), &outputOverlapped_, &count, FALSE) != 0;
    if (!outputConnected_) {
      outputConnected_ = done;
    } else if (done && count > 0) {
      text.Append(chunk_.data(), count);
      arrived = true;
    }
  }
  if (outputConnected_ && !outputPending_) arrived = ReadOutput(text) || arrived;

  if (inputPending_ && WaitForSingleObject(inputEvent_.Get(), 0) == WAIT_OBJECT_0) {
    inputPending_ = false;
    DWORD count = 0;
    const bool done = GetOverlappedResult(input_.Get(), &inputOverlapped_, &count, FALSE) != 0;
    if (!inputConnected_)
      inputConnected_ = done;
    else
      writing_.clear();
    // The tool has ended or closed its input: what it did not take is lost.
    if (!done) inputClosed_ = true;
  }
  WriteInput();
  return arrived;
}

// Takes whatever the pipe holds and leaves a read waiting for more, unless
// the pipe has ended.
bool ToolPipes::ReadOutput(ResultText& text) {
  bool arrived = false;
  while (output_ && !outputPending_) {
    DWORD count = 0;
    if (ReadFile(output_.Get(), chunk_.data(), kReadChunk, &count, &outputOverlapped_)) {
      text.Append(chunk_.data(), count);
      arrived = arrived || count > 0;
      continue;
    }
    // Anything but a read left waiting: the pipe ended or broke.
    outputPending_ = GetLastError() == ERROR_IO_PENDING;
    if (!outputPending_) output_.Reset();
  }
  return arrived;
}

void ToolPipes::TakeRest(ResultText& text) {
  for (;;) {
    Service(text);
    if (!outputPending_ || !outputConnected_) return;
    DWORD available = 0;
    if (!PeekNamedPipe(output_.Get(), nullptr, 0, nullptr, &available, nullptr) || available == 0)
      return;
    if (WaitForSingleObject(outputEvent_.Get(), kRestWait) != WAIT_OBJECT_0) return;
  }
}

void ToolPipes::Send(const std::string& bytes) {
  if (inputClosed_ || endInput_ || bytes.empty()) return;
  queued_.push_back(bytes);
  WriteInput();
}

void ToolPipes::EndInput() {
  endInput_ = true;
  WriteInput();
}

void ToolPipes::WriteInput() {
  while (input_ && inputConnected_ && !inputPending_ && !inputClosed_) {
    if (queued_.empty()) {
      // Closed, not disconnected: the tool still reads what it was sent.
      if (endInput_) {
        input_.Reset();
        inputClosed_ = true;
      }
      return;
    }
    writing_ = queued_.front();
    queued_.pop_front();
    DWORD written = 0;
    if (WriteFile(input_.Get(), writing_.data(), static_cast<DWORD>(writing_.size()), &written,
                  &inputOverlapped_))
      continue;
    inputPending_ = GetLastError() == ERROR_IO_PENDING;
    if (!inputPending_) inputClosed_ = true;
  }
  if (inputClosed_) queued_.clear();
}
