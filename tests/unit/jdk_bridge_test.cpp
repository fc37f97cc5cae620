// RunTool with the JDK bridge on PATH: the machine's real javac compiles the
// samples, and its messages come back through the interpreter's output.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "java/jdk_finder.h"
#include "settings/app_settings.h"
#include "test_support.h"
#include "tools/command_pipeline.h"
#include "tools/tool_run.h"

namespace {

class JdkBridge : public testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsInMemory();
    ForgetFoundJdks();
  }
  void TearDown() override { ResetSettingsInMemory(); }

  // Copies the samples into a new folder named from hint.
  void UseFolder(const std::string& hint) {
    folder_ = std::make_unique<TempFolder>(hint);
    for (const char* name : {"Hello.java", "Bad.java"})
      ASSERT_TRUE(CopyFileA(SourcePath(std::string("samples/") + name).c_str(),
                            (*folder_ / name).c_str(), FALSE))
          << name;
  }

  // Compiles one file of the folder; returns what the interpreter printed.
  std::string Compile(const std::string& name) {
    ScopedEnv path("PATH", PathWith(BridgeFolder()));
    ResultText text;
    EXPECT_EQ(RunTool("javac", *folder_ / name, 0, ToolArguments::First, text), RunEnd::Finished);
    return text.Text();
  }

  // Runs javac, then java, on the file as command slot 3 does; the result
  // text, and in folder the folder the tools ran in.
  std::string CompileAndRun(const std::string& file, std::string& folder) {
    ScopedEnv path("PATH", PathWith(BridgeFolder()));
    Settings.Cmd[2].ExeMode = 3;
    ResultBuffer[0] = '\0';
    folder = RunSequence(2, file, ResultBuffer).toolFolder;
    return ResultBuffer;
  }

  std::unique_ptr<TempFolder> folder_;
};

bool HasErrorText(const std::string& text) {
  return text.find("エラー") != std::string::npos || text.find("error") != std::string::npos;
}

// Every line of the result window's text must end in CR LF.
bool HasBareLineFeed(const std::string& text) {
  for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
    if (i == 0 || text[i - 1] != '\r') return true;
  return false;
}

TEST_F(JdkBridge, CleanSourceCompilesToAClassWithoutMessages) {
  UseFolder("bridge");
  std::string text = Compile("Hello.java");
  EXPECT_FALSE(HasErrorText(text)) << Utf8(text);
  EXPECT_TRUE(FileExists(*folder_ / "Hello.class")) << Utf8(text);
}

TEST_F(JdkBridge, CompileErrorComesBackAsCrLfTextWithItsLine) {
  UseFolder("bridge");
  std::string text = Compile("Bad.java");
  EXPECT_TRUE(HasErrorText(text)) << Utf8(text);
  EXPECT_NE(text.find("Bad.java:4:"), std::string::npos) << Utf8(text);
  EXPECT_FALSE(HasBareLineFeed(text)) << Utf8(text);
  EXPECT_FALSE(FileExists(*folder_ / "Bad.class"));
}

// ソ and 表 have 0x5C ('\\') as their second byte in code page 932.
TEST_F(JdkBridge, DoubleByteFolderAndQuotedArgumentWithBlankReachTheTool) {
  UseFolder("ソース 表示");
  ASSERT_TRUE(CreateDirectoryA((*folder_ / "出力 表").c_str(), nullptr));
  std::strcpy(Settings.Cmd[0].FirstCmdLine, "-d \"出力 表\"");
  std::string text = Compile("Hello.java");
  EXPECT_FALSE(HasErrorText(text)) << Utf8(text);
  EXPECT_TRUE(FileExists(*folder_ / "出力 表\\Hello.class")) << Utf8(text);
  EXPECT_FALSE(FileExists(*folder_ / "Hello.class"));
}

// The sample as notepad on Japanese Windows saves it, in Shift_JIS.
TEST_F(JdkBridge, ShiftJisSampleCompilesRunsAndPrintsItsJapaneseText) {
  UseFolder("bridge");
  std::string folder;
  const std::string text = CompileAndRun(*folder_ / "Hello.java", folder);
  EXPECT_FALSE(HasErrorText(text)) << Utf8(text);
  EXPECT_TRUE(FileExists(*folder_ / "Hello.class")) << Utf8(text);
  EXPECT_NE(text.find("こんにちは、Pellaro!"), std::string::npos) << Utf8(text);
}

// Main uses Util of its package: both compile from the root, and java loads
// app.Main; the class files stay beside their sources.
TEST_F(JdkBridge, PackageSampleCompilesAndRunsFromItsRoot) {
  folder_ = std::make_unique<TempFolder>("bridge");
  ASSERT_TRUE(CreateDirectoryA((*folder_ / "app").c_str(), nullptr));
  for (const char* name : {"Main.java", "Util.java"})
    ASSERT_TRUE(CopyFileA(SourcePath(std::string("samples/app/") + name).c_str(),
                          (*folder_ / "app\\" + name).c_str(), FALSE));
  std::string folder;
  const std::string text = CompileAndRun(*folder_ / "app\\Main.java", folder);
  EXPECT_EQ(folder, folder_->Path());
  EXPECT_FALSE(HasErrorText(text)) << Utf8(text);
  EXPECT_TRUE(FileExists(*folder_ / "app\\Util.class")) << Utf8(text);
  EXPECT_NE(text.find("パッケージ app から、こんにちは Pellaro!"), std::string::npos) << Utf8(text);
}

}  // namespace
