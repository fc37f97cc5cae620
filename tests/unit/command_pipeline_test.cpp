// The command pipeline through the real command interpreter: the fake JDK
// tools record where and with what they ran, and print scripted output.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/process_objects.h"
#include "common/win_handle.h"
#include "editor/editor_tracker.h"
#include "settings/app_settings.h"
#include "test_support.h"
#include "tools/tool_run.h"
#include "java/compile_error.h"
#include "tools/command_pipeline.h"

namespace {

// One tool run as the fake recorded it.
struct ToolRun {
  std::string tool;
  std::string folder;
  std::string arguments;
};

class CommandPipelineTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsInMemory();
    folder_ = std::make_unique<TempFolder>("pipe");
    log_ = *folder_ / "fake.log";
    path_ = std::make_unique<ScopedEnv>("PATH", PathWith(FakesFolder()));
    logEnv_ = std::make_unique<ScopedEnv>("PELLARO_FAKE_LOG", log_);
    source_ = *folder_ / "Hello.java";
    WriteFileBytes(source_, "class Hello {}");
  }
  void TearDown() override {
    outputs_.clear();
    ResetSettingsInMemory();
  }

  // The folder without its trailing backslash, as the fakes log it.
  static std::string Bare(const std::string& folder) {
    return folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
  }

  // Makes the fake `tool` print text.
  void Prints(const std::string& tool, const std::string& text) {
    std::string file = *folder_ / (tool + ".out");
    WriteFileBytes(file, text);
    std::string upper = tool;
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    outputs_.push_back(std::make_unique<ScopedEnv>("PELLARO_FAKE_OUT_" + upper, file));
  }

  void Run(int slot, DWORD exeMode, const std::string& source) {
    Settings.Cmd[slot].ExeMode = exeMode;
    ResultBuffer[0] = '\0';
    RunSequence(slot, source, ResultBuffer);
  }
  void Run(int slot, DWORD exeMode) { Run(slot, exeMode, source_); }

  std::vector<ToolRun> Runs() const {
    std::vector<ToolRun> runs;
    for (const auto& record : ReadFakeLog(log_))
      if (record.size() == 3) runs.push_back({record[0], record[1], record[2]});
    return runs;
  }
  std::vector<std::string> Tools() const {
    std::vector<std::string> tools;
    for (const ToolRun& run : Runs()) tools.push_back(run.tool);
    return tools;
  }
  // The page bytes the fake appletviewer read.
  std::vector<std::string> PagesShown() const {
    std::vector<std::string> pages;
    for (const auto& record : ReadFakeLog(log_))
      if (record.size() == 2 && record[0] == "page") pages.push_back(record[1]);
    return pages;
  }

  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<ScopedEnv> path_;
  std::unique_ptr<ScopedEnv> logEnv_;
  std::vector<std::unique_ptr<ScopedEnv>> outputs_;
  std::string log_;
  std::string source_;
};

using Names = std::vector<std::string>;

TEST_F(CommandPipelineTest, CleanCompileRunsJavaWithTheSecondArgumentsAfterJavac) {
  std::strcpy(Settings.Cmd[2].FirstCmdLine, "-g");
  std::strcpy(Settings.Cmd[2].SecondCmdLine, "-Xmx64m");
  Prints("javac", "COMPILED\r\n");
  Prints("java", "Hello, world\r\n");
  Run(2, 3);

  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 2u) << Utf8(ReadWholeFile(log_));
  EXPECT_EQ(runs[0].tool, "javac");
  EXPECT_EQ(runs[0].folder, Bare(folder_->Path()));
  EXPECT_EQ(runs[0].arguments, "-g Hello.java");
  EXPECT_EQ(runs[1].tool, "java");
  EXPECT_EQ(runs[1].folder, Bare(folder_->Path()));
  EXPECT_EQ(runs[1].arguments, "-Xmx64m Hello");

  std::string result = ResultBuffer;
  std::size_t compiled = result.find("COMPILED");
  std::size_t ran = result.find("Hello, world");
  ASSERT_NE(compiled, std::string::npos) << Utf8(result);
  ASSERT_NE(ran, std::string::npos) << Utf8(result);
  EXPECT_LT(compiled, ran);
}

