// setup.exe run from a folder whose name has a blank and a double-byte
// character, through its real dialogs: the entries it writes, what it refuses,
// how it ends, and Pellaro started through the open command it registers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/reg_key.h"
#include "test_support.h"
#include "ui_driver.h"

namespace {

const char kCaption[] = "セットアップ";
const char kNoEditorText[] = "同時に開くエディタを指定してください";
const char kTooLongText[] = "エディタのパスが長すぎます。254バイト以内で指定してください";
const char kWriteFailedText[] = "レジストリの書き込みに失敗！！";
const char kNoWindowText[] = "セットアップの画面を作成できませんでした。";
constexpr int kEditorEdit = 1001;
constexpr int kBrowseButton = 1002;
constexpr int kOkButton = 1003;
constexpr int kCancelButton = 1004;
constexpr int kFinishButton = 1005;
constexpr int kMenuExit = 40008;
// The open dialog's file type list.
constexpr int kFileTypeCombo = 0x470;

const char kSettingsKey[] = "Software\\DrussetAPP\\Pellaro\\AppData";
const char kClassesKey[] = "Software\\Classes\\";

std::string ClassKey(const std::string& key) { return kClassesKey + key; }

void DeleteFileClasses() {
  RegDeleteTreeA(HKEY_CURRENT_USER, ClassKey(".java").c_str());
  RegDeleteTreeA(HKEY_CURRENT_USER, ClassKey("Java Source File").c_str());
}

// "ok" when the value is REG_SZ holding exactly text and its NUL, "missing"
// when there is none, else what is there.
std::string ValueState(const std::string& key, const char* name, const std::string& text) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return "missing";
  UniqueRegKey owned(handle);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(owned.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return "missing";
  std::string bytes(size, '\0');
  if (size != 0)
    RegQueryValueExA(owned.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
  if (type == REG_SZ && bytes == text + '\0') return "ok";
  return "type " + std::to_string(type) + ": " + Utf8(bytes);
}

class SetupTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKeys();
    DeleteFileClasses();
    folder_ = std::make_unique<TempFolder>("setup");
    programs_ = *folder_ / "Pellaro 表示\\";
    ASSERT_TRUE(CreateDirectoryA(programs_.c_str(), nullptr));
    for (const char* program : {"setup.exe", "Pellaro.exe"})
      ASSERT_TRUE(CopyFileA((ProgramsFolder() + "\\" + program).c_str(),
                            (programs_ + program).c_str(), FALSE));
  }

  void TearDown() override {
    setup_.EndIfRunning();
    DeleteSettingsKeys();
    DeleteFileClasses();
  }

  // Starts the copied setup.exe; its INST dialog, or null.
  HWND StartSetup() {
    setup_ = StartCommandLine("\"" + programs_ + "setup.exe\"");
    inst_ = setup_.Started() ? WaitForSetupDialog(kEditorEdit) : nullptr;
    return inst_;
  }
  // The visible setup dialog that holds this control, or null after the wait.
  HWND WaitForSetupDialog(int control) const {
    HWND found = nullptr;
    WaitUntil([&] {
      found = WaitForDialog(setup_.Id(), kCaption, 0);
      return found && GetDlgItem(found, control);
    });
    return found && GetDlgItem(found, control) ? found : nullptr;
  }

  void TypeEditor(const std::string& path) {
    SetWindowTextA(GetDlgItem(inst_, kEditorEdit), path.c_str());
  }
  std::string EditorField() const { return WindowText(GetDlgItem(inst_, kEditorEdit)); }

  // Presses OK on INST and answers the message box it owns; its text.
  std::string OkAndAnswerMessage() {
    PressButton(inst_, kOkButton);
    HWND box = WaitForMessageBox(setup_.Id(), inst_);
    if (!box) return "<no message box>";
    const std::string text = MessageBoxText(box);
    PressButton(box, IDOK);
    WaitUntilGone(box);
    return text;
  }

  void ExpectEndedWithZero() {
    ASSERT_TRUE(setup_.WaitForExit()) << "setup.exe is still running";
    EXPECT_EQ(setup_.ExitCode(), 0u);
  }

