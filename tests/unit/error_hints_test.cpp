// The hints under real javac and java output: small programs with a
// beginner's usual mistakes, compiled and run by the machine's JDK through
// the bridge, in Japanese and in English.
#include "java/error_hints.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

#include "java/jdk_finder.h"
#include "settings/app_settings.h"
#include "test_support.h"
#include "tools/command_pipeline.h"

namespace {

// Picks its mistake by the program's argument.
const char kExceptions[] = R"(import java.util.*;
public class Ex {
    static int down(int n) { return down(n + 1) + 1; }
    public static void main(String[] args) {
        String k = args[0];
        int zero = 0;
        String none = null;
        Object text = "x";
        if (k.equals("div")) System.out.println(1 / zero);
        if (k.equals("arr")) { int[] a = new int[3]; a[3] = 1; }
        if (k.equals("str")) "abc".charAt(5);
        if (k.equals("npe")) none.length();
        if (k.equals("nfe")) Integer.parseInt("12a");
        if (k.equals("ime")) new Scanner("abc").nextInt();
        if (k.equals("nse")) new Scanner("").nextLine();
        if (k.equals("cce")) System.out.println((Integer) text);
        if (k.equals("so")) down(0);
        if (k.equals("oom")) System.out.println(new long[Integer.MAX_VALUE - 8].length);
    }
}
)";

struct HintCase {
  const char* file;
  const char* source;
  const char* argument;  // null: compile only; else run with this argument
  bool english;          // also with English messages
  const char* hint;      // what a hint line holds
  int classVersion = 0;  // the class file's major version is made this before the run
};

const HintCase kCases[] = {
    {"Semi.java", "class Semi { void f() { int x = 1\n int y = 2; } }", nullptr, true,
     "「;」が足りません"},
    {"Sym.java", "class Sym { void f() { String name = \"a\";\n System.out.println(nmae); } }",
     nullptr, true, "似た名前: name"},
    {"Jp.java", "class Jp { int 点数 = 1;\n int f() { return 点効; } }", nullptr, true,
     "似た名前: 点数"},
    {"Nz.java", "class Nz { int f() { return zzz; } }", nullptr, true, "「zzz」が見つかりません。"},
    {"Imp.java", "class Imp { Scanner in = new Scanner(System.in); }", nullptr, true,
     "import java.util.Scanner;"},
    {"Inc.java", "class Inc { int n = \"12\"; }", nullptr, true, "Integer.parseInt"},
    {"Ret.java", "class Ret { int f(int a) { if (a > 0) return 1; } }", nullptr, true,
     "return 文を書いて"},
    {"Init.java", "class Init { void f() { int total;\n total++; } }", nullptr, true,
     "変数「total」に値が入らない"},
    {"Unr.java", "class Unr { int f() { return 1;\n f(); } }", nullptr, true,
     "実行されることがありません"},
    {"Hello.java", "public class Helo { }", nullptr, true,
     "ファイル名を Helo.java に変えるか、クラス名を Hello に直して"},
    {"Nst.java", "class Nst { int count;\n static void f() { count = 1; } }", nullptr, true,
     "static でない「count」"},
    {"Eof.java", "class Eof { void f() { if (true) { f(); }\n", nullptr, true,
     "「}」が 2 個足りません"},
    {"Par.java", "class Par { void f() {\n System.out.println((1 + 2); } }", nullptr, true,
     "「(」は 2 個、「)」は 1 個"},
    {"Expr.java", "class Expr { void f() { int z = ; } }", nullptr, true, "式の途中が抜けて"},
    {"App.java", "class App { int add(int a, int b) { return a + b; }\n int x = add(1); }", nullptr,
     true, "必要な引数は int,int ですが、渡した引数は int です"},
    {"Str.java", "class Str { String s = \"abc; }", nullptr, true, "閉じる「\"」"},
    {"Out.java", "class Out { }\n}\n", nullptr, true, "「}」が 1 個多い"},
    {"Type.java", "class Type { System.out.println(1); }", nullptr, true,
     "文はメソッドの { } の中に"},
    {"Ex.java", kExceptions, "div", false, "整数は 0 で割れません"},
    {"Ex.java", kExceptions, "arr", false, "長さ 3 の配列で番号 3"},
    {"Ex.java", kExceptions, "str", false, "番号 5 "},
    {"Ex.java", kExceptions, "npe", false, "「String.length()」を呼び出せません"},
    {"Ex.java", kExceptions, "nfe", false, "「12a」 は数として読めません"},
    {"Ex.java", kExceptions, "ime", false, "数として読めない入力"},
    {"Ex.java", kExceptions, "nse", false, "入力がもうありません"},
    {"Ex.java", kExceptions, "cce", false, "String のオブジェクトを Integer として"},
    {"Ex.java", kExceptions, "so", false, "自分自身を終わりなく"},
    {"Ex.java", kExceptions, "oom", false, "メモリが足りなく"},
    {"Main.java", "class Other { }", "", true, "クラス「Main」のクラスファイルが見つかりません"},
    {"NoMain.java", "public class NoMain { static void main2() { } }", "", true,
     "main(String[] args) がありません"},
    {"Old.java", "public class Old { public static void main(String[] a) { } }", "", true,
     "Java 55 (クラスファイル 99)", 99},
};

