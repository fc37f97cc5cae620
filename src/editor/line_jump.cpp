// The result text field's window procedure and the line jump. Each field
// keeps the procedure it replaced and the run it shows in window properties,
// so any number of result windows can coexist, each jumping into its own run.
#include "editor/line_jump.h"

#include <shellapi.h>

#include <cstdlib>
#include <vector>

#include "common/dbcs_text.h"
#include "editor/editor_tracker.h"
#include "editor/known_editors.h"
#include "editor/notepad_jump.h"
#include "java/output_line.h"
#include "settings/app_settings.h"
#include "tools/path_ops.h"

namespace {

const char kPreviousProcProperty[] = "Pellaro.PreviousEditProc";
const char kOriginProperty[] = "Pellaro.RunOrigin";
// Set while the line selected at opening has not been jumped to: the first F8
// goes there.
const char kUnvisitedProperty[] = "Pellaro.UnvisitedSelection";
// The copy of the field's text: at most this many bytes less the terminator.
constexpr int kTextCopySize = 261120;

WNDPROC PreviousProc(HWND window) {
  return reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcProperty));
}

const RunOrigin& OriginOf(HWND edit) {
  static const RunOrigin none;
  const auto* origin = static_cast<const RunOrigin*>(GetPropA(edit, kOriginProperty));
  return origin ? *origin : none;
}

// Offset of the first two-character sequence "%c" at or after from, walking
// by whole characters.
std::size_t FindPercentPair(const std::string& text, char second, std::size_t from = 0) {
  for (std::size_t i = 0; i + 1 < text.size(); i += CharLengthAt(text, i)) {
    if (i >= from && text[i] == '%' && text[i + 1] == second) return i;
  }
  return std::string::npos;
}

void ReplaceFirst(std::string& text, char second, const std::string& by) {
  std::size_t at = FindPercentPair(text, second);
  if (at != std::string::npos) text.replace(at, 2, by);
}

// The field's text as the control numbers its lines: split at its line
// breaks, each line ending at its first line feed. The control counts in
// characters (or, on some systems, in bytes); line numbers are the same
// either way. Lines beyond the copy's limit are missing.
std::vector<std::string> FieldLines(HWND edit) {
  std::vector<char> copy(kTextCopySize, '\0');
  const int copied = GetWindowTextA(edit, copy.data(), kTextCopySize);
  const std::string text(copy.data(), copied > 0 ? copied : 0);
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t lineFeed = text.find("\r\n", start);
    const std::string line =
        text.substr(start, lineFeed == std::string::npos ? std::string::npos : lineFeed - start);
    lines.push_back(line.substr(0, line.find('\n')));
    if (lineFeed == std::string::npos) return lines;
    start = lineFeed + 2;
  }
}

SourcePlace PlaceOfLine(HWND edit, const std::string& line) {
  const RunOrigin& origin = OriginOf(edit);
  return JumpPlaceOf(line, origin.sourceFile, origin.toolFolder, IsExistingFile);
}

std::string EditorSetting() { return FieldText(Settings.editor, sizeof Settings.editor); }

LineJumpRule RuleInUse() {
  return LineJumpRuleFor(FieldText(Settings.LineJump, sizeof Settings.LineJump), EditorSetting());
}

// Takes the editor to place as the rule in use says; what became of the
// editor is not reported.
void StartEditorAt(const SourcePlace& place) {
  const LineJumpRule rule = RuleInUse();
  const std::string editor = EditorSetting();
  if (rule.kind == LineJumpKind::Off) return;
  if (rule.kind == LineJumpKind::NotepadCaret) {
    ShowNotepadAt(editor, place.file, std::atol(place.line.c_str()));
    return;
  }
  const std::string arguments =
      ExpandLineJump(rule.lineJumpTemplate, SourcePathForJump(place.file), place.line);
  if (Settings.Fukusuu)
    Editors.LaunchWithArguments(editor, arguments, place.file);
  else
    ShellExecuteA(nullptr, "open", editor.c_str(), arguments.c_str(), nullptr, SW_SHOW);
}

// True when the double-click started the editor and is used up.
bool JumpFromClickedLine(HWND edit) {
  if (RuleInUse().kind == LineJumpKind::Off) return false;
  // The first click of the double-click has just put the caret on the line.
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const LRESULT number = SendMessageA(edit, EM_LINEFROMCHAR, end, 0);
  const std::vector<std::string> lines = FieldLines(edit);
  if (number < 0 || static_cast<std::size_t>(number) >= lines.size()) return false;
  const SourcePlace place = PlaceOfLine(edit, lines[number]);
  if (place.line.empty()) return false;
  StartEditorAt(place);
  return true;
}