TEST_F(CommandPipelineTest, ErrorWordInCompilerOutputStopsBeforeJava) {
  for (const char* message : {"Hello.java:3: error: ';' expected\r\n1 error\r\n",
                              "Hello.java:3: エラー: ';'がありません\r\nエラー1個\r\n"}) {
    SCOPED_TRACE(Utf8(message));
    DeleteFileA(log_.c_str());
    outputs_.clear();
    Prints("javac", message);
    Run(2, 3);
    EXPECT_EQ(Tools(), Names{"javac"});
    EXPECT_NE(std::string(ResultBuffer).find(message), std::string::npos);
  }
}

// A javac that fails says so by its exit code, whatever its words: the
// classes of an earlier compile must not run. Every run ends with a verdict.
TEST_F(CommandPipelineTest, ExitCodeDecidesTheCompileAndTheTextEndsWithTheVerdict) {
  const struct {
    DWORD exeMode;
    const char* exitCode;
    Names tools;
    const char* verdict;
  } cases[] = {
      {3, "1", {"javac"}, "--- コンパイルできませんでした ---\r\n"},
      {1, "0", {"javac"}, "--- コンパイルできました ("},
      {3, "0", {"javac", "java"}, "--- 終了コード 0 ("},
      {2, "-1", {"java"}, "--- 終了コード -1 ("},
  };
  Prints("javac", "Error: Could not create the Java Virtual Machine.\r\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exitCode);
    DeleteFileA(log_.c_str());
    ScopedEnv exitCode("PELLARO_FAKE_EXIT", c.exitCode);
    Run(2, c.exeMode);
    EXPECT_EQ(Tools(), c.tools);
    const std::string result = ResultBuffer;
    const std::size_t verdict = result.rfind("--- ");
    ASSERT_NE(verdict, std::string::npos) << Utf8(result);
    EXPECT_EQ(Utf8(result.substr(verdict, std::strlen(c.verdict))), Utf8(c.verdict));
    EXPECT_EQ(result.substr(result.size() - 6), " ---\r\n") << Utf8(result);
  }
}

TEST_F(CommandPipelineTest, SourceInFolderNamedErrorStillRunsAfterACleanCompile) {
  std::string dir = *folder_ / "error-エラー";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  std::string source = dir + "\\error.java";
  WriteFileBytes(source, "class error {}");
  Prints("javac", "Note: error.java uses unchecked or unsafe operations.\r\n");
  Run(2, 3, source);

  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 2u) << Utf8(ResultBuffer);
  EXPECT_EQ(runs[1].tool, "java");
  EXPECT_EQ(runs[1].folder, dir);
  EXPECT_EQ(runs[1].arguments, "error");
}

TEST_F(CommandPipelineTest, RealCompileErrorInFolderNamedErrorStillStops) {
  std::string dir = *folder_ / "error-エラー";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  std::string source = dir + "\\error.java";
  WriteFileBytes(source, "class error {");
  Prints("javac", "error.java:1: エラー: 構文解析中にファイルの終わりに移りました\r\n");
  Run(2, 3, source);
  EXPECT_EQ(Tools(), Names{"javac"});
}

TEST_F(CommandPipelineTest, JavaAloneTakesFirstArgumentsEvenAfterASecondArgumentsRun) {
  std::strcpy(Settings.Cmd[2].SecondCmdLine, "-second");
  std::strcpy(Settings.Cmd[1].FirstCmdLine, "-first");
  Run(2, 3);
  Run(1, 2);

  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[2].tool, "java");
  EXPECT_EQ(runs[2].arguments, "-first Hello");
}

TEST_F(CommandPipelineTest, CompileOnlyModesRunJavacAlone) {
  for (DWORD mode : {1u, 255u, 5u}) {
    SCOPED_TRACE(mode);
    DeleteFileA(log_.c_str());
    Run(0, mode);
    EXPECT_EQ(Tools(), Names{"javac"});
  }
}