// The text without its hint lines.
std::string WithoutHints(const std::string& text) {
  std::string kept;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
    const std::string line = text.substr(start, end - start);
    if (!IsHintLine(line)) kept += line;
    start = end;
  }
  return kept;
}

// The line just before the first hint line.
std::string LineBeforeHint(const std::string& text) {
  const std::size_t hint = text.find(std::string("\r\n") + kHintPrefix);
  if (hint == std::string::npos) return std::string();
  const std::size_t start = text.rfind('\n', hint - 1);
  return text.substr(start == std::string::npos ? 0 : start + 1, hint - start - 1);
}

// The JDK the bridge runs: its own (JDK 17), or the one a home folder names.
class ErrorHints : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ResetSettingsInMemory();
    ForgetFoundJdks();
    const std::string home = GetParam();
    if (!home.empty() && !FileExists(WindowsPath(home + "/bin/javac")))
      GTEST_SKIP() << "no JDK in " << home;
    jdk_ = std::make_unique<ScopedEnv>("PELLARO_BRIDGE_JDK", home);
    path_ = std::make_unique<ScopedEnv>("PATH", PathWith(BridgeFolder()));
  }
  void TearDown() override { ResetSettingsInMemory(); }

  // Runs command slot 1 as exeMode says on the file; the result text.
  std::string Run(DWORD exeMode, const std::string& path, const char* options,
                  const char* argument) {
    Settings.Cmd[0].ExeMode = exeMode;
    std::strcpy(Settings.Cmd[0].FirstCmdLine, options);
    std::strcpy(Settings.ClassCmdLine, argument);
    ResultBuffer[0] = '\0';
    RunSequence(0, path, ResultBuffer);
    return ResultBuffer;
  }

  std::unique_ptr<ScopedEnv> jdk_, path_;
};

