// The command interpreter of a tool run, its script pipe and its job.
#include "tools/interpreter.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "common/windows_family.h"

namespace {

bool MakePipe(UniqueHandle& readEnd, UniqueHandle& writeEnd) {
  SECURITY_ATTRIBUTES security = InheritableAttributes();
  return CreatePipe(readEnd.Receive(), writeEnd.Receive(), &security, 0) != FALSE;
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
    SECURITY_ATTRIBUTES inheritable = InheritableAttributes();
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

Interpreter::~Interpreter() {
  if (job_ && !JobIsEmpty(job_.Get())) LingeringJobs().push_back(std::move(job_));
}

bool Interpreter::Start(const std::string& commandLine, const char* currentDirectory,
                        const wchar_t* environment, HANDLE output) {
  UniqueHandle nul;
  if (!output) {
    SECURITY_ATTRIBUTES security = InheritableAttributes();
    nul.Reset(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                          OPEN_EXISTING, 0, nullptr));
    if (nul.Get() == INVALID_HANDLE_VALUE) nul.Release();
    output = nul.Get();
  }
  return MakePipe(inputRead_, inputWrite_) &&
         StartWith(commandLine, currentDirectory, environment, false, output, inputRead_.Get());
}

bool Interpreter::StartVisible(const std::string& commandLine, const char* currentDirectory,
                               const wchar_t* environment, bool keyboardInput) {
  if (!MakePipe(inputRead_, inputWrite_)) return false;
  LentConsole console;
  return StartWith(commandLine, currentDirectory, environment, true, console.Screen(),
                   keyboardInput ? console.Keyboard() : inputRead_.Get());
}

bool Interpreter::StartWith(const std::string& commandLine, const char* currentDirectory,
                            const wchar_t* environment, bool visible, HANDLE output, HANDLE input) {
  KeepFromChild(inputWrite_);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwXSize = 1;
  startup.dwYSize = 1;
  startup.dwXCountChars = 1;
  startup.dwYCountChars = 1;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION |
                    STARTF_USECOUNTCHARS | STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = output;
  startup.dwX = visible ? 0 : 5000;
  startup.dwY = visible ? 0 : 5000;
  startup.wShowWindow = visible ? SW_SHOW : SW_HIDE;

  std::vector<char> mutableCommand(commandLine.begin(), commandLine.end());
  mutableCommand.push_back('\0');
  PROCESS_INFORMATION info = {};
  // A hidden run of a windowed program (which has no console to lend) gets a
  // console without a window: making one with a window, even a hidden one,
  // costs the interpreter tens of milliseconds before it reads its first
  // line. The children of a console program go on as they always have.
  const DWORD consoleFlag = visible || !IsNtFamily() || !IsWindowedProgram() ? 0 : CREATE_NO_WINDOW;
  const DWORD environmentFlag = environment ? CREATE_UNICODE_ENVIRONMENT : 0;
  if (!CreateProcessA(nullptr, mutableCommand.data(), nullptr, nullptr, TRUE,
                      CREATE_SUSPENDED | consoleFlag | environmentFlag,
                      const_cast<wchar_t*>(environment), currentDirectory, &startup, &info))
    return false;
  process_.Reset(info.hProcess);
  UniqueHandle thread(info.hThread);
  processId_ = info.dwProcessId;
  // Into the job before it runs, so that nothing it starts escapes. The job's
  // handle is not inheritable: only this program holds it, so the job ends
  // the interpreter when the program ends, whoever else holds its input.
  // Where the program's own job forbids it, stopping walks the process tree.
  job_ = MakeJob();
  if (job_ && !AssignProcessToJobObject(job_.Get(), process_.Get())) job_.Reset();
  ResumeThread(thread.Get());
  return true;
}

void Interpreter::SetScript(const std::string& script) {
  script_ = script;
  fed_ = 0;
}

bool Interpreter::FeedMore() {
  if (!inputWrite_) return false;
  // An interpreter that has ended (a folder it could not enter) takes no more.
  if (fed_ > 0 && !InputTaken() && !HasEnded()) return true;
  if (HasEnded()) fed_ = script_.size();
  if (fed_ < script_.size()) {
    std::size_t lineEnd = script_.find('\n', fed_);
    lineEnd = lineEnd == std::string::npos ? script_.size() : lineEnd + 1;
    DWORD written = 0;
    if (!WriteFile(inputWrite_.Get(), script_.data() + fed_, static_cast<DWORD>(lineEnd - fed_),
                   &written, nullptr))
      lineEnd = script_.size();
    fed_ = lineEnd;
    // The last line waits in the pipe, which keeps it after the input is
    // closed, until the interpreter is ready for it.
    if (fed_ < script_.size()) return true;
  }
  // End of input: the interpreter stops after the last line.
  inputWrite_.Reset();
  inputRead_.Reset();
  return false;
}

bool Interpreter::HasEnded() const {
  return !process_ || WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0;
}

void Interpreter::EndAll() {
  if (job_)
    TerminateJobObject(job_.Get(), 1);
  else if (process_)
    EndProcessTree(processId_, process_.Get());
}

DWORD Interpreter::ExitCode() const {
  DWORD code = 0;
  return process_ && GetExitCodeProcess(process_.Get(), &code) ? code : 0;
}

// The interpreter may read ahead and drop what it read beyond one line, so
// the next line goes in only once this one has left the pipe.
bool Interpreter::InputTaken() const {
  DWORD available = 0;
  return PeekNamedPipe(inputRead_.Get(), nullptr, 0, nullptr, &available, nullptr) &&
         available == 0;
}
