// Starting the user's editor and keeping track of every editor started, so
// that the program knows which file an editor window belongs to and when the
// last editor has ended.
#pragma once

#include <windows.h>

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "common/win_handle.h"

// The editor setting as the start of a command line: a path that names an
// existing file, in double quotes; anything else (a value with its own quotes
// or arguments) as written.
std::string EditorCommandPart(const std::string& editorPath);

// One started editor.
struct EditorProcess {
  std::string argument;  // the source file it was started on
  DWORD threadId = 0;    // the primary thread, which creates the editor's windows
  DWORD processId = 0;
  UniqueHandle process;
};

class EditorTracker {
 public:
  EditorTracker() = default;
  EditorTracker(const EditorTracker&) = delete;
  EditorTracker& operator=(const EditorTracker&) = delete;

  // Starts the editor (EditorCommandPart) with "argument", waits (10 s at most) until it is idle
  // and tracks it. False when the path is empty or the process cannot be created.
  // Without waitUntilIdle the caller goes on at once and waits with
  // WaitUntilIdle when it has done what may happen meanwhile.
  bool Launch(const std::string& editorPath, const std::string& argument,
              bool waitUntilIdle = true);

  // Waits (10 s at most) until the editor started last is idle.
  void WaitUntilIdle() const;

  // Starts `editorPath arguments`, the arguments as written (a line-jump
  // command line such as "/l 12 C:\work\Hello.java"), and tracks it like
  // Launch as an editor on file, so that a command from it runs on that file.
  bool LaunchWithArguments(const std::string& editorPath, const std::string& arguments,
                           const std::string& file);

  // Drops every tracked editor that has ended; false exactly when that left
  // the list empty. An empty list gives true.
  bool StillRunning();

  // The argument of the first tracked editor whose primary thread created
  // window; output is left alone when none did.
  void FileForWindow(HWND window, std::string& output) const;

  // The primary threads of the tracked editors started on file, oldest first.
  std::vector<DWORD> ThreadsOnFile(const std::string& file) const;

  std::size_t Count() const { return list_.size(); }

 private:
  static bool HasEnded(const EditorProcess& entry);
  bool Start(std::string commandLine, const std::string& argument, bool waitUntilIdle = true);

  std::deque<EditorProcess> list_;
  UniqueHandle lastThread_;  // primary thread of the most recent launch
};

// The process-wide tracker, constructed during static start-up.
extern EditorTracker Editors;