TEST_P(ErrorHints, ExplainTheMessagesOfTheRealJdk) {
  TempFolder folder("hints");
  std::set<std::string> compiled;
  for (const bool english : {false, true}) {
    for (const HintCase& c : kCases) {
      if (english && !c.english) continue;
      SCOPED_TRACE(testing::Message() << c.file << " " << (c.argument ? c.argument : "")
                                      << (english ? " English" : " Japanese"));
      const std::string path = folder / c.file;
      std::string text;
      if (!c.argument) {
        WriteFileBytes(path, c.source);
        text = Run(1, path, english ? "-J-Duser.language=en" : "", "");
      } else {
        if (compiled.insert(c.file).second) {
          WriteFileBytes(path, c.source);
          Run(1, path, "", "");
          if (c.classVersion) {
            const std::string classFile = path.substr(0, path.size() - 5) + ".class";
            std::string bytes = ReadWholeFile(classFile);
            ASSERT_GT(bytes.size(), 8u);
            bytes[6] = static_cast<char>(c.classVersion >> 8);
            bytes[7] = static_cast<char>(c.classVersion);
            WriteFileBytes(classFile, bytes);
          }
        }
        text = Run(2, path, english ? "-Duser.language=en" : "", c.argument);
      }
      const std::string hinted = WithHints(text, folder.Path(), ReadSourceAsAnsi);
      EXPECT_NE(hinted.find(c.hint), std::string::npos) << Utf8(hinted);
      EXPECT_EQ(WithoutHints(hinted), text);
      const std::string before = LineBeforeHint(hinted);
      // After the source line and its caret, or javac's details; straight
      // after an exception's first line.
      if (!c.argument) {
        EXPECT_TRUE(before[0] == ' ' || before[0] == '\t' || before[0] == '^') << Utf8(hinted);
      } else if (*c.argument) {
        EXPECT_NE(before.find("Exception in thread"), std::string::npos) << Utf8(hinted);
      }
    }
  }
}

// Forms the machine's JDKs do not print (JDK 8's), each as the last line of
// a text: the hint follows it on a line of its own.
TEST(ErrorHintsText, KnowTheFormsOfOlderJdks) {
  const struct {
    const char* line;
    const char* hint;
  } cases[] = {
      {"エラー: メイン・クラスHelloが見つからなかったかロードできませんでした", "クラス「Hello」"},
      {"A.java:3: エラー: クラス、インタフェースまたは列挙型がありません", "文はメソッドの"},
      {"A.java:2: エラー: '\\u3000'は不正な文字です", "全角スペース"},
      {"Exception in thread \"main\" java.lang.UnsupportedClassVersionError: Old : Unsupported "
       "major.minor version 52.0",
       "Java 8 (クラスファイル 52)"},
      {"Exception in thread \"main\" java.lang.UnsupportedClassVersionError: Old has been compiled "
       "by a more recent version of the Java Runtime (class file version 55.0), this version of "
       "the Java Runtime only recognizes class file versions up to 52.0",
       "Java 11 (クラスファイル 55) 用です。この java は Java 8 まで"},
      {"Exception in thread \"main\" java.lang.IndexOutOfBoundsException: Index: 2, Size: 0",
       "長さ 0 のリストで番号 2"},
      {"Exception in thread \"main\" java.lang.ArrayIndexOutOfBoundsException: 5",
       "配列の番号 5 は範囲の外"},
      {"Exception in thread \"main\" java.lang.StringIndexOutOfBoundsException: begin 2, end 7, "
       "length 3",
       "2 から 7 までを取り出そう"},
      {"Exception in thread \"main\" java.lang.NullPointerException", "その変数に new"},
      {"Exception in thread \"main\" java.lang.NumberFormatException: For input string: \"\"",
       "空の文字列"},
      {"Exception in thread \"main\" java.lang.ClassCastException: java.lang.String cannot be "
       "cast to java.lang.Integer",
       "String のオブジェクトを Integer として"},
  };
  for (const auto& c : cases) {
    const std::string hinted = WithHints(c.line, "C:\\work\\", nullptr);
    EXPECT_EQ(hinted.find(std::string(c.line) + "\r\n" + kHintPrefix), 0u) << Utf8(hinted);
    EXPECT_NE(hinted.find(c.hint), std::string::npos) << Utf8(hinted);
    EXPECT_EQ(WithHints(hinted, "C:\\work\\", nullptr), hinted);
  }
}

INSTANTIATE_TEST_SUITE_P(Jdk, ErrorHints, testing::Values("", "/usr/lib/jvm/temurin-25-jdk-amd64"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(*info.param ? "Temurin25" : "Bridge");
                         });

}  // namespace
