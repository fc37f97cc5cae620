// A child process fed through one pipe and read through another.
#include "tools/captured_process.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "common/windows_family.h"

namespace {

constexpr DWORD kOutputPipeSize = 1 << 20;
constexpr DWORD kReadChunk = 1 << 16;
constexpr DWORD kWatchPeriod = 250;
constexpr DWORD kStopWait = 5000;

SECURITY_ATTRIBUTES Inheritable() {
  SECURITY_ATTRIBUTES security = {};
  security.nLength = sizeof security;
  security.bInheritHandle = TRUE;
  return security;
}

bool MakePipe(UniqueHandle& readEnd, UniqueHandle& writeEnd) {
  SECURITY_ATTRIBUTES security = Inheritable();
  return CreatePipe(readEnd.Receive(), writeEnd.Receive(), &security, 0) != FALSE;
}

// The output pipe: a named pipe, so that the program's end can be read
// asynchronously, with a buffer large enough that a child printing much
// seldom waits for the program.
bool MakeOutputPipe(UniqueHandle& readEnd, UniqueHandle& writeEnd) {
  static LONG counter = 0;
  char name[96];
  wsprintfA(name, "\\\\.\\pipe\\Pellaro.output.%lu.%lu.%ld", GetCurrentProcessId(), GetTickCount(),
            InterlockedIncrement(&counter));
  readEnd.Reset(CreateNamedPipeA(
      name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_BYTE | PIPE_WAIT, 1, kOutputPipeSize, kOutputPipeSize, 0, nullptr));
  if (readEnd.Get() == INVALID_HANDLE_VALUE) readEnd.Release();
  if (!readEnd) return false;
  SECURITY_ATTRIBUTES security = Inheritable();
  writeEnd.Reset(CreateFileA(name, GENERIC_WRITE, 0, &security, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (writeEnd.Get() == INVALID_HANDLE_VALUE) writeEnd.Release();
  if (!writeEnd) readEnd.Reset();
  return static_cast<bool>(writeEnd);
}

// Whether this program is built for the windows subsystem rather than the
// console one.
bool IsWindowedProgram() {
  const auto* image = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

void KeepFromChild(const UniqueHandle& handle) {
  SetHandleInformation(handle.Get(), HANDLE_FLAG_INHERIT, 0);
}

RunPhases lastPhases;

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// Jobs whose processes outlived their run: kept open while the program runs,
// so that closing them, at the latest when the program ends, ends those
// processes.
std::vector<UniqueHandle>& LingeringJobs() {
  static std::vector<UniqueHandle> jobs;
  return jobs;
}

bool JobIsEmpty(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
  return QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                   sizeof accounting, nullptr) &&
         accounting.ActiveProcesses == 0;
}

// A job that ends its processes when its last handle is closed, or null.
UniqueHandle MakeJob() {
  UniqueHandle job(CreateJobObjectA(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                      sizeof limits))
    job.Reset();
  return job;
}

ULONGLONG CreationTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Where no job could hold the child: ends it and its descendants, found by
// their parent's id. A process younger than its supposed parent is not its
// child but one that took over a reused id.
void EndProcessTree(DWORD rootId, HANDLE root) {
  std::vector<DWORD> tree = {rootId};
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.Get() == INVALID_HANDLE_VALUE) snapshot.Release();
  std::vector<PROCESSENTRY32> all;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  if (snapshot && Process32First(snapshot.Get(), &entry)) {
    do all.push_back(entry);
    while (Process32Next(snapshot.Get(), &entry));
  }
  const ULONGLONG rootCreated = CreationTime(root);
  for (std::size_t i = 0; i < tree.size(); ++i) {
    for (const PROCESSENTRY32& candidate : all) {
      if (candidate.th32ParentProcessID != tree[i] || candidate.th32ProcessID == tree[i]) continue;
      if (std::find(tree.begin(), tree.end(), candidate.th32ProcessID) != tree.end()) continue;
      UniqueHandle process(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                       candidate.th32ProcessID));
      if (!process || CreationTime(process.Get()) < rootCreated) continue;
      tree.push_back(candidate.th32ProcessID);
    }
  }
  TerminateProcess(root, 1);
  for (std::size_t i = 1; i < tree.size(); ++i) {
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, tree[i]));
    if (process) TerminateProcess(process.Get(), 1);
  }
}

// Reads the output pipe asynchronously into a sink: whatever the pipe holds
// is taken at once, and one read stays waiting for more, signalling Event()
// when it completes.
class PipeReader {
 public:
  PipeReader(HANDLE pipe, OutputSink& sink)
      : pipe_(pipe),
        sink_(sink),
        event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        chunk_(kReadChunk) {
    overlapped_.hEvent = event_.Get();
  }
  ~PipeReader() {
    if (!waiting_) return;
    CancelIo(pipe_);
    DWORD count = 0;
    GetOverlappedResult(pipe_, &overlapped_, &count, TRUE);
  }
  PipeReader(const PipeReader&) = delete;
  PipeReader& operator=(const PipeReader&) = delete;

