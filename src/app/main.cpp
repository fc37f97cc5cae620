// The program's entry: the instance probe and the choice between compile-only
// mode and the interactive start-up.
#include <windows.h>

#include <string>

#include "app/compile_only.h"
#include "app/instance_probe.h"
#include "app/interactive_startup.h"
#include "common/win_handle.h"
#include "settings/app_settings.h"

namespace {

const char kInstanceMutexName[] = "Pellaro";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandText, int) {
  Settings.Instance = instance;
  std::string commandLine = commandText ? commandText : "";

  // A compile-only run neither creates the mutex nor cares whether it exists.
  if (IsCompileOnly(commandLine)) return RunCompileOnly(commandLine);

  UniqueHandle instanceMutex;
  const bool anotherInstance = AnotherInstanceHolds(kInstanceMutexName, instanceMutex);
  return RunInteractiveStartup(commandLine, anotherInstance, instanceMutex.Get());
}
