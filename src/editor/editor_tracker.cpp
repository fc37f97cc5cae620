// Starting and tracking editor processes.
#include "editor/editor_tracker.h"

#include <utility>

bool EditorTracker::Launch(const std::string& editorPath, const std::string& argument) {
  if (editorPath.empty()) return false;
  // The editor path stays unquoted: it is the user's setting as written, and
  // the editor is started from the command line alone.
  return Start(editorPath + " \"" + argument + "\"", argument);
}

bool EditorTracker::LaunchWithArguments(const std::string& editorPath,
                                        const std::string& arguments) {
  if (editorPath.empty()) return false;
  return Start(editorPath + " " + arguments, arguments);
}

bool EditorTracker::Start(std::string commandLine, const std::string& argument) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created = {};
  const BOOL ok = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &created);
  lastThread_.Reset(ok ? created.hThread : nullptr);
  if (!ok) return false;

  UniqueHandle process(created.hProcess);
  // Idle, timed out or without a message loop: the editor has started either way.
  WaitForInputIdle(process.Get(), 10000);

  EditorProcess entry;
  entry.argument = argument;
  entry.threadId = created.dwThreadId;
  entry.processId = created.dwProcessId;
  entry.process = std::move(process);
  list_.push_back(std::move(entry));
  return true;
}

bool EditorTracker::StillRunning() {
  if (list_.empty()) return true;
  for (auto it = list_.begin(); it != list_.end();) {
    if (HasEnded(*it)) {
      it = list_.erase(it);
      if (list_.empty()) return false;
    } else {
      ++it;
    }
  }
  return true;
}

void EditorTracker::FileForWindow(HWND window, std::string& output) const {
  const DWORD creator = GetWindowThreadProcessId(window, nullptr);
  if (creator == 0) return;
  for (const EditorProcess& entry : list_) {
    if (entry.threadId == creator) {
      output = entry.argument;
      return;
    }
  }
}

// Asks whether the process object is signalled rather than comparing its exit
// code with STILL_ACTIVE, so an editor that happens to end with code 259 is
// still seen as ended.
bool EditorTracker::HasEnded(const EditorProcess& entry) {
  return WaitForSingleObject(entry.process.Get(), 0) == WAIT_OBJECT_0;
}
