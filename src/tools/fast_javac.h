// Starting javac quickly: the options of java/javac_launch for the run's JDK,
// and its class-data archive in %LOCALAPPDATA%\Pellaro\cds\, which is looked
// at before the run and put in place after it.
#pragma once

#include <string>

#include "java/jdk_finder.h"

class FastJavacRun {
 public:
  // Decides the options for javac on jdk, given the user's own arguments.
  FastJavacRun(const Jdk& jdk, const std::string& userArguments);
  FastJavacRun(const FastJavacRun&) = delete;
  FastJavacRun& operator=(const FastJavacRun&) = delete;
  // Drops an archive that the run did not finish.
  ~FastJavacRun();

  // The options that go right after "javac", separated by blanks; empty for
  // none.
  const std::string& Options() const { return options_; }

  // After a run that ended by itself: the archive it wrote at its end takes
  // its place for the runs after it.
  void Finished();

 private:
  std::string options_;
  std::string written_;    // the file the run writes its archive to, if any
  std::string finalBase_;  // where that archive goes, less its size and ".jsa"
};

// %LOCALAPPDATA%\Pellaro\cds\ with its trailing backslash; empty when
// LOCALAPPDATA is not set.
std::string ArchiveFolder();
