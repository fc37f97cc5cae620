// The editor tracker with real editor processes: the fake editor records its
// command line and opens one window on its primary thread and one on a second
// thread, so launch, end detection and window mapping are seen as the program
// sees them.
#include "editor/editor_tracker.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "common/win_handle.h"
#include "test_support.h"

namespace {

const char kEditorClass[] = "PellaroFakeEditor";
const DWORD kPatience = 10000;  // bound of every wait for another process

struct EditorStart {
  DWORD processId;
  std::string commandLine;
};

// Runs fake editors for one test: their log, their quit file, and the
// certainty that every editor started is gone when the test is.
class FakeEditorTest : public testing::Test {
 protected:
  FakeEditorTest()
      : folder_("editor"),
        log_(folder_ / "editor.log"),
        quitFile_(folder_ / "quit"),
        logEnv_("PELLARO_FAKE_EDITOR_LOG", log_),
        quitEnv_("PELLARO_FAKE_EDITOR_QUIT_FILE", quitFile_),
        atOnceEnv_("PELLARO_FAKE_EDITOR_AT_ONCE", ""),
        exitEnv_("PELLARO_FAKE_EDITOR_EXIT", "") {}

  ~FakeEditorTest() override {
    // Ask politely through the quit file, then force whatever is left.
    WriteFileBytes(quitFile_, "");
    for (const EditorStart& start : Starts()) {
      UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, start.processId));
      if (process && WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0)
        TerminateProcess(process.Get(), 1);
    }
  }

  static std::string EditorPath() { return FakesFolder() + "\\fake_editor.exe"; }

  std::vector<EditorStart> Starts() const {
    std::vector<EditorStart> starts;
    for (const auto& record : ReadFakeLog(log_)) {
      if (record.size() == 2)
        starts.push_back({static_cast<DWORD>(std::stoul(record[0])), record[1]});
    }
    return starts;
  }

  // The starts recorded so far, once there are at least count of them.
  std::vector<EditorStart> WaitForStarts(std::size_t count) const {
    for (DWORD waited = 0;; waited += 20) {
      std::vector<EditorStart> starts = Starts();
      if (starts.size() >= count || waited >= kPatience) return starts;
      Sleep(20);
    }
  }

  // The editor's window "main" or "second", or null when it never appeared.
  static HWND WaitForWindow(DWORD processId, const char* which) {
    const std::string title = "fake editor " + std::to_string(processId) + " " + which;
    for (DWORD waited = 0;; waited += 20) {
      HWND window = FindWindowA(kEditorClass, title.c_str());
      if (window || waited >= kPatience) return window;
      Sleep(20);
    }
  }

  static bool WaitForEnd(DWORD processId) {
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    return !process || WaitForSingleObject(process.Get(), kPatience) == WAIT_OBJECT_0;
  }

  // Closes the editor's main window, as the user would, and waits until it has ended.
  static bool CloseEditor(DWORD processId) {
    HWND window = WaitForWindow(processId, "main");
    return window && PostMessageA(window, WM_CLOSE, 0, 0) && WaitForEnd(processId);
  }

  // Starts one fake editor on argument and returns its process id (0 on failure).
  DWORD Start(EditorTracker& tracker, const std::string& argument) {
    std::size_t before = Starts().size();
    if (!tracker.Launch(EditorPath(), argument)) return 0;
    std::vector<EditorStart> starts = WaitForStarts(before + 1);
    return starts.size() > before ? starts[before].processId : 0;
  }

  TempFolder folder_;
  std::string log_;
  std::string quitFile_;
  ScopedEnv logEnv_;
  ScopedEnv quitEnv_;
  ScopedEnv atOnceEnv_;
  ScopedEnv exitEnv_;
  EditorTracker tracker_;
};

class EditorTrackerLaunch : public FakeEditorTest {};

