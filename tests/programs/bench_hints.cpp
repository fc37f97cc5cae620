// What the error hints cost on a full result: 256 KiB of output. Run by
// scripts/bench.sh:
//
//   bench_hints [rounds]
//
// H1: 256 KiB of a program's own lines, with one exception at the end.
// H2: 256 KiB of javac's messages: 100 diagnostics (javac's own limit) of
//     every kind, half of them names to look up in a source of 2,000 lines,
//     then a program's lines.
// Each is the median of the rounds after a warm-up; the target is 5 ms.
// Exit code 0 when both are within it and every diagnostic got its hint.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "java/error_hints.h"
#include "tools/tool_run.h"

namespace {

constexpr double kTargetMs = 5.0;

std::string ProgramLines(std::size_t bytes) {
  std::string text;
  for (int i = 0; text.size() < bytes; ++i)
    text += "合計: " + std::to_string(i) + " 件目の値は " + std::to_string(i * 7) + " です\r\n";
  text.resize(bytes - 200);
  return text +
         "\r\nException in thread \"main\" java.lang.ArithmeticException: / by zero\r\n"
         "\tat Big.main(Big.java:9)\r\n";
}

std::string Source() {
  std::string text = "public class Big {\r\n";
  for (int i = 0; i < 2000; ++i)
    text +=
        "    int value" + std::to_string(i) + " = count" + std::to_string(i % 50) + " + total;\r\n";
  return text + "}\r\n";
}

std::string JavacLines(std::size_t bytes) {
  const char* diagnostics[] = {
      "Big.java:%d: エラー: シンボルを見つけられません\r\n        totl = valeu1;\r\n        ^\r\n"
      "  シンボル:   変数 totl\r\n  場所: クラス Big\r\n",
      "Big.java:%d: error: cannot find symbol\r\n        Scanner in;\r\n        ^\r\n"
      "  symbol:   class Scanner\r\n  location: class Big\r\n",
      "Big.java:%d: エラー: ';'がありません\r\n        int x = 1\r\n                 ^\r\n",
      "Big.java:%d: エラー: 不適合な型: Stringをintに変換できません:\r\n        int n = s;\r\n"
      "                ^\r\n",
  };
  std::string text;
  char line[400];
  for (int i = 0; i < 100; ++i) {
    std::snprintf(line, sizeof line, diagnostics[i % 4], i + 2);
    text += line;
  }
  text += "エラー100個\r\n";
  return text + ProgramLines(bytes - text.size());
}

// The median milliseconds of WithHints on text; hints counts the hints in it.
double Measure(const std::string& text, int rounds, std::size_t& hints) {
  const std::string source = Source();
  const SourceReader reader = [&](const std::string&) { return source; };
  std::vector<double> times;
  std::string hinted;
  for (int round = -2; round < rounds; ++round) {
    const double start = Now();
    hinted = WithHints(text, "C:\\work\\", reader);
    if (round >= 0) times.push_back((Now() - start) * 1000);
  }
  // A hint of two lines counts once: its second line follows a hint line.
  const std::string prefix = kHintPrefix;
  hints = 0;
  for (std::size_t at = hinted.find(prefix); at != std::string::npos;
       at = hinted.find(prefix, at + 1)) {
    const std::size_t previous = at >= 3 ? hinted.rfind('\n', at - 3) + 1 : 0;
    if (at < 2 || hinted.compare(previous, prefix.size(), prefix) != 0) ++hints;
  }
  return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 25;
  bool ok = true;
  std::size_t hints = 0;
  const double plain = Measure(ProgramLines(kResultBufferSize), rounds, hints);
  std::printf("H1   %6.2f ms for 256 KiB of a program's lines (%zu hint)  target %.0f ms%s\n",
              plain, hints, kTargetMs, plain <= kTargetMs && hints == 1 ? "" : "  FAILED");
  ok = ok && plain <= kTargetMs && hints == 1;
  const double javac = Measure(JavacLines(kResultBufferSize), rounds, hints);
  // One line under each diagnostic and one under the exception.
  const bool allHinted = hints == 101;
  std::printf(
      "H2   %6.2f ms for 256 KiB with 100 javac messages (%zu hints)  target %.0f ms%s\n",
      javac, hints, kTargetMs, javac <= kTargetMs && allHinted ? "" : "  FAILED");
  ok = ok && javac <= kTargetMs && allHinted;
  return ok ? 0 : 1;
}
