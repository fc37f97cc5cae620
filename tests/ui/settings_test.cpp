// The settings window of the running program through both of its frames: the
// page selector (the NT family, Wine's default) and the property sheet (Wine
// told to report Windows 98). What the pages apply is read back from the
// registry after the program has ended.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "settings/applet_param.h"
#include "test_support.h"
#include "ui_driver.h"

namespace {

constexpr int kMenuOptions = 40007;
constexpr int kMenuExit = 40008;

// The page selector's controls.
constexpr int kPageList = 1099;
constexpr int kSelectorOk = 1100;
constexpr int kSelectorCancel = 1101;
constexpr int kSelectorHelp = 1102;

// The pages' controls.
constexpr int kExeModeList = 1066;
constexpr int kFirstCmdLine = 1092;
constexpr int kSecondCmdLine = 1093;
constexpr int kToolTip = 1038;
constexpr int kHotKey = 1094;
constexpr int kPathEdit = 1081;
constexpr int kEditorEdit = 1080;
constexpr int kForground = 1079;
constexpr int kKekka = 1064;
constexpr int kLineJump = 1078;
constexpr int kFukusuu = 1106;
constexpr int kFontButton = 1051;
constexpr int kDosPrompt = 1070;
constexpr int kHeight = 1095;
constexpr int kWidth = 1096;
constexpr int kClassCmdLine = 1084;
constexpr int kHtmlRead = 1091;
constexpr int kParamList = 1085;
constexpr int kParamAdd = 1086;
constexpr int kParamDelete = 1087;
constexpr int kParamChange = 1088;
constexpr int kParamName = 1107;
constexpr int kParamValue = 1007;

// The font dialog's face and size lists.
constexpr int kFontFaces = 0x470;
constexpr int kFontSizes = 0x472;

const char kQuoteRefusedText[] = "名前と値には「\"」を使えません。";

enum class Frame { Selector, Sheet };
enum PageIndex { kCommand1, kCommand2, kCommand3, kGeneral, kExtended };

std::string FrameName(const testing::TestParamInfo<Frame>& info) {
  return info.param == Frame::Selector ? "PageSelector" : "PropertySheet";
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kUiWaitMs, &result);
  return static_cast<LRESULT>(result);
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// A hot-key control's value: the key in the low byte, HOTKEYF_ flags above.
std::string HotKeyWord(BYTE key, BYTE flags) { return std::to_string(MAKEWORD(key, flags)); }

std::string StoredNumberText(const std::string& key, const std::string& name) {
  LONG value = 0;
  return StoredNumber(key, name, value) ? std::to_string(value) : "<missing>";
}

std::string StoredBinary(const std::string& key, const std::string& name) {
  HKEY handle = nullptr;
  const std::string path = "Software\\DrussetAPP\\Pellaro\\" + key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return std::string();
  UniqueRegKey owned(handle);
  char bytes[256] = {};
  DWORD size = sizeof bytes;
  if (RegQueryValueExA(owned.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(bytes),
                       &size) != ERROR_SUCCESS)
    return std::string();
  return std::string(bytes, size);
}

// A visible dialog of the process, owned by owner, that has this control.
HWND WaitForOwnedDialog(DWORD pid, HWND owner, int controlId) {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (process == pid && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owner &&
          GetDlgItem(window, controlId)) {
        found = window;
        return true;
      }
    }
    return false;
  });
  return found;
}

// The list box's lines. The system hands another process's list box lines
// across in their wide form only.
std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  const LRESULT count = Ask(list, LB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t wide[1024] = {};
    DWORD_PTR length = 0;
    if (Ask(list, LB_GETTEXTLEN, i) < 1024)
      SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_NORMAL,
                          kUiWaitMs, &length);
    char line[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, line, sizeof line, nullptr, nullptr);
    lines.push_back(line);
  }
  return lines;
}

class SettingsWindow : public testing::TestWithParam<Frame> {
 protected:
  void SetUp() override {
    DeleteSettingsKeys();
    folder_ = std::make_unique<TempFolder>("settings");
    if (GetParam() == Frame::Sheet) win98_ = std::make_unique<ScopedWin98>();
  }

