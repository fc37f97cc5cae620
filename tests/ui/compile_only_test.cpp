// Pellaro.exe -c <file>, end to end: the real program compiles with the fake
// javac, shows its RESULT window, and the test drives that window as a user
// would: reads it, moves and sizes it, saves its text, closes it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "java/error_hints.h"
#include "test_support.h"
#include "ui_driver.h"

namespace {

const char kSaveTitle[] = "ファイルに保存";
const char kNoFileText[] = "コンパイルするファイルを指定してください。";
const char kMissingFileText[] = "コンパイルするファイルが見つかりません。\r\n";
const char kFailedText[] = "失敗しました";
const char kOpenFailedText[] = "ファイルのオープンに失敗しました。";

constexpr std::size_t kShownTextLimit = 262144;
constexpr int kButtonBand = 21;

// Every test starts from no stored settings, with the fake JDK first on the
// search path and a Hello.java of its own; Pellaro's windows close without
// waiting for a window manager that is not there.
class PellaroUiTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKeys();
    folder_ = std::make_unique<TempFolder>("ui");
    log_ = *folder_ / "fake.log";
    source_ = *folder_ / "Hello.java";
    WriteFileBytes(source_, "class Hello {}\r\n");
    path_ = std::make_unique<ScopedEnv>("PATH", PathWith(FakesFolder()));
    logEnv_ = std::make_unique<ScopedEnv>("PELLARO_FAKE_LOG", log_);
  }

  void TearDown() override {
    pellaro_.EndIfRunning();
    DeleteSettingsKeys();
  }

  // Starts Pellaro.exe with these arguments and waits for its RESULT window.
  HWND CompileAndWaitForResult(const std::string& arguments,
                               const std::string& workingFolder = "") {
    pellaro_ = StartPellaro(arguments, workingFolder);
    return pellaro_.Started() ? WaitForResultWindow(pellaro_.Id()) : nullptr;
  }
  HWND CompileHello() { return CompileAndWaitForResult("-c " + source_); }

  void ExpectCleanExit() {
    ASSERT_TRUE(pellaro_.WaitForExit()) << "Pellaro.exe is still running";
    EXPECT_EQ(pellaro_.ExitCode(), 0u);
  }

  void CloseAndExpectCleanExit(HWND result) {
    PressButton(result, kCloseButton);
    ExpectCleanExit();
  }

  // The scripted compiler output: Shift-JIS, with a 0x5C trail byte in 表示.
  std::string ScriptCompilerOutput() {
    const std::string text =
        "Hello.java:3: エラー: ';'がありません\r\n        表示(x)\r\n                ^\r\n"
        "エラー1個\r\n";
    WriteFileBytes(*folder_ / "javac-out.txt", text);
    output_ = std::make_unique<ScopedEnv>("PELLARO_FAKE_OUT_JAVAC", *folder_ / "javac-out.txt");
    return text;
  }

  std::string Folder() const { return FolderOf(folder_->Path()); }
  static std::string FolderOf(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
  }
  std::vector<std::vector<std::string>> FakeLog() const { return ReadFakeLog(log_); }
  // The arguments javac got, without the blank the script leaves at the end.
  static std::string Arguments(const std::vector<std::string>& record) {
    std::string arguments = record.size() > 2 ? record[2] : std::string();
    while (!arguments.empty() && arguments.back() == ' ') arguments.pop_back();
    return arguments;
  }

  ScopedUnmanagedWindows unmanagedWindows_;
  std::unique_ptr<TempFolder> folder_;
  std::string log_;
  std::string source_;
  std::unique_ptr<ScopedEnv> path_;
  std::unique_ptr<ScopedEnv> logEnv_;
  std::unique_ptr<ScopedEnv> output_;
  PellaroProcess pellaro_;
};

// ---------------------------------------------------------------------------
// What a compile-only run compiles, and what it shows.
class CompileOnlyRun : public PellaroUiTest {};

TEST_F(CompileOnlyRun, ShowsJavacsLineItsOutputAndTheVerdict) {
  const std::string output = ScriptCompilerOutput();
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";

  const std::string text = ResultText(result);
  // javac's line, its lines with the hint under its message, the verdict.
  EXPECT_EQ(Utf8(text), Utf8(WithHints("> javac Hello.java\r\n" + output +
                                           "--- コンパイルできませんでした ---\r\n",
                                       Folder(), nullptr)));
  EXPECT_EQ(Utf8(WindowText(result)), Utf8("結果 - Hello.java"));
  CloseAndExpectCleanExit(result);
}