TEST_F(CommandPipelineTest, ShortNameFromTheEditorReachesJavacAsTheLongName) {
  std::string longSource = *folder_ / "HelloWorldApplication.java";
  WriteFileBytes(longSource, "class HelloWorldApplication {}");
  char shortPath[MAX_PATH];
  DWORD length = GetShortPathNameA(longSource.c_str(), shortPath, MAX_PATH);
  ASSERT_GT(length, 0u);
  ASSERT_NE(std::string(shortPath), longSource);
  Run(0, 1, shortPath);
  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].arguments, "HelloWorldApplication.java");
}

TEST_F(CommandPipelineTest, SettingsFileModeRunsNothingAndLeavesTheResult) {
  Settings.PxsMode = 1;
  std::strcpy(ResultBuffer, "kept");
  Settings.Cmd[2].ExeMode = 3;
  RunSequence(2, source_, ResultBuffer);
  EXPECT_STREQ(ResultBuffer, "kept");
  EXPECT_TRUE(Runs().empty());
}

// Wine tells the runner it is Windows 98, whose command.com it does not have:
// no interpreter starts, and the compile that did not run is no success.
TEST_F(CommandPipelineTest, InterpreterThatCannotStartEndsTheSequenceWithTheFailureText) {
  ScopedWineSetting win98("sequence_runner.exe", "", "Version", "win98");
  ScopedEnv comSpec("ComSpec", "C:\\no\\such\\command.com");
  const std::string result = *folder_ / "result.txt";
  ASSERT_EQ(RunProgram("\"" + FakesFolder() + "\\sequence_runner.exe\" 2 3 \"" + source_ + "\" \"" +
                       result + "\""),
            0u);
  EXPECT_EQ(Utf8(ReadWholeFile(result)),
            Utf8("> javac Hello.java\r\n失敗しました\r\n--- コンパイルできませんでした ---\r\n"));
}

TEST_F(CommandPipelineTest, FolderThatCannotBeEnteredIsNamedAndNothingRuns) {
  // Left in the program's own folder, the interpreter would run javac there.
  const std::string gone = *folder_ / "gone\\";
  Run(2, 3, gone + "Hello.java");
  EXPECT_TRUE(Runs().empty());
  const std::string result = ResultBuffer;
  EXPECT_NE(result.find("フォルダに入れません: " + gone), std::string::npos) << Utf8(result);
  EXPECT_NE(result.find("失敗しました"), std::string::npos) << Utf8(result);
}

TEST_F(CommandPipelineTest, StoppedCompileEndsAllItStartedAndTheSequence) {
  // javac leaves a second process behind that holds the output pipe; both wait.
  ScopedEnv spawn("PELLARO_FAKE_SPAWN_JAVAC", "appletviewer");
  ScopedEnv javacWaits("PELLARO_FAKE_SLEEP_JAVAC", "60000");
  ScopedEnv otherWaits("PELLARO_FAKE_SLEEP_APPLETVIEWER", "60000");
  StopAfter stop(2000);
  Run(2, 3);

  EXPECT_EQ(Tools(), (Names{"javac", "appletviewer"}));
  const std::string result = ResultBuffer;
  EXPECT_EQ(result.substr(result.size() - 14), "中止しました\r\n") << Utf8(result);
  EXPECT_EQ(result.find("失敗しました"), std::string::npos);
  const std::vector<DWORD> ids = LoggedProcessIds(log_);
  ASSERT_EQ(ids.size(), 2u);
  for (DWORD id : ids) EXPECT_TRUE(ProcessEnds(id, 5000)) << id;
}

