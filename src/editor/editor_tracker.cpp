// Starting and tracking editor processes.
#include "editor/editor_tracker.h"

bool EditorTracker::Launch(const std::string&, const std::string&) { return false; }

bool EditorTracker::StillRunning() { return true; }

void EditorTracker::FileForWindow(HWND, std::string&) const {}