TEST_F(CompileOnlyRun, LongCompileShowsItsProgressAtTheTopRightAndStopsOnEscape) {
  ScopedEnv sleeps("PELLARO_FAKE_SLEEP_JAVAC", "60000");
  pellaro_ = StartPellaro("-c " + source_);
  HWND progress = WaitForDialog(pellaro_.Id(), "実行中");
  ASSERT_NE(progress, nullptr) << "no progress window";
  RECT area = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const RECT shown = OuterRect(progress);
  EXPECT_EQ(shown.right, area.right);
  EXPECT_EQ(shown.top, area.top);

  ASSERT_TRUE(BringToFront(progress));
  PressKeys({VK_ESCAPE});
  HWND result = WaitForResultWindow(pellaro_.Id());
  ASSERT_NE(result, nullptr) << "no result window after the stop";
  const std::string text = ResultText(result);
  EXPECT_NE(text.find("中止しました"), std::string::npos) << Utf8(text);
  const std::vector<DWORD> ids = LoggedProcessIds(log_);
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_TRUE(ProcessEnds(ids[0], 5000)) << "javac still runs";
  CloseAndExpectCleanExit(result);
}

TEST_F(CompileOnlyRun, JavacRunsInTheFileFolderWithoutSlotOneArgumentsWhichStayStored) {
  StoreText("Cmd1", "FirstCmdLine", "-g");
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";

  auto log = FakeLog();
  ASSERT_EQ(log.size(), 1u) << Utf8(ReadWholeFile(log_));
  EXPECT_EQ(log[0][0], "javac");
  EXPECT_EQ(log[0][1], Folder());
  EXPECT_EQ(Arguments(log[0]), "Hello.java");

  CloseAndExpectCleanExit(result);
  EXPECT_EQ(StoredText("Cmd1", "FirstCmdLine"), "-g");
}

TEST_F(CompileOnlyRun, CreatesNoInstanceMutexAndRunsBesideAnInstanceHoldingIt) {
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  EXPECT_FALSE(UniqueHandle(OpenMutexA(SYNCHRONIZE, FALSE, "Pellaro")).Valid());
  CloseAndExpectCleanExit(result);

  UniqueHandle running(CreateMutexA(nullptr, FALSE, "Pellaro"));
  ASSERT_TRUE(running.Valid());
  result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window beside a running instance";
  CloseAndExpectCleanExit(result);
  EXPECT_EQ(FakeLog().size(), 2u);
}

TEST_F(CompileOnlyRun, RelativePathIsTakenFromTheWorkingFolder) {
  HWND result = CompileAndWaitForResult("-c Hello.java", folder_->Path());
  ASSERT_NE(result, nullptr) << "no RESULT window";
  auto log = FakeLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0][1], Folder());
  EXPECT_EQ(Arguments(log[0]), "Hello.java");
  CloseAndExpectCleanExit(result);
}

TEST_F(CompileOnlyRun, QuotedPathWithBlanksCompilesInItsFolder) {
  const std::string folder = *folder_ / "My Work";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  WriteFileBytes(folder + "\\Hello.java", "class Hello {}\r\n");

  HWND result = CompileAndWaitForResult("-c \"" + folder + "\\Hello.java\"");
  ASSERT_NE(result, nullptr) << "no RESULT window";
  auto log = FakeLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0][1], folder);
  EXPECT_EQ(Arguments(log[0]), "Hello.java");
  CloseAndExpectCleanExit(result);
}

TEST_F(CompileOnlyRun, ShortNameReachesJavacAsTheLongName) {
  const std::string longPath = *folder_ / "HelloWorldProgram.java";
  WriteFileBytes(longPath, "class HelloWorldProgram {}\r\n");
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(longPath.c_str(), shortPath, MAX_PATH), 0u);
  ASSERT_NE(std::string(shortPath), longPath);

  HWND result = CompileAndWaitForResult(std::string("-c ") + shortPath);
  ASSERT_NE(result, nullptr) << "no RESULT window";
  auto log = FakeLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(Arguments(log[0]), "HelloWorldProgram.java");
  CloseAndExpectCleanExit(result);
}

TEST_F(CompileOnlyRun, OutputBeyondTheBufferKeepsItsBeginningAndItsEnd) {
  ScopedEnv bytes("PELLARO_FAKE_BYTES_JAVAC", "1048576");
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";

  const std::string text = ResultText(result);
  EXPECT_LE(text.size(), kShownTextLimit);
  EXPECT_NE(text.find("00000000 ---"), std::string::npos);
  EXPECT_NE(text.find("（出力が多いため、途中の "), std::string::npos);
  EXPECT_NE(text.find("00016131 ---"), std::string::npos);
  CloseAndExpectCleanExit(result);
}