// A run's processes end with the program, whether it ends on its own with a
// process left behind (which must not hold the run up) or is killed mid-run.
TEST_F(CommandPipelineTest, NothingARunStartedOutlivesTheProgram) {
  for (bool killed : {false, true}) {
    SCOPED_TRACE(killed ? "killed" : "ended");
    DeleteFileA(log_.c_str());
    const std::string result = *folder_ / "result.txt";
    DeleteFileA(result.c_str());
    ScopedEnv spawn("PELLARO_FAKE_SPAWN_JAVAC", "appletviewer");
    // javac waits until the other process is under way; killed, much longer.
    ScopedEnv javacWaits("PELLARO_FAKE_SLEEP_JAVAC", killed ? "60000" : "2000");
    ScopedEnv otherWaits("PELLARO_FAKE_SLEEP_APPLETVIEWER", "60000");
    std::string commandLine =
        "\"" + FakesFolder() + "\\sequence_runner.exe\" 0 1 \"" + source_ + "\" \"" + result + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
    UniqueHandle runner(info.hProcess);
    UniqueHandle thread(info.hThread);
    for (int tick = 0; tick < 200 && LoggedProcessIds(log_).size() < 2; ++tick) Sleep(50);
    ASSERT_EQ(LoggedProcessIds(log_).size(), 2u);
    if (killed) TerminateProcess(runner.Get(), 1);
    ASSERT_EQ(WaitForSingleObject(runner.Get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(FileExists(result), !killed);
    for (DWORD id : LoggedProcessIds(log_)) EXPECT_TRUE(ProcessEnds(id, 5000)) << id;
  }
}

// A class of the package app.表 (95 5C: a backslash as trail byte) runs
// from the folder above app\表, and its other classes with it.
TEST_F(CommandPipelineTest, ClassInAPackageRunsFromItsRootByItsQualifiedName) {
  ASSERT_TRUE(CreateDirectoryA((*folder_ / "app").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((*folder_ / "app\\表").c_str(), nullptr));
  const std::string source = *folder_ / "app\\表\\Main.java";
  WriteFileBytes(source, "/* Main */\r\npackage app.表;\r\nclass Main {}");
  Settings.Cmd[2].ExeMode = 3;
  EXPECT_EQ(RunSequence(2, source, ResultBuffer).toolFolder, folder_->Path());

  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 2u) << Utf8(ResultBuffer);
  EXPECT_EQ(runs[0].folder, Bare(folder_->Path()));
  EXPECT_EQ(runs[0].arguments, "-encoding windows-31j app\\表\\Main.java");
  EXPECT_EQ(runs[1].folder, Bare(folder_->Path()));
  EXPECT_EQ(runs[1].arguments, "app.表.Main");
}

// A textbook's package class saved in a folder of its own: javac alone
// compiles it there; a class to run must stand in its package's folders.
TEST_F(CommandPipelineTest, PackageOutsideItsFoldersCompilesButRunsNothing) {
  WriteFileBytes(source_, "package app.util;\nclass Hello {}");
  Run(2, 3);
  EXPECT_TRUE(Runs().empty());
  const std::string result = ResultBuffer;
  EXPECT_NE(result.find("パッケージ app.util のクラスは、フォルダ app\\util の中に"),
            std::string::npos)
      << Utf8(result);
  EXPECT_NE(result.find("コンパイルだけなら"), std::string::npos) << Utf8(result);

  Run(0, 1);
  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 1u) << Utf8(ResultBuffer);
  EXPECT_EQ(runs[0].folder, Bare(folder_->Path()));
  EXPECT_EQ(runs[0].arguments, "Hello.java");
}

class AppletRunTest : public CommandPipelineTest {
 protected:
  std::string TempPage() const { return *folder_ / "temp.html"; }
};

TEST_F(AppletRunTest, GeneratedPageIsShownToAppletviewerAndDeletedAfterwards) {
  Settings.Param = {{"first", "1"}, {"second", "二番目"}};
  Run(2, 7);

  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 2u) << Utf8(ResultBuffer);
  EXPECT_EQ(runs[1].tool, "appletviewer");
  EXPECT_EQ(runs[1].folder, Bare(folder_->Path()));
  EXPECT_EQ(runs[1].arguments, "temp.html");
  std::vector<std::string> pages = PagesShown();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0],
            "<APPLET CODE=\"Hello.class\" WIDTH=\"\" HEIGHT=\"\">"
            "<PARAM NAME=\"first\" VALUE=\"1\"><PARAM NAME=\"second\" VALUE=\"二番目\">"
            "</APPLET>");
  EXPECT_FALSE(FileExists(TempPage()));
}