// F8 (forward) and Shift+F8: the nearest line wholly after the selection, or
// wholly before it, that names a place is selected, scrolled into view and
// jumped to; without one there is a beep and nothing moves.
void StepToNamedLine(HWND edit, bool forward) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const bool unvisited = RemovePropA(edit, kUnvisitedProperty) != nullptr;
  const DWORD caret = forward && !unvisited ? end : start;
  const LRESULT caretLine = SendMessageA(edit, EM_LINEFROMCHAR, caret, 0);
  const LRESULT lineStart = SendMessageA(edit, EM_LINEINDEX, caretLine, 0);
  const LRESULT lineEnd = lineStart + SendMessageA(edit, EM_LINELENGTH, lineStart, 0);
  const LRESULT step = forward ? 1 : -1;
  const bool caretLineCounts = static_cast<LRESULT>(caret) == (forward ? lineStart : lineEnd);
  const std::vector<std::string> lines = FieldLines(edit);
  for (LRESULT n = caretLineCounts ? caretLine : caretLine + step;
       n >= 0 && static_cast<std::size_t>(n) < lines.size(); n += step) {
    const SourcePlace place = PlaceOfLine(edit, lines[n]);
    if (place.line.empty()) continue;
    const LRESULT first = SendMessageA(edit, EM_LINEINDEX, n, 0);
    SendMessageA(edit, EM_SETSEL, first, first + SendMessageA(edit, EM_LINELENGTH, first, 0));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    StartEditorAt(place);
    return;
  }
  MessageBeep(MB_OK);
}

void OnNcDestroy(HWND edit, WNDPROC previous) {
  RemovePropA(edit, kUnvisitedProperty);
  delete static_cast<const RunOrigin*>(RemovePropA(edit, kOriginProperty));
  RemovePropA(edit, kPreviousProcProperty);
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

}  // namespace

std::string ExpandLineJump(const std::string& lineJumpTemplate, const std::string& sourcePath,
                           const std::string& lineNumber) {
  std::string text = lineJumpTemplate;
  ReplaceFirst(text, 'f', sourcePath);
  ReplaceFirst(text, 'l', lineNumber);
  for (std::size_t at; (at = FindPercentPair(text, '%')) != std::string::npos;) text.erase(at, 1);
  return text;
}

std::string SourcePathForJump(const std::string& sourceFile) {
  char shortPath[MAX_PATH];
  const DWORD length = GetShortPathNameA(sourceFile.c_str(), shortPath, sizeof shortPath);
  if (length > 0 && length < sizeof shortPath)
    return QuotedWhenBlank(std::string(shortPath, length));
  return QuotedWhenBlank(sourceFile);
}

std::string QuotedWhenBlank(const std::string& path) {
  return FindFirstChar(path, ' ') != std::string::npos ? "\"" + path + "\"" : path;
}

void InstallResultEditProc(HWND edit, const RunOrigin& origin) {
  SetPropA(edit, kOriginProperty, new RunOrigin(origin));
  LONG_PTR previous = GetWindowLongPtrA(edit, GWLP_WNDPROC);
  SetPropA(edit, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ResultEditProc));
}

void ShowFirstErrorOrEnd(HWND edit) {
  const std::vector<std::string> lines = FieldLines(edit);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (!IsCompilerMessage(lines[n])) continue;
    const LRESULT first = SendMessageA(edit, EM_LINEINDEX, n, 0);
    // The caret at the line's start, so a long line shows from its beginning.
    SendMessageA(edit, EM_SETSEL, first + SendMessageA(edit, EM_LINELENGTH, first, 0), first);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    SetPropA(edit, kUnvisitedProperty, reinterpret_cast<HANDLE>(1));
    return;
  }
  const LRESULT lastLine = SendMessageA(edit, EM_GETLINECOUNT, 0, 0) - 1;
  const LRESULT last = SendMessageA(edit, EM_LINEINDEX, lastLine, 0);
  SendMessageA(edit, EM_SETSEL, last, last);
  SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK ResultEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = PreviousProc(window);
  switch (message) {
    case WM_LBUTTONDBLCLK:
      if (JumpFromClickedLine(window)) return 1;
      break;
    case WM_LBUTTONDOWN:
      RemovePropA(window, kUnvisitedProperty);
      break;
    case WM_KEYDOWN:
      if (wParam == VK_F8) {
        StepToNamedLine(window, GetKeyState(VK_SHIFT) >= 0);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      OnNcDestroy(window, previous);
      break;
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}
