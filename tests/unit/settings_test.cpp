// The settings record against the real registry: defaults, sizes that do not
// fit, both spellings of the key, and the round trip of every value.
#include <gtest/gtest.h>

#include <cstring>

#include "settings/app_settings.h"
#include "settings/reg_key.h"
#include "test_support.h"

namespace {

const char kAppData[] = "Software\\DrussetAPP\\Pellaro\\AppData";

void SetRaw(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void SetText(const char* keyPath, const char* name, const std::string& text, bool withNul) {
  SetRaw(keyPath, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + (withNul ? 1 : 0)));
}

void SetDword(const char* keyPath, const char* name, DWORD value) {
  SetRaw(keyPath, name, REG_DWORD, &value, sizeof value);
}

// The stored bytes of a value; empty and false when it is missing.
bool GetRaw(const char* keyPath, const char* name, std::string& bytes, DWORD* type = nullptr) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
  bytes.assign(size, '\0');
  if (rc == ERROR_SUCCESS && size)
    rc = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

DWORD GetDword(const char* keyPath, const char* name) {
  std::string bytes;
  EXPECT_TRUE(GetRaw(keyPath, name, bytes)) << name;
  DWORD value = 0xDEADBEEF;
  if (bytes.size() == 4) std::memcpy(&value, bytes.data(), 4);
  return value;
}

class SettingsStore : public testing::Test {
 protected:
  void SetUp() override { DeleteSettingsKeys(); }
  void TearDown() override { DeleteSettingsKeys(); }
};

TEST_F(SettingsStore, WithNoKeysTheRecordHasItsDefaultsAndExitWritesEveryValue) {
  {
    AppSettings settings;
    EXPECT_STREQ(settings.editor, "");
    EXPECT_STREQ(settings.width, "");
    EXPECT_EQ(settings.Forground, 1u);
    EXPECT_EQ(settings.Kekka, 0u);
    EXPECT_EQ(settings.LogSizeX, 0);
    EXPECT_EQ(settings.WindowY, 0);
    EXPECT_TRUE(settings.Param.empty());
    EXPECT_EQ(settings.Cmd[0].ExeMode, 1u);
    EXPECT_EQ(settings.Cmd[1].ExeMode, 2u);
    EXPECT_EQ(settings.Cmd[2].ExeMode, 3u);
    LOGFONTA expected = DefaultResultFont();
    EXPECT_EQ(std::memcmp(&settings.font, &expected, sizeof expected), 0);
    EXPECT_STREQ(settings.font.lfFaceName, "ＭＳ ゴシック");
    EXPECT_EQ(settings.font.lfHeight, 14);
    EXPECT_EQ(settings.font.lfCharSet, SHIFTJIS_CHARSET);
  }
  std::string bytes;
  ASSERT_TRUE(GetRaw(kAppData, "Param", bytes));
  EXPECT_EQ(bytes.substr(0, 7), "NO DATA");
  EXPECT_EQ(GetDword(kAppData, "Forground"), 1u);
  EXPECT_EQ(GetDword(kAppData, "FastJavac"), 1u);
  EXPECT_EQ(GetDword(kAppData, "ShowHints"), 1u);
  for (const char* name : {"Kekka", "DOSPrompt", "LogSizeX", "LogSizeY", "LogPosX", "LogPosY",
                           "WindowX", "WindowY", "Fukusuu"})
    EXPECT_EQ(GetDword(kAppData, name), 0u) << name;
  for (const char* name :
       {"editor", "height", "width", "LineJump", "ClassCmdLine", "HTMLRead", "JdkFolder"})
    EXPECT_TRUE(GetRaw(kAppData, name, bytes)) << name;
  ASSERT_TRUE(GetRaw(kAppData, "font", bytes));
  EXPECT_EQ(bytes.size(), 60u);
  for (int i = 0; i < kSlotCount; ++i) {
    EXPECT_EQ(GetDword(kSlotKeyPaths[i], "ExeMode"), static_cast<DWORD>(i + 1));
    EXPECT_EQ(GetDword(kSlotKeyPaths[i], "HotKey1"), 0u);
    EXPECT_TRUE(GetRaw(kSlotKeyPaths[i], "ToolTipText", bytes));
  }
}

TEST_F(SettingsStore, EveryValueSurvivesTheRoundTrip) {
  {
    AppSettings settings;
    std::strcpy(settings.editor, "C:\\エディタ\\表示.exe");
    std::strcpy(settings.width, "640");
    std::strcpy(settings.height, "4800");
    settings.Forground = 0;
    std::strcpy(settings.LineJump, "/l %l %f");
    settings.Kekka = 1;
    settings.LogSizeX = 300;
    settings.LogSizeY = 200;
    settings.LogPosX = -5;
    settings.LogPosY = 12;
    settings.WindowX = 1000;
    settings.WindowY = -20;
    settings.DOSPrompt = 1;
    std::strcpy(settings.ClassCmdLine, "arg1 \"引数 2\"");
    std::strcpy(settings.HTMLRead, "sub\\a.html");
    settings.Fukusuu = 1;
    std::strcpy(settings.JdkFolder, "C:\\Java\\jdk-21 表");
    settings.FastJavac = 0;
    settings.ShowHints = 0;
    settings.Param = {{"width", "100"}, {"色", "赤"}};
    settings.font.lfHeight = -20;
    std::strcpy(settings.font.lfFaceName, "IPAGothic");
    for (int i = 0; i < kSlotCount; ++i) {
      settings.Cmd[i].ExeMode = i == 2 ? 255 : 7;
      std::strcpy(settings.Cmd[i].FirstCmdLine, "-g");
      std::strcpy(settings.Cmd[i].SecondCmdLine, "-cp .");
      std::strcpy(settings.Cmd[i].ToolTipText, "コンパイル");
      settings.Cmd[i].HotKey1 = 'A' + i;
      settings.Cmd[i].HotKey2 = MOD_CONTROL | MOD_SHIFT;
    }
  }
  AppSettings loaded;
  EXPECT_STREQ(loaded.editor, "C:\\エディタ\\表示.exe");
  EXPECT_STREQ(loaded.width, "640");
  EXPECT_STREQ(loaded.height, "4800");
  EXPECT_EQ(loaded.Forground, 0u);
  EXPECT_STREQ(loaded.LineJump, "/l %l %f");
  EXPECT_EQ(loaded.Kekka, 1u);
  EXPECT_EQ(loaded.LogSizeX, 300);
  EXPECT_EQ(loaded.LogSizeY, 200);
  EXPECT_EQ(loaded.LogPosX, -5);
  EXPECT_EQ(loaded.LogPosY, 12);
  EXPECT_EQ(loaded.WindowX, 1000);
  EXPECT_EQ(loaded.WindowY, -20);
  EXPECT_EQ(loaded.DOSPrompt, 1u);
  EXPECT_STREQ(loaded.ClassCmdLine, "arg1 \"引数 2\"");
  EXPECT_STREQ(loaded.HTMLRead, "sub\\a.html");
  EXPECT_EQ(loaded.Fukusuu, 1u);
  EXPECT_STREQ(loaded.JdkFolder, "C:\\Java\\jdk-21 表");
  EXPECT_EQ(loaded.FastJavac, 0u);
  EXPECT_EQ(loaded.ShowHints, 0u);
  ASSERT_EQ(loaded.Param.size(), 2u);
  EXPECT_EQ(loaded.Param[1].name, "色");
  EXPECT_EQ(loaded.Param[1].value, "赤");
  EXPECT_EQ(loaded.font.lfHeight, -20);
  EXPECT_STREQ(loaded.font.lfFaceName, "IPAGothic");
  for (int i = 0; i < kSlotCount; ++i) {
    EXPECT_EQ(loaded.Cmd[i].ExeMode, i == 2 ? 255u : 7u);
    EXPECT_STREQ(loaded.Cmd[i].FirstCmdLine, "-g");
    EXPECT_STREQ(loaded.Cmd[i].SecondCmdLine, "-cp .");
    EXPECT_STREQ(loaded.Cmd[i].ToolTipText, "コンパイル");
    EXPECT_EQ(loaded.Cmd[i].HotKey1, static_cast<DWORD>('A' + i));
    EXPECT_EQ(loaded.Cmd[i].HotKey2, static_cast<DWORD>(MOD_CONTROL | MOD_SHIFT));
  }
}

TEST_F(SettingsStore, EditorLoadsTheSameWithAndWithoutAStoredTerminator) {
  SetText(kAppData, "editor", "C:\\Windows\\notepad.exe", true);
  {
    AppSettings settings;
    EXPECT_STREQ(settings.editor, "C:\\Windows\\notepad.exe");
  }
  SetText(kAppData, "editor", "C:\\Windows\\notepad.exe", false);
  AppSettings settings;
  EXPECT_STREQ(settings.editor, "C:\\Windows\\notepad.exe");
}

TEST_F(SettingsStore, TextsThatDoNotFitTheirFieldLoadEmpty) {
  SetText(kAppData, "width", "12345", false);
  SetText(kAppData, "height", "1234", true);
  SetText(kAppData, "editor", std::string(260, 'e'), false);
  SetText(kAppData, "LineJump", std::string(259, 'j'), true);
  AppSettings settings;
  EXPECT_STREQ(settings.width, "");
  EXPECT_STREQ(settings.height, "1234");
  EXPECT_STREQ(settings.editor, "");
  EXPECT_EQ(std::string(settings.LineJump), std::string(259, 'j'));
}

TEST_F(SettingsStore, NumbersOfTheWrongSizeKeepTheirDefaults) {
  WORD shortValue = 5;
  SetRaw(kAppData, "Forground", REG_BINARY, &shortValue, sizeof shortValue);
  ULONGLONG longValue = 7;
  SetRaw(kAppData, "Kekka", REG_QWORD, &longValue, sizeof longValue);
  SetRaw(kSlotKeyPaths[1], "ExeMode", REG_BINARY, &shortValue, sizeof shortValue);
  AppSettings settings;
  EXPECT_EQ(settings.Forground, 1u);
  EXPECT_EQ(settings.Kekka, 0u);
  EXPECT_EQ(settings.Cmd[1].ExeMode, 2u);
}

TEST_F(SettingsStore, FontOfSixtyBytesOrLessIsTakenLongerIsReplacedByTheDefault) {
  LOGFONTA stored = {};
  stored.lfHeight = 33;
  std::strcpy(stored.lfFaceName, "IPAGothic");
  std::string bytes(reinterpret_cast<const char*>(&stored), sizeof stored);
  ASSERT_EQ(bytes.size(), 60u);
  bytes[59] = 'X';

  SetRaw(kAppData, "font", REG_BINARY, bytes.data(), 60);
  {
    AppSettings settings;
    EXPECT_EQ(settings.font.lfHeight, 33);
    EXPECT_EQ(settings.font.lfFaceName[31], 'X');
  }
  SetRaw(kAppData, "font", REG_BINARY, bytes.data(), 59);
  {
    AppSettings settings;
    EXPECT_EQ(settings.font.lfHeight, 33);
    EXPECT_EQ(settings.font.lfFaceName[31], '\0');
  }
  std::string tooLong = bytes + "!";
  SetRaw(kAppData, "font", REG_BINARY, tooLong.data(), 61);
  AppSettings settings;
  EXPECT_EQ(settings.font.lfHeight, 14);
  EXPECT_STREQ(settings.font.lfFaceName, "ＭＳ ゴシック");
}

TEST_F(SettingsStore, BothSpellingsOfTheKeyNameTheSameKey) {
  SetText("SoftWare\\DrussetApp\\Pellaro\\AppData", "LineJump", "-line %l", false);
  {
    AppSettings settings;
    EXPECT_STREQ(settings.LineJump, "-line %l");
    std::strcpy(settings.HTMLRead, "page.html");
  }
  std::string bytes;
  ASSERT_TRUE(GetRaw("Software\\DrussetAPP\\Pellaro\\AppData", "HTMLRead", bytes));
  EXPECT_EQ(bytes.substr(0, 9), "page.html");
}

TEST_F(SettingsStore, StoredParamNoDataLoadsAsAnEmptyList) {
  SetText(kAppData, "Param", "NO DATA", false);
  AppSettings settings;
  EXPECT_TRUE(settings.Param.empty());
}

TEST_F(SettingsStore, ParamIsReadUpToItsTerminator) {
  SetText(kAppData, "Param", "\"a\"1\"b\"2\"", true);
  AppSettings settings;
  ASSERT_EQ(settings.Param.size(), 2u);
  EXPECT_EQ(settings.Param[0].name, "a");
  EXPECT_EQ(settings.Param[1].value, "2");
}

TEST_F(SettingsStore, ASlotWithoutExeModeKeepsItsOwnDefault) {
  SetText(kSlotKeyPaths[1], "FirstCmdLine", "-verbose", false);
  SetDword(kSlotKeyPaths[2], "HotKey1", VK_F5);
  AppSettings settings;
  EXPECT_EQ(settings.Cmd[0].ExeMode, 1u);
  EXPECT_EQ(settings.Cmd[1].ExeMode, 2u);
  EXPECT_STREQ(settings.Cmd[1].FirstCmdLine, "-verbose");
  EXPECT_EQ(settings.Cmd[2].ExeMode, 3u);
  EXPECT_EQ(settings.Cmd[2].HotKey1, static_cast<DWORD>(VK_F5));
}

// Two processes' records: one applies and saves new settings while the other,
// loaded before, is still open; the other then ends having moved a window.
TEST_F(SettingsStore, ExitWritesOnlyChangesAndMissingValuesAndKeepsValuesThatDoNotFit) {
  const std::string longEditor(260, 'e');
  SetText(kAppData, "editor", longEditor, false);
  SetText(kAppData, "width", "12345", false);
  SetText(kAppData, "LineJump", "/l %l %f", false);
  {
    AppSettings older;
    EXPECT_STREQ(older.editor, "");
    EXPECT_STREQ(older.width, "");
    {
      AppSettings newer;
      std::strcpy(newer.LineJump, "-n%l %f");
      newer.SaveSettings();
    }
    older.LogPosX = 40;
  }
  std::string bytes;
  ASSERT_TRUE(GetRaw(kAppData, "editor", bytes));
  EXPECT_EQ(std::string(bytes.c_str()), longEditor);
  ASSERT_TRUE(GetRaw(kAppData, "width", bytes));
  EXPECT_EQ(std::string(bytes.c_str()), "12345");
  ASSERT_TRUE(GetRaw(kAppData, "LineJump", bytes));
  EXPECT_EQ(std::string(bytes.c_str()), "-n%l %f");
  EXPECT_EQ(GetDword(kAppData, "LogPosX"), 40u);
  EXPECT_EQ(GetDword(kAppData, "Forground"), 1u);
}

}  // namespace
