// The known editors' line options and the choice of the line-jump rule.
#include "editor/known_editors.h"

#include <windows.h>

#include "common/dbcs_text.h"
#include "tools/path_ops.h"

const KnownEditor kKnownEditors[kKnownEditorCount] = {
    {"sakura.exe", "サクラエディタ", "-Y=%l %f"},
    {"hidemaru.exe", "秀丸エディタ", "/j%l %f"},
    {"notepad++.exe", "Notepad++", "-n%l %f"},
    {"Code.exe", "Visual Studio Code", "-g %f:%l"},
    {"EmEditor.exe", "EmEditor", "/l %l %f"},
    {"TeraPad.exe", "TeraPad", "/jl=%l %f"},
    {"Mery.exe", "Mery", "/l %l %f"},
};

const char kNotepadProgram[] = "notepad.exe";
const char kNotepadName[] = "メモ帳";
const char kLineJumpOff[] = "-";

namespace {

const char kExeSuffix[] = ".exe";

bool SameName(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The program part of the setting: a quoted path, an existing path with
// blanks, the text up to the first ".exe" that ends a word, or the text
// before its first blank.
std::string ProgramPart(const std::string& setting) {
  const std::string text = Trimmed(setting);
  if (!text.empty() && text[0] == '"') {
    const std::size_t close = FindFirstChar(text, '"', 1);
    return text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  if (IsExistingFile(text) || IsExistingFile(text + kExeSuffix)) return text;
  const std::size_t suffixLength = sizeof kExeSuffix - 1;
  for (std::size_t i = 0; i + suffixLength <= text.size(); i += CharLengthAt(text, i)) {
    const std::size_t end = i + suffixLength;
    if (SameName(text.substr(i, suffixLength), kExeSuffix) &&
        (end == text.size() || text[end] == ' '))
      return text.substr(0, end);
  }
  return text.substr(0, FindFirstChar(text, ' '));
}

}  // namespace

std::string EditorProgramName(const std::string& editorSetting) {
  std::string name = FileNameOf(ProgramPart(editorSetting));
  const std::size_t slash = FindLastChar(name, '/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  if (name.empty()) return name;
  const std::size_t dot = FindLastChar(name, '.');
  if (dot == std::string::npos || !SameName(name.substr(dot), kExeSuffix)) name += kExeSuffix;
  return name;
}

const KnownEditor* KnownEditorOf(const std::string& editorSetting) {
  const std::string program = EditorProgramName(editorSetting);
  for (const KnownEditor& editor : kKnownEditors)
    if (SameName(program, editor.program)) return &editor;
  return nullptr;
}

bool IsWindowsNotepad(const std::string& editorSetting) {
  return SameName(EditorProgramName(editorSetting), kNotepadProgram);
}

LineJumpRule LineJumpRuleFor(const std::string& lineJump, const std::string& editorSetting) {
  const std::string written = Trimmed(lineJump);
  if (written == kLineJumpOff) return {};
  if (!written.empty()) return {LineJumpKind::Template, lineJump};
  if (const KnownEditor* editor = KnownEditorOf(editorSetting))
    return {LineJumpKind::Template, editor->lineJump};
  if (IsWindowsNotepad(editorSetting)) return {LineJumpKind::NotepadCaret, std::string()};
  return {};
}

std::string LineJumpRuleNote(const std::string& lineJump, const std::string& editorSetting) {
  const std::string written = Trimmed(lineJump);
  if (written == kLineJumpOff) return "行番号ジャンプしない";
  if (!written.empty()) return std::string();
  const LineJumpRule rule = LineJumpRuleFor(lineJump, editorSetting);
  switch (rule.kind) {
    case LineJumpKind::Template:
      return "自動: " + rule.lineJumpTemplate;
    case LineJumpKind::NotepadCaret:
      return "自動: メモ帳の行へカーソルを移動";
    case LineJumpKind::Off:
      break;
  }
  return "自動: なし (行番号の指定を知らないエディタ)";
}
