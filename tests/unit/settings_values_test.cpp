// The settings pages' conversions between stored values and controls, and the
// cuts that keep a typed text within its field.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialogs/settings_values.h"

namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(CommandListConversion, ExeModesMapToListIndexes) {
  const struct {
    DWORD mode;
    int index;
  } cases[] = {{1, 0},
               {2, 1},
               {6, 2},
               {3, 3},
               {7, 4},
               // Compile first with no known follower: plain "javac".
               {5, 0},
               {9, 0},
               {255, 0},
               // No compile and no known tool: nothing selected.
               {0, 255},
               {4, 255},
               {8, 255},
               {254, 255}};
  for (const auto& c : cases) EXPECT_EQ(ExeModeToListIndex(c.mode), c.index) << "mode " << c.mode;
}

TEST(CommandListConversion, ListIndexesMapToExeModes) {
  const struct {
    int index;
    DWORD mode;
  } cases[] = {{0, 1}, {1, 2}, {2, 6}, {3, 3}, {4, 7}, {5, 255}, {CB_ERR, 255}, {255, 255}};
  for (const auto& c : cases) EXPECT_EQ(ListIndexToExeMode(c.index), c.mode) << "index " << c.index;
}

TEST(HotKeyConversion, ModifierBitsSwapPlacesAndWindowsAndExtendedKeysAreDropped) {
  const struct {
    DWORD modifiers;
    BYTE flags;
  } cases[] = {{0, 0},
               {MOD_SHIFT, HOTKEYF_SHIFT},
               {MOD_CONTROL, HOTKEYF_CONTROL},
               {MOD_ALT, HOTKEYF_ALT},
               {MOD_CONTROL | MOD_SHIFT, HOTKEYF_CONTROL | HOTKEYF_SHIFT},
               {MOD_ALT | MOD_CONTROL | MOD_SHIFT, HOTKEYF_ALT | HOTKEYF_CONTROL | HOTKEYF_SHIFT}};
  for (const auto& c : cases) {
    EXPECT_EQ(ModifiersToHotKeyFlags(c.modifiers), c.flags) << "modifiers " << c.modifiers;
    EXPECT_EQ(HotKeyFlagsToModifiers(c.flags), c.modifiers) << "flags " << int(c.flags);
  }
  EXPECT_EQ(ModifiersToHotKeyFlags(MOD_WIN | MOD_ALT), HOTKEYF_ALT);
  EXPECT_EQ(HotKeyFlagsToModifiers(HOTKEYF_EXT | HOTKEYF_SHIFT), static_cast<DWORD>(MOD_SHIFT));
}

TEST(TypedTextCut, CutsFallBeforeADoubleByteCharacterTheyWouldSplit) {
  const std::string hyou = "表";  // 95 5C: a lead byte and a backslash trail byte
  ASSERT_EQ(hyou.size(), 2u);
  const struct {
    std::string text;
    std::size_t max;
    std::string kept;
  } cases[] = {{std::string(300, 'x'), 258, std::string(258, 'x')},
               {"a" + Repeat(hyou, 129), 258, "a" + Repeat(hyou, 128)},
               {Repeat(hyou, 129), 258, Repeat(hyou, 129)},
               {"12345", 4, "1234"},
               {"1" + Repeat(hyou, 2), 4, "1" + hyou},
               {"short", 258, "short"},
               {"", 4, ""}};
  for (const auto& c : cases) EXPECT_EQ(CutAtCharBoundary(c.text, c.max), c.kept) << c.max;
}

TEST(TypedTextCut, FolderPathGetsItsBackslashWhenItFits) {
  const std::string hyou = "表";
  const struct {
    std::string path;
    std::string stored;
  } cases[] = {{"C:\\jdk\\bin", "C:\\jdk\\bin\\"},
               {"C:\\jdk\\bin\\", "C:\\jdk\\bin\\"},
               // Its trail byte is 0x5C, but the path does not end in a backslash.
               {"C:\\" + hyou, "C:\\" + hyou + "\\"},
               {"", ""},
               {std::string(258, 'x'), std::string(258, 'x') + "\\"},
               {std::string(259, 'x'), std::string(259, 'x')}};
  for (const auto& c : cases) EXPECT_EQ(WithTrailingBackslash(c.path, 260), c.stored) << c.path;
}

}  // namespace
