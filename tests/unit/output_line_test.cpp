// Which file and line a line of real javac and java output leads to, for a
// run on D:\work\Hello.java whose tools ran in D:\work\.
#include "java/output_line.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

const char kSource[] = "D:\\work\\Hello.java";
const char kToolFolder[] = "D:\\work\\";

// The files that exist, as the file system compares names: without case.
bool Exists(const std::string& path) {
  for (const char* file :
       {"D:\\work\\Hello.java", "D:\\work\\Util.java", "D:\\work\\app\\Util.java",
        "C:\\src\\Foo.java", "\\\\server\\share\\src\\Foo.java", "Z:\\表示\\ソース.java",
        "D:\\My Work\\Hello World.java"}) {
    if (lstrcmpiA(file, path.c_str()) == 0) return true;
  }
  return false;
}

struct OutputCase {
  const char* line;
  const char* file;  // empty: leads nowhere
  const char* number;
};

TEST(OutputLine, LeadsToTheFileAMessageOrFrameNamesThenToTheRunsSource) {
  const OutputCase cases[] = {
      {"Hello.java:12: エラー: ';'がありません", "D:\\work\\Hello.java", "12"},
      {"Util.java:3: error: cannot find symbol", "D:\\work\\Util.java", "3"},
      {"app\\Util.java:7: 警告: [deprecation] Date(String)は推奨されません",
       "D:\\work\\app\\Util.java", "7"},
      {"UTIL.JAVA:4: error: ';' expected", "D:\\work\\UTIL.JAVA", "4"},
      {"C:\\src\\Foo.java:7: エラー: クラスFooはpublicであり", "C:\\src\\Foo.java", "7"},
      {"\\\\server\\share\\src\\Foo.java:15: error: x", "\\\\server\\share\\src\\Foo.java", "15"},
      // The run's text starts with a blank; Wine's prompt stands glued before javac's first line.
      {" Z:\\work\\表示>Util.java:3: エラー: シンボルを見つけられません", "D:\\work\\Util.java",
       "3"},
      {"Z:\\表示\\ソース.java:4: 警告: x", "Z:\\表示\\ソース.java", "4"},
      {"D:\\My Work\\Hello World.java:8: error: x", "D:\\My Work\\Hello World.java", "8"},
      // A file that is not there: the line number by the first colon, in the run's source.
      {"Gone.java:9: error: x", kSource, "9"},
      {"Note: Hello.java uses unchecked or unsafe operations.", "", ""},
      {"ノート: 一部の入力ファイルは推奨されないAPIを使用またはオーバーライドしています。", "", ""},
      {"エラー1個", "", ""},
      {"1 error", "", ""},
      {"        ^", "", ""},
      {"Exception in thread \"main\" java.lang.ArithmeticException: / by zero", "", ""},
      {"\tat Hello.main(Hello.java:5)", "D:\\work\\Hello.java", "5"},
      {"\tat app.Util.run(Util.java:7)", "D:\\work\\app\\Util.java", "7"},
      {"        at app.Util.lambda$run$0(Util.java:11)", "D:\\work\\app\\Util.java", "11"},
      {"\tat tools/app.Util.run(Util.java:12345678)", "D:\\work\\app\\Util.java", "1234567"},
      {"\tat java.base/java.lang.Integer.parseInt(Integer.java:652)", "", ""},
      {"\tat Hello.main(Unknown Source)", "", ""},
      {"\tat java.base/jdk.internal.reflect.NativeMethodAccessorImpl.invoke0(Native Method)", "",
       ""},
      {"\t... 3 more", "", ""},
      {"Caused by: java.lang.IllegalStateException: boom", "", ""},
      // A program's own output: a time, the logging header, a ratio.
      {"12:34:56", "", ""},
      {"Dec 08, 2026 1:42:06 PM Hello main", "", ""},
      {"比率 16:9: ワイド", "", ""},
      // A hint quoting the user's input never leads anywhere.
      {"ヒント: 「Hello.java:3:」 は数として読めません。", "", ""},
  };
  for (const OutputCase& c : cases) {
    const SourcePlace place = JumpPlaceOf(c.line, kSource, kToolFolder, Exists);
    EXPECT_EQ(place.line, c.number) << Utf8(c.line);
    if (!place.line.empty()) {
      EXPECT_EQ(place.file, c.file) << Utf8(c.line);
    }
  }
}

}  // namespace