TEST_F(AppletRunTest, AppletInAPackageIsNamedFromThePackageRoot) {
  ASSERT_TRUE(CreateDirectoryA((*folder_ / "a").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((*folder_ / "a\\b").c_str(), nullptr));
  const std::string source = *folder_ / "a\\b\\Hello.java";
  WriteFileBytes(source, "package a.b;\nclass Hello {}");
  Run(2, 7, source);

  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 2u) << Utf8(ResultBuffer);
  EXPECT_EQ(runs[1].folder, Bare(folder_->Path()));
  EXPECT_EQ(PagesShown(),
            Names{"<APPLET CODE=\"a.b.Hello.class\" WIDTH=\"\" HEIGHT=\"\"></APPLET>"});
  EXPECT_FALSE(FileExists(TempPage()));
}

TEST_F(AppletRunTest, ExistingTempPageIsShownButNeitherReplacedNorDeleted) {
  WriteFileBytes(TempPage(), "<APPLET CODE=\"Mine.class\"></APPLET>");
  Run(1, 6);

  EXPECT_EQ(Tools(), Names{"appletviewer"});
  std::vector<std::string> pages = PagesShown();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0], "<APPLET CODE=\"Mine.class\"></APPLET>");
  EXPECT_EQ(ReadWholeFile(TempPage()), "<APPLET CODE=\"Mine.class\"></APPLET>");
}

TEST_F(AppletRunTest, PageWithDriveLetterIsUsedAsItIs) {
  // The test's own folder on C:, removed again below.
  std::string pages = "C:\\pellaro-pages-" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(pages.c_str(), nullptr));
  WriteFileBytes(pages + "\\a.html", "absolute page");
  std::strcpy(Settings.HTMLRead, (pages + "\\a.html").c_str());
  Run(1, 6);
  RemoveTree(pages);

  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].folder, pages);
  EXPECT_EQ(runs[0].arguments, "a.html");
  EXPECT_EQ(PagesShown(), Names{"absolute page"});
}

TEST_F(AppletRunTest, RelativePageIsTakenFromTheSourceFolder) {
  ASSERT_TRUE(CreateDirectoryA((*folder_ / "sub").c_str(), nullptr));
  WriteFileBytes(*folder_ / "a.html", "beside the source");
  WriteFileBytes(*folder_ / "sub\\a.html", "in sub");
  std::strcpy(Settings.HTMLRead, "a.html");
  Run(1, 6);
  std::strcpy(Settings.HTMLRead, "sub\\a.html");
  Run(1, 6);

  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].folder, Bare(folder_->Path()));
  EXPECT_EQ(runs[0].arguments, "a.html");
  EXPECT_EQ(runs[1].folder, *folder_ / "sub");
  EXPECT_EQ(runs[1].arguments, "a.html");
  EXPECT_EQ(PagesShown(), (Names{"beside the source", "in sub"}));
  EXPECT_FALSE(FileExists(*folder_ / "temp.html"));
}

// The error words are looked for in the interpreter's whole text, which also
// shows the source's folder and name.
TEST(CompileErrorWords, CountOnlyWholeAndInTheirOwnCase) {
  const std::string source = "D:\\work\\Hello.java";
  EXPECT_TRUE(ReportsCompileError("1 error\r\n", source));
  EXPECT_TRUE(ReportsCompileError("エラー1個\r\n", source));
  EXPECT_FALSE(ReportsCompileError("Error ERROR エラ ー\r\n", source));
  // ｃ is 82 83 and Ｆ is 82 65: a byte search would find エラー in "ｃGラー"
  // and "error" in "Ｆrror", starting at their trail bytes.
  EXPECT_FALSE(ReportsCompileError("ｃGラー Ｆrror\r\n", source));
}

