// RunTool through the real command interpreter, with the fake JDK tools
// recording what they receive and printing scripted output.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "common/win_handle.h"
#include "settings/app_settings.h"
#include "test_support.h"
#include "tools/run_plan.h"
#include "tools/tool_run.h"
#include "tools/waiting_interpreter.h"

namespace {

class RunToolTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsInMemory();
    folder_ = std::make_unique<TempFolder>("run");
    log_ = *folder_ / "fake.log";
    path_ = std::make_unique<ScopedEnv>("PATH", PathWith(FakesFolder()));
    logEnv_ = std::make_unique<ScopedEnv>("PELLARO_FAKE_LOG", log_);
    source_ = *folder_ / "Hello.java";
    WriteFileBytes(source_, "class Hello {}");
  }
  void TearDown() override { ResetSettingsInMemory(); }

  static bool Run(const char* tool, const std::string& path, int slot = 0,
                  ToolArguments arguments = ToolArguments::First) {
    ResultText text;
    return RunTool(tool, path, slot, arguments, text) == RunEnd::Finished;
  }
  std::vector<std::vector<std::string>> Log() { return ReadFakeLog(log_); }
  std::string Folder() const {
    std::string f = folder_->Path();
    f.pop_back();
    return f;
  }

  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<ScopedEnv> path_;
  std::unique_ptr<ScopedEnv> logEnv_;
  std::string log_;
  std::string source_;
};

TEST(ToolScriptText, HasTheFourLinesOfTheInterpreterScript) {
  const std::string check = " (if errorlevel 1 exit 267)\r\n";
  const std::string exit = "exit %ERRORLEVEL%\r\n";
  EXPECT_EQ(ToolScript("D:\\work\\Hello.java", "javac", "", ""),
            " cd /d \"D:\\work\\\"\r\n" + check + " javac Hello.java \r\n" + exit);
  EXPECT_EQ(ToolScript("C:\\", "Hello.java", "java", "-cp .", "a b", "<in >out 2>&1"),
            " cd /d \"C:\\\"\r\n" + check + " java -cp . Hello.java a b <in >out 2>&1\r\n" + exit);
  EXPECT_EQ(ToolScript("D:\\表示\\My Program.java", "javac", "", ""),
            " cd /d \"D:\\表示\\\"\r\n" + check + " javac \"My Program.java\" \r\n" + exit);
  EXPECT_EQ(ToolScript("\\\\server\\share\\src\\Hello.java", "javac", "", ""),
            " pushd \"\\\\server\\share\\src\\\"\r\n" + check + " javac Hello.java \r\n" + exit);
}

// The interpreter is named by its full path, never found by a search that
// would start a cmd.exe planted beside the program or the source.
TEST(Interpreter, IsComSpecWhenThatNamesAFileElseTheSystemFoldersCmd) {
  TempFolder folder("comspec");
  const std::string own = folder / "shell.exe";
  WriteFileBytes(own, "");
  char system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  const std::string systemCmd = std::string(system) + "\\cmd.exe";
  const struct {
    const char* comSpec;
    std::string expected;
  } cases[] = {
      {own.c_str(), own},
      {"C:\\no\\such\\cmd.exe", systemCmd},
      {"cmd.exe", systemCmd},
      {"", systemCmd},
  };
  for (const auto& c : cases) {
    ScopedEnv comSpec("ComSpec", c.comSpec);
    EXPECT_EQ(InterpreterPath(), c.expected) << c.comSpec;
    EXPECT_EQ(InterpreterCommand(), "\"" + c.expected + "\" /K ");
  }
}

