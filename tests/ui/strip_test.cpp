// Pellaro.exe started on a Java source, end to end: the stored (fake) editor
// opens, the strip floats, and the test uses it as a user would — toolbar
// clicks, the popup menu, hot keys, dragging, a second start, the line jump.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <windows.h>
#include <tlhelp32.h>

#include "common/dbcs_text.h"
#include "test_support.h"
#include "tools/path_ops.h"
#include "ui_driver.h"

namespace {

const char kEditorFailedText[] = "エディタの起動に失敗しました";
const char kEditorCaption[] = "エディタを指定して下さい";
const char kNoFileText[] = "単独では実行できません。ファイルを選んでください。";
const char kMailslotFailedText[] = "メールスロット作成に失敗しました。";
constexpr int kEditorPathEdit = 1006;
constexpr int kEditorOk = 1065;
constexpr int kEditorList = 1330;
constexpr int kMenuCommand1 = 40002;
constexpr int kMenuExit = 40008;
constexpr int kProgressWhat = 1301;
constexpr int kProgressTime = 1302;
constexpr int kHotKeyModifiers = MOD_CONTROL | MOD_SHIFT;

// The file a module of the process was loaded from; empty when none is.
std::string ModulePath(DWORD pid, const char* name) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  for (BOOL more = snapshot && Module32First(snapshot.Get(), &module); more;
       more = Module32Next(snapshot.Get(), &module))
    if (lstrcmpiA(module.szModule, name) == 0) return module.szExePath;
  return "";
}

std::string FakeEditorPath() { return FakesFolder() + "\\fake_editor.exe"; }

// The fake editor installed as another program: a copy under that name.
std::string InstallFakeEditorAs(const std::string& folder, const std::string& program) {
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + program;
  CopyFileA(FakeEditorPath().c_str(), path.c_str(), FALSE);
  return path;
}

// Chooses item index of the editor question's list, as a click does.
void ChooseFromList(HWND dialog, int index) {
  HWND list = GetDlgItem(dialog, kEditorList);
  SendMessageA(list, LB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kEditorList, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

// The text the process's tooltip shows once it is text, or the last shown.
std::string WaitForTooltip(DWORD pid, const std::string& text) {
  std::string shown;
  WaitUntil([&] {
    HWND tip = nullptr;
    DWORD owner = 0;
    while ((tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)))
      if (GetWindowThreadProcessId(tip, &owner) && owner == pid && IsWindowVisible(tip))
        shown = WindowText(tip);
    return shown == text;
  });
  return shown;
}
// How the editor's path starts its command line: quoted, as it names a file.
std::string EditorCommand() { return "\"" + FakeEditorPath() + "\""; }

class StripTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKeys();
    folder_ = std::make_unique<TempFolder>("strip");
    const std::string sources = *folder_ / "表示";
    CreateDirectoryA(sources.c_str(), nullptr);
    source_ = sources + "\\Hello.java";
    WriteFileBytes(source_, "class Hello {}\r\n");
    env_.emplace_back(new ScopedEnv("PATH", PathWith(FakesFolder())));
    env_.emplace_back(new ScopedEnv("PELLARO_FAKE_LOG", *folder_ / "tools.log"));
    env_.emplace_back(new ScopedEnv("PELLARO_FAKE_EDITOR_LOG", *folder_ / "editor.log"));
    env_.emplace_back(new ScopedEnv("PELLARO_FAKE_EDITOR_QUIT_FILE", *folder_ / "quit"));
    env_.emplace_back(new ScopedEnv("PELLARO_FAKE_OUT_JAVAC", *folder_ / "javac.txt"));
    // The editor window the user works in is the one in front of its others.
    env_.emplace_back(new ScopedEnv("PELLARO_FAKE_EDITOR_ONE_WINDOW", "1"));
    StoreText("AppData", "editor", FakeEditorPath());
    // Away from the strip's default place, so nothing covers a result window.
    StoreResultPlace({200, 200, 600, 300});
  }

  void TearDown() override {
    pellaro_.EndIfRunning();
    WriteFileBytes(*folder_ / "quit", "");  // every fake editor ends
    Sleep(200);
    DeleteSettingsKeys();
  }

  // Starts Pellaro.exe and waits for its strip; null when none shows.
  HWND StartStrip(const std::string& arguments, const std::string& workingFolder = "") {
    pellaro_ = StartPellaro(arguments, workingFolder);
    strip_ = pellaro_.Started() ? WaitForStrip(pellaro_.Id()) : nullptr;
    return strip_;
  }
  // The strip shows while the editor gets ready: this waits for the editor too.
  HWND StartOnSource() {
    if (StartStrip("\"" + source_ + "\"")) WaitUntil([&] { return EditorWindow() != nullptr; });
    return strip_;
  }

  // One record per editor started: its process id and command line.
  std::vector<std::vector<std::string>> EditorLog() const {
    auto log = ReadFakeLog(*folder_ / "editor.log");
    log.erase(std::remove_if(log.begin(), log.end(),
                             [](const std::vector<std::string>& r) { return r[0] == "thread"; }),
              log.end());
    return log;
  }
  std::vector<std::vector<std::string>> ToolLog() const {
    return ReadFakeLog(*folder_ / "tools.log");
  }
  // The tools run so far, in order ("javac java ...").
  std::string ToolsRun() const {
    std::string tools;
    for (const auto& record : ToolLog()) tools += (tools.empty() ? "" : " ") + record[0];
    return tools;
  }
  // Waits for count tool records and for the run-th command to be over: with
  // Kekka 0 each one opens its result window when it ends.
  bool WaitForToolRecords(std::size_t count, std::size_t run) const {
    return WaitUntil([&] { return ToolLog().size() >= count; }) &&
           WaitUntil([&] { return ResultWindows().size() >= run; });
  }
  bool WaitForEditorRecords(std::size_t count) const {
    return WaitUntil([&] { return EditorLog().size() >= count; });
  }

  // The main window of the fake editor started n-th (0 first).
  HWND EditorWindow(std::size_t n = 0) const {
    auto log = EditorLog();
    if (log.size() <= n) return nullptr;
    return FindWindowA("PellaroFakeEditor", ("fake editor " + log[n][0] + " main").c_str());
  }

  // Whether the editor started n-th has made its window and that window has
  // come to the front, as a new editor's window does by itself.
  bool EditorInFront(std::size_t n) const {
    return WaitUntil([&] {
      HWND editor = EditorWindow(n);
      return editor && GetForegroundWindow() == editor;
    });
  }

  // A command from the menu, with the editor started n-th as the window the
  // user worked in.
  void RunFromMenu(int slot, std::size_t editor = 0) {
    ASSERT_TRUE(BringToFront(EditorWindow(editor)));
    SendCommand(strip_, kMenuCommand1 + slot);
  }

  // The result window whose text holds text, or null.
  HWND ResultWindowWith(const std::string& text) const {
    for (HWND window : ResultWindows())
      if (ResultText(window).find(text) != std::string::npos) return window;
    return nullptr;
  }

  // Brings the result window to the front with its text field ready for
  // input; the windows of several runs open over each other.
  static void FocusResultText(HWND result) {
    ASSERT_TRUE(BringToFront(result));
    HWND edit = GetDlgItem(result, kResultEdit);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(WaitUntil([&] {
      return GetGUIThreadInfo(GetWindowThreadProcessId(result, nullptr), &info) &&
             info.hwndFocus == edit;
    }));
  }

  // Double-clicks the line of the result window that starts with start.
  static void DoubleClickLine(HWND result, const std::string& start) {
    FocusResultText(result);
    HWND edit = GetDlgItem(result, kResultEdit);
    const std::string text = ResultText(result);
    const std::size_t at = text.find(start);
    ASSERT_NE(at, std::string::npos) << Utf8(text);
    const WPARAM line = std::count(text.begin(), text.begin() + at, '\n');
    const LRESULT first = SendMessageA(edit, EM_LINEINDEX, line, 0);
    // Scrolled into view, as the user would; the window opens at its end.
    SendMessageA(edit, EM_SETSEL, first, first);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    const LRESULT where = SendMessageA(edit, EM_POSFROMCHAR, first + 2, 0);
    POINT point = {static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where)) + 4};
    ClientToScreen(edit, &point);
    DoubleClickAt(point);
  }

  // The command line of an editor that a jump with "/l %l %f" starts on file
  // at line, with Fukusuu set.
  static std::string JumpCommand(const std::string& file, const std::string& line) {
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(file.c_str(), shortPath, MAX_PATH);
    return EditorCommand() + " /l " + line + " " + shortPath;
  }

  // What the fake javac prints from now on.
  void ScriptJavac(const std::string& text) { WriteFileBytes(*folder_ / "javac.txt", text); }

  std::vector<HWND> ResultWindows() const { return FindResultWindows(pellaro_.Id()); }

  bool HotKeyIsFree(UINT key) {
    if (!RegisterHotKey(nullptr, 0x7000, kHotKeyModifiers, key)) return false;
    UnregisterHotKey(nullptr, 0x7000);
    return true;
  }

  void ExitFromMenu() {
    SendCommand(strip_, kMenuExit);
    ASSERT_TRUE(pellaro_.WaitForExit()) << "Pellaro.exe is still running";
    EXPECT_EQ(pellaro_.ExitCode(), 0u);
  }

  ScopedUnmanagedWindows unmanagedWindows_;
  std::unique_ptr<TempFolder> folder_;
  std::string source_;
  std::vector<std::unique_ptr<ScopedEnv>> env_;
  PellaroProcess pellaro_;
  HWND strip_ = nullptr;
};