TEST(CompileErrorWords, SourceFolderAndNameInPromptsAndMessagesDoNotCount) {
  const std::string source = "Z:\\WORK\\error-エラー\\error.java";
  // A prompt in the letter case the file system stores, and an echoed command.
  EXPECT_FALSE(ReportsCompileError(
      " Z:\\work\\error-エラー>javac error.java \r\nNote: error.java uses unchecked or unsafe "
      "operations.\r\nZ:\\WORK\\error-エラー>exit\r\n",
      source));
  EXPECT_TRUE(ReportsCompileError(
      " Z:\\WORK\\error-エラー>javac error.java \r\nerror.java:3: error: ';' expected\r\n",
      source));
  EXPECT_TRUE(ReportsCompileError(" Z:\\WORK\\error-エラー>\r\n1 error\r\n", source));
  EXPECT_FALSE(ReportsCompileError(" Z:\\error>javac error\\Main.java \r\nZ:\\error>exit\r\n",
                                   "Z:\\error\\error\\Main.java", "Z:\\error\\"));
  // javac's own summary is not the class name, even for a class named so.
  EXPECT_TRUE(ReportsCompileError("2 errors\r\n", "Z:\\w\\errors.java"));
}

// The tracker, the fake editor and the windows in front, as the user meets them.
class EditorCommandTest : public CommandPipelineTest {
 protected:
  void SetUp() override {
    CommandPipelineTest::SetUp();
    editorLog_ = *folder_ / "editor.log";
    editorLogEnv_ = std::make_unique<ScopedEnv>("PELLARO_FAKE_EDITOR_LOG", editorLog_);
    CurrentSourceFile.clear();
  }
  void TearDown() override {
    Settings.MainWindow = nullptr;
    for (HWND window : windows_) DestroyWindow(window);
    for (DWORD processId : editors_) CloseEditor(processId);
    // Drops the editors that have ended from the process-wide tracker.
    Editors.StillRunning();
    CurrentSourceFile.clear();
    CommandPipelineTest::TearDown();
  }

  // Starts the fake editor on file through the tracker; its primary window.
  HWND StartEditor(const std::string& file) {
    if (!Editors.Launch(FakesFolder() + "\\fake_editor.exe", file)) return nullptr;
    DWORD processId = 0;
    for (int attempt = 0; attempt < 500 && processId == 0; ++attempt) {
      for (const auto& record : ReadFakeLog(editorLog_))
        if (record.size() == 2) processId = std::stoul(record[0]);
      if (processId == 0) Sleep(20);
    }
    if (processId == 0) return nullptr;
    editors_.push_back(processId);
    // Both windows, so that the second one cannot appear later on top.
    const std::string title = "fake editor " + std::to_string(processId) + " ";
    for (int attempt = 0; attempt < 500; ++attempt) {
      HWND main = FindWindowA("PellaroFakeEditor", (title + "main").c_str());
      HWND second = FindWindowA("PellaroFakeEditor", (title + "second").c_str());
      if (main && second && IsWindowVisible(main) && IsWindowVisible(second)) return main;
      Sleep(20);
    }
    return nullptr;
  }

  static void CloseEditor(DWORD processId) {
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
    const std::string title = "fake editor " + std::to_string(processId) + " main";
    if (HWND window = FindWindowA("PellaroFakeEditor", title.c_str()))
      PostMessageA(window, WM_CLOSE, 0, 0);
    if (process && WaitForSingleObject(process.Get(), 10000) != WAIT_OBJECT_0)
      TerminateProcess(process.Get(), 1);
  }

  // A window of this process, standing for the program's strip or for any
  // other program's window.
  HWND OwnWindow(DWORD exStyle) {
    static ATOM atom = [] {
      WNDCLASSA windowClass = {};
      windowClass.lpfnWndProc = DefWindowProcA;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.lpszClassName = "PellaroPipelineTestWindow";
      return RegisterClassA(&windowClass);
    }();
    if (!atom) return nullptr;
    HWND window = CreateWindowExA(exStyle, "PellaroPipelineTestWindow", "test", WS_POPUP, 10, 10,
                                  200, 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window) {
      windows_.push_back(window);
      ShowWindow(window, SW_SHOW);
    }
    return window;
  }

