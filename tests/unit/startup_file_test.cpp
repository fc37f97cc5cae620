// Which file a start names, and what kind of start it makes.
#include <gtest/gtest.h>

#include "app/interactive_startup.h"
#include "tools/path_ops.h"
#include "test_support.h"

namespace {

TEST(StartupFile, ArgumentLosesItsQuotesAndIsMadeFull) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  std::string folder = current;
  if (folder.back() != '\\') folder += '\\';
  EXPECT_EQ(ArgumentPath("\"D:\\a b\\Hello.java\""), "D:\\a b\\Hello.java");
  EXPECT_EQ(ArgumentPath("Hello.java"), folder + "Hello.java");
  EXPECT_EQ(ArgumentPath("\"\""), "");
  EXPECT_EQ(ArgumentPath(""), "");
}

TEST(StartupFile, KindFollowsTheEndingInItsLetterCase) {
  const struct {
    const char* path;
    StartupKind kind;
  } cases[] = {
      {"D:\\w\\Hello.java", StartupKind::JavaSource},
      {"D:\\w\\HELLO~1.JAV", StartupKind::JavaSource},
      {"D:\\w\\Hello.Java", StartupKind::Other},
      {"D:\\w\\Hello.jav", StartupKind::Other},
      {"D:\\w\\s.pxs", StartupKind::SettingsFile},
      {"D:\\w\\S.PXS", StartupKind::SettingsFile},
      {"D:\\w\\readme.txt", StartupKind::Other},
      {"a", StartupKind::Other},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyStartupFile(c.path), c.kind) << c.path;
}

}  // namespace