// ---------------------------------------------------------------------------
class StripCommands : public StripTest {};

TEST_F(StripCommands, ToolbarButtonsRunTheirSlotsOnTheEditorsFile) {
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  auto editors = EditorLog();
  ASSERT_EQ(editors.size(), 1u);
  EXPECT_EQ(editors[0][1], EditorCommand() + " \"" + source_ + "\"");

  // Slot 1 javac, slot 2 java, slot 3 javac then java (the stored defaults).
  const char* expected[] = {"javac", "javac java", "javac java javac java"};
  const std::size_t records[] = {1, 2, 4};
  for (int button = 0; button < 3; ++button) {
    ASSERT_TRUE(BringToFront(EditorWindow()));
    ClickAt(CenterOf(ToolbarButtonRect(strip_, button)));
    ASSERT_TRUE(WaitForToolRecords(records[button], button + 1)) << "button " << button + 1;
    EXPECT_EQ(ToolsRun(), expected[button]);
  }
  EXPECT_EQ(ToolLog()[0][1] + "\\Hello.java", source_);
  // Kekka 0: every run opens its own window, even with next to no output.
  EXPECT_EQ(ResultWindows().size(), 3u);
  ExitFromMenu();
}

TEST_F(StripCommands, RightClickOpensTheMenuAtThePointAndItsEntriesRunTheSlots) {
  // Where the menu has room below and to the right of the click.
  StoreNumber("AppData", "WindowX", 300);
  StoreNumber("AppData", "WindowY", 150);
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  ASSERT_TRUE(BringToFront(EditorWindow()));
  RECT strip = OuterRect(strip_);
  const POINT click = {strip.left + 4, strip.top + 12};
  ClickAt(click, true);
  HWND menu = WaitForPopupMenu(pellaro_.Id());
  ASSERT_NE(menu, nullptr) << "no popup menu";
  RECT shown = OuterRect(menu);
  EXPECT_NEAR(shown.left, click.x, 2);
  EXPECT_NEAR(shown.top, click.y, 2);
  PressKeys({VK_DOWN});
  PressKeys({VK_DOWN});
  PressKeys({VK_RETURN});  // コマンド２: java alone
  ASSERT_TRUE(WaitForToolRecords(1, 1));
  EXPECT_EQ(ToolsRun(), "java");

  RunFromMenu(2);
  EXPECT_EQ(ToolsRun(), "java javac java");
  RunFromMenu(0);
  EXPECT_EQ(ToolsRun(), "java javac java javac");
  ExitFromMenu();
}