  void TearDown() override {
    if (process_ && WaitForSingleObject(process_.Get(), 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_.Get(), 1);
      WaitForSingleObject(process_.Get(), kUiWaitMs);
    }
    DeleteSettingsKeys();
  }

  bool IsSheet() const { return GetParam() == Frame::Sheet; }

  // A copy of the program in the test's own folder, so that the test decides
  // what lies beside it; started on a settings file, which shows the strip
  // without an editor.
  void Start() {
    const std::string program = *folder_ / "Pellaro.exe";
    ASSERT_TRUE(CopyFileA((ProgramsFolder() + "\\Pellaro.exe").c_str(), program.c_str(), FALSE));
    std::string commandLine = "\"" + program + "\" \"" + *folder_ / "s.pxs\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    CloseHandle(started.hThread);
    process_.Reset(started.hProcess);
    pid_ = started.dwProcessId;
    strip_ = WaitForStrip(pid_);
    ASSERT_NE(strip_, nullptr) << "no strip";
  }

  // The strip's "オプション" entry.
  void Open() {
    PressButton(strip_, kMenuOptions);
    frame_ = WaitForDialog(pid_, IsSheet() ? "設定" : "プロパティ");
    ASSERT_NE(frame_, nullptr) << "no settings window";
  }

  // Brings the page forward as the user would (tab or list entry).
  HWND ShowPage(int index) {
    if (IsSheet()) {
      Ask(frame_, PSM_SETCURSEL, index);
      return reinterpret_cast<HWND>(Ask(frame_, PSM_GETCURRENTPAGEHWND));
    }
    HWND list = GetDlgItem(frame_, kPageList);
    Ask(list, CB_SETCURSEL, index);
    Ask(frame_, WM_COMMAND, MAKEWPARAM(kPageList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return VisibleSelectorPage();
  }

  // The one page the selector shows; null when none or several show.
  HWND VisibleSelectorPage() const {
    std::vector<HWND> shown;
    for (HWND child = GetWindow(frame_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char type[16] = {};
      GetClassNameA(child, type, sizeof type);
      if (std::string(type) == "#32770" && IsWindowVisible(child)) shown.push_back(child);
    }
    return shown.size() == 1 ? shown[0] : nullptr;
  }

  void CloseFrame(int selectorButton, int sheetButton) {
    PressButton(frame_, IsSheet() ? sheetButton : selectorButton);
    ASSERT_TRUE(WaitUntilGone(frame_)) << "the settings window stays open";
  }
  void Confirm() { CloseFrame(kSelectorOk, IDOK); }
  void Cancel() { CloseFrame(kSelectorCancel, IDCANCEL); }
  void PressHelp() { PressButton(frame_, IsSheet() ? IDHELP : kSelectorHelp); }
  void CloseBox() {
    CloseFromSystemMenu(frame_);
    ASSERT_TRUE(WaitUntilGone(frame_)) << "the close box left the settings window open";
  }

  void Exit() {
    SendCommand(strip_, kMenuExit);
    ASSERT_EQ(WaitForSingleObject(process_.Get(), kUiWaitMs), WAIT_OBJECT_0)
        << "Pellaro.exe is still running";
  }

  bool StripIsTopmost() const { return (GetWindowLongA(strip_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<ScopedWin98> win98_;
  ScopedUnmanagedWindows unmanagedWindows_;
  UniqueHandle process_;
  DWORD pid_ = 0;
  HWND strip_ = nullptr;
  HWND frame_ = nullptr;
};

// ---------------------------------------------------------------------------
// Every control: what it shows of the stored value, and what OK stores of
// what was put in.
enum class Kind { Text, Check, List, HotKey };

struct ControlCase {
  int page;
  int id;
  Kind kind;
  const char* key;
  const char* name;  // "HotKey": HotKey1 and HotKey2, as "key,modifiers"
  std::string stored;
  std::string shown;
  std::string typed;  // empty: left as shown
  std::string saved;
};

void Store(const ControlCase& c) {
  if (c.kind == Kind::Text) return StoreText(c.key, c.name, c.stored);
  if (c.kind == Kind::HotKey) {
    const std::size_t comma = c.stored.find(',');
    StoreNumber(c.key, "HotKey1", std::stoul(c.stored.substr(0, comma)));
    StoreNumber(c.key, "HotKey2", std::stoul(c.stored.substr(comma + 1)));
    return;
  }
  StoreNumber(c.key, c.name, std::stoul(c.stored));
}

std::string Shown(HWND control, Kind kind) {
  switch (kind) {
    case Kind::Text:
      return WindowText(control);
    case Kind::Check:
      return std::to_string(Ask(control, BM_GETCHECK));
    case Kind::List:
      return std::to_string(Ask(control, CB_GETCURSEL));
    case Kind::HotKey:
      return std::to_string(LOWORD(Ask(control, HKM_GETHOTKEY)));
  }
  return std::string();
}

void Put(HWND control, Kind kind, const std::string& typed) {
  if (kind == Kind::Text) {
    SetWindowTextA(control, typed.c_str());
    return;
  }
  const UINT message[] = {0, BM_SETCHECK, CB_SETCURSEL, HKM_SETHOTKEY};
  Ask(control, message[static_cast<int>(kind)], std::stoi(typed));
}

std::string Saved(const ControlCase& c) {
  if (c.kind == Kind::Text) return StoredText(c.key, c.name);
  if (c.kind == Kind::HotKey)
    return StoredNumberText(c.key, "HotKey1") + "," + StoredNumberText(c.key, "HotKey2");
  return StoredNumberText(c.key, c.name);
}

std::vector<ControlCase> ControlCases() {
  const std::string hyou = "表";  // 95 5C: its trail byte is a backslash
  const std::string x300(300, 'x');
  return {
      {kCommand1, kExeModeList, Kind::List, "Cmd1", "ExeMode", "7", "4", "2", "6"},
      {kCommand1, kFirstCmdLine, Kind::Text, "Cmd1", "FirstCmdLine", "-g", "-g", x300,
       x300.substr(0, 258)},
      {kCommand2, kFirstCmdLine, Kind::Text, "Cmd2", "FirstCmdLine", "", "",
       "a" + Repeat(hyou, 129), "a" + Repeat(hyou, 128)},
      {kCommand2, kSecondCmdLine, Kind::Text, "Cmd2", "SecondCmdLine", "引数 表示", "引数 表示",
       "-cp .", "-cp ."},
      {kCommand2, kExeModeList, Kind::List, "Cmd2", "ExeMode", "5", "0", "", "1"},
      {kCommand3, kToolTip, Kind::Text, "Cmd3", "ToolTipText", "tip", "tip", x300.substr(0, 100),
       x300.substr(0, 79)},
      // Ctrl+Shift+A with the Windows key, which the control cannot show; back
      // comes Alt+K without the extended-key flag.
      {kCommand3, kHotKey, Kind::HotKey, "Cmd3", "HotKey", "65,14",
       HotKeyWord('A', HOTKEYF_CONTROL | HOTKEYF_SHIFT), HotKeyWord('K', HOTKEYF_ALT | HOTKEYF_EXT),
       "75,1"},
      {kCommand3, kExeModeList, Kind::List, "Cmd3", "ExeMode", "4", "-1", "", "255"},
      {kGeneral, kEditorEdit, Kind::Text, "AppData", "editor", "C:\\ed\\表示.exe",
       "C:\\ed\\表示.exe", "D:\\e.exe", "D:\\e.exe"},
      {kGeneral, kLineJump, Kind::Text, "AppData", "LineJump", "/l %l %f", "/l %l %f", "+%l %f",
       "+%l %f"},
      {kGeneral, kForground, Kind::Check, "AppData", "Forground", "1", "1", "0", "0"},
      {kGeneral, kKekka, Kind::Check, "AppData", "Kekka", "2", "1", "", "1"},
      {kGeneral, kFukusuu, Kind::Check, "AppData", "Fukusuu", "0", "0", "1", "1"},
      {kExtended, kDosPrompt, Kind::Check, "AppData", "DOSPrompt", "5", "1", "", "1"},
      {kExtended, kHeight, Kind::Text, "AppData", "height", "80", "80", "12345", "1234"},
      {kExtended, kWidth, Kind::Text, "AppData", "width", "", "", "1" + hyou + hyou, "1" + hyou},
      {kExtended, kClassCmdLine, Kind::Text, "AppData", "ClassCmdLine", "a b", "a b", "x y", "x y"},
      {kExtended, kHtmlRead, Kind::Text, "AppData", "HTMLRead", "", "", "C:\\p\\a.html",
       "C:\\p\\a.html"},
  };
}

TEST_P(SettingsWindow, EveryControlShowsItsStoredValueAndOkStoresWhatWasPutIn) {
  const std::vector<ControlCase> cases = ControlCases();
  for (const ControlCase& c : cases) Store(c);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(StripIsTopmost());
  ASSERT_NO_FATAL_FAILURE(Open());
  for (const ControlCase& c : cases) {
    HWND page = ShowPage(c.page);
    ASSERT_NE(page, nullptr) << "page " << c.page;
    HWND control = GetDlgItem(page, c.id);
    ASSERT_NE(control, nullptr) << "control " << c.id;
    EXPECT_EQ(Shown(control, c.kind), c.shown) << c.key << "\\" << c.name;
    if (!c.typed.empty()) Put(control, c.kind, c.typed);
  }
  SetWindowTextA(GetDlgItem(ShowPage(kGeneral), kPathEdit), "C:\\jdk\\表");
  ASSERT_NO_FATAL_FAILURE(Confirm());
  EXPECT_FALSE(StripIsTopmost()) << "always-on-top was not dropped at once";

  // The folder path is kept for the run only, with its backslash added.
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(WindowText(GetDlgItem(ShowPage(kGeneral), kPathEdit)), "C:\\jdk\\表\\");
  ASSERT_NO_FATAL_FAILURE(Cancel());
  ASSERT_NO_FATAL_FAILURE(Exit());
  for (const ControlCase& c : cases)
    EXPECT_EQ(Saved(c), c.saved) << c.key << "\\" << c.name << ": " << Utf8(Saved(c));
}

// ---------------------------------------------------------------------------
TEST_P(SettingsWindow, OkAppliesUnvisitedPagesInTheSelectorOnly) {
  StoreNumber("Cmd1", "ExeMode", 5);
  StoreNumber("Cmd2", "ExeMode", 5);
  StoreNumber("AppData", "DOSPrompt", 5);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_NO_FATAL_FAILURE(Confirm());
  ASSERT_NO_FATAL_FAILURE(Exit());
  // The first page is shown by both frames; the others only by the selector.
  const std::string unvisited = IsSheet() ? "5" : "1";
  EXPECT_EQ(StoredNumberText("Cmd1", "ExeMode"), "1");
  EXPECT_EQ(StoredNumberText("Cmd2", "ExeMode"), unvisited);
  EXPECT_EQ(StoredNumberText("AppData", "DOSPrompt"), unvisited);
}

// ---------------------------------------------------------------------------
// Cancel and the close box discard what the pages hold; a font chosen in the
// font dialog stays chosen.
TEST_P(SettingsWindow, CancelAndTheCloseBoxDiscardAllButTheChosenFont) {
  StoreText("Cmd1", "FirstCmdLine", "kept");
  StoreText("AppData", "width", "10");
  ASSERT_NO_FATAL_FAILURE(Start());

  ASSERT_NO_FATAL_FAILURE(Open());
  SetWindowTextA(GetDlgItem(ShowPage(kCommand1), kFirstCmdLine), "changed");
  HWND general = ShowPage(kGeneral);
  Ask(GetDlgItem(general, kForground), BM_SETCHECK, BST_UNCHECKED);
  PressButton(general, kFontButton);
  HWND fonts = WaitForOwnedDialog(pid_, frame_, kFontSizes);
  ASSERT_NE(fonts, nullptr) << "no font dialog owned by the settings window";
  HWND faces = GetDlgItem(fonts, kFontFaces);
  Ask(faces, CB_SETCURSEL, 0);
  Ask(fonts, WM_COMMAND, MAKEWPARAM(kFontFaces, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
  HWND sizes = GetDlgItem(fonts, kFontSizes);
  ASSERT_GT(Ask(sizes, CB_GETCOUNT), 0);
  Ask(sizes, CB_SETCURSEL, Ask(sizes, CB_GETCOUNT) - 1);
  Ask(fonts, WM_COMMAND, MAKEWPARAM(kFontSizes, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
  PressButton(fonts, IDOK);
  ASSERT_TRUE(WaitUntilGone(fonts));
  ASSERT_NO_FATAL_FAILURE(Cancel());

  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(WindowText(GetDlgItem(ShowPage(kCommand1), kFirstCmdLine)), "kept");
  SetWindowTextA(GetDlgItem(ShowPage(kExtended), kWidth), "99");
  ASSERT_NO_FATAL_FAILURE(CloseBox());

  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(WindowText(GetDlgItem(ShowPage(kExtended), kWidth)), "10");
  EXPECT_EQ(Ask(GetDlgItem(ShowPage(kGeneral), kForground), BM_GETCHECK), BST_CHECKED);
  ASSERT_NO_FATAL_FAILURE(CloseBox());
  EXPECT_TRUE(StripIsTopmost());
  ASSERT_NO_FATAL_FAILURE(Exit());

  EXPECT_EQ(StoredText("Cmd1", "FirstCmdLine"), "kept");
  EXPECT_EQ(StoredText("AppData", "width"), "10");
  EXPECT_EQ(StoredNumberText("AppData", "Forground"), "1");
  const std::string font = StoredBinary("AppData", "font");
  ASSERT_EQ(font.size(), sizeof(LOGFONTA));
  LOGFONTA chosen;
  std::memcpy(&chosen, font.data(), sizeof chosen);
  // The largest size of the list, by points; the stored default is 14 pixels.
  EXPECT_LT(chosen.lfHeight, -14);
}

INSTANTIATE_TEST_SUITE_P(BothFrames, SettingsWindow, testing::Values(Frame::Selector, Frame::Sheet),
                         FrameName);

// ---------------------------------------------------------------------------
// The parameter list on the extended page, in the page selector.
class ParamList : public SettingsWindow {};

TEST_P(ParamList, AddChangeAndDeleteKeepTheOrderAndOkStoresTheList) {
  StoreText("AppData", "Param", BuildParamText({{"width", "100"}, {"color", "red"}}));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Open());
  HWND page = ShowPage(kExtended);
  HWND list = GetDlgItem(page, kParamList);
  EXPECT_EQ(ListLines(list), (std::vector<std::string>{"NAME\"width\" VALUE=\"100\"",
                                                       "NAME\"color\" VALUE=\"red\""}));

  // Add: a quote is refused with the text kept; then a plain pair goes last.
  PressButton(page, kParamAdd);
  HWND dialog = WaitForOwnedDialog(pid_, frame_, kParamName);
  ASSERT_NE(dialog, nullptr) << "no parameter dialog owned by the settings window";
  EXPECT_FALSE(IsWindowEnabled(frame_)) << "a second parameter dialog could be opened";
  SetWindowTextA(GetDlgItem(dialog, kParamName), "x\"y");
  SetWindowTextA(GetDlgItem(dialog, kParamValue), "1");
  PressButton(dialog, IDOK);
  HWND box = WaitForMessageBox(pid_, dialog);
  ASSERT_NE(box, nullptr) << "a quote was taken";
  EXPECT_EQ(MessageBoxText(box), kQuoteRefusedText);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntilGone(box));
  ASSERT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(WindowText(GetDlgItem(dialog, kParamName)), "x\"y");
  SetWindowTextA(GetDlgItem(dialog, kParamName), "a");
  SetWindowTextA(GetDlgItem(dialog, kParamValue), "b");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntilGone(dialog));
  ASSERT_TRUE(WaitUntilIdle(page));

  // Change the second line with both fields left empty.
  Ask(list, LB_SETCURSEL, 1);
  PressButton(page, kParamChange);
  dialog = WaitForOwnedDialog(pid_, frame_, kParamName);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(dialog, kParamName)), "");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntilGone(dialog));
  ASSERT_TRUE(WaitUntilIdle(page));
  EXPECT_EQ(ListLines(list),
            (std::vector<std::string>{"NAME\"width\" VALUE=\"100\"", "NAME\"\" VALUE=\"\"",
                                      "NAME\"a\" VALUE=\"b\""}));

  // Delete the first line; with nothing selected, delete does nothing.
  Ask(list, LB_SETCURSEL, 0);
  SendCommand(page, kParamDelete);
  Ask(list, LB_SETCURSEL, static_cast<WPARAM>(-1));
  SendCommand(page, kParamDelete);
  EXPECT_EQ(ListLines(list),
            (std::vector<std::string>{"NAME\"\" VALUE=\"\"", "NAME\"a\" VALUE=\"b\""}));

  ASSERT_NO_FATAL_FAILURE(Confirm());
  ASSERT_NO_FATAL_FAILURE(Exit());
  EXPECT_EQ(StoredText("AppData", "Param"), BuildParamText({{"", ""}, {"a", "b"}}));
}

INSTANTIATE_TEST_SUITE_P(InTheSelector, ParamList, testing::Values(Frame::Selector), FrameName);

// ---------------------------------------------------------------------------
// Help opens HELP.HTML beside the program through the shell, shown normally;
// without the file it does nothing visible. The shell opens .html files with
// a fake viewer that records how it was started.
// The default value of a key under HKEY_CLASSES_ROOT while the object lives;
// a key it made is removed afterwards, a value it replaced is put back.
class ScopedClassValue {
 public:
  ScopedClassValue(const std::string& key, const std::string& value) : key_(key) {
    HKEY handle = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &handle, &disposition) != ERROR_SUCCESS)
      return;
    UniqueRegKey owned(handle);
    created_ = disposition == REG_CREATED_NEW_KEY;
    char old[1024] = {};
    DWORD size = sizeof old;
    hadValue_ = RegQueryValueExA(owned.Get(), nullptr, nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
    old_ = old;
    Set(owned.Get(), value);
  }
  ~ScopedClassValue() {
    if (created_) {
      RegDeleteTreeA(HKEY_CLASSES_ROOT, key_.c_str());
      return;
    }
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key_.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
      return;
    UniqueRegKey owned(handle);
    if (hadValue_)
      Set(owned.Get(), old_);
    else
      RegDeleteValueA(owned.Get(), nullptr);
  }
  ScopedClassValue(const ScopedClassValue&) = delete;
  ScopedClassValue& operator=(const ScopedClassValue&) = delete;

 private:
  static void Set(HKEY key, const std::string& value) {
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  std::string key_;
  bool created_ = false;
  bool hadValue_ = false;
  std::string old_;
};

class HelpButton : public SettingsWindow {
 protected:
  void SetUp() override {
    SettingsWindow::SetUp();
    log_ = *folder_ / "help.log";
    env_ = std::make_unique<ScopedEnv>("PELLARO_FAKE_HELP_LOG", log_);
  }

  void TearDown() override {
    SettingsWindow::TearDown();
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kViewerClass);
  }

  static constexpr const char* kViewerClass = "PellaroTestHelp";
  std::string log_;
  std::unique_ptr<ScopedEnv> env_;
  ScopedClassValue command_{std::string(kViewerClass) + "\\shell\\open\\command",
                            "\"" + FakesFolder() + "\\fake_help_viewer.exe\" \"%1\""};
  ScopedClassValue extension_{".html", kViewerClass};
};

TEST_P(HelpButton, OpensHelpHtmlBesideTheProgramShownNormallyAndNothingWithoutIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_NE(ShowPage(kCommand2), nullptr);
  PressHelp();
  ASSERT_TRUE(WaitUntilIdle(frame_));
  EXPECT_EQ(WaitForMessageBox(pid_, nullptr, 0), nullptr);
  EXPECT_EQ(WaitForMessageBox(pid_, frame_, 0), nullptr);

  WriteFileBytes(*folder_ / "HELP.HTML", "<html></html>");
  PressHelp();
  ASSERT_TRUE(WaitUntil([this] { return !ReadFakeLog(log_).empty(); })) << "no help page opened";
  const auto log = ReadFakeLog(log_);
  ASSERT_EQ(log.size(), 1u) << "help was opened without HELP.HTML";
  EXPECT_EQ(log[0][0], std::to_string(SW_SHOWNORMAL));
  EXPECT_NE(log[0][1].find(*folder_ / "HELP.HTML"), std::string::npos) << Utf8(log[0][1]);
  ASSERT_NO_FATAL_FAILURE(Cancel());
  ASSERT_NO_FATAL_FAILURE(Exit());
}

INSTANTIATE_TEST_SUITE_P(BothFrames, HelpButton, testing::Values(Frame::Selector, Frame::Sheet),
                         FrameName);

}  // namespace
