// Finding notepad's window on a file and moving its caret. The messages used
// (EM_LINEINDEX, EM_SETSEL, EM_SCROLLCARET) carry no pointers, so they work
// on another process's edit control; a rich edit control takes them too.
#include "editor/notepad_jump.h"

#include <windows.h>

#include <vector>

#include "common/dbcs_text.h"
#include "editor/editor_tracker.h"

namespace {

const char kNotepadClass[] = "Notepad";
// The plain edit control of notepad, and the rich edit control of later ones.
const char* const kTextClasses[] = {"Edit", "RichEditD2DPT"};
// A notepad just started may show its window a little after it is idle.
constexpr int kLookTries = 20;
constexpr DWORD kLookPauseMs = 100;

HWND TextControlOf(HWND window) {
  for (const char* name : kTextClasses)
    if (HWND text = FindWindowExA(window, nullptr, name, nullptr)) return text;
  return nullptr;
}

struct Search {
  std::string title;  // for windows not started by Pellaro: "Hello.java - ..."
  HWND found = nullptr;
};

BOOL CALLBACK TakeEditorWindow(HWND window, LPARAM search) {
  if (!IsWindowVisible(window) || !TextControlOf(window)) return TRUE;
  reinterpret_cast<Search*>(search)->found = window;
  return FALSE;
}

BOOL CALLBACK TakeNotepadByTitle(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  char name[64];
  if (!GetClassNameA(window, name, sizeof name) || lstrcmpiA(name, kNotepadClass) != 0 ||
      !IsWindowVisible(window) || !TextControlOf(window))
    return TRUE;
  char title[MAX_PATH];
  const int length = GetWindowTextA(window, title, sizeof title);
  if (std::string(title, length > 0 ? length : 0).compare(0, search->title.size(), search->title) !=
      0)
    return TRUE;
  search->found = window;
  return FALSE;
}

// A window of a notepad Pellaro started on file, else any notepad whose
// caption starts with the file's name.
HWND NotepadWindowOn(const std::string& file) {
  Search search;
  for (DWORD thread : Editors.ThreadsOnFile(file)) {
    EnumThreadWindows(thread, TakeEditorWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
  }
  search.title = FileNameOf(file) + " ";
  EnumWindows(TakeNotepadByTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void MoveCaret(HWND window, long line) {
  HWND text = TextControlOf(window);
  LRESULT at = SendMessageA(text, EM_LINEINDEX, line > 0 ? line - 1 : 0, 0);
  // A line past the end: the last line.
  if (at < 0)
    at = SendMessageA(text, EM_LINEINDEX, SendMessageA(text, EM_GETLINECOUNT, 0, 0) - 1, 0);
  if (at < 0) at = 0;
  SendMessageA(text, EM_SETSEL, at, at);
  SendMessageA(text, EM_SCROLLCARET, 0, 0);
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}

}  // namespace

bool ShowNotepadAt(const std::string& notepadSetting, const std::string& file, long line) {
  HWND window = NotepadWindowOn(file);
  if (!window && Editors.Launch(notepadSetting, file)) {
    for (int i = 0; i < kLookTries && !(window = NotepadWindowOn(file)); ++i) Sleep(kLookPauseMs);
  }
  if (!window) return false;
  MoveCaret(window, line);
  return true;
}
