// Starting and tracking editor processes.
#include "editor/editor_tracker.h"

#include <utility>

#include "tools/path_ops.h"

namespace {

constexpr DWORD kIdleWait = 10000;

}  // namespace

std::string EditorCommandPart(const std::string& editorPath) {
  // Unquoted, a blank in the path would make Windows try the shorter names
  // first: C:\Program.exe for C:\Program Files\Ed\ed.exe. A bare name
  // stands for name.exe just as it does to Windows.
  if (IsExistingFile(editorPath) || IsExistingFile(editorPath + ".exe"))
    return "\"" + editorPath + "\"";
  return editorPath;
}

bool EditorTracker::Launch(const std::string& editorPath, const std::string& argument,
                           bool waitUntilIdle) {
  if (editorPath.empty()) return false;
  return Start(EditorCommandPart(editorPath) + " \"" + argument + "\"", argument, waitUntilIdle);
}

void EditorTracker::WaitUntilIdle() const {
  if (!list_.empty()) WaitForInputIdle(list_.back().process.Get(), kIdleWait);
}

bool EditorTracker::LaunchWithArguments(const std::string& editorPath, const std::string& arguments,
                                        const std::string& file) {
  if (editorPath.empty()) return false;
  return Start(EditorCommandPart(editorPath) + " " + arguments, file);
}

bool EditorTracker::Start(std::string commandLine, const std::string& argument,
                          bool waitUntilIdle) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created = {};
  const BOOL ok = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &created);
  lastThread_.Reset(ok ? created.hThread : nullptr);
  if (!ok) return false;

  EditorProcess entry;
  entry.argument = argument;
  entry.threadId = created.dwThreadId;
  entry.processId = created.dwProcessId;
  entry.process.Reset(created.hProcess);
  list_.push_back(std::move(entry));
  // Tracked before the wait: Wine's wait handles messages sent meanwhile, such
  // as a command from this very editor's window. Idle, timed out or without a
  // message loop: the editor has started either way.
  if (waitUntilIdle) WaitUntilIdle();
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
  DWORD process = 0;
  const DWORD creator = GetWindowThreadProcessId(window, &process);
  if (creator == 0) return;
  // Thread ids are handed out again once a thread has gone: an editor that
  // has ended may share its id with a thread of some other program now.
  for (const EditorProcess& entry : list_) {
    if (entry.threadId == creator && entry.processId == process) {
      output = entry.argument;
      return;
    }
  }
}

std::vector<DWORD> EditorTracker::ThreadsOnFile(const std::string& file) const {
  std::vector<DWORD> threads;
  for (const EditorProcess& entry : list_)
    if (lstrcmpiA(entry.argument.c_str(), file.c_str()) == 0 && !HasEnded(entry))
      threads.push_back(entry.threadId);
  return threads;
}

// Asks whether the process object is signalled rather than comparing its exit
// code with STILL_ACTIVE, so an editor that happens to end with code 259 is
// still seen as ended.
bool EditorTracker::HasEnded(const EditorProcess& entry) {
  return WaitForSingleObject(entry.process.Get(), 0) == WAIT_OBJECT_0;
}
