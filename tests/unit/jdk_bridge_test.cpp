// RunTool with the JDK bridge on PATH: the machine's real javac compiles the
// samples, and its messages come back through the interpreter's output.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "java/jdk_finder.h"
#include "common/win_handle.h"
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

  // A javac call on one of the samples, which are in Shift_JIS.
  ToolCall SampleCall(const std::string& name) {
    ToolCall call = CallOn(*folder_ / name);
    call.javacEncoding = "windows-31j";
    return call;
  }

  // Compiles one file of the folder; returns what the interpreter printed.
  std::string Compile(const std::string& name) {
    ScopedEnv path("PATH", PathWith(BridgeFolder()));
    ResultText text;
    EXPECT_EQ(RunTool("javac", SampleCall(name), 0, ToolArguments::First, text), RunEnd::Finished);
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

  // The bridge runs JDK 25 for the rest of the test; false where this
  // machine has none.
  bool OnJdk25() {
    jdk25Home_ = Jdk25Home();
    if (jdk25Home_.empty()) return false;
    jdk25_ = std::make_unique<ScopedEnv>("PELLARO_BRIDGE_JDK", jdk25Home_);
    return true;
  }

  std::unique_ptr<TempFolder> folder_;
  std::string jdk25Home_;
  std::unique_ptr<ScopedEnv> jdk25_;
};

const char kNoJdk25[] = "no JDK 25 under /usr/lib/jvm on this machine";

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