// A slot without a tooltip of its own says what its command does.
TEST_F(StripCommands, ButtonsWithoutATooltipSayWhatTheirCommandDoes) {
  StoreText("Cmd2", "ToolTipText", "走らせる");
  StoreNumber("Cmd3", "ExeMode", 7);
  ASSERT_NE(StartStrip("\"" + *folder_ / "s.pxs\""), nullptr) << "no strip";
  const char* expected[] = {"コンパイル (javac)", "走らせる",
                            "コンパイルしてアプレット表示 (javac → appletviewer)"};
  for (int button = 0; button < 3; ++button) {
    HoverAt(CenterOf(ToolbarButtonRect(strip_, button)));
    EXPECT_EQ(Utf8(WaitForTooltip(pellaro_.Id(), expected[button])), Utf8(expected[button]));
    HoverAt({0, GetSystemMetrics(SM_CYSCREEN) - 1});
  }
  ExitFromMenu();
}

TEST_F(StripCommands, HotKeysRunTheirSlotsWhileTheEditorHasTheFocus) {
  StoreNumber("Cmd1", "HotKey1", 'J');
  StoreNumber("Cmd1", "HotKey2", kHotKeyModifiers);
  StoreNumber("Cmd3", "HotKey1", 'K');
  StoreNumber("Cmd3", "HotKey2", kHotKeyModifiers);
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  ASSERT_TRUE(BringToFront(EditorWindow()));

  PressKeys({VK_CONTROL, VK_SHIFT, 'K'});
  ASSERT_TRUE(WaitForToolRecords(2, 1));
  EXPECT_EQ(ToolsRun(), "javac java");
  ASSERT_TRUE(BringToFront(EditorWindow()));
  PressKeys({VK_CONTROL, VK_SHIFT, 'J'});
  ASSERT_TRUE(WaitForToolRecords(3, 2));
  EXPECT_EQ(ToolsRun(), "javac java javac");
  ExitFromMenu();
}

TEST_F(StripCommands, ResultWindowOpensFromEightLineFeedsWhenKekkaIsSet) {
  StoreNumber("AppData", "Kekka", 1);
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  // What the program adds around javac's own lines, measured; the verdict
  // line at the end does not count.
  ScriptJavac(std::string(20, '\n'));
  RunFromMenu(0);
  ASSERT_EQ(ResultWindows().size(), 1u);
  const std::string text = ResultText(ResultWindows()[0]);
  ASSERT_EQ(text.substr(text.size() - 6), " ---\r\n");
  const std::string counted = text.substr(0, text.rfind('\n', text.size() - 2));
  const int ownLineFeeds =
      static_cast<int>(std::count(counted.begin(), counted.end(), '\n')) + 1 - 20;
  ASSERT_GE(ownLineFeeds, 0);
  ASSERT_LE(ownLineFeeds, 7);

  ScriptJavac(std::string(7 - ownLineFeeds, '\n'));
  RunFromMenu(0);
  EXPECT_EQ(ResultWindows().size(), 1u) << "7 line feeds opened a window";
  ScriptJavac(std::string(8 - ownLineFeeds, '\n'));
  RunFromMenu(0);
  EXPECT_EQ(ResultWindows().size(), 2u) << "8 line feeds opened none";
  EXPECT_EQ(ToolLog().size(), 3u);
  ExitFromMenu();
}

TEST_F(StripCommands, LongRunShowsItsProgressTakesNoOtherCommandAndStopsOnEscape) {
  env_.emplace_back(new ScopedEnv("PELLARO_FAKE_SLEEP_JAVAC", "60000"));
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  ASSERT_TRUE(BringToFront(EditorWindow()));
  PostMessageA(strip_, WM_COMMAND, kMenuCommand1, 0);  // javac alone
  HWND progress = WaitForDialog(pellaro_.Id(), "実行中");
  ASSERT_NE(progress, nullptr) << "no progress window";
  EXPECT_EQ(Utf8(WindowText(GetDlgItem(progress, kProgressWhat))),
            Utf8("javac Hello.java を実行しています"));
  EXPECT_TRUE(
      WaitUntil([&] { return WindowText(GetDlgItem(progress, kProgressTime)) == "経過 2 秒"; }));
  PostMessageA(strip_, WM_COMMAND, kMenuCommand1 + 1, 0);  // taken by no one

  ASSERT_TRUE(BringToFront(progress));
  PressKeys({VK_ESCAPE});
  HWND result = WaitForResultWindow(pellaro_.Id());
  ASSERT_NE(result, nullptr) << "no result window after the stop";
  const std::string text = ResultText(result);
  EXPECT_EQ(Utf8(text.substr(text.size() - 14)), Utf8("中止しました\r\n"));
  const std::vector<DWORD> ids = LoggedProcessIds(*folder_ / "tools.log");
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_TRUE(ProcessEnds(ids[0], 5000));
  EXPECT_FALSE(IsWindowVisible(progress));
  EXPECT_EQ(ToolsRun(), "javac pid") << "a command ran during the run";
  ExitFromMenu();
}

TEST_F(StripCommands, KeysTypedDuringAVisibleRunReachTheProgramAndThenTheEditorIsInFront) {
  StoreNumber("AppData", "DOSPrompt", 1);
  StoreNumber("AppData", "Kekka", 1);
  env_.emplace_back(new ScopedEnv("PELLARO_FAKE_READLINE_JAVA", "1"));
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  ASSERT_TRUE(BringToFront(EditorWindow()));
  ClickAt(CenterOf(ToolbarButtonRect(strip_, 1)));  // java alone
  HWND progress = WaitForDialog(pellaro_.Id(), "実行中");
  ASSERT_NE(progress, nullptr) << "no progress window";
  EXPECT_NE(GetForegroundWindow(), progress) << "the progress window took the keyboard";

  for (WORD key : {WORD('O'), WORD('K'), WORD(VK_RETURN)}) PressKeys({key});
  ASSERT_TRUE(WaitUntil([&] { return ToolLog().size() >= 2; })) << "java read no line";
  EXPECT_EQ(ToolLog()[1][1], "ok");
  PressKeys({VK_SPACE});  // the console's "press a key"
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(progress); })) << "the run did not end";
  ASSERT_TRUE(WaitUntilIdle(strip_));
  EXPECT_TRUE(ResultWindows().empty()) << "the run was stopped";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == EditorWindow(); }))
      << "the editor is not in front";
  ExitFromMenu();
}

