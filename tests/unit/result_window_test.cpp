// The RESULT window opened in this process from the program's own template:
// its font, several windows at once, and stored places that do not fit.
#include "windows/result_window.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "resource_ids.h"
#include "settings/app_settings.h"
#include "test_support.h"
#include "tools/tool_run.h"

namespace {

class ResultWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsInMemory();
    Settings.Instance = GetModuleHandleA(nullptr);
  }
  void TearDown() override { ResetSettingsInMemory(); }

  static HWND Open(const char* text) {
    std::strcpy(ResultBuffer, text);
    return OpenResultWindow(RunOrigin());
  }
  static HWND TextField(HWND window) { return GetDlgItem(window, IDC_RESULT_TEXT); }
  static HFONT FontOf(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageA(TextField(window), WM_GETFONT, 0, 0));
  }
  static std::string Text(HWND window) {
    char text[256] = {};
    GetWindowTextA(TextField(window), text, sizeof text);
    return text;
  }
};

HFONT watchedFont = nullptr;
DWORD fontTypeWhenFieldWent = 0;
WNDPROC fieldProc = nullptr;

LRESULT CALLBACK WatchingFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) fontTypeWhenFieldWent = GetObjectType(watchedFont);
  return CallWindowProcA(fieldProc, field, message, wParam, lParam);
}

TEST_F(ResultWindowTest, FontLastsUntilTheTextFieldIsGoneAndIsFreedThen) {
  HWND window = Open("text");
  ASSERT_NE(window, nullptr);
  watchedFont = FontOf(window);
  ASSERT_EQ(GetObjectType(watchedFont), static_cast<DWORD>(OBJ_FONT));
  fieldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      TextField(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingFieldProc)));

  SendMessageA(window, WM_COMMAND, IDC_RESULT_CLOSE, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(fontTypeWhenFieldWent, static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(watchedFont), 0u);
}

TEST_F(ResultWindowTest, TwoWindowsOpenAtOnceEachCloseOnTheirOwn) {
  HWND older = Open("older");
  HWND newer = Open("newer");
  ASSERT_NE(older, nullptr);
  ASSERT_NE(newer, nullptr);
  EXPECT_EQ(Text(older), "older");
  EXPECT_EQ(Text(newer), "newer");

  RECT olderRect;
  GetWindowRect(older, &olderRect);
  SendMessageA(older, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(older));
  EXPECT_EQ(Settings.LogPosX, olderRect.left);
  ASSERT_TRUE(IsWindow(newer));
  EXPECT_EQ(Text(newer), "newer");
  EXPECT_EQ(GetObjectType(FontOf(newer)), static_cast<DWORD>(OBJ_FONT));

  SendMessageA(newer, WM_COMMAND, IDC_RESULT_CLOSE, 0);
  EXPECT_FALSE(IsWindow(newer));
}

// The hints go into the window's text, as shown and saved, unless turned off.
TEST_F(ResultWindowTest, ShowsHintsUnderTheErrorsWhenTheyAreWanted) {
  const char output[] = "A.java:1: error: ';' expected\r\nint x\r\n     ^\r\n1 error\r\n";
  for (const DWORD showHints : {1u, 0u}) {
    Settings.ShowHints = showHints;
    HWND window = Open(output);
    const std::string text = Text(window);
    DestroyWindow(window);
    EXPECT_EQ(text.find("^\r\nヒント: ") != std::string::npos, showHints == 1) << Utf8(text);
    EXPECT_NE(text.find("1 error"), std::string::npos);
  }
}

TEST_F(ResultWindowTest, StoredPlacesNearTheLimitsOfTheirRangeGiveAWindowOnTheWorkArea) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  const LONG places[][4] = {{LONG_MAX - 10, LONG_MAX - 10, LONG_MAX, LONG_MAX},
                            {LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX},
                            {-5, -5, LONG_MAX, 200},
                            {100, 100, 300, LONG_MAX}};
  for (const auto& place : places) {
    SCOPED_TRACE(testing::Message()
                 << place[0] << ", " << place[1] << ", " << place[2] << " x " << place[3]);
    Settings.LogPosX = place[0];
    Settings.LogPosY = place[1];
    Settings.LogSizeX = place[2];
    Settings.LogSizeY = place[3];
    HWND window = Open("");
    ASSERT_NE(window, nullptr);
    RECT rect;
    GetWindowRect(window, &rect);
    DestroyWindow(window);
    EXPECT_LE(rect.right - rect.left, work.right - work.left);
    EXPECT_LE(rect.bottom - rect.top, work.bottom - work.top);
    RECT shown;
    EXPECT_TRUE(IntersectRect(&shown, &rect, &work));
  }
}

}  // namespace