  // As a click on the window would: raised above its program's other windows
  // and made the one the user works in.
  static bool BringToFront(HWND window) {
    BringWindowToTop(window);
    SetForegroundWindow(window);
    for (int attempt = 0; attempt < 250 && GetForegroundWindow() != window; ++attempt) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      Sleep(20);
    }
    return GetForegroundWindow() == window;
  }

  // The visible windows beneath window, top first, for failure messages.
  static std::string WindowsBeneath(HWND window) {
    std::string list;
    for (HWND next = GetWindow(window, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
      if (!IsWindowVisible(next)) continue;
      char title[128] = {};
      GetWindowTextA(next, title, sizeof title);
      list += std::string("[") + title + "] ";
    }
    return list;
  }

  static bool Topmost(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  }

  std::string editorLog_;
  std::unique_ptr<ScopedEnv> editorLogEnv_;
  std::vector<DWORD> editors_;
  std::vector<HWND> windows_;
};

TEST_F(EditorCommandTest, CommandInTheEditorCompilesItsFile) {
  HWND editor = StartEditor(source_);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(BringToFront(editor));

  ResultBuffer[0] = '\0';
  EXPECT_TRUE(RunCommand(0, ResultBuffer));
  EXPECT_EQ(CurrentSourceFile, source_);
  std::vector<ToolRun> runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].tool, "javac");
  EXPECT_EQ(runs[0].folder, Bare(folder_->Path()));
  EXPECT_EQ(runs[0].arguments, "Hello.java");
}

TEST_F(EditorCommandTest, ForeignWindowInFrontRunsNothing) {
  ASSERT_NE(StartEditor(source_), nullptr);
  HWND foreign = OwnWindow(0);
  ASSERT_NE(foreign, nullptr);
  ASSERT_TRUE(BringToFront(foreign));

  EXPECT_FALSE(RunCommand(2, ResultBuffer));
  EXPECT_TRUE(Runs().empty());
  EXPECT_TRUE(CurrentSourceFile.empty());
}

TEST_F(EditorCommandTest, CommandFromTheStripTakesTheEditorBeneathIt) {
  HWND editor = StartEditor(source_);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(BringToFront(editor));
  HWND strip = OwnWindow(WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  ASSERT_NE(strip, nullptr);
  Settings.MainWindow = strip;
  ASSERT_TRUE(BringToFront(strip));

  Settings.Forground = 0;
  EXPECT_TRUE(RunCommand(0, ResultBuffer)) << WindowsBeneath(strip);
  EXPECT_EQ(CurrentSourceFile, source_);
  EXPECT_FALSE(Topmost(strip));

  Settings.Forground = 1;
  ASSERT_TRUE(BringToFront(strip));
  EXPECT_TRUE(RunCommand(0, ResultBuffer)) << WindowsBeneath(strip);
  EXPECT_TRUE(Topmost(strip));
  EXPECT_EQ(Tools(), (Names{"javac", "javac"}));
}

TEST_F(EditorCommandTest, ProgramsOwnWindowOverTheEditorIsPassedOver) {
  HWND editor = StartEditor(source_);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(BringToFront(editor));
  // A result window left open over the editor.
  HWND result = OwnWindow(0);
  ASSERT_NE(result, nullptr);
  ASSERT_TRUE(BringToFront(result));
  HWND strip = OwnWindow(WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  ASSERT_NE(strip, nullptr);
  Settings.MainWindow = strip;
  ASSERT_TRUE(BringToFront(strip));

  EXPECT_TRUE(RunCommand(0, ResultBuffer)) << WindowsBeneath(strip);
  EXPECT_EQ(CurrentSourceFile, source_);
}

}  // namespace
