// The interpreter that waits for the next run's script.
#include "tools/waiting_interpreter.h"

#include <windows.h>

#include "common/dbcs_text.h"
#include "common/windows_family.h"
#include "tools/tool_run.h"

namespace {

struct Waiting {
  std::unique_ptr<CapturedProcess> process;
  std::wstring environment;
};

// Never destroyed: an interpreter still waiting when the program ends is
// ended by its job, whose handle closes with the program however it ends.
Waiting& Current() {
  static Waiting& waiting = *new Waiting;
  return waiting;
}

std::wstring& ExpectedEnvironment() {
  static std::wstring environment;
  return environment;
}

bool HasEnded(CapturedProcess& process) { return process.ExitCode() != STILL_ACTIVE; }

// C:\ or wherever the system is: a folder that is always there, that holds no
// user's folder open, and whose prompt shows nothing the run's error check
// could take for an error.
std::string StartFolder() {
  char system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  const std::string folder(system, length < MAX_PATH ? length : 0);
  if (FindFirstChar(folder, ':') != 1 || FindFirstChar(folder, '\\') != 2) return std::string();
  return folder.substr(0, 3);
}

}  // namespace

void ExpectRunEnvironment(const std::wstring& environment) { ExpectedEnvironment() = environment; }

void PrepareInterpreter() {
  if (!IsNtFamily()) return;
  Waiting& waiting = Current();
  const std::wstring& environment = ExpectedEnvironment();
  if (waiting.process && waiting.environment == environment && !HasEnded(*waiting.process)) return;
  EndWaitingInterpreter();
  auto process = std::make_unique<CapturedProcess>();
  const std::string folder = StartFolder();
  // The run's text starts with this space, as a cold run's does.
  if (!process->CreatePipes() || !process->Preload(" ", 1) ||
      !process->Start(InterpreterCommand(), false, folder.empty() ? nullptr : folder.c_str(), false,
                      environment.empty() ? nullptr : environment.data()))
    return;
  waiting.process = std::move(process);
  waiting.environment = environment;
}

std::unique_ptr<CapturedProcess> TakeWaitingInterpreter(const std::wstring& environment) {
  ExpectRunEnvironment(environment);
  Waiting& waiting = Current();
  if (!waiting.process || waiting.environment != environment || HasEnded(*waiting.process)) {
    EndWaitingInterpreter();
    return nullptr;
  }
  return std::move(waiting.process);
}

void EndWaitingInterpreter() {
  Waiting& waiting = Current();
  if (!waiting.process) return;
  waiting.process->EndAll();
  waiting.process.reset();
}
