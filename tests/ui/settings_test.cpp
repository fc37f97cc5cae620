// The settings window of the running program through both of its frames: the
// page selector (the NT family, Wine's default) and the property sheet (Wine
// told to report Windows 98). What the pages apply is read back from the
// registry after the program has ended.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <string>
#include <vector>

#include "common/version.h"
#include "resources/resource_ids.h"
#include "settings/applet_param.h"
#include "test_support.h"
#include "ui_driver.h"

namespace {

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

// The stored font record; all zero when it is missing or not a record.
LOGFONTA StoredFont() {
  UniqueRegKey key;
  LOGFONTA font = {};
  DWORD size = sizeof font;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\DrussetAPP\\Pellaro\\AppData", 0, KEY_READ,
                    key.Receive()) != ERROR_SUCCESS ||
      RegQueryValueExA(key.Get(), "font", nullptr, nullptr, reinterpret_cast<BYTE*>(&font),
                       &size) != ERROR_SUCCESS ||
      size != sizeof font)
    return LOGFONTA{};
  return font;
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

// The list box's lines. Wine hands another process's list box lines across
// in their wide form only.
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
    pellaro_.EndIfRunning();
    DeleteSettingsKeys();
  }

  bool IsSheet() const { return GetParam() == Frame::Sheet; }

  // A copy of the program in the test's own folder, so that the test decides
  // what lies beside it; started on a settings file, which shows the strip
  // without an editor.
  void Start() {
    const std::string program = *folder_ / "Pellaro.exe";
    ASSERT_TRUE(CopyFileA((ProgramsFolder() + "\\Pellaro.exe").c_str(), program.c_str(), FALSE));
    pellaro_ = StartCommandLine("\"" + program + "\" \"" + *folder_ / "s.pxs\"");
    ASSERT_TRUE(pellaro_.Started());
    strip_ = WaitForStrip(pellaro_.Id());
    ASSERT_NE(strip_, nullptr) << "no strip";
  }

  // The strip's "オプション" entry.
  void Open() {
    PressButton(strip_, IDM_OPTIONS);
    frame_ = WaitForDialog(pellaro_.Id(), IsSheet() ? "設定" : "プロパティ");
    ASSERT_NE(frame_, nullptr) << "no settings window";
  }

  // Brings the page forward as the user would (tab or list entry).
  HWND ShowPage(int index) {
    if (IsSheet()) {
      Ask(frame_, PSM_SETCURSEL, index);
      return reinterpret_cast<HWND>(Ask(frame_, PSM_GETCURRENTPAGEHWND));
    }
    HWND list = GetDlgItem(frame_, IDC_SEL_PAGES);
    Ask(list, CB_SETCURSEL, index);
    Ask(frame_, WM_COMMAND, MAKEWPARAM(IDC_SEL_PAGES, CBN_SELCHANGE),
        reinterpret_cast<LPARAM>(list));
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
  void Confirm() { CloseFrame(IDC_SEL_OK, IDOK); }
  void Cancel() { CloseFrame(IDC_SEL_CANCEL, IDCANCEL); }
  void PressHelp() { PressButton(frame_, IsSheet() ? IDHELP : IDC_SEL_HELP); }
  void CloseBox() {
    CloseFromSystemMenu(frame_);
    ASSERT_TRUE(WaitUntilGone(frame_)) << "the close box left the settings window open";
  }

  void Exit() {
    SendCommand(strip_, IDM_EXIT);
    ASSERT_TRUE(pellaro_.WaitForExit()) << "Pellaro.exe is still running";
  }

  bool StripIsTopmost() const { return (GetWindowLongA(strip_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<ScopedWin98> win98_;
  ScopedUnmanagedWindows unmanagedWindows_;
  PellaroProcess pellaro_;
  HWND strip_ = nullptr;
  HWND frame_ = nullptr;
};

// ---------------------------------------------------------------------------
// Every control: what it shows of the stored value, and what OK stores of
// what was put in.
// How the test reads and sets a control: text, or a number by message.
struct Kind {
  UINT get;
  UINT set;
};
constexpr Kind kText = {0, 0};
constexpr Kind kCheck = {BM_GETCHECK, BM_SETCHECK};
constexpr Kind kList = {CB_GETCURSEL, CB_SETCURSEL};
constexpr Kind kHotKey = {HKM_GETHOTKEY, HKM_SETHOTKEY};

struct ControlCase {
  int page;
  int id;
  Kind kind;
  const char* key;
  const char* name;
  std::string stored;
  std::string shown;
  std::string typed;  // empty: left as shown
  std::string saved;

  bool IsText() const { return kind.get == 0; }
  void Store() const {
    if (IsText())
      StoreText(key, name, stored);
    else
      StoreNumber(key, name, std::stoul(stored));
  }
  std::string Shown(HWND control) const {
    return IsText() ? WindowText(control) : std::to_string(Ask(control, kind.get));
  }
  void Put(HWND control) const {
    if (IsText())
      SetWindowTextA(control, typed.c_str());
    else
      Ask(control, kind.set, std::stoi(typed));
  }
  std::string Saved() const {
    return IsText() ? StoredText(key, name) : StoredNumberText(key, name);
  }
};

std::vector<ControlCase> ControlCases() {
  const std::string hyou = "表";  // 95 5C: its trail byte is a backslash
  const std::string x300(300, 'x');
  return {
      {kCommand1, IDC_CMD_EXE_MODE, kList, "Cmd1", "ExeMode", "7", "4", "2", "6"},
      {kCommand1, IDC_CMD_FIRST_LINE, kText, "Cmd1", "FirstCmdLine", "-g", "-g", x300,
       x300.substr(0, 258)},
      {kCommand2, IDC_CMD_FIRST_LINE, kText, "Cmd2", "FirstCmdLine", "", "",
       "a" + Repeat(hyou, 129), "a" + Repeat(hyou, 128)},
      {kCommand2, IDC_CMD_SECOND_LINE, kText, "Cmd2", "SecondCmdLine", "引数 表示", "引数 表示",
       "-cp .", "-cp ."},
      {kCommand2, IDC_CMD_EXE_MODE, kList, "Cmd2", "ExeMode", "5", "0", "", "1"},
      {kCommand3, IDC_CMD_TOOLTIP, kText, "Cmd3", "ToolTipText", "tip", "tip", x300.substr(0, 100),
       x300.substr(0, 79)},
      // Ctrl+Shift+A with the Windows key (14), which the control cannot show; back
      // comes Alt+K without the extended-key flag.
      {kCommand3, IDC_CMD_HOTKEY, kHotKey, "Cmd3", "HotKey1", "65",
       HotKeyWord('A', HOTKEYF_CONTROL | HOTKEYF_SHIFT), HotKeyWord('K', HOTKEYF_ALT | HOTKEYF_EXT),
       "75"},
      {kCommand3, IDC_CMD_HOTKEY, kHotKey, "Cmd3", "HotKey2", "14",
       HotKeyWord('K', HOTKEYF_ALT | HOTKEYF_EXT), "", "1"},  // as the row above left it
      {kCommand3, IDC_CMD_EXE_MODE, kList, "Cmd3", "ExeMode", "4", "-1", "", "255"},
      {kGeneral, IDC_GEN_EDITOR, kText, "AppData", "editor", "C:\\ed\\表示.exe", "C:\\ed\\表示.exe",
       "D:\\e.exe", "D:\\e.exe"},
      {kGeneral, IDC_GEN_LINE_JUMP, kText, "AppData", "LineJump", "/l %l %f", "/l %l %f", "+%l %f",
       "+%l %f"},
      {kGeneral, IDC_GEN_FOREGROUND, kCheck, "AppData", "Forground", "1", "1", "0", "0"},
      {kGeneral, IDC_GEN_KEKKA, kCheck, "AppData", "Kekka", "2", "1", "", "1"},
      {kGeneral, IDC_GEN_FUKUSUU, kCheck, "AppData", "Fukusuu", "0", "0", "1", "1"},
      {kExtended, IDC_EXT_DOS_PROMPT, kCheck, "AppData", "DOSPrompt", "5", "1", "", "1"},
      {kExtended, IDC_EXT_HEIGHT, kText, "AppData", "height", "80", "80", "12345", "1234"},
      {kExtended, IDC_EXT_WIDTH, kText, "AppData", "width", "", "", "1" + hyou + hyou, "1" + hyou},
      {kExtended, IDC_EXT_CLASS_CMD_LINE, kText, "AppData", "ClassCmdLine", "a b", "a b", "x y",
       "x y"},
      {kExtended, IDC_EXT_HTML_READ, kText, "AppData", "HTMLRead", "", "", "C:\\p\\a.html",
       "C:\\p\\a.html"},
      {kExtended, IDC_EXT_JDK_FOLDER, kText, "AppData", "JdkFolder", "C:\\jdk", "C:\\jdk",
       "D:\\Java\\" + hyou, "D:\\Java\\" + hyou},
      {kExtended, IDC_EXT_FAST_JAVAC, kCheck, "AppData", "FastJavac", "1", "1", "0", "0"},
      {kExtended, IDC_EXT_SHOW_HINTS, kCheck, "AppData", "ShowHints", "0", "0", "1", "1"},
  };
}

TEST_P(SettingsWindow, EveryControlShowsItsStoredValueAndOkStoresWhatWasPutIn) {
  const std::vector<ControlCase> cases = ControlCases();
  for (const ControlCase& c : cases) c.Store();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(StripIsTopmost());
  ASSERT_NO_FATAL_FAILURE(Open());
  const char* captions[] = {"コマンド１", "コマンド2", "コマンド3", "全般設定", "拡張設定"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(WindowText(ShowPage(i)), captions[i]) << "page " << i;
  for (const ControlCase& c : cases) {
    HWND page = ShowPage(c.page);
    ASSERT_NE(page, nullptr) << "page " << c.page;
    HWND control = GetDlgItem(page, c.id);
    ASSERT_NE(control, nullptr) << "control " << c.id;
    EXPECT_EQ(c.Shown(control), c.shown) << c.key << "\\" << c.name;
    if (!c.typed.empty()) c.Put(control);
  }
  SetWindowTextA(GetDlgItem(ShowPage(kGeneral), IDC_GEN_PATH), "C:\\jdk\\表");
  ASSERT_NO_FATAL_FAILURE(Confirm());
  EXPECT_FALSE(StripIsTopmost()) << "always-on-top was not dropped at once";

  // The folder path is kept for the run only, with its backslash added.
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(WindowText(GetDlgItem(ShowPage(kGeneral), IDC_GEN_PATH)), "C:\\jdk\\表\\");
  ASSERT_NO_FATAL_FAILURE(Cancel());
  ASSERT_NO_FATAL_FAILURE(Exit());
  for (const ControlCase& c : cases)
    EXPECT_EQ(c.Saved(), c.saved) << c.key << "\\" << c.name << ": " << Utf8(c.Saved());
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
  SetWindowTextA(GetDlgItem(ShowPage(kCommand1), IDC_CMD_FIRST_LINE), "changed");
  HWND general = ShowPage(kGeneral);
  Ask(GetDlgItem(general, IDC_GEN_FOREGROUND), BM_SETCHECK, BST_UNCHECKED);
  PressButton(general, IDC_GEN_FONT);
  HWND fonts = WaitForOwnedDialog(pellaro_.Id(), frame_, kFontSizes);
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
  // On the way out, the version box shows the program's version.
  PressButton(general, IDC_GEN_VERSION);
  HWND version = WaitForOwnedDialog(pellaro_.Id(), frame_, IDC_VER_OK);
  ASSERT_NE(version, nullptr) << "no version box owned by the settings window";
  EXPECT_NE(FindWindowExA(version, nullptr, "Static", "Pellaro    Ver " PELLARO_VERSION), nullptr);
  PressButton(version, IDC_VER_OK);
  ASSERT_TRUE(WaitUntilGone(version));
  ASSERT_NO_FATAL_FAILURE(Cancel());

  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(WindowText(GetDlgItem(ShowPage(kCommand1), IDC_CMD_FIRST_LINE)), "kept");
  SetWindowTextA(GetDlgItem(ShowPage(kExtended), IDC_EXT_WIDTH), "99");
  ASSERT_NO_FATAL_FAILURE(CloseBox());
  EXPECT_TRUE(StripIsTopmost());
  ASSERT_NO_FATAL_FAILURE(Exit());

  EXPECT_EQ(StoredText("Cmd1", "FirstCmdLine"), "kept");
  EXPECT_EQ(StoredText("AppData", "width"), "10");
  EXPECT_EQ(StoredNumberText("AppData", "Forground"), "1");
  // The largest size of the list, by points; the stored default is 14 pixels.
  EXPECT_LT(StoredFont().lfHeight, -14);
}

// ---------------------------------------------------------------------------
// At 144 DPI every control of every page lies whole within its page, and the
// page within the settings window, clear of the window's own controls.
std::vector<HWND> VisibleChildren(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child)) children.push_back(child);
  return children;
}

RECT ScreenClientRect(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool Holds(const RECT& outer, const RECT& inner) {
  RECT both;
  return IntersectRect(&both, &outer, &inner) && EqualRect(&both, &inner);
}

// Whether a static text's words, wrapped as the control wraps them in the
// dialog font at this DPI, fit its height.
bool TextFits(HWND label, LONG dpi) {
  char type[16] = {};
  GetClassNameA(label, type, sizeof type);
  const std::string text = WindowText(label);
  if (std::string(type) != "Static" || text.empty()) return true;
  UniqueFont font(CreateFontA(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック"));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Get());
  RECT box = {};
  GetClientRect(label, &box);
  const LONG height = box.bottom;
  DrawTextA(dc, text.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return box.bottom <= height;
}

TEST_P(SettingsWindow, NoPageControlIsCutOffAt144Dpi) {
  ScopedLogPixels dpi(144);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Open());
  const RECT window = ScreenClientRect(frame_);
  for (int index = kCommand1; index <= kExtended; ++index) {
    HWND page = ShowPage(index);
    ASSERT_NE(page, nullptr) << "page " << index;
    const RECT area = ScreenClientRect(page);
    EXPECT_TRUE(Holds(window, area)) << "page " << index << " sticks out of the window";
    for (HWND own : VisibleChildren(frame_)) {
      char type[32] = {};
      GetClassNameA(own, type, sizeof type);
      RECT both;
      const RECT rect = OuterRect(own);
      // The property sheet's tabs hold the page.
      if (own != page && std::string(type) != WC_TABCONTROLA) {
        EXPECT_FALSE(IntersectRect(&both, &rect, &area))
            << "page " << index << " covers control " << GetDlgCtrlID(own);
      }
    }
    for (HWND control : VisibleChildren(page)) {
      EXPECT_TRUE(Holds(area, OuterRect(control)))
          << "page " << index << " cuts off control " << GetDlgCtrlID(control);
      EXPECT_TRUE(TextFits(control, 144))
          << "page " << index << " cuts off the text " << Utf8(WindowText(control));
    }
  }
  ASSERT_NO_FATAL_FAILURE(Cancel());
  ASSERT_NO_FATAL_FAILURE(Exit());
}

INSTANTIATE_TEST_SUITE_P(BothFrames, SettingsWindow, testing::Values(Frame::Selector, Frame::Sheet),
                         FrameName);

// ---------------------------------------------------------------------------
// The page selector from the keyboard: Tab walks into the page shown, and
// Escape closes it as キャンセル does.
class SelectorKeyboard : public SettingsWindow {};

TEST_P(SelectorKeyboard, TabReachesThePageAndEscapeDiscardsIt) {
  StoreText("Cmd1", "FirstCmdLine", "kept");
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Open());
  HWND page = ShowPage(kCommand1);
  SetWindowTextA(GetDlgItem(page, IDC_CMD_FIRST_LINE), "changed");
  ASSERT_TRUE(BringToFront(frame_));
  const auto focus = [this] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(frame_, nullptr), &info);
    return info.hwndFocus;
  };
  bool reached = false;
  for (int tab = 0; tab < 12 && !reached; ++tab) {
    PressKeys({VK_TAB});
    ASSERT_TRUE(WaitUntilIdle(frame_));
    reached = IsChild(page, focus()) != FALSE;
  }
  EXPECT_TRUE(reached) << "Tab never reached a control of the page";

  PressKeys({VK_ESCAPE});
  ASSERT_TRUE(WaitUntilGone(frame_)) << "Escape left the selector open";
  ASSERT_NO_FATAL_FAILURE(Exit());
  EXPECT_EQ(StoredText("Cmd1", "FirstCmdLine"), "kept");
}

INSTANTIATE_TEST_SUITE_P(InTheSelector, SelectorKeyboard, testing::Values(Frame::Selector),
                         FrameName);

// ---------------------------------------------------------------------------
// The parameter list on the extended page, in the page selector.
class ParamList : public SettingsWindow {};

TEST_P(ParamList, AddChangeAndDeleteKeepTheOrderAndOkStoresTheList) {
  StoreText("AppData", "Param", BuildParamText({{"width", "100"}, {"color", "red"}}));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Open());
  HWND page = ShowPage(kExtended);
  HWND list = GetDlgItem(page, IDC_EXT_PARAM_LIST);
  EXPECT_EQ(ListLines(list), (std::vector<std::string>{"NAME\"width\" VALUE=\"100\"",
                                                       "NAME\"color\" VALUE=\"red\""}));

  // Add: a quote is refused with the text kept; then a plain pair goes last.
  PressButton(page, IDC_EXT_PARAM_ADD);
  HWND dialog = WaitForOwnedDialog(pellaro_.Id(), frame_, IDC_PARAM_NAME);
  ASSERT_NE(dialog, nullptr) << "no parameter dialog owned by the settings window";
  EXPECT_FALSE(IsWindowEnabled(frame_)) << "a second parameter dialog could be opened";
  SetWindowTextA(GetDlgItem(dialog, IDC_PARAM_NAME), "x\"y");
  SetWindowTextA(GetDlgItem(dialog, IDC_PARAM_VALUE), "1");
  PressButton(dialog, IDOK);
  HWND box = WaitForMessageBox(pellaro_.Id(), dialog);
  ASSERT_NE(box, nullptr) << "a quote was taken";
  EXPECT_EQ(MessageBoxText(box), kQuoteRefusedText);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntilGone(box));
  ASSERT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_PARAM_NAME)), "x\"y");
  SetWindowTextA(GetDlgItem(dialog, IDC_PARAM_NAME), "a");
  SetWindowTextA(GetDlgItem(dialog, IDC_PARAM_VALUE), "b");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntilGone(dialog));
  ASSERT_TRUE(WaitUntilIdle(page));

  // Change the second line with both fields left empty.
  Ask(list, LB_SETCURSEL, 1);
  PressButton(page, IDC_EXT_PARAM_CHANGE);
  dialog = WaitForOwnedDialog(pellaro_.Id(), frame_, IDC_PARAM_NAME);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_PARAM_NAME)), "");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntilGone(dialog));
  ASSERT_TRUE(WaitUntilIdle(page));
  EXPECT_EQ(ListLines(list),
            (std::vector<std::string>{"NAME\"width\" VALUE=\"100\"", "NAME\"\" VALUE=\"\"",
                                      "NAME\"a\" VALUE=\"b\""}));

  // Delete the first line; with nothing selected, delete does nothing.
  Ask(list, LB_SETCURSEL, 0);
  SendCommand(page, IDC_EXT_PARAM_DELETE);
  Ask(list, LB_SETCURSEL, static_cast<WPARAM>(-1));
  SendCommand(page, IDC_EXT_PARAM_DELETE);
  EXPECT_EQ(ListLines(list),
            (std::vector<std::string>{"NAME\"\" VALUE=\"\"", "NAME\"a\" VALUE=\"b\""}));

  ASSERT_NO_FATAL_FAILURE(Confirm());
  ASSERT_NO_FATAL_FAILURE(Exit());
  EXPECT_EQ(StoredText("AppData", "Param"), BuildParamText({{"", ""}, {"a", "b"}}));
}