  std::string Program() const { return programs_ + "Pellaro.exe"; }
  // The seven entries in the order setup writes them: "ok", "missing" or what
  // is stored instead.
  std::vector<std::string> EntryStates(const std::string& editor) const {
    const std::string fileClass = ClassKey("Java Source File");
    return {
        ValueState(kSettingsKey, "editor", editor),
        ValueState(ClassKey(".java"), "", "Java Source File"),
        ValueState(fileClass + "\\Shell\\Open\\Command", "", "\"" + Program() + "\" %1"),
        ValueState(fileClass + "\\Shell\\コンパイル\\Command", "", "\"" + Program() + "\" -c %1"),
        ValueState(fileClass + "\\DefaultIcon", "", Program() + ",1"),
        ValueState(fileClass, "", "JAVA Source File"),
        ValueState(ClassKey(".java\\ShellNew"), "NullFile", ""),
    };
  }
  // The states when the first n entries are written and the rest are not.
  static std::vector<std::string> FirstWritten(std::size_t n) {
    std::vector<std::string> states(7, "missing");
    for (std::size_t i = 0; i < n; ++i) states[i] = "ok";
    return states;
  }

  ScopedWineSetting unmanagedWindows_{"setup.exe", "X11 Driver", "Managed", "N"};
  std::unique_ptr<TempFolder> folder_;
  std::string programs_;  // with its trailing backslash
  PellaroProcess setup_;
  HWND inst_ = nullptr;
};

TEST_F(SetupTest, OkWritesTheSevenEntriesThenTheDoneDialogEndsIt) {
  // 254 bytes, the longest taken, of a path that does not exist.
  std::string editor = "C:\\No Such\\エディタ\\";
  editor += std::string(254 - editor.size() - 4, 'e') + ".exe";
  ASSERT_NE(StartSetup(), nullptr) << "no INST dialog";
  TypeEditor(editor);
  PressButton(inst_, kOkButton);
  HWND done = WaitForSetupDialog(kFinishButton);
  ASSERT_NE(done, nullptr) << "no OK dialog";
  EXPECT_FALSE(IsWindowVisible(inst_));
  EXPECT_EQ(EntryStates(editor), FirstWritten(7));
  PressButton(done, kFinishButton);
  ExpectEndedWithZero();
}

TEST_F(SetupTest, EmptyOrTooLongPathIsRefusedAndCancelWritesNothing) {
  ASSERT_NE(StartSetup(), nullptr) << "no INST dialog";
  const struct {
    std::string path;
    const char* message;
  } refused[] = {
      {"", kNoEditorText}, {"C:\\" + std::string(248, 'e') + ".exe", kTooLongText},  // 255 bytes
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.path.size());
    TypeEditor(c.path);
    EXPECT_EQ(OkAndAnswerMessage(), c.message);
    EXPECT_TRUE(IsWindowVisible(inst_)) << "the dialog went away";
    EXPECT_EQ(EntryStates(c.path), FirstWritten(0));
  }
  TypeEditor("C:\\editor.exe");
  PressButton(inst_, kCancelButton);
  ExpectEndedWithZero();
  EXPECT_EQ(EntryStates("C:\\editor.exe"), FirstWritten(0));
}

TEST_F(SetupTest, FailingWriteStopsThereKeepsWhatWasWrittenAndEnds) {
  const struct {
    std::vector<std::string> keys;
    std::size_t written;
  } cases[] = {
      {{"Software\\DrussetAPP"}, 0},
      {{ClassKey("Java Source File")}, 2},
      {{ClassKey("Java Source File\\Shell"), ClassKey("Java Source File\\Shell\\コンパイル")}, 3},
      {{ClassKey(".java")}, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    DeleteSettingsKeys();
    DeleteFileClasses();
    // Creating an ordinary key beneath a volatile one fails, as it would
    // without the right to write there. The keys before the last are its
    // ordinary parents.
    for (std::size_t i = 0; i < c.keys.size(); ++i) {
      UniqueRegKey key;
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, c.keys[i].c_str(), 0, nullptr,
                                i + 1 == c.keys.size() ? REG_OPTION_VOLATILE : 0, KEY_ALL_ACCESS,
                                nullptr, key.Receive(), nullptr),
                ERROR_SUCCESS);
    }
    ASSERT_NE(StartSetup(), nullptr) << "no INST dialog";
    TypeEditor("C:\\editor.exe");
    EXPECT_EQ(OkAndAnswerMessage(), kWriteFailedText);
    ExpectEndedWithZero();
    EXPECT_EQ(EntryStates("C:\\editor.exe"), FirstWritten(c.written));
  }
}