TEST_F(EditorTrackerLaunch, CommandLineIsQuotedEditorPathBlankAndArgumentInQuotes) {
  // 表 ends in the byte 0x5C: the argument must pass through untouched; a
  // line-jump text with blanks stays one argument.
  for (const std::string argument :
       {"D:\\My Work\\表示 プログラム.java", "/l 12 C:\\PROGRA~1\\HELLO~1.JAV"}) {
    std::size_t before = Starts().size();
    ASSERT_TRUE(tracker_.Launch(EditorPath(), argument));
    std::vector<EditorStart> starts = WaitForStarts(before + 1);
    ASSERT_EQ(starts.size(), before + 1);
    EXPECT_EQ(starts[before].commandLine, "\"" + EditorPath() + "\" \"" + argument + "\"")
        << Utf8(starts[before].commandLine);
  }
}

TEST_F(EditorTrackerLaunch, EditorInAFolderWithABlankStartsItselfNotAShorterName) {
  // Unquoted, Windows would try <folder>\My.exe first: a fake javac here.
  const std::string editorFolder = folder_ / "My Editor";
  ASSERT_TRUE(CreateDirectoryA(editorFolder.c_str(), nullptr));
  const std::string editor = editorFolder + "\\ed.exe";
  ASSERT_TRUE(CopyFileA(EditorPath().c_str(), editor.c_str(), FALSE));
  ASSERT_TRUE(
      CopyFileA((FakesFolder() + "\\javac.exe").c_str(), (folder_ / "My.exe").c_str(), FALSE));
  ScopedEnv toolLog("PELLARO_FAKE_LOG", folder_ / "tool.log");
  // A value with its own quotes and arguments is the user's, kept as written.
  const std::string ownQuotes = "\"" + editor + "\" -n";

  ASSERT_TRUE(tracker_.Launch(editor, "A.java"));
  ASSERT_TRUE(tracker_.Launch(ownQuotes, "B.java"));
  std::vector<EditorStart> starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u) << Utf8(ReadWholeFile(folder_ / "tool.log"));
  EXPECT_EQ(starts[0].commandLine, "\"" + editor + "\" \"A.java\"");
  EXPECT_EQ(starts[1].commandLine, ownQuotes + " \"B.java\"");
  EXPECT_FALSE(FileExists(folder_ / "tool.log"));
}

TEST_F(EditorTrackerLaunch, LongestEditorPathAndArgumentStillStartTheEditor) {
  // An editor path of 259 bytes: the fake editor copied into a deep folder.
  const std::string name = "\\fake_editor.exe";
  ASSERT_LT(folder_.Path().size() + name.size(), 259u);
  const std::string deep =
      folder_.Path() + std::string(259 - folder_.Path().size() - name.size(), 'd');
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << Utf8(deep);
  const std::string editor = deep + name;
  ASSERT_EQ(editor.size(), 259u);
  ASSERT_TRUE(CopyFileA(EditorPath().c_str(), editor.c_str(), FALSE));

  std::string argument = "C:\\表示\\";
  while (argument.size() < 259 - 5) argument += "ソース";
  argument.resize(259 - 5);
  argument += ".java";
  ASSERT_EQ(argument.size(), 259u);

  ASSERT_TRUE(tracker_.Launch(editor, argument));
  std::vector<EditorStart> starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].commandLine, "\"" + editor + "\" \"" + argument + "\"");
  EXPECT_EQ(starts[0].commandLine.size(), 523u);
}

TEST_F(EditorTrackerLaunch, EmptyEditorPathStartsNothing) {
  // The argument names a real program: composed anyway, the command line
  // would be a blank and that program in quotes.
  EXPECT_FALSE(tracker_.Launch("", EditorPath()));
  EXPECT_EQ(tracker_.Count(), 0u);
  EXPECT_TRUE(Starts().empty());
}

