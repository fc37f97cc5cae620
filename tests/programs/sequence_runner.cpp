// Runs one command slot's tool sequence on a file, as a command button does,
// in a process of its own, and writes the result text to a file. A test can
// so run the pipeline where Wine tells the program it is another system.
//
//   sequence_runner <slot index> <ExeMode> <source path> <result file>
//
// Exit code 0 when the result was written, 2 on wrong arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/app_settings.h"
#include "tools/tool_run.h"
#include "tools/command_pipeline.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  int slot = std::atoi(argv[1]);
  if (slot < 0 || slot >= kSlotCount) return 2;
  Settings.Cmd[slot].ExeMode = std::strtoul(argv[2], nullptr, 10);
  ResultBuffer[0] = '\0';
  RunSequence(slot, argv[3], ResultBuffer);

  FILE* result = std::fopen(argv[4], "wb");
  if (!result) return 2;
  std::fwrite(ResultBuffer, 1, std::strlen(ResultBuffer), result);
  std::fclose(result);
  std::_Exit(0);
}