  bool Waiting() const { return waiting_; }
  HANDLE Event() const { return event_.Get(); }

  // Takes what the pipe holds and leaves a read waiting for more, unless
  // the pipe has ended.
  void Read() {
    if (!event_) return;
    while (!waiting_) {
      if (!ReadFile(pipe_, chunk_.data(), kReadChunk, nullptr, &overlapped_)) {
        // Anything but a read left waiting: the pipe ended or broke.
        waiting_ = GetLastError() == ERROR_IO_PENDING;
        return;
      }
      if (!Take()) return;
    }
  }

  // After Event() was signalled: takes the completed read and reads on.
  void Complete() {
    waiting_ = false;
    if (Take()) Read();
  }

  // Takes what is still in the pipe when nothing more is coming from the
  // child; a process the child left behind may hold the pipe open, so this
  // does not wait for the pipe's end.
  void TakeRest() {
    while (waiting_) {
      DWORD available = 0;
      if (WaitForSingleObject(Event(), 0) != WAIT_OBJECT_0 &&
          (!PeekNamedPipe(pipe_, nullptr, 0, nullptr, &available, nullptr) || available == 0 ||
           WaitForSingleObject(Event(), kWatchPeriod) != WAIT_OBJECT_0))
        return;
      Complete();
    }
  }

 private:
  bool Take() {
    DWORD count = 0;
    if (!GetOverlappedResult(pipe_, &overlapped_, &count, FALSE)) return false;
    sink_.Append(chunk_.data(), count);
    return true;
  }

  HANDLE pipe_;
  OutputSink& sink_;
  UniqueHandle event_;
  OVERLAPPED overlapped_ = {};
  std::vector<char> chunk_;
  bool waiting_ = false;
};

// Waits for the child's end, for output and, when someone watches the run,
// for messages; asks the watcher whether to stop at least every 250 ms and
// whenever messages arrive.
class RunWaiter {
 public:
  RunWaiter(HANDLE process, PipeReader& reader, const StopQuestion& shouldStop)
      : process_(process), reader_(reader), shouldStop_(shouldStop), lastAsked_(GetTickCount()) {}

  // Waits up to milliseconds; false when the watcher asked for a stop.
  bool Wait(DWORD milliseconds) {
    HANDLE handles[2] = {process_, reader_.Event()};
    const DWORD count = reader_.Waiting() ? 2 : 1;
    DWORD woken = shouldStop_
                      ? MsgWaitForMultipleObjects(count, handles, FALSE, milliseconds, QS_ALLINPUT)
                      : WaitForMultipleObjects(count, handles, FALSE, milliseconds);
    if (count == 2 &&
        (woken == WAIT_OBJECT_0 + 1 || WaitForSingleObject(reader_.Event(), 0) == WAIT_OBJECT_0))
      reader_.Complete();
    if (!shouldStop_) return true;
    const DWORD now = GetTickCount();
    if (woken != WAIT_OBJECT_0 + count && now - lastAsked_ < kWatchPeriod) return true;
    lastAsked_ = now;
    return !shouldStop_();
  }

