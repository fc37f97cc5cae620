// Which run a result window shows: what its relative file names are taken
// from when a line is double-clicked.
#pragma once

#include <string>

struct RunOrigin {
  std::string sourceFile;  // full path of the file the command ran on
  std::string toolFolder;  // the folder the tools ran in
};

// The origin of a run on sourcePath (a full path). Every run's origin is
// made here, so that where the tools run and where their output is read
// from stay one decision.
RunOrigin OriginOfRun(const std::string& sourcePath);