// The sample, and a compact source file of JDK 25 (an implicit class with
// an instance main method), saved as notepad saves them.
TEST_F(JdkBridge, ShiftJisSampleAndCompactSourceRunOnJdk25) {
  if (!OnJdk25()) GTEST_SKIP() << kNoJdk25;
  UseFolder("bridge25");
  std::string folder;
  std::string text = CompileAndRun(*folder_ / "Hello.java", folder);
  EXPECT_NE(text.find("こんにちは、Pellaro!"), std::string::npos) << Utf8(text);
  WriteFileBytes(*folder_ / "Compact.java", "void main() { IO.println(\"こんにちは\"); }\r\n");
  text = CompileAndRun(*folder_ / "Compact.java", folder);
  EXPECT_FALSE(HasErrorText(text)) << Utf8(text);
  EXPECT_NE(text.find("こんにちは\r\n"), std::string::npos) << Utf8(text);
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

// Types one line for java as soon as it runs, as the user does in the live
// result window.
class TypesForJava : public RunWatch {
 public:
  explicit TypesForJava(const std::wstring& line) : line_(line) { WatchRuns(this); }
  ~TypesForJava() override { WatchRuns(nullptr); }
  void Begin(ToolRun& run) override {
    if (GivesInput(run.Tool())) run.Send(line_);
  }
  bool GivesInput(const char* tool) const override { return lstrcmpA(tool, "java") == 0; }
  DWORD NextWake() override { return INFINITE; }
  bool ShouldStop() override { return false; }
  void End() override {}

 private:
  std::wstring line_;
};

TEST_F(JdkBridge, ScannerReadsTheTypedLine) {
  folder_ = std::make_unique<TempFolder>("bridge");
  WriteFileBytes(*folder_ / "Twice.java",
                 "import java.util.Scanner;\r\n"
                 "public class Twice {\r\n"
                 "  public static void main(String[] args) {\r\n"
                 "    System.out.print(\"number: \");\r\n"
                 "    System.out.println(new Scanner(System.in).nextInt() * 2);\r\n"
                 "  }\r\n"
                 "}\r\n");
  TypesForJava typing(L"21");
  std::string folder;
  const std::string text = CompileAndRun(*folder_ / "Twice.java", folder);
  EXPECT_NE(text.find("> java Twice\r\n21\r\n"), std::string::npos) << Utf8(text);
  EXPECT_NE(text.find("number: 42\r\n"), std::string::npos) << Utf8(text);
  EXPECT_NE(text.find("--- 終了コード 0 ("), std::string::npos) << Utf8(text);
}

// A JDK folder whose javac is the bridge and whose release file is the real
// JDK's, so that the runs know its version; archives go to a folder of the
// test's own.
class FastJavac : public JdkBridge {
 protected:
  void SetUp() override {
    JdkBridge::SetUp();
    if (HostJdkRelease().empty()) GTEST_SKIP() << "no JDK on this machine";
    UseFolder("fast");
    jdk_ = *folder_ / "jdk";
    ASSERT_TRUE(CreateDirectoryA(jdk_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((jdk_ + "\\bin").c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((BridgeFolder() + "\\javac.exe").c_str(),
                          (jdk_ + "\\bin\\javac.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(HostJdkRelease().c_str(), (jdk_ + "\\release").c_str(), FALSE));
    // Stands for the base archive, which the real JDK keeps in its own folder.
    ASSERT_TRUE(CreateDirectoryA((jdk_ + "\\bin\\server").c_str(), nullptr));
    WriteFileBytes(jdk_ + "\\bin\\server\\classes.jsa", "");
    ASSERT_TRUE(CreateDirectoryA((*folder_ / "local").c_str(), nullptr));
    local_ = std::make_unique<ScopedEnv>("LOCALAPPDATA", *folder_ / "local");
  }

  // Compiles Bad.java with FastJavac as given; what the interpreter printed.
  std::string CompileBad(DWORD fastJavac) {
    Settings.FastJavac = fastJavac;
    ScopedEnv path("PATH", PathWith(jdk_ + "\\bin"));
    ToolCall call = SampleCall("Bad.java");
    call.jdk = JdkIn(jdk_);
    ResultText text;
    EXPECT_EQ(RunTool("javac", call, 0, ToolArguments::First, text), RunEnd::Finished);
    return text.Text();
  }

  std::vector<std::string> Archives() const {
    std::vector<std::string> found;
    const std::string folder = *folder_ / "local\\Pellaro\\cds\\";
    WIN32_FIND_DATAA entry;
    UniqueFindHandle search(FindFirstFileA((folder + "*.jsa").c_str(), &entry));
    if (!search) return found;
    do found.push_back(folder + entry.cFileName);
    while (FindNextFileA(search.Get(), &entry));
    return found;
  }

  std::string jdk_;
  std::unique_ptr<ScopedEnv> local_;

  // A plain compile, one that writes the archive and one that reads it all
  // print the same.
  void ExpectArchiveWrittenAndRead() {
    const std::string plain = CompileBad(0);
    ASSERT_TRUE(HasErrorText(plain)) << Utf8(plain);
    EXPECT_TRUE(Archives().empty());
    EXPECT_EQ(CompileBad(1), plain);  // writes the archive
    ASSERT_EQ(Archives().size(), 1u);
    EXPECT_EQ(CompileBad(1), plain);  // reads it
    EXPECT_EQ(Archives().size(), 1u);
  }
};

TEST_F(FastJavac, CompileWithErrorsPrintsWhatAPlainCompilePrints) { ExpectArchiveWrittenAndRead(); }

TEST_F(FastJavac, ArchiveIsWrittenAndReadOnJdk25) {
  if (!OnJdk25()) GTEST_SKIP() << kNoJdk25;
  ASSERT_TRUE(
      CopyFileA(WindowsPath(jdk25Home_ + "/release").c_str(), (jdk_ + "\\release").c_str(), FALSE));
  ExpectArchiveWrittenAndRead();
}

TEST_F(FastJavac, DamagedArchiveOrFolderThatCannotBeWrittenGivesJavacsOwnText) {
  const std::string plain = CompileBad(0);
  CompileBad(1);
  ASSERT_EQ(Archives().size(), 1u);
  const std::string archive = Archives().front();
  const std::string bytes = ReadWholeFile(archive);
  SetFileAttributesA(archive.c_str(), FILE_ATTRIBUTE_NORMAL);

  WriteFileBytes(archive, bytes.substr(0, bytes.size() / 8));  // cut short
  EXPECT_EQ(CompileBad(1), plain);
  ASSERT_EQ(Archives().size(), 1u) << "no archive written in place of the damaged one";

  const std::string renewed = Archives().front();
  SetFileAttributesA(renewed.c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteFileBytes(renewed, std::string(ReadWholeFile(renewed).size(), 'x'));  // overwritten
  EXPECT_EQ(CompileBad(1), plain);

  ScopedEnv unwritable("LOCALAPPDATA", *folder_ / "Hello.java");
  EXPECT_EQ(CompileBad(1), plain);
}

}  // namespace