INSTANTIATE_TEST_SUITE_P(InTheSelector, ParamList, testing::Values(Frame::Selector), FrameName);

// ---------------------------------------------------------------------------
// The JDK line of the extended page names the JDK the runs would take with
// the folder typed: none on this machine, then the one typed.
class JdkFolderLine : public SettingsWindow {};

TEST_P(JdkFolderLine, NamesTheJdkTheRunsWouldUse) {
  const std::string jdk = *folder_ / "jdk-21";
  ASSERT_TRUE(CreateDirectoryA(jdk.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((jdk + "\\bin").c_str(), nullptr));
  ASSERT_TRUE(CopyFileA((FakesFolder() + "\\javac.exe").c_str(), (jdk + "\\bin\\javac.exe").c_str(),
                        FALSE));
  WriteFileBytes(jdk + "\\release", "JAVA_VERSION=\"21.0.5\"\n");
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Open());
  HWND page = ShowPage(kExtended);
  HWND found = GetDlgItem(page, IDC_EXT_JDK_FOUND);
  EXPECT_EQ(WindowText(found), "使う JDK：見つかりません");
  SetWindowTextA(GetDlgItem(page, IDC_EXT_JDK_FOLDER), (jdk + "\\").c_str());
  EXPECT_EQ(WindowText(found), "使う JDK：" + jdk + " (21.0.5)");
}

