// Path operations on Shift-JIS paths whose characters have 0x5C trail bytes.
#include <gtest/gtest.h>

#include "test_support.h"
#include "tools/path_ops.h"

namespace {

TEST(PathOps, DirectoryOfKeepsDoubleByteCharactersWhole) {
  // 表 and ソ both end in the byte 0x5C.
  ASSERT_EQ(std::string("表").back(), '\\');
  EXPECT_EQ(DirectoryOf("D:\\work\\表示\\Hello.java"), "D:\\work\\表示\\");
  EXPECT_EQ(DirectoryOf("ソース\\Hello.java"), "ソース\\");
  EXPECT_EQ(DirectoryOf("D:\\作業表"), "D:\\");
  EXPECT_EQ(DirectoryOf("C:\\Hello.java"), "C:\\");
  EXPECT_EQ(DirectoryOf("Hello.java"), "");
  EXPECT_EQ(FileNameOf("D:\\work\\表示\\ソ.java"), "ソ.java");
}

TEST(PathOps, StripExtensionCutsOnlyTheFilePart) {
  std::string path = "D:\\work\\表示\\Hello.java";
  StripExtension(path);
  EXPECT_EQ(path, "D:\\work\\表示\\Hello");
  path = "D:\\work\\Hello.old.java";
  StripExtension(path);
  EXPECT_EQ(path, "D:\\work\\Hello.old");
  path = "D:\\my.dir\\Hello";
  StripExtension(path);
  EXPECT_EQ(path, "D:\\my.dir\\Hello");
  path = "ソース.java";
  StripExtension(path);
  EXPECT_EQ(path, "ソース");
}

TEST(PathOps, ResolveLongNameTurnsARealShortNameIntoTheStoredOne) {
  TempFolder folder("long");
  std::string dir = folder / "表示";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  std::string longPath = dir + "\\VeryLongClassName.java";
  WriteFileBytes(longPath, "class VeryLongClassName {}");
  char shortPath[MAX_PATH];
  ASSERT_GT(GetShortPathNameA(longPath.c_str(), shortPath, MAX_PATH), 0u);
  std::string shortName = FileNameOf(shortPath);
  ASSERT_NE(shortName, "VeryLongClassName.java") << "no 8.3 name to resolve";

  std::string path = dir + "\\" + shortName;
  ResolveLongName(path);
  EXPECT_EQ(path, longPath) << Utf8(path);

  std::string upper = dir + "\\VERYLONGCLASSNAME.JAVA";
  ResolveLongName(upper);
  EXPECT_EQ(upper, longPath);
}

TEST(PathOps, ResolveLongNameLeavesMissingFilesAndWildcardsAlone) {
  TempFolder folder("long");
  WriteFileBytes(folder / "Hello.java", "");
  std::string missing = folder / "Nothing.java";
  ResolveLongName(missing);
  EXPECT_EQ(missing, folder / "Nothing.java");
  std::string wildcard = folder / "*.java";
  ResolveLongName(wildcard);
  EXPECT_EQ(wildcard, folder / "*.java");
}

}  // namespace
