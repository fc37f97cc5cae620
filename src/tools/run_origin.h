// Which run a result window shows: what its relative file names are taken
// from when a line is double-clicked.
#pragma once

#include <string>

// The command pipeline and compile-only mode fill it from their run's plan.
struct RunOrigin {
  std::string sourceFile;  // full path of the file the command ran on
  // The folder the tools ran in (the package root for a source in a
  // package), with its trailing backslash; empty when nothing ran.
  std::string toolFolder;
};
