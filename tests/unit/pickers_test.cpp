// The pickers on this thread, answered from another thread as a user would:
// a typed name and OK, or cancel.
#include "dialogs/pickers.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "test_support.h"
#include "ui_driver.h"

namespace {

BOOL CALLBACK TakeVisibleDialog(HWND window, LPARAM found) {
  char type[16] = {};
  GetClassNameA(window, type, sizeof type);
  if (!IsWindowVisible(window) || std::strcmp(type, "#32770") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The visible dialog that thread shows, or null after the wait.
HWND WaitForDialogOf(DWORD thread) {
  for (DWORD waited = 0; waited < kUiWaitMs; waited += 20) {
    HWND found = nullptr;
    EnumThreadWindows(thread, TakeVisibleDialog, reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    Sleep(20);
  }
  return nullptr;
}

// Runs pick on this thread while answer, on another, deals with its dialog.
bool Pick(bool (*pick)(HWND, char*), char* buffer, const std::function<void(HWND)>& answer) {
  const DWORD me = GetCurrentThreadId();
  std::thread user([&] {
    if (HWND dialog = WaitForDialogOf(me)) answer(dialog);
  });
  bool chosen = pick(nullptr, buffer);
  user.join();
  return chosen;
}

void Cancel(HWND dialog) { PressButton(dialog, IDCANCEL); }

TEST(FilePickers, ChosenNameIsLeftInTheBufferAndCancelLeavesItEmpty) {
  TempFolder folder("pick");
  WriteFileBytes(folder / "Hello.java", "");
  const struct {
    bool (*pick)(HWND, char*);
    std::string typed;
    std::string chosen;
  } cases[] = {
      {PickTextFileToSave, folder / "log", folder / "log.txt"},
      {PickExecutable, FakesFolder() + "\\javac.exe", FakesFolder() + "\\javac.exe"},
      {PickJavaSource, folder / "Hello.java", folder / "Hello.java"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf8(c.typed));
    char buffer[kPickerBufferSize] = "old";
    EXPECT_TRUE(Pick(c.pick, buffer, [&](HWND dialog) {
      TypeFileName(dialog, c.typed);
      PressPickerOk(dialog);
    }));
    EXPECT_EQ(Utf8(buffer), Utf8(c.chosen));
    std::strcpy(buffer, "old");
    EXPECT_FALSE(Pick(c.pick, buffer, Cancel));
    EXPECT_STREQ(buffer, "");
  }
}

// Selects item in the folder browser and presses OK.
void ChooseFolder(HWND dialog, BOOL isPath, LPARAM item) {
  // The browser fills its tree while it opens; select once it has settled.
  for (int i = 0; i < 2; ++i) {
    WaitUntilIdle(dialog);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(dialog, BFFM_SETSELECTIONA, isPath, item, SMTO_NORMAL, kUiWaitMs, &ignored);
  }
  WaitUntilIdle(dialog);
  PressButton(dialog, IDOK);
}

TEST(FolderPicker, GivesAFileSystemPathOrNothing) {
  TempFolder folder("pick");
  std::string path = folder.Path();
  path.pop_back();
  char buffer[kPickerBufferSize] = "old";
  EXPECT_TRUE(Pick(PickFolder, buffer, [&](HWND dialog) {
    ChooseFolder(dialog, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
  }));
  EXPECT_EQ(Utf8(buffer), Utf8(path));

  // "My Computer" has a display name but no path.
  LPITEMIDLIST computer = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
  EXPECT_FALSE(Pick(PickFolder, buffer, [&](HWND dialog) {
    ChooseFolder(dialog, FALSE, reinterpret_cast<LPARAM>(computer));
  }));
  CoTaskMemFree(computer);
  EXPECT_STREQ(buffer, "");

  std::strcpy(buffer, "old");
  EXPECT_FALSE(Pick(PickFolder, buffer, Cancel));
  EXPECT_STREQ(buffer, "old");
}

}  // namespace