// ---------------------------------------------------------------------------
// Closing the window: where it was is stored, and the run ends.
class ResultWindowClosing : public PellaroUiTest {};

TEST_F(ResultWindowClosing, CloseButtonStoresTheOuterRectAndEndsTheRun) {
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  ASSERT_TRUE(SetWindowPos(result, nullptr, 123, 45, 410, 260, SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(WaitUntilIdle(result));
  const WindowPlace atClose = PlaceOf(result);
  EXPECT_EQ(atClose, (WindowPlace{123, 45, 410, 260}));

  CloseAndExpectCleanExit(result);
  WindowPlace stored;
  ASSERT_TRUE(StoredResultPlace(stored));
  EXPECT_EQ(stored, atClose);
}

TEST_F(ResultWindowClosing, SystemCloseStoresTheSameValuesAsTheCloseButton) {
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  ASSERT_TRUE(SetWindowPos(result, nullptr, 137, 59, 411, 233, SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(WaitUntilIdle(result));
  CloseAndExpectCleanExit(result);
  WindowPlace byButton;
  ASSERT_TRUE(StoredResultPlace(byButton));

  // The next window opens where the last one was closed.
  result = CompileHello();
  ASSERT_NE(result, nullptr) << "no second RESULT window";
  EXPECT_EQ(PlaceOf(result), byButton);
  CloseFromSystemMenu(result);
  ExpectCleanExit();
  WindowPlace bySystemClose;
  ASSERT_TRUE(StoredResultPlace(bySystemClose));
  EXPECT_EQ(bySystemClose, byButton);
}

TEST_F(ResultWindowClosing, EnterEscapeAndCloseMessageLeaveTheWindowOpen) {
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  SendCommand(result, IDOK);
  SendCommand(result, IDCANCEL);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(result, WM_CLOSE, 0, 0, SMTO_NORMAL, kUiWaitMs, &ignored);
  EXPECT_TRUE(IsWindow(result) && IsWindowVisible(result));
  EXPECT_FALSE(pellaro_.WaitForExit(0));
  CloseAndExpectCleanExit(result);
}

// ---------------------------------------------------------------------------
// Where the window opens and how its text field follows its size.
class ResultWindowPlacement : public PellaroUiTest {
 protected:
  static void ExpectTextFieldFillsTheClientBelowTheButtons(HWND result, int band = kButtonBand) {
    RECT client = {};
    GetClientRect(result, &client);
    RECT field = RectInParent(GetDlgItem(result, kResultEdit));
    EXPECT_EQ(field.left, 0);
    EXPECT_EQ(field.top, band);
    EXPECT_EQ(field.right, client.right);
    EXPECT_EQ(field.bottom, client.bottom);
  }
};

// Without a stored size or strip, the first window is large enough to read,
// on the work area, and opens with the first compile error selected.
TEST_F(ResultWindowPlacement, FirstWindowIsLargeOnTheWorkAreaWithTheFirstErrorSelected) {
  const std::string output = ScriptCompilerOutput();
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const RECT shown = OuterRect(result);
  RECT overlap;
  EXPECT_TRUE(IntersectRect(&overlap, &shown, &work) && EqualRect(&overlap, &shown));
  EXPECT_GE(shown.right - shown.left, 560);
  EXPECT_GE(shown.bottom - shown.top, 280);
  ExpectTextFieldFillsTheClientBelowTheButtons(result);

  HWND edit = GetDlgItem(result, kResultEdit);
  const std::string text = ResultText(result);
  const WPARAM line = std::count(text.begin(), text.begin() + text.find("Hello.java:3:"), '\n');
  const LRESULT start = SendMessageA(edit, EM_LINEINDEX, line, 0);
  const LRESULT selection = SendMessageA(edit, EM_GETSEL, 0, 0);
  EXPECT_EQ(LOWORD(selection), start);
  EXPECT_EQ(HIWORD(selection), start + SendMessageA(edit, EM_LINELENGTH, start, 0));
  CloseAndExpectCleanExit(result);
}

TEST_F(ResultWindowPlacement, PlaceOffTheScreenIsBroughtOntoIt) {
  const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
  for (const WindowPlace& stored :
       {WindowPlace{5000, 5000, 300, 200}, WindowPlace{-4000, -3000, 300, 200}}) {
    SCOPED_TRACE(testing::PrintToString(stored));
    DeleteSettingsKeys();
    StoreResultPlace(stored);
    HWND result = CompileHello();
    ASSERT_NE(result, nullptr) << "no RESULT window";
    const WindowPlace place = PlaceOf(result);
    EXPECT_EQ(place.width, 300);
    EXPECT_EQ(place.height, 200);
    EXPECT_GE(place.x, 0);
    EXPECT_GE(place.y, 0);
    EXPECT_LE(place.x + place.width, screenWidth);
    EXPECT_LE(place.y + place.height, screenHeight);
    CloseAndExpectCleanExit(result);
  }
}

// The stored size is kept at 96 DPI: at 144 DPI the window opens half as
// large again, with the band above the text field too, and closing stores
// the size back as it was.
TEST_F(ResultWindowPlacement, StoredSizeIsAt96DpiAndScalesAt144) {
  ScopedLogPixels dpi(144);
  const WindowPlace stored = {100, 80, 400, 200};
  StoreResultPlace(stored);
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  EXPECT_EQ(PlaceOf(result), (WindowPlace{100, 80, 600, 300}));
  ExpectTextFieldFillsTheClientBelowTheButtons(result, MulDiv(kButtonBand, 144, 96));
  CloseAndExpectCleanExit(result);
  WindowPlace closed;
  ASSERT_TRUE(StoredResultPlace(closed));
  EXPECT_EQ(closed, stored);
}

TEST_F(ResultWindowPlacement, ResizingKeepsTheTextFieldBelowTheButtonBand) {
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  for (SIZE size : {SIZE{520, 330}, SIZE{260, 140}, SIZE{700, 500}}) {
    SCOPED_TRACE(std::to_string(size.cx) + " x " + std::to_string(size.cy));
    ASSERT_TRUE(SetWindowPos(result, nullptr, 0, 0, size.cx, size.cy,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitUntilIdle(result));
    EXPECT_EQ(PlaceOf(result).width, size.cx);
    EXPECT_EQ(PlaceOf(result).height, size.cy);
    ExpectTextFieldFillsTheClientBelowTheButtons(result);
  }
  CloseAndExpectCleanExit(result);
}

// ---------------------------------------------------------------------------
// The save button: the picker, the file it writes, and what it refuses.
class ResultWindowSave : public PellaroUiTest {
 protected:
  // Presses 保存 and waits for the picker, which belongs to the window.
  HWND OpenSavePicker(HWND result) {
    PressButton(result, kSaveButton);
    HWND picker = WaitForDialog(pellaro_.Id(), kSaveTitle);
    if (picker) {
      EXPECT_EQ(GetWindow(picker, GW_OWNER), result);
    }
    return picker;
  }

  // Types the name, presses OK, and waits until the window has written the file.
  static void SaveAs(HWND result, HWND picker, const std::string& name) {
    TypeFileName(picker, name);
    PressPickerOk(picker);
    ASSERT_TRUE(WaitUntilGone(picker)) << "the picker did not close";
    ASSERT_TRUE(WaitUntilIdle(result));
  }
};

TEST_F(ResultWindowSave, SavedFileHoldsTheWindowTextByteForByte) {
  ScriptCompilerOutput();
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  HWND picker = OpenSavePicker(result);
  ASSERT_NE(picker, nullptr) << "no save picker";

  const std::string target = *folder_ / "result.txt";
  ASSERT_NO_FATAL_FAILURE(SaveAs(result, picker, target));
  const std::string shown = ResultText(result);
  ASSERT_NE(shown.find("エラー"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(target), shown);
  EXPECT_EQ(WaitForMessageBox(pellaro_.Id(), result, 0), nullptr);
  EXPECT_TRUE(IsWindowVisible(result));
  CloseAndExpectCleanExit(result);
}

TEST_F(ResultWindowSave, BareNameInAFolderGetsTheTextExtension) {
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  HWND picker = OpenSavePicker(result);
  ASSERT_NE(picker, nullptr) << "no save picker";

  // Typing a folder and OK opens that folder in the picker.
  TypeFileName(picker, Folder());
  SendCommand(picker, IDOK);
  ASSERT_TRUE(IsWindow(picker)) << "the picker closed on a folder name";
  ASSERT_NO_FATAL_FAILURE(SaveAs(result, picker, "log"));

  EXPECT_TRUE(FileExists(*folder_ / "log.txt"));
  EXPECT_FALSE(FileExists(*folder_ / "log"));
  EXPECT_EQ(ReadWholeFile(*folder_ / "log.txt"), ResultText(result));
  CloseAndExpectCleanExit(result);
}

TEST_F(ResultWindowSave, CancelledPickerWritesNothing) {
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  HWND picker = OpenSavePicker(result);
  ASSERT_NE(picker, nullptr) << "no save picker";
  TypeFileName(picker, *folder_ / "never.txt");
  PressButton(picker, IDCANCEL);
  ASSERT_TRUE(WaitUntilGone(picker));
  ASSERT_TRUE(WaitUntilIdle(result));

  EXPECT_FALSE(FileExists(*folder_ / "never.txt"));
  EXPECT_EQ(WaitForMessageBox(pellaro_.Id(), result, 0), nullptr);
  EXPECT_TRUE(IsWindowVisible(result));
  CloseAndExpectCleanExit(result);
}

TEST_F(ResultWindowSave, ReadOnlyFileIsReportedAndLeftUntouched) {
  const std::string target = *folder_ / "old.txt";
  WriteFileBytes(target, "old bytes\r\n");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  HWND result = CompileHello();
  ASSERT_NE(result, nullptr) << "no RESULT window";
  HWND picker = OpenSavePicker(result);
  ASSERT_NE(picker, nullptr) << "no save picker";

  TypeFileName(picker, target);
  PressPickerOk(picker);
  // The picker asks first whether to replace the existing file.
  HWND question = WaitForMessageBox(pellaro_.Id(), picker);
  ASSERT_NE(question, nullptr) << "no overwrite question";
  PressButton(question, IDYES);
  ASSERT_TRUE(WaitUntilGone(picker));

  HWND box = WaitForMessageBox(pellaro_.Id(), result);
  ASSERT_NE(box, nullptr) << "no message box owned by the RESULT window";
  EXPECT_EQ(Utf8(MessageBoxText(box)), Utf8(kOpenFailedText));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntilGone(box));
  ASSERT_TRUE(WaitUntilIdle(result));

  EXPECT_TRUE(IsWindowVisible(result));
  EXPECT_EQ(ReadWholeFile(target), "old bytes\r\n");
  EXPECT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY);
  CloseAndExpectCleanExit(result);
}

// ---------------------------------------------------------------------------
// Runs that stop at a message box: no RESULT window, no javac, exit code 0,
// and the settings are still written back.
class CompileOnlyMessages : public PellaroUiTest {
 protected:
  void ExpectOnlyTheMessage(const std::string& arguments, const std::string& text,
                            const std::string& workingFolder = "") {
    SCOPED_TRACE(Utf8(arguments));
    DeleteSettingsKeys();
    StoreText("Cmd1", "FirstCmdLine", "-g");
    pellaro_ = StartPellaro(arguments, workingFolder);
    ASSERT_TRUE(pellaro_.Started());
    HWND box = WaitForMessageBox(pellaro_.Id(), nullptr);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(Utf8(MessageBoxText(box)), Utf8(text));
    EXPECT_EQ(FindResultWindow(pellaro_.Id()), nullptr);
    PressButton(box, IDOK);
    ExpectCleanExit();
    EXPECT_TRUE(FakeLog().empty());
    LONG ignored = 0;
    EXPECT_TRUE(StoredNumber("AppData", "LogPosX", ignored)) << "settings not written back";
    EXPECT_EQ(StoredText("Cmd1", "FirstCmdLine"), "-g");
  }
};

TEST_F(CompileOnlyMessages, SwitchWithoutAPathAsksForAFile) {
  ExpectOnlyTheMessage("-c", kNoFileText);
  ExpectOnlyTheMessage("-c ", kNoFileText);
}

TEST_F(CompileOnlyMessages, MissingFileIsNamedInTheMessage) {
  ExpectOnlyTheMessage("-c Z:\\no\\such.java", std::string(kMissingFileText) + "Z:\\no\\such.java");
}

TEST_F(CompileOnlyMessages, MissingRelativeFileIsNamedWithItsFullPath) {
  ExpectOnlyTheMessage("-c Absent.java", kMissingFileText + *folder_ / "Absent.java",
                       folder_->Path());
}

// An interpreter that cannot be started is a failed run, not an empty result.
class CompileOnlyFailure : public CompileOnlyMessages {};

TEST_F(CompileOnlyFailure, InterpreterThatCannotStartIsReportedAsAFailure) {
  // Reported as Windows 98, with no interpreter named by ComSpec, the
  // program asks for command.com in the Windows folder, which Wine lacks.
  ScopedWin98 win98;
  ScopedEnv comSpec("ComSpec", "C:\\no\\such\\command.com");
  ExpectOnlyTheMessage("-c " + source_, kFailedText);
}

}  // namespace
