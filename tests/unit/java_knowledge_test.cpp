// What the program knows about Java sources and JDKs, as tables: the source
// encoding javac is told, the package line and its folders, the version order.
#include <gtest/gtest.h>

#include "java/java_package.h"
#include "java/jdk_finder.h"
#include "java/source_encoding.h"
#include "test_support.h"

namespace {

// Narrow literals are Shift_JIS here: 表 is 95 5C and ソ is 83 5C.
TEST(SourceEncodingDecision, FollowsTheBytes) {
  const struct {
    const char* what;
    std::string bytes;
    bool whole;
    const char* name;
  } cases[] = {
      {"ASCII", "class A { String s = \"a\\\\b\"; }", true, ""},
      {"Shift_JIS 表 ソ", "// 表示 ソース\r\nclass A {}", true, "windows-31j"},
      {"UTF-8", "// \xE8\xA1\xA8\xE7\xA4\xBA\nclass A {}", true, "UTF-8"},
      {"UTF-8 with BOM",
       "\xEF\xBB\xBF"
       "class A {}",
       true, "UTF-8"},
      {"UTF-8 cut off at the file's end", "class A {} // \xE8\xA1", true, "windows-31j"},
      {"UTF-8 cut off at the sample's end", "class A {} // \xE8\xA1", false, "UTF-8"},
      {"over-long slash", "// \xC0\xAF", true, "windows-31j"},
      {"over-long three bytes", "// \xE0\x80\xAF", true, "windows-31j"},
      {"surrogate", "// \xED\xA0\x80", true, "windows-31j"},
      {"beyond U+10FFFF", "// \xF4\x90\x80\x80", true, "windows-31j"},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(JavacEncodingName(DecideSourceEncoding(c.bytes, c.whole)), c.name) << c.what;
  EXPECT_EQ(DecideSourceEncoding("\xEF\xBB\xBF"
                                 "class A {}"),
            SourceEncoding::Utf8WithBom);
}

TEST(SourceEncodingDecision, TakesTheFoldersOtherSourcesIntoAccount) {
  using E = SourceEncoding;
  const struct {
    E source;
    std::vector<OtherSource> others;
    E told;
    std::vector<std::string> named;
  } cases[] = {
      {E::Ascii, {{"B.java", E::Ascii}}, E::Ascii, {}},
      {E::Ascii, {{"Util.java", E::Windows31j}}, E::Windows31j, {}},
      {E::Ascii, {{"U.java", E::Utf8}, {"B.java", E::Utf8WithBom}}, E::Utf8, {}},
      {E::Utf8, {{"S.java", E::Windows31j}, {"U.java", E::Utf8}}, E::Utf8, {"S.java"}},
      {E::Windows31j, {{"U.java", E::Utf8}, {"A.java", E::Ascii}}, E::Windows31j, {"U.java"}},
      {E::Ascii, {{"U.java", E::Utf8}, {"S.java", E::Windows31j}}, E::Windows31j, {"U.java"}},
      {E::Utf8WithBom, {{"S.java", E::Windows31j}}, E::Utf8WithBom, {"S.java"}},
      {E::Utf16, {{"A.java", E::Ascii}, {"W.java", E::Utf16}}, E::Utf16, {"A.java"}},
      {E::Windows31j, {{"W.java", E::Utf16}}, E::Windows31j, {"W.java"}},
  };
  for (const auto& c : cases) {
    const FolderEncoding decided = DecideFolderEncoding(c.source, c.others);
    EXPECT_EQ(decided.encoding, c.told) << static_cast<int>(c.source) << " " << c.others[0].name;
    EXPECT_EQ(decided.otherFiles, c.named) << static_cast<int>(c.source) << " " << c.others[0].name;
  }
  EXPECT_STREQ(JavacEncodingName(DecideSourceEncoding(std::string("\xFE\xFF\0a", 4))), "UTF-16");
}

TEST(SourceEncodingDecision, GoesBeforeTheUsersArgumentsUnlessTheyNameOne) {
  const struct {
    const char* arguments;
    const char* name;
    const char* result;
  } cases[] = {
      {"", "UTF-8", "-encoding UTF-8"},
      {"-g -d 出力表", "windows-31j", "-encoding windows-31j -g -d 出力表"},
      {"-g", "", "-g"},
      {"-g -encoding EUC-JP", "windows-31j", "-g -encoding EUC-JP"},
      {"-encoding UTF-8", "windows-31j", "-encoding UTF-8"},
      {"-J-Dfile.encoding=UTF-8 -encodingx", "UTF-8",
       "-encoding UTF-8 -J-Dfile.encoding=UTF-8 -encodingx"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithSourceEncoding(c.arguments, c.name), c.result);
}

TEST(JavaPackage, IsTheFirstDeclaration) {
  const struct {
    std::string source;
    bool shiftJis;
    const char* package;
  } cases[] = {
      {"package a.b;\nclass A {}", false, "a.b"},
      {"\xEF\xBB\xBF// head\r\n/* x; package no; */\t/** doc */ package app ;", false, "app"},
      {"package a . /* c */ b;", false, "a.b"},
      {"// package a;\nclass A {}", false, ""},
      {"import a.b;\npackage c;", false, ""},
      {"packagex a;", false, ""},
      {"package a.b", false, ""},
      {"package 表.ソ;", true, "表.ソ"},
      {"package \xE8\xA1\xA8;", false, "\xE8\xA1\xA8"},
      {"/* never closed package a;", false, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DeclaredPackage(c.source, c.shiftJis), c.package) << Utf8(c.source);
  // UTF-16 in either byte order.
  EXPECT_EQ(DeclaredPackage(Utf16SourceAsUtf8(std::string("\xFF\xFEp\0a\0c\0k\0a\0g\0e\0 \0"
                                                          "a\0.\0b\0;\0",
                                                          26)),
                            false),
            "a.b");
  EXPECT_EQ(DeclaredPackage(Utf16SourceAsUtf8(std::string("\xFE\xFF\0p\0a\0c\0k\0a\0g\0e\0 "
                                                          "\x88h\0;",
                                                          22)),
                            false),
            "\xE8\xA1\xA8");
}

TEST(JavaPackage, PlacesTheClassUnderItsRoot) {
  const struct {
    const char* folder;
    const char* package;
    const char* root;
  } cases[] = {
      {"C:\\src\\a\\b\\", "a.b", "C:\\src\\"},
      {"C:\\src\\A\\B\\", "a.b", "C:\\src\\"},
      {"C:\\a\\b\\", "a.b", "C:\\"},
      {"C:\\src\\b\\a\\", "a.b", ""},
      {"C:\\src\\xa\\b\\", "a.b", ""},
      {"C:\\src\\b\\", "a.b", ""},
      {"D:\\作業\\表\\ソ\\", "表.ソ", "D:\\作業\\"},
      {"\\\\server\\share\\app\\", "app", "\\\\server\\share\\"},
      {"C:\\src\\", "", "C:\\src\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(PackageRoot(c.folder, c.package), c.root) << c.folder;
  EXPECT_EQ(PackageFolders("表.ソ.c"), "表\\ソ\\c");
  EXPECT_EQ(QualifiedName("a.b", "Main"), "a.b.Main");
  EXPECT_EQ(QualifiedName("", "Main"), "Main");
}

TEST(JdkVersions, OrderNumerically) {
  // Oldest first.
  const char* versions[] = {"1.6.0_45", "1.8.0_202", "jdk1.8.0_402", "9",         "11.0.2",
                            "17",       "17.0.10",   "21",           "21.0.5+11", "25"};
  for (std::size_t i = 0; i + 1 < std::size(versions); ++i) {
    EXPECT_LT(CompareJdkVersions(versions[i], versions[i + 1]), 0) << versions[i];
    EXPECT_GT(CompareJdkVersions(versions[i + 1], versions[i]), 0) << versions[i];
  }
  EXPECT_EQ(CompareJdkVersions("21", "21.0.0"), 0);
  EXPECT_EQ(VersionFromName("jdk-21.0.5.11-hotspot"), "21.0.5.11-hotspot");
  EXPECT_EQ(VersionFromName("zulu"), "");
}

TEST(JdkVersions, ReleaseFileGivesItsValuesWithoutQuotes) {
  const JdkRelease release = ParseJdkRelease(
      "IMPLEMENTOR=\"Eclipse Adoptium\"\r\nJAVA_VERSION=\"21.0.5\"\r\nnot a line\r\n");
  EXPECT_EQ(release, (JdkRelease{{"IMPLEMENTOR", "Eclipse Adoptium"}, {"JAVA_VERSION", "21.0.5"}}));
}

}  // namespace