// ---------------------------------------------------------------------------
// A java run that goes on: its result window opens live, with the program's
// output as it comes and a field for the lines the user types.
class LiveRun : public StripTest {
 protected:
  // Clicks slot 2 (java alone) on the strip, which keeps the keyboard for the
  // live window, and waits for that window with its input field focused.
  HWND RunJavaLive() {
    if (!StartOnSource() || !BringToFront(EditorWindow())) return nullptr;
    ClickAt(CenterOf(ToolbarButtonRect(strip_, 1)));
    HWND live = nullptr;
    WaitUntil([&] {
      live = ResultWindowWith("> java Hello");
      return live && Running(live);
    });
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!live || !WaitUntil([&] {
          return GetGUIThreadInfo(GetWindowThreadProcessId(live, nullptr), &info) &&
                 info.hwndFocus == GetDlgItem(live, kResultInput);
        }))
      return nullptr;
    return live;
  }
  static bool Running(HWND window) {
    return Utf8(WindowText(window)) == Utf8("結果 - Hello.java (実行中)");
  }
  static bool Ended(HWND window) {
    return WaitUntil([&] { return Utf8(WindowText(window)) == Utf8("結果 - Hello.java"); });
  }
};

TEST_F(LiveRun, OutputShowsWhileTheProgramRunsAndTheTextEndsWithTheVerdict) {
  WriteFileBytes(*folder_ / "java.txt", "途中の行\r\n");
  env_.emplace_back(new ScopedEnv("PELLARO_FAKE_OUT_JAVA", *folder_ / "java.txt"));
  env_.emplace_back(new ScopedEnv("PELLARO_FAKE_SLEEP_JAVA", "3000"));
  env_.emplace_back(new ScopedEnv("PELLARO_FAKE_EXIT", "3"));
  HWND live = RunJavaLive();
  ASSERT_NE(live, nullptr) << "no live result window";
  EXPECT_EQ(Utf8(ResultText(live)), Utf8("> java Hello\r\n途中の行\r\n"));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(live, kResultStop)));

  ASSERT_TRUE(Ended(live)) << "the run did not end";
  const std::string text = ResultText(live);
  const std::string verdict = "--- 終了コード 3 (";
  ASSERT_NE(text.rfind(verdict), std::string::npos) << Utf8(text);
  EXPECT_EQ(text.substr(text.size() - 10), " 秒) ---\r\n") << Utf8(text);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(live, kResultInput)));
  EXPECT_EQ(ResultWindows().size(), 1u) << "a second window opened at the end";
  ExitFromMenu();
}

TEST_F(LiveRun, ALineTypedReachesTheProgramAndShowsInTheText) {
  env_.emplace_back(new ScopedEnv("PELLARO_FAKE_READLINE_JAVA", "1"));
  HWND live = RunJavaLive();
  ASSERT_NE(live, nullptr) << "no live result window";
  for (WORD key : {WORD('2'), WORD('1'), WORD(VK_RETURN)}) PressKeys({key});
  ASSERT_TRUE(Ended(live)) << "java read no line";
  ASSERT_EQ(ToolLog().size(), 2u);
  EXPECT_EQ(ToolLog()[1][1], "21");
  EXPECT_EQ(ResultText(live).compare(0, 18, "> java Hello\r\n21\r\n"), 0) << ResultText(live);
  ExitFromMenu();
}

// A program that does not read leaves the typed line unread: it never
// reaches the interpreter as a command.
TEST_F(LiveRun, TypedTextNeverReachesTheInterpreter) {
  env_.emplace_back(new ScopedEnv("PELLARO_FAKE_SLEEP_JAVA", "2500"));
  HWND live = RunJavaLive();
  ASSERT_NE(live, nullptr) << "no live result window";
  SendMessageA(GetDlgItem(live, kResultInput), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("echo x>x.txt"));
  PressKeys({VK_RETURN});
  ASSERT_TRUE(Ended(live)) << "the run did not end";
  ASSERT_TRUE(WaitUntilIdle(strip_));
  EXPECT_NE(ResultText(live).find("echo x>x.txt\r\n"), std::string::npos);
  EXPECT_FALSE(IsExistingFile(DirectoryOf(source_) + "x.txt"));
  EXPECT_FALSE(IsExistingFile("C:\\x.txt"));
  ExitFromMenu();
}

// ---------------------------------------------------------------------------
class StripLifetime : public StripTest {};

TEST_F(StripLifetime, SecondStartsHandTheirFilesOverAndEnd) {
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  const std::string spaced = *folder_ / "a b";
  CreateDirectoryA(spaced.c_str(), nullptr);
  WriteFileBytes(spaced + "\\Two.java", "class Two {}\r\n");
  WriteFileBytes(*folder_ / "Three.java", "class Three {}\r\n");

  PellaroProcess second = StartPellaro("\"" + spaced + "\\Two.java\"");
  PellaroProcess third = StartPellaro("Three.java", folder_->Path());
  for (PellaroProcess* p : {&second, &third}) {
    ASSERT_TRUE(p->WaitForExit()) << "a second start is still running";
    EXPECT_EQ(p->ExitCode(), 0u);
  }
  ASSERT_TRUE(WaitForEditorRecords(3));
  // The two second starts run side by side, so either may arrive first.
  std::set<std::string> files;
  for (const auto& record : EditorLog()) files.insert(record[1]);
  const std::string editor = EditorCommand() + " \"";
  EXPECT_EQ(files, (std::set<std::string>{editor + source_ + "\"", editor + spaced + "\\Two.java\"",
                                          editor + *folder_ / "Three.java\""}));
  ExitFromMenu();
}

