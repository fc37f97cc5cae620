// The result text field's window procedure and the line jump. Each field
// keeps the procedure it replaced in a window property, so any number of
// result windows can coexist.
#include "editor/line_jump.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "app/process_objects.h"
#include "common/dbcs_text.h"
#include "editor/editor_tracker.h"
#include "settings/app_settings.h"

namespace {

const char kPreviousProcProperty[] = "Pellaro.PreviousEditProc";
// The copy of the field's text: at most this many bytes less the terminator.
constexpr int kTextCopySize = 261120;
constexpr std::size_t kLineNumberDigits = 7;

WNDPROC PreviousProc(HWND window) {
  return reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcProperty));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

std::string FieldTextCopy(HWND edit) {
  std::vector<char> text(kTextCopySize, '\0');
  int copied = GetWindowTextA(edit, text.data(), kTextCopySize);
  return std::string(text.data(), copied > 0 ? copied : 0);
}

// The bytes of the line that holds the caret, up to its line feed. The
// control counts in characters (or, on some systems, in bytes); the line's
// number is the same either way, so its start is found by counting line
// breaks in the copy. False when the line lies beyond the copy.
bool ClickedLine(HWND edit, std::string& line) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const LRESULT number = SendMessageA(edit, EM_LINEFROMCHAR, end, 0);
  if (number < 0) return false;
  const std::string text = FieldTextCopy(edit);
  std::size_t lineStart = 0;
  for (LRESULT k = 0; k < number; ++k) {
    std::size_t lineFeed = text.find("\r\n", lineStart);
    if (lineFeed == std::string::npos) return false;
    lineStart = lineFeed + 2;
  }
  if (lineStart >= text.size()) return false;
  std::size_t lineEnd = text.find('\n', lineStart);
  line = text.substr(lineStart,
                     lineEnd == std::string::npos ? std::string::npos : lineEnd - lineStart);
  return true;
}

// True when the double-click started the editor and is used up.
bool JumpFromClickedLine(HWND edit) {
  const std::string lineJump = FieldText(Settings.LineJump, sizeof Settings.LineJump);
  if (lineJump.empty() || CurrentSourceFile.empty()) return false;
  std::string line;
  if (!ClickedLine(edit, line)) return false;
  const std::string lineNumber = LineNumberOf(line);
  if (lineNumber.empty()) return false;

  const std::string arguments =
      ExpandLineJump(lineJump, SourcePathForJump(CurrentSourceFile), lineNumber);
  const std::string editor = FieldText(Settings.editor, sizeof Settings.editor);
  // What became of the editor is not reported.
  if (Settings.Fukusuu)
    Editors.LaunchWithArguments(editor, arguments);
  else
    ShellExecuteA(nullptr, "open", editor.c_str(), arguments.c_str(), nullptr, SW_SHOW);
  return true;
}

}  // namespace

std::string LineNumberOf(const std::string& line) {
  // The line's first character is never the separator.
  for (std::size_t i = line.empty() ? 0 : CharLengthAt(line, 0); i < line.size();
       i += CharLengthAt(line, i)) {
    if (line[i] != ':') continue;
    std::size_t digitsEnd = i + 1;
    while (digitsEnd < line.size() && IsDigit(line[digitsEnd])) ++digitsEnd;
    if (digitsEnd > i + 1 && digitsEnd < line.size() && line[digitsEnd] == ':')
      return line.substr(i + 1, std::min(digitsEnd - i - 1, kLineNumberDigits));
  }
  return std::string();
}

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
  DWORD length = GetShortPathNameA(sourceFile.c_str(), shortPath, sizeof shortPath);
  if (length > 0 && length < sizeof shortPath) return std::string(shortPath, length);
  if (FindFirstChar(sourceFile, ' ') != std::string::npos) return "\"" + sourceFile + "\"";
  return sourceFile;
}

void InstallResultEditProc(HWND edit) {
  LONG_PTR previous = GetWindowLongPtrA(edit, GWLP_WNDPROC);
  SetPropA(edit, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ResultEditProc));
}

LRESULT CALLBACK ResultEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = PreviousProc(window);
  if (message == WM_LBUTTONDBLCLK && JumpFromClickedLine(window)) return 1;
  if (message == WM_NCDESTROY) {
    RemovePropA(window, kPreviousProcProperty);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}