TEST_F(RunToolTest, ToolRunsInTheFileFolderWithTheChosenSlotArguments) {
  std::strcpy(Settings.Cmd[1].FirstCmdLine, "-g -verbose");
  std::strcpy(Settings.Cmd[1].SecondCmdLine, "-second");
  std::strcpy(Settings.ClassCmdLine, "extra");
  const struct {
    ToolArguments choice;
    const char* tool;
    std::string path;
    const char* logged;
  } cases[] = {
      {ToolArguments::First, "javac", source_, "-g -verbose Hello.java extra"},
      {ToolArguments::Second, "java", *folder_ / "Hello", "-second Hello extra"},
      {ToolArguments::None, "javac", source_, "Hello.java extra"},
  };
  for (const auto& c : cases) ASSERT_TRUE(Run(c.tool, c.path, 1, c.choice));

  auto log = Log();
  ASSERT_EQ(log.size(), 3u) << Utf8(ReadWholeFile(log_));
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i][0], cases[i].tool);
    EXPECT_EQ(log[i][1], Folder());
    EXPECT_EQ(log[i][2], cases[i].logged);
  }
}

TEST_F(RunToolTest, FileNamesWithBlanksOrCommandCharactersStayOneArgument) {
  std::string blank = *folder_ / "My Program.java";
  std::string ampersand = *folder_ / "a&b.java";
  WriteFileBytes(blank, "");
  WriteFileBytes(ampersand, "");
  ASSERT_TRUE(Run("javac", blank, 0));
  ASSERT_TRUE(Run("javac", ampersand, 0));
  auto log = Log();
  ASSERT_EQ(log.size(), 2u) << Utf8(ReadWholeFile(log_));
  EXPECT_EQ(log[0][2].substr(0, 17), "\"My Program.java\"");
  EXPECT_EQ(log[1][2].substr(0, 10), "\"a&b.java\"");
}

TEST_F(RunToolTest, FolderWithShiftJisTrailBackslashIsEnteredWhole) {
  std::string dir = *folder_ / "表示";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  ASSERT_TRUE(Run("javac", dir + "\\ソース.java", 0));
  auto log = Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0][1], dir);
  EXPECT_EQ(log[0][2].substr(0, 11), "ソース.java");
}

// 表 is Shift_JIS (95 5C); E8 A1 A8 is the same character in UTF-8. javac
// reads the other sources of the folder too (Util.java here).
TEST_F(RunToolTest, JavacIsToldTheEncodingOfTheFoldersSourcesUnlessTheArgumentsNameOne) {
  const std::string sjis = "// 表示\r\nclass Util {}";
  const std::string utf8 = "// \xE8\xA1\xA8\nclass Util {}";
  const struct {
    std::string bytes;
    std::string util;  // none when empty
    const char* first;
    const char* logged;
    const char* note;  // in the result after javac; none when empty
  } cases[] = {
      {"// 表示\r\nclass Hello {}", "", "-g", "-encoding windows-31j -g Hello.java", ""},
      {"// \xE8\xA1\xA8\nclass Hello {}", "", "", "-encoding UTF-8 Hello.java", ""},
      {"\xEF\xBB\xBF"
       "class Hello {}",
       "", "", "-encoding UTF-8 Hello.java", "BOM なし"},
      {"// 表示\r\nclass Hello {}", "", "-encoding EUC-JP", "-encoding EUC-JP Hello.java", ""},
      {"class Hello {}", sjis, "", "-encoding windows-31j Hello.java", ""},
      {"// 表示\r\nclass Hello {}", utf8, "", "-encoding windows-31j Hello.java", ": Util.java。"},
      {std::string("\xFF\xFE/\0/\0\n\0", 8), "", "", "-encoding UTF-16 Hello.java", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.logged);
    DeleteFileA(log_.c_str());
    WriteFileBytes(source_, c.bytes);
    DeleteFileA((*folder_ / "Util.java").c_str());
    if (!c.util.empty()) WriteFileBytes(*folder_ / "Util.java", c.util);
    std::strcpy(Settings.Cmd[0].FirstCmdLine, c.first);
    RunPlan plan;
    std::string refusal;
    ASSERT_TRUE(PlanRun(source_, ToolsNeeded::JavacAlone, plan, refusal)) << Utf8(refusal);
    ResultText text;
    ASSERT_EQ(RunTool("javac", JavacCall(plan), 0, ToolArguments::First, text), RunEnd::Finished);
    const std::string result = ResultBuffer;
    EXPECT_EQ(*c.note ? result.find(c.note) != std::string::npos
                      : result.find("注意") == std::string::npos,
              true)
        << Utf8(result);
    ASSERT_TRUE(Run("java", *folder_ / "Hello", 0, ToolArguments::None));
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0][2], c.logged);
    EXPECT_EQ(log[1][2].find("-encoding"), std::string::npos) << "java is never told";
  }
}

