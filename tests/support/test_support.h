// Helpers shared by the tests: paths of the build tree, temporary folders,
// environment and registry set-up, files.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "common/system_text.h"  // EnvironmentValue, ReadWholeFile, Recode
#include "tools/tool_run.h"

// Windows form (Z:\...) of a Unix path.
std::string WindowsPath(const std::string& unixPath);
// Folders of this build: the sample sources, the fake programs, the built programs.
std::string SourcePath(const std::string& relative);
std::string FakesFolder();
std::string ProgramsFolder();
std::string BridgeFolder();
// The release file of the JDK the bridge runs; empty when there is none.
std::string HostJdkRelease();
// The Unix home of a JDK 25 on this machine (Temurin's where it is), for the
// bridge's PELLARO_BRIDGE_JDK; empty when there is none.
std::string Jdk25Home();

// A new empty folder under the temporary folder, removed with its content.
class TempFolder {
 public:
  explicit TempFolder(const std::string& nameHint = "t");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }  // ends with a backslash
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Sets an environment variable for this process (and its children) for the
// lifetime of the object; an empty value removes it.
class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::string old_;
  bool had_;
};

// PATH with folder in front.
std::string PathWith(const std::string& folder);

void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
void RemoveTree(const std::string& path);

// The records written by the fake tools: fields split at tabs, one per line;
// blanks at the end of the last field do not count.
std::vector<std::vector<std::string>> ReadFakeLog(const std::string& path);

// Removes the program's registry keys (all of HKCU\Software\DrussetAPP).
void DeleteSettingsKeys();
// Puts the process-wide settings back to a fresh record's values without
// touching the registry.
void ResetSettingsInMemory();

// Runs commandLine and waits for it; its exit code, or the error of starting it.
DWORD RunProgram(const std::string& commandLine);

// A Wine setting for one program, under
// HKCU\Software\Wine\AppDefaults\<program>[\subkey], while the object lives;
// read by each such program when it starts. Removed afterwards, with the keys
// it leaves empty.
class ScopedWineSetting {
 public:
  ScopedWineSetting(const std::string& program, const std::string& subkey, const std::string& name,
                    const std::string& value);
  ~ScopedWineSetting();
  ScopedWineSetting(const ScopedWineSetting&) = delete;
  ScopedWineSetting& operator=(const ScopedWineSetting&) = delete;

 private:
  std::string programKey_;
  std::string settingKey_;
  std::string name_;
};

// UTF-8 of ANSI bytes, for readable failure messages.
std::string Utf8(const std::string& ansi);

// Watches the tool runs while it lives and asks for a stop once a run has
// gone on for the given time.
class StopAfter : public RunWatch {
 public:
  explicit StopAfter(DWORD milliseconds) : milliseconds_(milliseconds) { WatchRuns(this); }
  ~StopAfter() override { WatchRuns(nullptr); }
  void Begin(ToolRun&) override { started_ = GetTickCount(); }
  bool GivesInput(const char*) const override { return false; }
  DWORD NextWake() override {
    const DWORD elapsed = GetTickCount() - started_;
    return elapsed >= milliseconds_ ? 0 : milliseconds_ - elapsed;
  }
  bool ShouldStop() override { return GetTickCount() - started_ >= milliseconds_; }
  void End() override {}

 private:
  DWORD milliseconds_;
  DWORD started_ = 0;
};

// Whether the process with this id ends within the time (or is gone already).
bool ProcessEnds(DWORD id, DWORD milliseconds);

// The processes that the process parent started and that still run, with
// their program's file names.
std::vector<std::pair<DWORD, std::string>> ChildProcesses(DWORD parent);

// The process ids the fakes logged in "pid" records.
std::vector<DWORD> LoggedProcessIds(const std::string& log);