TEST_F(StripLifetime, EndsWithTheLastEditorAndReopensWhereItWasDragged) {
  StoreNumber("AppData", "WindowX", 300);
  StoreNumber("AppData", "WindowY", 150);
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  RECT placed = OuterRect(strip_);
  EXPECT_EQ(placed.left, 300);
  EXPECT_EQ(placed.top, 150);

  DragFromTo({placed.left + 4, placed.top + 12}, {placed.left + 44, placed.top + 42});
  ASSERT_TRUE(WaitUntilIdle(strip_));
  RECT dragged = OuterRect(strip_);
  EXPECT_EQ(dragged.left, 340);
  EXPECT_EQ(dragged.top, 180);

  PostMessageA(EditorWindow(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(pellaro_.WaitForExit(3000)) << "still running after the last editor ended";
  EXPECT_EQ(pellaro_.ExitCode(), 0u);
  LONG x = 0, y = 0;
  ASSERT_TRUE(StoredNumber("AppData", "WindowX", x) && StoredNumber("AppData", "WindowY", y));
  EXPECT_EQ(x, dragged.left);
  EXPECT_EQ(y, dragged.top);

  ASSERT_NE(StartOnSource(), nullptr) << "no strip on the second start";
  EXPECT_EQ(OuterRect(strip_).left, dragged.left);
  EXPECT_EQ(OuterRect(strip_).top, dragged.top);
  ExitFromMenu();
}

// With no place stored, the strip takes the top right of the work area, just
// below the caption bar of the editor window it would cover there; the first
// result window opens beside it, 80 columns by 24 lines at least, with the
// end of a long output in view.
TEST_F(StripLifetime, FirstPlacesAreBelowTheEditorsCaptionAndBesideTheStrip) {
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  env_.emplace_back(new ScopedEnv(
      "PELLARO_FAKE_EDITOR_PLACE",
      std::to_string(work.right - 400) + " " + std::to_string(work.top) + " 400 300"));
  StoreResultPlace({0, 0, 0, 0});
  std::string output;
  for (int i = 1; i <= 60; ++i) output += "line " + std::to_string(i) + "\r\n";
  ScriptJavac(output + std::string(300, 'y') + "\r\nend\r\n");
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  TITLEBARINFO bar = {};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetTitleBarInfo(EditorWindow(), &bar));
  ASSERT_GT(bar.rcTitleBar.bottom, work.top) << "the editor has no caption bar";
  EXPECT_TRUE(WaitUntil([&] { return OuterRect(strip_).top == bar.rcTitleBar.bottom; }))
      << OuterRect(strip_).top << " below a caption ending at " << bar.rcTitleBar.bottom;
  EXPECT_EQ(OuterRect(strip_).right, work.right);

  RunFromMenu(0);
  ASSERT_EQ(ResultWindows().size(), 1u);
  HWND result = ResultWindows()[0];
  const RECT shown = OuterRect(result);
  const RECT strip = OuterRect(strip_);
  RECT overlap;
  EXPECT_FALSE(IntersectRect(&overlap, &shown, &strip)) << "the result covers the strip";
  EXPECT_TRUE(IntersectRect(&overlap, &shown, &work) && EqualRect(&overlap, &shown))
      << "the result is not wholly on the work area";

  // The long line scrolls sideways; 80 of its characters and 24 lines fit.
  HWND edit = GetDlgItem(result, kResultEdit);
  EXPECT_NE(GetWindowLongA(edit, GWL_STYLE) & WS_HSCROLL, 0);
  const std::string text = ResultText(result);
  const auto lineStart = [&](const std::string& start) {
    const WPARAM line = std::count(text.begin(), text.begin() + text.find(start), '\n');
    return SendMessageA(edit, EM_LINEINDEX, line, 0);
  };
  const LRESULT longLine = lineStart(std::string(300, 'y'));
  const LRESULT endLine = lineStart("end\r\n");
  const LRESULT left = SendMessageA(edit, EM_POSFROMCHAR, longLine, 0);
  const LRESULT eighty = SendMessageA(edit, EM_POSFROMCHAR, longLine + 80, 0);
  const LRESULT below = SendMessageA(edit, EM_POSFROMCHAR, endLine, 0);
  RECT client;
  GetClientRect(edit, &client);
  EXPECT_LE(static_cast<short>(LOWORD(eighty)), client.right) << "80 columns do not fit";
  EXPECT_GE(client.bottom,
            24 * (static_cast<short>(HIWORD(below)) - static_cast<short>(HIWORD(left))))
      << "24 lines do not fit";
  // Opened at the end: the last line in view, the caret there.
  EXPECT_GT(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_LT(static_cast<short>(HIWORD(below)), client.bottom);
  EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, LOWORD(SendMessageA(edit, EM_GETSEL, 0, 0)), 0),
            SendMessageA(edit, EM_GETLINECOUNT, 0, 0) - 1);
  ExitFromMenu();
}

// Every pipe handle of process pid, duplicated into this process and held
// while the object lives.
class HeldPipes {
 public:
  explicit HeldPipes(DWORD pid) {
    UniqueHandle process(OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid));
    for (ULONG_PTR value = 4; process && value < 0x10000; value += 4) {
      HANDLE copy = nullptr;
      if (!DuplicateHandle(process.Get(), reinterpret_cast<HANDLE>(value), GetCurrentProcess(),
                           &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        continue;
      UniqueHandle held(copy);
      if (GetFileType(copy) == FILE_TYPE_PIPE) pipes_.push_back(std::move(held));
    }
  }
  bool Empty() const { return pipes_.empty(); }

 private:
  std::vector<UniqueHandle> pipes_;
};

// The interpreters that wait for a run end with a killed Pellaro even when
// another process holds their input open, so that they never see its end.
TEST_F(StripLifetime, InterpreterWaitingForTheNextRunEndsWhenPellaroIsKilled) {
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  // One interpreter waits from the start, another after a command.
  RunFromMenu(0);
  ASSERT_TRUE(WaitForToolRecords(1, 1));
  std::set<DWORD> waiting;
  ASSERT_TRUE(WaitUntil([&] {
    for (const auto& child : ChildProcesses(pellaro_.Id()))
      if (lstrcmpiA(child.second.c_str(), "cmd.exe") == 0) waiting.insert(child.first);
    return !waiting.empty();
  })) << "no interpreter waits for a run";
  HeldPipes held(pellaro_.Id());
  ASSERT_FALSE(held.Empty());
  pellaro_.EndIfRunning();
  for (DWORD id : waiting) EXPECT_TRUE(ProcessEnds(id, 5000)) << "interpreter " << id;
}

TEST_F(StripLifetime, PlaceOffEveryScreenIsBroughtOntoIt) {
  StoreNumber("AppData", "WindowX", static_cast<DWORD>(-5000));
  StoreNumber("AppData", "WindowY", 0x7FFFFFF0);
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  RECT shown = OuterRect(strip_);
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT overlap;
  EXPECT_TRUE(IntersectRect(&overlap, &shown, &screen) && EqualRect(&overlap, &shown))
      << shown.left << "," << shown.top;
  ExitFromMenu();
}

TEST_F(StripLifetime, AltF4KeepsItRunningWithoutHotKeysAndExitEndsItAtOnce) {
  StoreNumber("Cmd2", "HotKey1", 'L');
  StoreNumber("Cmd2", "HotKey2", kHotKeyModifiers);
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  EXPECT_FALSE(HotKeyIsFree('L')) << "the strip holds no hot key";

  ASSERT_TRUE(BringToFront(strip_));
  PressKeys({VK_MENU, VK_F4});
  EXPECT_TRUE(WaitUntil([this] { return HotKeyIsFree('L'); })) << "Alt+F4 kept the hot keys";
  EXPECT_TRUE(IsWindowVisible(strip_));
  EXPECT_EQ(pellaro_.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));