// Where the interpreter cannot enter the file's folder it may stand anywhere
// (Wine starts it in the drive's root): the script ends there, and the run
// tells the folder apart from a tool that ran.
DWORD RunScript(Interpreter& interpreter, const std::string& script) {
  interpreter.SetScript(script);
  while (interpreter.FeedMore()) Sleep(1);
  WaitForSingleObject(interpreter.Process(), 15000);
  return interpreter.ExitCode();
}

TEST_F(RunToolTest, ScriptEndsWhenItCannotEnterTheFolder) {
  const std::string gone = *folder_ / "gone";
  Interpreter child;
  ASSERT_TRUE(child.Start(InterpreterCommand(), folder_->Path().c_str(), nullptr));
  EXPECT_EQ(RunScript(child, ToolScript(gone + "\\Hello.java", "javac", "", "")), 267u);
  EXPECT_TRUE(Log().empty()) << "javac ran in another folder";

  ASSERT_TRUE(Run("javac", source_, 0));
  EXPECT_EQ(Log().size(), 1u);
}

// The interpreter started ahead waits in the system drive's root for its
// script, and keeps the folder check.
TEST_F(RunToolTest, WaitingInterpreterRunsTheNextScriptWhereTheEnvironmentIsTheSame) {
  ExpectRunEnvironment(L"");
  PrepareInterpreter();
  std::unique_ptr<Interpreter> waiting = TakeWaitingInterpreter(L"");
  ASSERT_NE(waiting, nullptr);
  EXPECT_EQ(RunScript(*waiting, ToolScript(*folder_ / "gone\\Hello.java", "javac", "", "")), 267u);
  EXPECT_TRUE(Log().empty()) << "javac ran in another folder";

  PrepareInterpreter();
  ASSERT_TRUE(Run("javac", source_, 0));
  ASSERT_EQ(Log().size(), 1u);
  EXPECT_EQ(Log()[0][1], Folder());
  EXPECT_EQ(TakeWaitingInterpreter(L""), nullptr) << "the run took the waiting interpreter";

  PrepareInterpreter();
  EXPECT_EQ(TakeWaitingInterpreter(std::wstring(L"A=1\0\0", 5)), nullptr);
  ASSERT_TRUE(Run("javac", source_, 0));  // started anew
  EXPECT_EQ(Log().size(), 2u);
}

// Nothing of the interpreter's own shows: no banner, prompt, cd or check.
TEST_F(RunToolTest, TextIsTheToolsLineAsTypedAndWhatTheToolPrinted) {
  ScopedEnv bytes("PELLARO_FAKE_BYTES_JAVAC", "65");
  ASSERT_TRUE(Run("javac", source_, 0)) << Utf8(ResultBuffer);
  EXPECT_EQ(
      std::string(ResultBuffer),
      "> javac Hello.java\r\n00000000 ------------------------------------------------------\r\n");
}

TEST_F(RunToolTest, ShiftJisOutputIsCapturedByteForByte) {
  std::string message = "Hello.java:3: エラー: ';' がありません\r\nエラー1個\r\n";
  WriteFileBytes(*folder_ / "out.txt", message);
  ScopedEnv out("PELLARO_FAKE_OUT_JAVAC", *folder_ / "out.txt");
  ASSERT_TRUE(Run("javac", source_, 0));
  EXPECT_NE(std::string(ResultBuffer).find(message), std::string::npos) << Utf8(ResultBuffer);
}

