// The editors Pellaro knows by their program's name, and how the line jump
// reaches a line in the editor the user has.
#pragma once

#include <string>

// An editor with its own command-line option for a line.
struct KnownEditor {
  const char* program;   // file name of its program, as installed
  const char* name;      // how the user knows it
  const char* lineJump;  // a LineJump template from its documented options
};

constexpr int kKnownEditorCount = 7;
extern const KnownEditor kKnownEditors[kKnownEditorCount];

extern const char kNotepadProgram[];
extern const char kNotepadName[];
// A LineJump of this text alone turns the line jump off.
extern const char kLineJumpOff[];

// The file name of the program an editor setting starts: "C:\Program
// Files\sakura\sakura.exe" and "\"C:\x y\Code.exe\" -n" give sakura.exe and
// Code.exe; a bare "notepad" gives notepad.exe.
std::string EditorProgramName(const std::string& editorSetting);

// The known editor the setting starts, or null.
const KnownEditor* KnownEditorOf(const std::string& editorSetting);
bool IsWindowsNotepad(const std::string& editorSetting);

enum class LineJumpKind {
  Off,           // no jump: a double-click selects a word
  Template,      // the editor is started with the template's arguments
  NotepadCaret,  // notepad's own window is moved to the line
};

struct LineJumpRule {
  LineJumpKind kind = LineJumpKind::Off;
  std::string lineJumpTemplate;  // for Template
};

// The user's template wins; an empty one takes the known editor's option or,
// for Windows' notepad, the caret move.
LineJumpRule LineJumpRuleFor(const std::string& lineJump, const std::string& editorSetting);

// What the settings page says about the rule in use: "自動: -Y=%l %f" and the
// like for an empty field, empty when the user's template is in use.
std::string LineJumpRuleNote(const std::string& lineJump, const std::string& editorSetting);