  ExitFromMenu();
  EXPECT_TRUE(IsWindow(EditorWindow())) << "the editor went with the program";
}

// ---------------------------------------------------------------------------
// At 96 and 144 DPI the buttons grow with the DPI, and the strip is its
// toolbar and a grip of a few pixels, with no room under the buttons.
class StripSize : public StripTest, public testing::WithParamInterface<LONG> {};

TEST_P(StripSize, IsItsToolbarAndASmallGripWithButtonsForTheDpi) {
  const LONG dpi = GetParam();
  ScopedLogPixels logPixels(dpi);
  ASSERT_NE(StartStrip("\"" + *folder_ / "s.pxs\""), nullptr) << "no strip";
  for (int item : {0, 1, 2, 4}) {
    const RECT button = ToolbarButtonRect(strip_, item);
    EXPECT_GE(button.right - button.left, 16 * dpi / 96) << "button " << item;
  }
  // The manifest gives the strip the common controls of version 6.
  EXPECT_NE(ModulePath(pellaro_.Id(), "comctl32.dll").find("common-controls_6595b64144ccf1df_6."),
            std::string::npos)
      << ModulePath(pellaro_.Id(), "comctl32.dll");
  const RECT toolbar = OuterRect(StripToolbar(strip_));
  RECT client;
  GetClientRect(strip_, &client);
  EXPECT_EQ(client.bottom, toolbar.bottom - toolbar.top) << "room under the toolbar";
  const LONG grip = client.right - (toolbar.right - toolbar.left);
  EXPECT_GT(grip, 0);
  EXPECT_LE(grip, 8 * dpi / 96) << "a grip wider than a few pixels";
  ExitFromMenu();
}

INSTANTIATE_TEST_SUITE_P(AtDpi, StripSize, testing::Values(96, 144));

// ---------------------------------------------------------------------------
class StripStarts : public StripTest {};

TEST_F(StripStarts, SettingsFileAndOtherEndingsShowTheStripWithoutAnEditor) {
  ASSERT_NE(StartStrip("\"" + *folder_ / "s.pxs\""), nullptr) << "no strip for .pxs";
  // The name is held: a second settings start cannot make the mailslot.
  PellaroProcess second = StartPellaro("\"" + *folder_ / "t.pxs\"");
  HWND box = WaitForMessageBox(second.Id(), nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "bad creating");
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntilGone(box));
  box = WaitForMessageBox(second.Id(), nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kMailslotFailedText);
  PressButton(box, IDOK);
  ASSERT_TRUE(second.WaitForExit());
  ExitFromMenu();

  ASSERT_NE(StartStrip("\"" + *folder_ / "Hello.Java\""), nullptr) << "no strip for .Java";
  ExitFromMenu();
  EXPECT_TRUE(EditorLog().empty());
}

// With no editor stored, the question comes first, offering the editors
// installed (made up here: in App Paths, in an uninstall entry, under
// %LOCALAPPDATA%\Programs) and notepad; only an editor that fails to start is
// reported.
TEST_F(StripStarts, EditorIsAskedForUntilOneStartsAndThenKept) {
  StoreText("AppData", "editor", "");
  const std::string programs = *folder_ / "local\\Programs";
  CreateDirectoryA((*folder_ / "local").c_str(), nullptr);
  CreateDirectoryA(programs.c_str(), nullptr);
  const std::string mery = InstallFakeEditorAs(programs + "\\Mery", "Mery.exe");
  const std::string sakura = InstallFakeEditorAs(*folder_ / "sakura", "sakura.exe");
  const std::string terapad = InstallFakeEditorAs(*folder_ / "TeraPad", "TeraPad.exe");
  env_.emplace_back(new ScopedEnv("LOCALAPPDATA", *folder_ / "local"));
  const char appPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\sakura.exe";
  const char uninstall[] =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PellaroTestTeraPad";
  RegSetKeyValueA(HKEY_CURRENT_USER, appPath, nullptr, REG_SZ, sakura.c_str(),
                  static_cast<DWORD>(sakura.size() + 1));
  const std::string icon = "\"" + terapad + "\",0";
  RegSetKeyValueA(HKEY_CURRENT_USER, uninstall, "DisplayIcon", REG_SZ, icon.c_str(),
                  static_cast<DWORD>(icon.size() + 1));
  pellaro_ = StartPellaro("\"" + source_ + "\"");
  HWND dialog = WaitForDialog(pellaro_.Id(), kEditorCaption);
  RegDeleteKeyA(HKEY_CURRENT_USER, appPath);
  RegDeleteKeyA(HKEY_CURRENT_USER, uninstall);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WaitForMessageBox(pellaro_.Id(), nullptr, 0), nullptr) << "an error box came first";

  // The first offered is chosen; in the list's order, notepad last.
  EXPECT_EQ(WindowText(GetDlgItem(dialog, kEditorPathEdit)), sakura);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string offered[] = {sakura, terapad, mery, std::string(system) + "\\notepad.exe"};
  ASSERT_EQ(SendDlgItemMessageA(dialog, kEditorList, LB_GETCOUNT, 0, 0), 4);
  for (int i : {3, 1, 2}) {
    ChooseFromList(dialog, i);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, kEditorPathEdit)), offered[i]);
  }

  SetWindowTextA(GetDlgItem(dialog, kEditorPathEdit), "C:\\no\\such\\editor.exe");
  PressButton(dialog, kEditorOk);
  HWND box = WaitForMessageBox(pellaro_.Id(), nullptr);
  ASSERT_NE(box, nullptr) << "a path that failed was not reported";
  EXPECT_EQ(MessageBoxText(box), kEditorFailedText);
  PressButton(box, IDOK);
  dialog = WaitForDialog(pellaro_.Id(), kEditorCaption);
  ASSERT_NE(dialog, nullptr) << "a path that failed did not bring the dialog back";

  ASSERT_TRUE(BringToFront(dialog));
  PressKeys({VK_ESCAPE});
  ASSERT_TRUE(WaitUntilIdle(dialog));
  ASSERT_TRUE(IsWindowVisible(dialog)) << "Escape closed the dialog";

  // A file handed over meanwhile waits for the editor that works.
  const std::string two = *folder_ / "Two.java";
  WriteFileBytes(two, "class Two {}\r\n");
  PellaroProcess second = StartPellaro("\"" + two + "\"");
  ASSERT_TRUE(second.WaitForExit());
  EXPECT_EQ(second.ExitCode(), 0u);
  Sleep(1200);  // two ticks of the strip's timer

  ChooseFromList(dialog, 2);  // Mery
  PressButton(dialog, kEditorOk);
  strip_ = WaitForStrip(pellaro_.Id());
  ASSERT_NE(strip_, nullptr) << "no strip after a good editor";
  ASSERT_TRUE(WaitForEditorRecords(2));
  const std::string command = "\"" + mery + "\" \"";
  EXPECT_EQ(EditorLog()[0][1], command + source_ + "\"");
  EXPECT_EQ(EditorLog()[1][1], command + two + "\"");
  ExitFromMenu();
  EXPECT_EQ(StoredText("AppData", "editor"), mery);
}