// 1 MiB of 65-byte lines: the first 64 KiB, a note of what was left out, and
// the latest lines up to the last, all within the buffer.
TEST_F(RunToolTest, LongOutputKeepsItsBeginningAndItsEndWithANoteBetween) {
  ScopedEnv bytes("PELLARO_FAKE_BYTES_JAVAC", "1048580");
  ASSERT_TRUE(Run("javac", source_, 0));
  const std::string text = ResultBuffer;
  EXPECT_LE(text.size(), kResultBufferSize);
  EXPECT_GT(text.size(), kResultBufferSize - 20 * 1024);
  EXPECT_NE(text.find("00000000 ---"), std::string::npos);
  const std::string lastLine =
      "00016131 ------------------------------------------------------\r\n";
  EXPECT_EQ(text.substr(text.size() - lastLine.size()), lastLine);
  const std::string opening = "（出力が多いため、途中の ";
  const std::size_t note = text.find(opening);
  ASSERT_NE(note, std::string::npos);
  EXPECT_LE(note, 64u * 1024);
  const std::size_t noteEnd = text.find("\r\n", note) + 2;
  const std::string shown = "> javac Hello.java\r\n";
  const unsigned long omitted = std::strtoul(text.c_str() + note + opening.size(), nullptr, 10);
  EXPECT_EQ(omitted, shown.size() + 1048580 - (text.size() - (noteEnd - note)));
  EXPECT_EQ(text.substr(noteEnd - 2 - std::strlen(" バイトを省きました）"),
                        2 + std::strlen(" バイトを省きました）")),
            " バイトを省きました）\r\n");
}

TEST_F(RunToolTest, AppendedOutputNeverRunsPastTheBuffer) {
  ResultText text(kResultBufferSize - 100);
  ResultBuffer[kResultBufferSize] = 'x';
  ScopedEnv bytes("PELLARO_FAKE_BYTES_JAVAC", "5000");
  ASSERT_EQ(RunTool("javac", source_, 0, ToolArguments::First, text), RunEnd::Finished);
  EXPECT_EQ(std::strlen(text.Text()), 100u);
  EXPECT_EQ(text.End(), kResultBufferSize);
}

TEST_F(RunToolTest, AToolReadingStandardInputSeesItsEndInsteadOfHanging) {
  ScopedEnv stdinEnv("PELLARO_FAKE_STDIN_JAVA", "1");
  ASSERT_TRUE(Run("java", *folder_ / "Hello", 0));
  auto log = Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1][0], "stdin");
}

TEST_F(RunToolTest, VisiblePromptModeShowsJavaAndCapturesTheOthers) {
  Settings.DOSPrompt = 1;
  ScopedEnv bytes("PELLARO_FAKE_BYTES_JAVA", "100");
  ASSERT_TRUE(Run("java", *folder_ / "Hello", 0));
  EXPECT_STREQ(ResultBuffer, "> java Hello\r\n");
  ScopedEnv javacBytes("PELLARO_FAKE_BYTES_JAVAC", "100");
  ASSERT_TRUE(Run("javac", source_, 0));
  EXPECT_NE(std::string(ResultBuffer).find("00000000"), std::string::npos);
  EXPECT_EQ(Log().size(), 2u);
}

// The demo runs java through RunTool from a process without a console, and
// exits with 0 only when java's lines were on java's own console screen, and
// nowhere else, java read a line typed into that console, the console closed
// on a key (or, without one, stayed open until the run was stopped), and
// ResultBuffer got just the space. Needs a display.
DWORD RunVisiblePromptDemo(const std::string& arguments) {
  return RunProgram("\"" + FakesFolder() + "\\visible_prompt_demo.exe\" " + arguments);
}

TEST(VisiblePrompt, JavaWritesIntoTheShownConsoleOfAProgramWithoutStandardHandles) {
  EXPECT_EQ(RunVisiblePromptDemo(""), 0u);
}

TEST(VisiblePrompt, JavaWritesIntoTheShownConsoleNotWhereTheProgramsOwnOutputGoes) {
  EXPECT_EQ(RunVisiblePromptDemo("--own-output"), 0u);
}

TEST(VisiblePrompt, ConsoleStaysOpenWithoutAKeyUntilTheRunIsStopped) {
  EXPECT_EQ(RunVisiblePromptDemo("--no-key"), 0u);
}

}  // namespace
