// Saving a whole file: replacing one that exists, and writing directly where
// no twin file can be made beside it.
#include "common/replacing_file.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

TEST(ReplacingFile, TextArrivesWholeWhetherOrNotATwinCanBeMade) {
  TempFolder folder("save");
  // A folder so deep that the target's path is 259 bytes: no longer name fits.
  std::string deep = folder.Path() + std::string(250 - folder.Path().size(), 'd');
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
  const std::string longest = deep + "\\" + std::string(259 - deep.size() - 1, 'f');
  ASSERT_EQ(longest.size(), 259u);
  // The twin's name taken by a folder.
  const std::string blocked = folder / "blocked.txt";
  ASSERT_TRUE(CreateDirectoryA((blocked + ".pellaro-save").c_str(), nullptr));
  const std::string existing = folder / "existing.txt";
  WriteFileBytes(existing, "old text that is longer");

  for (const std::string& path : {folder / "new.txt", existing, blocked, longest}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(WriteFileReplacing(path, "結果\r\n"), FileWriteResult::Written);
    EXPECT_EQ(ReadWholeFile(path), "結果\r\n");
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    if (path != blocked) {
      EXPECT_FALSE(FileExists(path + ".pellaro-save"));
    }
  }
}

}  // namespace