TEST_F(StripStarts, StartWithoutFileAsksForOneAndEndsWhenNoneIsChosen) {
  pellaro_ = StartPellaro("");
  HWND picker = WaitForDialog(pellaro_.Id(), "ファイルを開く");
  ASSERT_NE(picker, nullptr) << "no file picker";
  PressButton(picker, IDCANCEL);
  HWND box = WaitForMessageBox(pellaro_.Id(), nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kNoFileText);
  EXPECT_EQ(WindowText(box), "実行エラー");
  PressButton(box, IDOK);
  ASSERT_TRUE(pellaro_.WaitForExit());
  EXPECT_EQ(pellaro_.ExitCode(), 0u);
  EXPECT_TRUE(EditorLog().empty());
}

TEST_F(StripStarts, FileHandedOverWhileThePickerIsOpenIsNotLost) {
  pellaro_ = StartPellaro("");
  HWND picker = WaitForDialog(pellaro_.Id(), "ファイルを開く");
  ASSERT_NE(picker, nullptr) << "no file picker";
  PellaroProcess second = StartPellaro("\"" + source_ + "\"");
  ASSERT_TRUE(second.WaitForExit());
  EXPECT_EQ(second.ExitCode(), 0u) << "the second start could not hand its file over";

  // Nothing picked: the file handed over is the one to work on.
  PressButton(picker, IDCANCEL);
  strip_ = WaitForStrip(pellaro_.Id());
  ASSERT_NE(strip_, nullptr) << "no strip";
  ASSERT_TRUE(WaitForEditorRecords(1));
  EXPECT_EQ(EditorLog()[0][1], EditorCommand() + " \"" + source_ + "\"");
  ExitFromMenu();
}

// ---------------------------------------------------------------------------
// A double-click on a compiler message in a result window, by Fukusuu.
class LineJump : public StripTest, public testing::WithParamInterface<DWORD> {};

TEST_P(LineJump, DoubleClickBelowAJapanesePromptStartsTheEditorAtThatLine) {
  StoreText("AppData", "LineJump", "/l %l %f");
  StoreNumber("AppData", "Fukusuu", GetParam());
  ScriptJavac(
      "Hello.java:12: エラー: ';'がありません\r\n        表示(x)\r\n                ^\r\n"
      "Hello.java:34: エラー: シンボルを見つけられません\r\nエラー2個\r\n");
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  RunFromMenu(0);
  ASSERT_EQ(ResultWindows().size(), 1u);
  DoubleClickLine(ResultWindows()[0], "Hello.java:34:");

  ASSERT_TRUE(WaitForEditorRecords(2)) << "no editor started";
  const std::string commandLine = EditorLog()[1][1];
  const std::string jump = JumpCommand(source_, "34");
  const std::string arguments = jump.substr(EditorCommand().size());
  ASSERT_GE(commandLine.size(), arguments.size());
  EXPECT_EQ(commandLine.substr(commandLine.size() - arguments.size()), arguments)
      << Utf8(commandLine);
  if (GetParam()) {
    EXPECT_EQ(commandLine, jump);
    // The editor the jump started is one on the source: a command from it runs there.
    ASSERT_TRUE(EditorInFront(1));
    RunFromMenu(0, 1);
    ASSERT_TRUE(WaitForToolRecords(2, 2));
    EXPECT_EQ(ToolLog()[1][1] + "\\Hello.java", source_);
  }
  ExitFromMenu();
}

INSTANTIATE_TEST_SUITE_P(ByFukusuu, LineJump, testing::Values(0u, 1u));

// ---------------------------------------------------------------------------
// Jumps to the file a line of javac or java output names, from the window of
// the run that printed it; F8 walks such lines.
class OutputJump : public StripTest {
 protected:
  void SetUp() override {
    StripTest::SetUp();
    env_.emplace_back(new ScopedEnv("PELLARO_FAKE_OUT_JAVA", *folder_ / "java.txt"));
    StoreText("AppData", "LineJump", "/l %l %f");
    StoreNumber("AppData", "Fukusuu", 1);
    sources_ = DirectoryOf(source_);
    WriteFileBytes(sources_ + "Util.java", "class Util {}\r\n");
  }

