// Finding the editors installed on this machine, for the first start's
// question which editor to use.
#pragma once

#include <string>
#include <vector>

struct FoundEditor {
  std::string name;  // as the user knows it
  std::string path;  // the program's full path
};

// The known editors that are installed, in the table's order, then Windows'
// notepad. An editor is looked for in App Paths, in the uninstall entries,
// and one folder deep under Program Files (both), %ProgramW6432% and
// %LOCALAPPDATA%\Programs.
std::vector<FoundEditor> FindInstalledEditors();
