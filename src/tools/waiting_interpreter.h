// The next tool run's command interpreter, started ahead of time: hidden,
// with its script pipe and its job, its own output going nowhere, blocked on
// its first line of input until a run feeds it the script. A run then does not wait for an
// interpreter to start. Not on the Windows 95 family, whose script cannot end where the folder
// cannot be entered.
#pragma once

#include <memory>
#include <string>

#include "tools/interpreter.h"

// Starts the interpreter for the environment runs last asked for (see
// ExpectRunEnvironment), unless one with it waits already. It starts in the
// system drive's root folder; the script's cd takes it to the run's folder.
void PrepareInterpreter();

// The environment block the next run is expected to need; empty: the
// program's own.
void ExpectRunEnvironment(const std::wstring& environment);
// Whether a run has said which environment it took (see
// TakeWaitingInterpreter), so that the next is expected to take the same.
bool RunEnvironmentKnown();

// The waiting interpreter for a run with this environment, now the caller's;
// null when none waits with it or it has ended (one that waits with another
// environment is ended). Also expects the environment for the next run.
std::unique_ptr<Interpreter> TakeWaitingInterpreter(const std::wstring& environment);

// Ends the waiting interpreter, if there is one.
void EndWaitingInterpreter();