INSTANTIATE_TEST_SUITE_P(InTheSelector, JdkFolderLine, testing::Values(Frame::Selector), FrameName);

// ---------------------------------------------------------------------------
// Help opens HELP.HTML beside the program through the shell, shown normally;
// without the file it does nothing visible. The shell opens .html files with
// a fake viewer that records how it was started.
class HelpButton : public SettingsWindow {
 protected:
  void SetUp() override {
    // Wine makes no .html class; one made elsewhere is not the test's to change.
    UniqueRegKey existing;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".html", 0, KEY_READ, existing.Receive()) == ERROR_SUCCESS)
      GTEST_SKIP() << ".html already has a class";
    SettingsWindow::SetUp();
    log_ = *folder_ / "help.log";
    env_ = std::make_unique<ScopedEnv>("PELLARO_FAKE_HELP_LOG", log_);
    madeClasses_ = true;
    SetClass(".html", kViewerClass);
    SetClass(std::string(kViewerClass) + "\\shell\\open\\command",
             "\"" + FakesFolder() + "\\fake_help_viewer.exe\" \"%1\"");
  }

  void TearDown() override {
    SettingsWindow::TearDown();
    if (!madeClasses_) return;
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kViewerClass);
  }

  static void SetClass(const std::string& key, const std::string& value) {
    RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                 static_cast<DWORD>(value.size()));
  }

  static constexpr const char* kViewerClass = "PellaroTestHelp";
  bool madeClasses_ = false;
  std::string log_;
  std::unique_ptr<ScopedEnv> env_;
};

TEST_P(HelpButton, OpensHelpHtmlBesideTheProgramShownNormallyAndNothingWithoutIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_NE(ShowPage(kCommand2), nullptr);
  PressHelp();
  ASSERT_TRUE(WaitUntilIdle(frame_));
  EXPECT_EQ(WaitForMessageBox(pellaro_.Id(), nullptr, 0), nullptr);
  EXPECT_EQ(WaitForMessageBox(pellaro_.Id(), frame_, 0), nullptr);

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