  // The command line of the count-th editor, once it has started and come
  // to the front, so that the next keys or clicks go where the test sends them.
  std::string EditorStartedAs(std::size_t count) const {
    if (!WaitForEditorRecords(count)) return "<none>";
    return EditorLog()[count - 1][1] + (EditorInFront(count - 1) ? "" : " <not in front>");
  }

  static void PressIn(HWND result, std::initializer_list<WORD> keys) {
    FocusResultText(result);
    PressKeys(keys);
    ASSERT_TRUE(WaitUntilIdle(result));
  }

  std::string sources_;  // the source's folder
};

TEST_F(OutputJump, DoubleClickOpensTheFileTheLineNamesInItsWindowsOwnRun) {
  // The second run's folder holds no Util.java, but a package's file.
  const std::string other = *folder_ / "b\\";
  CreateDirectoryA(other.c_str(), nullptr);
  CreateDirectoryA((other + "app").c_str(), nullptr);
  WriteFileBytes(other + "Hello.java", "class Hello {}\r\n");
  WriteFileBytes(other + "app\\Util.java", "package app; class Util {}\r\n");
  ScriptJavac("Util.java:3: エラー: シンボルを見つけられません\r\nエラー1個\r\n");
  WriteFileBytes(*folder_ / "java.txt",
                 "Exception in thread \"main\" java.lang.IllegalStateException\r\n"
                 "\tat app.Util.run(Util.java:7)\r\n\tat Hello.main(Hello.java:5)\r\n");
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  RunFromMenu(0);  // javac on the source
  PellaroProcess second = StartPellaro("\"" + other + "Hello.java\"");
  ASSERT_TRUE(second.WaitForExit() && WaitForEditorRecords(2) && EditorInFront(1));
  RunFromMenu(1, 1);  // java on the other one
  ASSERT_TRUE(WaitForToolRecords(2, 2));

  DoubleClickLine(ResultWindowWith("Util.java:3:"), "Util.java:3:");
  EXPECT_EQ(EditorStartedAs(3), JumpCommand(sources_ + "Util.java", "3"));
  DoubleClickLine(ResultWindowWith("\tat app."), "\tat app.");
  EXPECT_EQ(EditorStartedAs(4), JumpCommand(other + "app\\Util.java", "7"));
  ExitFromMenu();
}

// With the template empty, an editor known by its program's name is given
// its own line option.
TEST_F(OutputJump, EmptyTemplateTakesTheKnownEditorsOwnOption) {
  const std::string sakura = InstallFakeEditorAs(*folder_ / "sakura", "sakura.exe");
  StoreText("AppData", "editor", sakura);
  StoreText("AppData", "LineJump", "");
  ScriptJavac("Hello.java:12: エラー: ';'がありません\r\nエラー1個\r\n");
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  RunFromMenu(0);
  DoubleClickLine(ResultWindowWith("Hello.java:12:"), "Hello.java:12:");
  char shortPath[MAX_PATH] = {};
  GetShortPathNameA(source_.c_str(), shortPath, MAX_PATH);
  EXPECT_EQ(EditorStartedAs(2), "\"" + sakura + "\" -Y=12 " + shortPath);
  ExitFromMenu();
}

// Windows' notepad has no line option: its own window on the file is moved
// to the line and brought to the front.
TEST_F(OutputJump, NotepadsOwnWindowGoesToTheLine) {
  StoreText("AppData", "editor", "notepad.exe");
  StoreText("AppData", "LineJump", "");
  std::string source;
  for (int i = 1; i <= 40; ++i) source += "// line " + std::to_string(i) + "\r\n";
  WriteFileBytes(source_, source);
  ScriptJavac("Hello.java:30: エラー: ';'がありません\r\nエラー1個\r\n");
  ASSERT_NE(StartStrip("\"" + source_ + "\""), nullptr) << "no strip";
  HWND notepad = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (notepad = FindWindowA("Notepad", nullptr)) != nullptr; }));
  ASSERT_TRUE(BringToFront(notepad));
  SendCommand(strip_, kMenuCommand1);
  ASSERT_TRUE(WaitUntil([&] { return ResultWindows().size() == 1; }));
  DoubleClickLine(ResultWindows()[0], "Hello.java:30:");
  HWND text = FindWindowExA(notepad, nullptr, "Edit", nullptr);
  LRESULT line = -1;
  EXPECT_TRUE(WaitUntil([&] {
    line = SendMessageA(text, EM_LINEFROMCHAR, LOWORD(SendMessageA(text, EM_GETSEL, 0, 0)), 0);
    return line == 29 && GetForegroundWindow() == notepad;
  })) << "caret on line "
      << line + 1;
  PostMessageA(notepad, WM_CLOSE, 0, 0);
  EXPECT_TRUE(pellaro_.WaitForExit()) << "Pellaro did not end with notepad";
}

TEST_F(OutputJump, F8WalksTheErrorsAndShiftF8WalksBack) {
  ScriptJavac(
      "Hello.java:12: エラー: ';'がありません\r\n        表示(x)\r\n                ^\r\n"
      "Util.java:3: エラー: シンボルを見つけられません\r\nエラー2個\r\n");
  ASSERT_NE(StartOnSource(), nullptr) << "no strip";
  RunFromMenu(0);
  HWND result = ResultWindowWith("Util.java:3:");
  ASSERT_NE(result, nullptr);

  PressIn(result, {VK_F8});
  EXPECT_EQ(EditorStartedAs(2), JumpCommand(source_, "12"));
  PressIn(result, {VK_F8});
  EXPECT_EQ(EditorStartedAs(3), JumpCommand(sources_ + "Util.java", "3"));
  PressIn(result, {VK_F8});  // past the last: a beep, and the selection stays
  const std::string text = ResultText(result);
  HWND edit = GetDlgItem(result, kResultEdit);
  EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, LOWORD(SendMessageA(edit, EM_GETSEL, 0, 0)), 0),
            std::count(text.begin(), text.begin() + text.find("Util.java:3:"), '\n'));
  PressIn(result, {VK_SHIFT, VK_F8});
  EXPECT_EQ(EditorStartedAs(4), JumpCommand(source_, "12"));
  EXPECT_EQ(EditorLog().size(), 4u);
  ExitFromMenu();
}

}  // namespace