TEST_F(EditorTrackerLaunch, EditorThatCannotBeStartedIsNotTracked) {
  EXPECT_FALSE(tracker_.Launch(folder_ / "no-such-editor.exe", "C:\\Hello.java"));
  EXPECT_FALSE(tracker_.Launch(folder_.Path(), "C:\\Hello.java"));
  EXPECT_EQ(tracker_.Count(), 0u);
  EXPECT_TRUE(tracker_.StillRunning());
}

class EditorTrackerStillRunning : public FakeEditorTest {
 protected:
  // Two editors; the one at index first ends, then the other.
  void EndTwoEditorsInOrder(int first) {
    DWORD editors[2] = {Start(tracker_, "C:\\A.java"), Start(tracker_, "C:\\B.java")};
    ASSERT_NE(editors[0], 0u);
    ASSERT_NE(editors[1], 0u);
    EXPECT_TRUE(tracker_.StillRunning());
    EXPECT_EQ(tracker_.Count(), 2u);

    ASSERT_TRUE(CloseEditor(editors[first]));
    EXPECT_TRUE(tracker_.StillRunning());
    EXPECT_EQ(tracker_.Count(), 1u);
    EXPECT_TRUE(tracker_.StillRunning());

    ASSERT_TRUE(CloseEditor(editors[1 - first]));
    EXPECT_FALSE(tracker_.StillRunning());
    EXPECT_EQ(tracker_.Count(), 0u);
    EXPECT_TRUE(tracker_.StillRunning());
  }
};

TEST_F(EditorTrackerStillRunning, EmptyListCountsAsRunningEveryTime) {
  EXPECT_TRUE(tracker_.StillRunning());
  EXPECT_TRUE(tracker_.StillRunning());
  EXPECT_EQ(tracker_.Count(), 0u);
}

TEST_F(EditorTrackerStillRunning, OlderEditorEndingFirstLeavesTheOtherTracked) {
  EndTwoEditorsInOrder(0);
}

TEST_F(EditorTrackerStillRunning, NewerEditorEndingFirstLeavesTheOtherTracked) {
  EndTwoEditorsInOrder(1);
}

TEST_F(EditorTrackerStillRunning, SeveralEditorsEndedSinceTheLastCheckGoInOneCall) {
  DWORD a = Start(tracker_, "C:\\A.java");
  DWORD b = Start(tracker_, "C:\\B.java");
  DWORD c = Start(tracker_, "C:\\C.java");
  ASSERT_TRUE(a && b && c);
  ASSERT_TRUE(CloseEditor(a));
  ASSERT_TRUE(CloseEditor(b));
  EXPECT_TRUE(tracker_.StillRunning());
  EXPECT_EQ(tracker_.Count(), 1u);
  std::string file;
  tracker_.FileForWindow(WaitForWindow(c, "main"), file);
  EXPECT_EQ(file, "C:\\C.java");
}

TEST_F(EditorTrackerStillRunning, EditorEndingRightAfterStartIsDroppedAtTheNextCheck) {
  DWORD running = Start(tracker_, "C:\\Running.java");
  ASSERT_NE(running, 0u);
  DWORD gone;
  {
    ScopedEnv atOnce("PELLARO_FAKE_EDITOR_AT_ONCE", "1");
    gone = Start(tracker_, "C:\\Gone.java");
  }
  ASSERT_NE(gone, 0u);
  EXPECT_EQ(tracker_.Count(), 2u);
  ASSERT_TRUE(WaitForEnd(gone));
  EXPECT_TRUE(tracker_.StillRunning());
  EXPECT_EQ(tracker_.Count(), 1u);
}

TEST_F(EditorTrackerStillRunning, OnlyEditorEndingRightAfterStartEndsTheRun) {
  ScopedEnv atOnce("PELLARO_FAKE_EDITOR_AT_ONCE", "1");
  DWORD gone = Start(tracker_, "C:\\Gone.java");
  ASSERT_NE(gone, 0u);
  EXPECT_EQ(tracker_.Count(), 1u);
  ASSERT_TRUE(WaitForEnd(gone));
  EXPECT_FALSE(tracker_.StillRunning());
  EXPECT_EQ(tracker_.Count(), 0u);
}