TEST_F(SetupTest, WithoutItsDialogSetupSaysSoAndEnds) {
  // The resource directory names the dialog in counted UTF-16; renamed, the
  // program cannot find its INST template.
  const std::string program = programs_ + "setup.exe";
  std::string bytes = ReadWholeFile(program);
  const std::string name("\x04\0I\0N\0S\0T\0", 10);
  const std::size_t at = bytes.find(name);
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(bytes.find(name, at + 1), std::string::npos);
  bytes[at + 8] = 'X';
  WriteFileBytes(program, bytes);

  setup_ = StartCommandLine("\"" + program + "\"");
  HWND box = WaitForMessageBox(setup_.Id(), nullptr);
  ASSERT_NE(box, nullptr) << "no message";
  EXPECT_EQ(MessageBoxText(box), kNoWindowText);
  PressButton(box, IDOK);
  ExpectEndedWithZero();
}

TEST_F(SetupTest, PickedEditorIsTheOneTheOpenCommandStarts) {
  const std::string editor = FakesFolder() + "\\fake_editor.exe";
  ASSERT_NE(StartSetup(), nullptr) << "no INST dialog";
  TypeEditor("kept");
  for (bool choose : {false, true}) {
    PressButton(inst_, kBrowseButton);
    HWND picker = WaitForDialog(setup_.Id(), "ファイルを開く");
    ASSERT_NE(picker, nullptr) << "no picker";
    EXPECT_EQ(WindowText(GetDlgItem(picker, kFileTypeCombo)), ".exe files(*.exe)");
    if (choose) {
      TypeFileName(picker, editor);
      PressPickerOk(picker);
    } else {
      PressButton(picker, IDCANCEL);
    }
    ASSERT_TRUE(WaitUntilGone(picker));
    ASSERT_TRUE(WaitUntilIdle(inst_));
    EXPECT_EQ(Utf8(EditorField()), Utf8(choose ? editor : "kept"));
  }
  PressButton(inst_, kOkButton);
  HWND done = WaitForSetupDialog(kFinishButton);
  ASSERT_NE(done, nullptr) << "no OK dialog";
  PressButton(done, kFinishButton);
  ExpectEndedWithZero();

  // The shell puts the file's path in place of %1.
  std::string command;
  {
    RegKey key;
    ASSERT_TRUE(
        key.Open(HKEY_CURRENT_USER, ClassKey("Java Source File\\Shell\\Open\\Command").c_str()));
    ASSERT_TRUE(key.ReadAll("", command));
  }
  const std::size_t placeholder = command.find("%1");
  ASSERT_NE(placeholder, std::string::npos);
  const std::string sources = *folder_ / "a b";
  CreateDirectoryA(sources.c_str(), nullptr);
  const std::string source = sources + "\\Hello.java";
  WriteFileBytes(source, "class Hello {}\r\n");
  command.replace(placeholder, 2, source);

  ScopedUnmanagedWindows unmanaged;
  ScopedEnv log("PELLARO_FAKE_EDITOR_LOG", *folder_ / "editor.log");
  ScopedEnv quit("PELLARO_FAKE_EDITOR_QUIT_FILE", *folder_ / "quit");
  ScopedEnv oneWindow("PELLARO_FAKE_EDITOR_ONE_WINDOW", "1");
  PellaroProcess pellaro = StartCommandLine(command);
  HWND strip = WaitForStrip(pellaro.Id());
  ASSERT_NE(strip, nullptr) << "no strip";
  // The strip shows while the editor gets ready.
  WaitUntil([&] { return ReadFakeLog(*folder_ / "editor.log").size() >= 2; });
  auto editors = ReadFakeLog(*folder_ / "editor.log");
  ASSERT_EQ(editors.size(), 2u);  // its thread record, then its command line
  EXPECT_EQ(Utf8(editors[1][1]), Utf8("\"" + editor + "\" \"" + source + "\""));
  SendCommand(strip, kMenuExit);
  EXPECT_TRUE(pellaro.WaitForExit());
  // The editor outlives Pellaro; it goes before its quit file does.
  UniqueHandle editorProcess(OpenProcess(SYNCHRONIZE, FALSE, std::stoul(editors[1][0])));
  WriteFileBytes(*folder_ / "quit", "");
  if (editorProcess) WaitForSingleObject(editorProcess.Get(), kUiWaitMs);
}

// The association shows icon index 1 of Pellaro.exe: its second icon group.
BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(out)->push_back(reinterpret_cast<ULONG_PTR>(name));
  return TRUE;
}

TEST(PellaroIcons, DocumentIconIsTheSecondGroup) {
  const std::string program = ProgramsFolder() + "\\Pellaro.exe";
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  std::vector<ULONG_PTR> groups;
  EnumResourceNamesA(module, RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&groups));
  FreeLibrary(module);
  EXPECT_EQ(groups, (std::vector<ULONG_PTR>{112, 122}));
}

}  // namespace
