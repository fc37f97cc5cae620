// The applet page: its exact one-line text, where it is written, and that an
// existing page is never touched.
#include <gtest/gtest.h>

#include <memory>

#include "settings/app_settings.h"
#include "test_support.h"
#include "tools/applet_page.h"

namespace {

class AppletPageTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsInMemory();
    folder_ = std::make_unique<TempFolder>("page");
    source_ = *folder_ / "Hello.java";
    page_ = *folder_ / "temp.html";
  }
  void TearDown() override { ResetSettingsInMemory(); }

  std::unique_ptr<TempFolder> folder_;
  std::string source_;
  std::string page_;
};

TEST_F(AppletPageTest, PageIsOneLineWithSizesAndParamsInListOrder) {
  lstrcpyA(Settings.width, "300");
  lstrcpyA(Settings.height, "200");
  Settings.Param = {{"width", "100"}, {"color", "red"}, {"color", "青い表示"}, {"", ""}};
  std::string pagePath;
  ASSERT_TRUE(WriteAppletPage(source_, pagePath));
  EXPECT_EQ(pagePath, page_);
  EXPECT_EQ(ReadWholeFile(page_),
            "<APPLET CODE=\"Hello.class\" WIDTH=\"300\" HEIGHT=\"200\">"
            "<PARAM NAME=\"width\" VALUE=\"100\">"
            "<PARAM NAME=\"color\" VALUE=\"red\">"
            "<PARAM NAME=\"color\" VALUE=\"青い表示\">"
            "<PARAM NAME=\"\" VALUE=\"\">"
            "</APPLET>");
}

TEST_F(AppletPageTest, EmptySizesAndNoParamsGiveTheBareTags) {
  std::string pagePath;
  ASSERT_TRUE(WriteAppletPage(source_, pagePath));
  EXPECT_EQ(ReadWholeFile(page_), "<APPLET CODE=\"Hello.class\" WIDTH=\"\" HEIGHT=\"\"></APPLET>");
}

TEST_F(AppletPageTest, ClassFileTitleKeepsInnerDotsAndDoubleByteNames) {
  EXPECT_NE(AppletPageText(*folder_ / "Hello.old.java").find("CODE=\"Hello.old.class\""),
            std::string::npos);
  // 表 ends in the byte 0x5C, which must not be taken for a separator.
  EXPECT_NE(AppletPageText(*folder_ / "表示.java").find("CODE=\"表示.class\""), std::string::npos);
  EXPECT_NE(AppletPageText(*folder_ / "my.dir\\Hello").find("CODE=\"Hello.class\""),
            std::string::npos);
}

TEST_F(AppletPageTest, PageGoesBesideTheSourceInAFolderWithTrailByte5C) {
  std::string dir = *folder_ / "表示";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  std::string pagePath;
  ASSERT_TRUE(WriteAppletPage(dir + "\\Applet.java", pagePath));
  EXPECT_EQ(pagePath, dir + "\\temp.html");
  EXPECT_EQ(ReadWholeFile(pagePath),
            "<APPLET CODE=\"Applet.class\" WIDTH=\"\" HEIGHT=\"\"></APPLET>");
}

TEST_F(AppletPageTest, ExistingPageIsNeitherOverwrittenNorReportedAsWritten) {
  WriteFileBytes(page_, "the user's own page");
  std::string pagePath;
  EXPECT_FALSE(WriteAppletPage(source_, pagePath));
  EXPECT_EQ(pagePath, page_);
  EXPECT_EQ(ReadWholeFile(page_), "the user's own page");
}

TEST_F(AppletPageTest, UnwritableFolderGivesFalseWithThePagePathFilledIn) {
  std::string pagePath;
  EXPECT_FALSE(WriteAppletPage(*folder_ / "missing\\Hello.java", pagePath));
  EXPECT_EQ(pagePath, *folder_ / "missing\\temp.html");
}

TEST_F(AppletPageTest, PagePathBeyond259BytesIsRefused) {
  // A folder whose page path needs 260 bytes, made through the long-path form.
  std::string dir = folder_->Path();
  while (dir.size() + 10 < 260) dir += "d";
  std::wstring wide(L"\\\\?\\");
  for (char c : dir) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
  ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
  std::string pagePath;
  EXPECT_FALSE(WriteAppletPage(dir + "\\Hello.java", pagePath));
  EXPECT_EQ(pagePath, dir + "\\temp.html");
  EXPECT_EQ(pagePath.size(), 260u);
  EXPECT_FALSE(FileExists(pagePath));
  RemoveDirectoryW(wide.c_str());
}

TEST_F(AppletPageTest, SourceWithoutFolderWritesNothingInTheCurrentDirectory) {
  TempFolder current("cwd");
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(current.Path().c_str()));
  std::string pagePath;
  bool written = WriteAppletPage("Hello.java", pagePath);
  SetCurrentDirectoryA(previous);
  EXPECT_FALSE(written);
  EXPECT_FALSE(FileExists(current / "temp.html"));
}

}  // namespace