 private:
  HANDLE process_;
  PipeReader& reader_;
  const StopQuestion& shouldStop_;
  DWORD lastAsked_;
};

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
    keyboard_.Reset(CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                                nullptr));
  }
  ~LentConsole() {
    screen_.Reset();
    keyboard_.Reset();
    if (!made_) return;
    FreeConsole();
    // AllocConsole pointed the program's standard handles at the console.
    for (int i = 0; i < 3; ++i) SetStdHandle(kStdIds[i], savedStd_[i]);
  }
  LentConsole(const LentConsole&) = delete;
  LentConsole& operator=(const LentConsole&) = delete;

  HANDLE Screen() const { return screen_.Get(); }
  HANDLE Keyboard() const { return keyboard_.Get(); }

 private:
  static constexpr DWORD kStdIds[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE savedStd_[3] = {};
  bool made_ = false;
  UniqueHandle screen_;
  UniqueHandle keyboard_;
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

const RunPhases& LastRunPhases() { return lastPhases; }

CapturedProcess::~CapturedProcess() {
  if (job_ && !JobIsEmpty(job_.Get())) LingeringJobs().push_back(std::move(job_));
}

bool CapturedProcess::CreatePipes() {
  lastPhases = RunPhases();
  QueryPerformanceCounter(&piped_);
  if (!MakeOutputPipe(outputRead_, outputWrite_)) return false;
  if (!MakePipe(inputRead_, inputWrite_)) {
    outputRead_.Reset();
    outputWrite_.Reset();
    return false;
  }
  KeepFromChild(inputWrite_);
  return true;
}

bool CapturedProcess::Preload(const char* bytes, std::size_t count) {
  DWORD written = 0;
  return WriteFile(outputWrite_.Get(), bytes, static_cast<DWORD>(count), &written, nullptr) &&
         written == count;
}

bool CapturedProcess::Start(const std::string& commandLine, bool visibleConsole,
                            const char* currentDirectory, bool keyboardInput,
                            const wchar_t* environment) {
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
    if (keyboardInput) startup.hStdInput = console->Keyboard();
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
  LARGE_INTEGER creating;
  QueryPerformanceCounter(&creating);
  // A hidden run of a windowed program (which has no console to lend) gets a
  // console without a window: making one with a window, even a hidden one,
  // costs the interpreter tens of milliseconds before it reads its first
  // line. The children of a console program go on as they always have.
  const DWORD consoleFlag =
      visibleConsole || !IsNtFamily() || !IsWindowedProgram() ? 0 : CREATE_NO_WINDOW;
  const DWORD environmentFlag = environment ? CREATE_UNICODE_ENVIRONMENT : 0;
  if (!CreateProcessA(nullptr, mutableCommand.data(), nullptr, nullptr, TRUE,
                      CREATE_SUSPENDED | consoleFlag | environmentFlag,
                      const_cast<wchar_t*>(environment), currentDirectory, &startup, &info))
    return false;
  process_.Reset(info.hProcess);
  thread_.Reset(info.hThread);
  processId_ = info.dwProcessId;
  // Into the job before it runs, so that nothing it starts escapes. Where
  // the program's own job forbids it, stopping walks the process tree.
  job_ = MakeJob();
  if (job_ && !AssignProcessToJobObject(job_.Get(), process_.Get())) job_.Reset();
  QueryPerformanceCounter(&started_);
  lastPhases.createTook = MillisecondsSince(creating) - MillisecondsSince(started_);
  lastPhases.beforeCreate = MillisecondsSince(piped_) - MillisecondsSince(creating);
  ResumeThread(thread_.Get());
  // Only the child holds the write end now, so the pipe breaks when it ends.
  outputWrite_.Reset();
  return true;
}

void CapturedProcess::EndAll() {
  if (job_)
    TerminateJobObject(job_.Get(), 1);
  else if (process_)
    EndProcessTree(processId_, process_.Get());
}

DWORD CapturedProcess::ExitCode() const {
  DWORD code = 0;
  return process_ && GetExitCodeProcess(process_.Get(), &code) ? code : 0;
}

bool CapturedProcess::InputTaken() const {
  DWORD available = 0;
  return PeekNamedPipe(inputRead_.Get(), nullptr, 0, nullptr, &available, nullptr) &&
         available == 0;
}

bool CapturedProcess::Exited(DWORD waitMilliseconds) const {
  return WaitForSingleObject(process_.Get(), waitMilliseconds) == WAIT_OBJECT_0;
}

bool CapturedProcess::FeedAndCollect(const std::string& script, OutputSink& sink,
                                     const StopQuestion& shouldStop) {
  PipeReader reader(outputRead_.Get(), sink);
  reader.Read();
  RunWaiter waiter(process_.Get(), reader, shouldStop);
  bool stopped = false;

  int line = 0;
  std::size_t lineStart = 0;
  while (!stopped && lineStart < script.size() && !Exited(0)) {
    std::size_t lineEnd = script.find('\n', lineStart);
    lineEnd = lineEnd == std::string::npos ? script.size() : lineEnd + 1;
    DWORD written = 0;
    if (!WriteFile(inputWrite_.Get(), script.data() + lineStart,
                   static_cast<DWORD>(lineEnd - lineStart), &written, nullptr))
      break;
    lineStart = lineEnd;
    // The last line waits in the pipe, which keeps it after the input is
    // closed, until the interpreter is ready for it.
    if (lineStart >= script.size()) break;
    // The interpreter may read ahead and drop what it read beyond one line, so
    // the next line goes in only once this one has left the pipe.
    while (!InputTaken() && !Exited(0)) {
      if (!waiter.Wait(1)) {
        stopped = true;
        break;
      }
    }
    if (line < RunPhases::kLines) lastPhases.lineTaken[line++] = MillisecondsSince(started_);
  }
  // End of input: a tool that reads standard input stops here, and so does
  // the interpreter.
  inputWrite_.Reset();
  inputRead_.Reset();
  lastPhases.fed = MillisecondsSince(started_);

  while (!stopped && !Exited(0)) stopped = !waiter.Wait(kWatchPeriod);
  if (stopped) {
    EndAll();
    // The program keeps answering while its processes end.
    const DWORD stopStart = GetTickCount();
    while (!Exited(0) && GetTickCount() - stopStart < kStopWait) waiter.Wait(kWatchPeriod);
  }
  lastPhases.exited = MillisecondsSince(started_);
  reader.TakeRest();
  lastPhases.collected = MillisecondsSince(started_);
  return !stopped;
}