TEST_F(EditorTrackerStillRunning, EditorEndingWithTheStillActiveCodeIsSeenAsEnded) {
  ScopedEnv atOnce("PELLARO_FAKE_EDITOR_AT_ONCE", "1");
  ScopedEnv exitCode("PELLARO_FAKE_EDITOR_EXIT", std::to_string(STILL_ACTIVE));
  DWORD gone = Start(tracker_, "C:\\Gone.java");
  ASSERT_NE(gone, 0u);
  ASSERT_TRUE(WaitForEnd(gone));
  EXPECT_FALSE(tracker_.StillRunning());
  EXPECT_EQ(tracker_.Count(), 0u);
}

class EditorTrackerFileForWindow : public FakeEditorTest {};

TEST_F(EditorTrackerFileForWindow, EachEditorsMainWindowGivesItsOwnArgument) {
  const std::string first = "C:\\work\\Hello.java";
  const std::string second = "D:\\表示\\My Applet.java";
  DWORD a = Start(tracker_, first);
  DWORD b = Start(tracker_, second);
  ASSERT_TRUE(a && b);

  std::string file = "unchanged";
  tracker_.FileForWindow(WaitForWindow(b, "main"), file);
  EXPECT_EQ(file, second) << Utf8(file);
  tracker_.FileForWindow(WaitForWindow(a, "main"), file);
  EXPECT_EQ(file, first);
}

TEST_F(EditorTrackerFileForWindow, OtherWindowsLeaveTheOutputAlone) {
  DWORD editor = Start(tracker_, "C:\\work\\Hello.java");
  ASSERT_NE(editor, 0u);
  HWND secondThreadWindow = WaitForWindow(editor, "second");
  ASSERT_NE(secondThreadWindow, nullptr);

  // A window of this test program, and one that no longer exists.
  HWND own = CreateWindowExA(0, "STATIC", "not an editor", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(own, nullptr);
  HWND destroyed = CreateWindowExA(0, "STATIC", "gone", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
  DestroyWindow(destroyed);

  for (HWND window : {secondThreadWindow, own, destroyed, static_cast<HWND>(nullptr)}) {
    std::string file = "unchanged";
    tracker_.FileForWindow(window, file);
    EXPECT_EQ(file, "unchanged");
  }
  DestroyWindow(own);
}

}  // namespace

namespace {

TEST_F(EditorTrackerFileForWindow, WindowOfAThreadGivenAnEndedEditorsIdIsNotThatEditors) {
  ScopedEnv atOnce("PELLARO_FAKE_EDITOR_AT_ONCE", "1");
  ASSERT_TRUE(tracker_.Launch(EditorPath(), "C:\\Ended.java"));
  // The next launch lets go of the first editor's thread, so its id is free.
  ASSERT_TRUE(tracker_.Launch(EditorPath(), "C:\\Other.java"));
  std::vector<EditorStart> starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u);
  ASSERT_TRUE(WaitForEnd(starts[0].processId));
  DWORD endedThread = 0;
  for (const auto& record : ReadFakeLog(log_))
    if (record.size() == 3 && record[0] == "thread" && std::stoul(record[1]) == starts[0].processId)
      endedThread = std::stoul(record[2]);
  ASSERT_NE(endedThread, 0u);

  // Wine gives a freed id out again after a few hundred new threads.
  bool reused = false;
  std::string file;
  for (int i = 0; i < 5000 && !reused; ++i) {
    std::thread([&] {
      if (GetCurrentThreadId() != endedThread) return;
      reused = true;
      HWND window = CreateWindowExA(0, "STATIC", "other program", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
      tracker_.FileForWindow(window, file);
      DestroyWindow(window);
    }).join();
  }
  ASSERT_TRUE(reused);
  EXPECT_EQ(file, "") << Utf8(file);
}

}  // namespace
