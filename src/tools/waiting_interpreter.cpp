// The interpreter that waits for the next run's script.
#include "tools/waiting_interpreter.h"

#include <windows.h>

#include "common/dbcs_text.h"
#include "common/windows_family.h"
#include "tools/tool_run.h"

namespace {

struct Waiting {
  std::unique_ptr<Interpreter> process;
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

bool runSaidEnvironment = false;

// C:\ or wherever the system is: a folder that is always there and that holds
// no user's folder open.
std::string StartFolder() {
  char system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  const std::string folder(system, length < MAX_PATH ? length : 0);
  if (FindFirstChar(folder, ':') != 1 || FindFirstChar(folder, '\\') != 2) return std::string();
  return folder.substr(0, 3);
}

}  // namespace

void ExpectRunEnvironment(const std::wstring& environment) { ExpectedEnvironment() = environment; }

bool RunEnvironmentKnown() { return runSaidEnvironment; }

void PrepareInterpreter() {
  if (!IsNtFamily()) return;
  Waiting& waiting = Current();
  const std::wstring& environment = ExpectedEnvironment();
  if (waiting.process && waiting.environment == environment && !waiting.process->HasEnded()) return;
  EndWaitingInterpreter();
  auto process = std::make_unique<Interpreter>();
  const std::string folder = StartFolder();
  if (!process->Start(InterpreterCommand(), folder.empty() ? nullptr : folder.c_str(),
                      environment.empty() ? nullptr : environment.data()))
    return;
  waiting.process = std::move(process);
  waiting.environment = environment;
}

std::unique_ptr<Interpreter> TakeWaitingInterpreter(const std::wstring& environment) {
  ExpectRunEnvironment(environment);
  runSaidEnvironment = true;
  Waiting& waiting = Current();
  if (!waiting.process || waiting.environment != environment || waiting.process->HasEnded()) {
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
