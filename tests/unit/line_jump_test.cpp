// The line number a double-click takes from a compiler message, and the
// editor arguments the LineJump template expands to.
#include <gtest/gtest.h>

#include <string>

#include "editor/known_editors.h"
#include "editor/line_jump.h"
#include "java/output_line.h"
#include "test_support.h"

namespace {

struct LineCase {
  const char* line;
  const char* number;  // empty: no jump
};

TEST(LineJump, LineNumberIsTheFirstColonDigitsColonGroup) {
  const LineCase cases[] = {
      {"Hello.java:12: ';' expected", "12"},
      {"Foo.java:123: cannot resolve symbol", "123"},
      {"C:\\src\\Foo.java:7: error: x", "7"},
      // Wine's cmd glues javac's first line to its prompt.
      {"Z:\\work\\表示>Hello.java:3: エラー: ';'がありません", "3"},
      {"Foo.java:12345678: x", "1234567"},
      {"Foo.java:123456: x", "123456"},
      {"Note: Foo.java uses unchecked or unsafe operations.", ""},
      {"        ^", ""},
      {"", ""},
      {"Foo.java:12", ""},
      {"Foo.java::12:", "12"},
      // The line's first byte is never the separator.
      {":12:x", ""},
      {"a:12:x", "12"},
      // 亜 is 88 9F: its trail byte is also a lead byte, and must not swallow the colon.
      {"亜:12:x", "12"},
  };
  for (const LineCase& c : cases) EXPECT_EQ(LineNumberOf(c.line), c.number) << Utf8(c.line);
}

struct ExpandCase {
  const char* lineJumpTemplate;
  const char* expanded;
};

TEST(LineJump, TemplateReplacesFirstFileAndLineThenFoldsPercents) {
  const std::string path = "C:\\PROGRA~1\\work\\HELLO~1.JAV";
  const ExpandCase cases[] = {
      {"/l %l %f", "/l 12 C:\\PROGRA~1\\work\\HELLO~1.JAV"},
      {"%f", "C:\\PROGRA~1\\work\\HELLO~1.JAV"},
      {"%f %f", "C:\\PROGRA~1\\work\\HELLO~1.JAV %f"},
      {"100%% %l", "100% 12"},
      {"%%%l", "%12"},
      {"a%%%%%%b", "a%b"},
      {"表示%l", "表示12"},
      {"+%l", "+12"},
  };
  for (const ExpandCase& c : cases)
    EXPECT_EQ(ExpandLineJump(c.lineJumpTemplate, path, "12"), c.expanded) << c.lineJumpTemplate;
}

TEST(LineJump, SourcePathIsShortOrQuotedLong) {
  TempFolder folder("jump dir");
  const std::string source = folder / "Hello World.java";
  WriteFileBytes(source, "class X {}\r\n");
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(source.c_str(), shortPath, MAX_PATH), 0u);
  EXPECT_EQ(SourcePathForJump(source), shortPath);
  // A vanished file has no short form.
  const std::string gone = folder / "gone dir\\Hello.java";
  EXPECT_EQ(SourcePathForJump(gone), "\"" + gone + "\"");
  EXPECT_EQ(SourcePathForJump("C:\\nowhere\\Hello.java"), "C:\\nowhere\\Hello.java");
}

TEST(LineJump, PathFoundWithABlankIsQuoted) {
  // Where the volume keeps no 8.3 names, the short form is the long path
  // itself; Wine always makes short names, so the step is tried on its own.
  EXPECT_EQ(QuotedWhenBlank("D:\\My Work\\Hello.java"), "\"D:\\My Work\\Hello.java\"");
  EXPECT_EQ(QuotedWhenBlank("D:\\表示\\HELLO~1.JAV"), "D:\\表示\\HELLO~1.JAV");
}

struct RuleCase {
  const char* lineJump;
  const char* editor;
  LineJumpKind kind;
  const char* lineJumpTemplate;
  const char* note;  // on the general page; empty: the example stays
};

TEST(LineJump, EmptyTemplateTakesTheKnownEditorsOptionAndADashTurnsItOff) {
  const RuleCase cases[] = {
      {"", "C:\\Program Files\\sakura\\sakura.exe", LineJumpKind::Template, "-Y=%l %f",
       "自動: -Y=%l %f"},
      {"", "\"C:\\Program Files\\Microsoft VS Code\\Code.exe\" --new-window",
       LineJumpKind::Template, "-g %f:%l", "自動: -g %f:%l"},
      {"", "D:\\表示\\HIDEMARU.EXE", LineJumpKind::Template, "/j%l %f", "自動: /j%l %f"},
      {"", "notepad++", LineJumpKind::Template, "-n%l %f", "自動: -n%l %f"},
      {"", "C:\\Tools\\TeraPad\\TeraPad.exe", LineJumpKind::Template, "/jl=%l %f",
       "自動: /jl=%l %f"},
      {"", "notepad", LineJumpKind::NotepadCaret, "", "自動: メモ帳の行へカーソルを移動"},
      {"", "C:\\windows\\system32\\notepad.exe", LineJumpKind::NotepadCaret, "",
       "自動: メモ帳の行へカーソルを移動"},
      {"", "C:\\bin\\myeditor.exe", LineJumpKind::Off, "",
       "自動: なし (行番号の指定を知らないエディタ)"},
      {"/l %l %f", "C:\\sakura\\sakura.exe", LineJumpKind::Template, "/l %l %f", ""},
      {"+%l %f", "notepad.exe", LineJumpKind::Template, "+%l %f", ""},
      {"-", "C:\\sakura\\sakura.exe", LineJumpKind::Off, "", "行番号ジャンプしない"},
      {" - ", "notepad.exe", LineJumpKind::Off, "", "行番号ジャンプしない"},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(Utf8(std::string(c.lineJump) + " | " + c.editor));
    const LineJumpRule rule = LineJumpRuleFor(c.lineJump, c.editor);
    EXPECT_EQ(rule.kind, c.kind);
    if (c.kind == LineJumpKind::Template) {
      EXPECT_EQ(rule.lineJumpTemplate, c.lineJumpTemplate);
    }
    EXPECT_EQ(LineJumpRuleNote(c.lineJump, c.editor), c.note);
  }
}

}  // namespace
