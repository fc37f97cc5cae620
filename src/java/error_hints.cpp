// The table of hints, and the walk over the result text that finds javac's
// diagnostics, uncaught exceptions and the launcher's errors and puts the
// fitting hint after each. Messages are recognised in the Japanese forms of
// JDK 8 to 25 and in English.
#include "java/error_hints.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string_view>
#include <vector>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "java/output_line.h"
#include "java/source_encoding.h"

const char kHintPrefix[] = "ヒント: ";

namespace {

using View = std::string_view;
constexpr std::size_t kNone = View::npos;

// ---------------------------------------------------------------------------
// Small pieces on views. Every marker searched for starts with a byte that is
// never a trail byte or is checked in its context, so byte search is safe.

bool Has(View text, View part) { return text.find(part) != kNone; }

// The text after the first marker; empty without one.
View After(View text, View marker) {
  const std::size_t at = text.find(marker);
  return at == kNone ? View() : text.substr(at + marker.size());
}

// The text before the first marker; all of it without one.
View Before(View text, View marker) {
  const std::size_t at = text.find(marker);
  return at == kNone ? text : text.substr(0, at);
}

// The text between the first start and the first end after it.
View Between(View text, View start, View end) {
  const std::size_t at = text.find(start);
  if (at == kNone) return View();
  const View rest = text.substr(at + start.size());
  const std::size_t stop = rest.find(end);
  return stop == kNone ? View() : rest.substr(0, stop);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

View Trimmed(View text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWith(View text, View start) { return text.substr(0, start.size()) == start; }

// The number that text starts with (a minus sign kept); empty without one.
std::string NumberAt(View text) {
  std::size_t end = !text.empty() && text[0] == '-' ? 1 : 0;
  const std::size_t first = end;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end == first ? std::string() : std::string(text.substr(0, end));
}

// The number after marker; empty without one.
std::string NumberAfter(View text, View marker) {
  const std::size_t at = text.find(marker);
  return at == kNone ? std::string() : NumberAt(Trimmed(text.substr(at + marker.size())));
}

// A class's name without its package.
View SimpleName(View name) {
  const std::size_t dot = name.rfind('.');
  return dot == kNone ? name : name.substr(dot + 1);
}

// A text the user typed, cut at whole characters where it is long.
std::string Shortened(View text) {
  constexpr std::size_t kMaxBytes = 60;
  const std::string whole(text);
  if (whole.size() <= kMaxBytes) return whole;
  std::size_t end = 0;
  while (end + CharLengthAt(whole, end) <= kMaxBytes) end += CharLengthAt(whole, end);
  return whole.substr(0, end) + "…";
}

// pattern with %1 to %9 replaced by the values in their order. '%' is never
// a trail byte, and the values are not scanned again.
std::string Fill(View pattern, std::initializer_list<View> values) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const std::size_t n = i + 1 < pattern.size() && pattern[i] == '%' ? pattern[i + 1] - '1' : 9;
    if (n < values.size()) {
      text.append(values.begin()[n]);
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

// ---------------------------------------------------------------------------
// What a source file holds, as far as the hints need it: its names and its
// braces, outside comments and literals.

struct SourceShape {
  std::string text;
  std::vector<View> words;  // the names of text in their order, each as often as it stands
  int opened = 0;
  int closed = 0;
  // The names found like each missing one: javac names it at every use.
  mutable std::map<std::string, std::vector<std::string>> similar;
};

// The length of the character at i; an ASCII byte is never a lead byte,
// which spares the system's look-up on most of a source.
std::size_t StepAt(const std::string& text, std::size_t i) {
  return static_cast<unsigned char>(text[i]) < 0x80 ? 1 : CharLengthAt(text, i);
}

bool IsAsciiWordChar(char c) { return IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '$'; }

// Whether a name's character starts at i: an ASCII one, or a double-byte one.
bool IsWordChar(const std::string& text, std::size_t i) {
  return IsAsciiWordChar(text[i]) || StepAt(text, i) == 2;
}

// Offset just past the string, character or text-block literal at i; a
// string or character literal left open ends with its line.
std::size_t LiteralEnd(const std::string& text, std::size_t i) {
  if (text.compare(i, 3, "\"\"\"") == 0) {
    const std::size_t close = text.find("\"\"\"", i + 3);
    return close == std::string::npos ? text.size() : close + 3;
  }
  const char quote = text[i];
  for (std::size_t j = i + 1; j < text.size();) {
    if (text[j] == '\\') {
      j += 1 + (j + 1 < text.size() ? StepAt(text, j + 1) : 0);
    } else if (text[j] == quote) {
      return j + 1;
    } else if (text[j] == '\n') {
      return j;
    } else {
      j += StepAt(text, j);
    }
  }
  return text.size();
}

// Fills shape in its final place: its names point into its own text.
void TakeShape(SourceShape& shape, std::string source) {
  shape.text = std::move(source);
  const std::string& text = shape.text;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '/' && next == '/') {
      i = text.find('\n', i);
    } else if (c == '/' && next == '*') {
      i = text.find("*/", i + 2);
      if (i != std::string::npos) i += 2;
    } else if (c == '"' || c == '\'') {
      i = LiteralEnd(text, i);
    } else if (IsDigit(c)) {
      while (i < text.size() &&
             (IsDigit(text[i]) || IsAsciiLetter(text[i]) || text[i] == '.' || text[i] == '_'))
        ++i;
    } else if (IsWordChar(text, i)) {
      std::size_t end = i;
      while (end < text.size() && IsWordChar(text, end)) end += StepAt(text, end);
      shape.words.push_back(View(text).substr(i, end - i));
      i = end;
    } else {
      if (c == '{') ++shape.opened;
      if (c == '}') ++shape.closed;
      i += StepAt(text, i);
    }
    if (i == std::string::npos) break;
  }
}

// The shapes of the sources named in one result text, each read once.
class SourceShapes {
 public:
  explicit SourceShapes(const SourceReader& read) : read_(read) {}
  const SourceShape& Of(const std::string& path) {
    auto found = shapes_.find(path);
    if (found == shapes_.end()) {
      found = shapes_.emplace(path, SourceShape()).first;
      TakeShape(found->second, path.empty() || !read_ ? std::string() : read_(path));
    }
    return found->second;
  }

 private:
  const SourceReader& read_;
  std::map<std::string, SourceShape> shapes_;
};

// ---------------------------------------------------------------------------
// Names a beginner often means.

const char* const kCommonNames[] = {
    "String",   "System",      "Math",        "Integer",       "Double",    "Long",
    "Boolean",  "Character",   "Object",      "StringBuilder", "Exception", "println",
    "print",    "printf",      "length",      "charAt",        "equals",    "substring",
    "indexOf",  "toUpperCase", "toLowerCase", "isEmpty",       "split",     "trim",
    "nextInt",  "nextLine",    "nextDouble",  "next",          "hasNext",   "hasNextInt",
    "parseInt", "parseDouble", "valueOf",     "toString",      "size",      "add",
    "get",      "set",         "remove",      "contains",      "sqrt",      "pow",
    "abs",      "max",         "min",         "random",        "sort",      "format",
    "close",    "readLine",    "main",        "args",          "out",       "in"};

struct UsualClass {
  const char* name;
  const char* package;
};

const UsualClass kUsualClasses[] = {
    {"Scanner", "java.util"},
    {"ArrayList", "java.util"},
    {"List", "java.util"},
    {"LinkedList", "java.util"},
    {"HashMap", "java.util"},
    {"Map", "java.util"},
    {"TreeMap", "java.util"},
    {"HashSet", "java.util"},
    {"Set", "java.util"},
    {"TreeSet", "java.util"},
    {"Random", "java.util"},
    {"Arrays", "java.util"},
    {"Collections", "java.util"},
    {"Iterator", "java.util"},
    {"ArrayDeque", "java.util"},
    {"Deque", "java.util"},
    {"Queue", "java.util"},
    {"Stack", "java.util"},
    {"Date", "java.util"},
    {"Calendar", "java.util"},
    {"Objects", "java.util"},
    {"InputMismatchException", "java.util"},
    {"NoSuchElementException", "java.util"},
    {"BufferedReader", "java.io"},
    {"InputStreamReader", "java.io"},
    {"IOException", "java.io"},
    {"File", "java.io"},
    {"FileReader", "java.io"},
    {"FileWriter", "java.io"},
    {"PrintWriter", "java.io"},
    {"BufferedWriter", "java.io"},
    {"FileNotFoundException", "java.io"},
};

const UsualClass* UsualClassNamed(View name) {
  for (const UsualClass& usual : kUsualClasses)
    if (name == usual.name) return &usual;
  return nullptr;
}

constexpr std::size_t kLongestName = 64;

// The characters of a name, each a code of its bytes (a double-byte one as
// one character), ASCII letters in lower case; 0 when it is too long to be
// typed by mistake.
std::size_t NameCharacters(View name, unsigned (&codes)[kLongestName]) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (count == kLongestName) return 0;
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c >= 0x80 && i + 1 < name.size() && IsDBCSLeadByte(c))
      codes[count++] = c << 8 | static_cast<unsigned char>(name[++i]);
    else
      codes[count++] = static_cast<unsigned char>(Lower(name[i]));
  }
  return count;
}

// Edits (insert, delete, change, swap of two neighbours) between two names,
// by characters and case aside; more than limit counts as limit + 1.
std::size_t Distance(const unsigned* a, std::size_t m, const unsigned* b, std::size_t n,
                     std::size_t limit) {
  if ((m > n ? m - n : n - m) > limit) return limit + 1;
  std::size_t rows[3][kLongestName + 1];
  std::size_t *before = rows[0], *previous = rows[1], *current = rows[2];
  for (std::size_t j = 0; j <= n; ++j) previous[j] = j;
  for (std::size_t i = 1; i <= m; ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= n; ++j) {
      const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return std::min(previous[n], limit + 1);
}

// Names of the source, then common ones, that differ from name only in case
// or by one or two characters (one for short names, none for names of one
// or two letters): the closest, three at most.
std::vector<std::string> SimilarNames(View name, const SourceShape& shape) {
  const auto known = shape.similar.find(std::string(name));
  if (known != shape.similar.end()) return known->second;
  unsigned wanted[kLongestName], other[kLongestName];
  const std::size_t length = NameCharacters(name, wanted);
  const bool wide = length < name.size();
  const std::size_t limit = length <= 2 ? (wide ? 1 : 0) : length <= 4 ? 1 : 2;
  std::vector<std::string> best;
  std::size_t bestDistance = limit;
  auto consider = [&](View candidate) {
    if (candidate == name || candidate.size() + 2 * limit < name.size() ||
        candidate.size() > name.size() + 2 * limit)
      return;
    const std::size_t distance =
        Distance(wanted, length, other, NameCharacters(candidate, other), limit);
    if (distance > bestDistance) return;
    if (distance < bestDistance) best.clear();
    bestDistance = distance;
    const std::string word(candidate);
    if (best.size() < 3 && std::find(best.begin(), best.end(), word) == best.end())
      best.push_back(word);
  };
  if (length > 0) {
    for (const View word : shape.words) consider(word);
    for (const char* common : kCommonNames) consider(common);
    for (const UsualClass& usual : kUsualClasses) consider(usual.name);
  }
  shape.similar[std::string(name)] = best;
  return best;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// ---------------------------------------------------------------------------
// One message the table is asked about.

struct Found {
  View message;               // javac's or the launcher's text, or the exception's message
  View name;                  // the exception's class without its package
  std::vector<View> details;  // the lines that follow the message's first
  View sourceLine;            // the source line javac shows
  std::string file;           // the source javac names, full path
  SourceShapes* shapes = nullptr;

  const SourceShape& Shape() const { return shapes->Of(file); }

  // The value of the detail line that starts with one of the labels.
  View Detail(View label, View otherLabel) const {
    for (View line : details) {
      const View trimmed = Trimmed(line);
      for (View l : {label, otherLabel})
        if (StartsWith(trimmed, l)) return Trimmed(trimmed.substr(l.size()));
    }
    return View();
  }
};

using HintMaker = std::string (*)(const Found&);

// A row of the table: the message holds one of the patterns (or, for an
// exception, its class is named so), and the maker words the hint; an empty
// hint is none. Lines of a hint are separated by '\n'.
struct HintRule {
  const char* patterns[5];
  HintMaker hint;
};

// The wording runs once per message found: built for size rather than speed.
#pragma GCC push_options
#pragma GCC optimize("Os")

// ---------------------------------------------------------------------------
// javac's errors.

std::string Semicolon(const Found&) {
  return "「;」が足りません。\n"
         "たいてい、この行 (^ の所) かその前の行の終わりに「;」を書くと直ります。";
}

std::string MissingSymbol(const Found& f) {
  const View symbol = f.Detail("シンボル:", "symbol:");
  const std::size_t space = symbol.find(' ');
  const View kind = space == kNone ? View() : symbol.substr(0, space);
  View name = space == kNone ? symbol : Trimmed(symbol.substr(space));
  name = Before(Before(Before(name, "("), "<"), " ");
  if (name.empty())
    return "名前が見つかりません。つづり (大文字・小文字) と宣言した場所を確かめてください。";

  const bool isMethod = kind == "メソッド" || kind == "method";
  if (!isMethod) {
    if (const UsualClass* usual = UsualClassNamed(name))
      return Fill("import %2.%1; をファイルの先頭 (class の前) に書いてください。",
                  {usual->name, usual->package});
  }
  const std::vector<std::string> similar = SimilarNames(name, f.Shape());
  if (!similar.empty())
    return Fill("「%1」は見つかりません。似た名前: %2", {name, Joined(similar)});
  if (isMethod)
    return Fill(
        "メソッド「%1」が見つかりません。名前のつづり (大文字・小文字) と、"
        "引数の数と型を確かめてください。",
        {name});
  if (kind == "クラス" || kind == "class")
    return Fill(
        "クラス「%1」が見つかりません。名前のつづり (大文字・小文字) と import "
        "文を確かめてください。",
        {name});
  return Fill(
      "「%1」が見つかりません。つづり (大文字・小文字) と、宣言した場所 "
      "(使う所と同じ { } の中か) を確かめてください。",
      {name});
}

std::string MissingPackage(const Found& f) {
  View name = Between(f.message, "パッケージ", "は存在しません");
  if (name.empty()) name = Between(f.message, "package ", " does not exist");
  name = Trimmed(name);
  if (name.empty()) return std::string();
  const std::vector<std::string> similar = SimilarNames(name, f.Shape());
  if (!similar.empty())
    return Fill("「%1」というパッケージはありません。似た名前: %2", {name, Joined(similar)});
  return Fill(
      "パッケージ「%1」が見つかりません。import 文のパッケージ名のつづりを確かめてください。",
      {name});
}

// The two types of "X cannot be converted to Y".
bool ConvertedTypes(View message, View& from, View& to) {
  if (Has(message, "に変換できません")) {
    const View japanese = Before(After(message, "不適合な型:"), "に変換できません");
    const std::size_t wo = japanese.rfind("を");
    if (wo == kNone) return false;
    from = Trimmed(japanese.substr(0, wo));
    to = Trimmed(japanese.substr(wo + View("を").size()));
  } else {
    from = Trimmed(Between(message, "incompatible types:", " cannot be converted to"));
    to = Trimmed(After(message, " cannot be converted to "));
  }
  return !from.empty() && !to.empty();
}

std::string IncompatibleTypes(const Found& f) {
  View from, to;
  if (!ConvertedTypes(f.message, from, to))
    return "値の型と、入れる先 (変数・引数・戻り値) "
           "の型が合っていません。両方の型を確かめてください。";
  if (from == "String") {
    const char* parser = to == "int" || to == "Integer" || to == "short" || to == "byte"
                             ? "Integer.parseInt"
                         : to == "long" || to == "Long"     ? "Long.parseLong"
                         : to == "double" || to == "Double" ? "Double.parseDouble"
                         : to == "float" || to == "Float"   ? "Float.parseFloat"
                                                            : nullptr;
    if (parser)
      return Fill(
          "文字列 (String) はそのまま %1 に入れられません。\n"
          "数にするには %2(文字列) を使ってください。",
          {to, parser});
  }
  if (to == "String")
    return Fill(
        "%1 の値はそのまま String に入れられません。文字列にするには String.valueOf(値) "
        "を使ってください。",
        {from});
  if (to == "boolean")
    return "条件には true か false になる式を書きます。\n"
           "値を比べるときは「=」ではなく「==」を (文字列なら equals を) 使ってください。";
  return Fill(
      "%1 の値を %2 の所には使えません。値の型と、変数・引数・戻り値の型を合わせてください。",
      {from, to});
}

std::string LossyConversion(const Found& f) {
  View from = Between(f.message, "可能性がある", "から");
  View to = Between(f.message, "から", "への変換");
  if (from.empty()) {
    from = Between(f.message, "conversion from ", " to ");
    to = Trimmed(After(f.message, " to "));
  }
  if (from.empty() || to.empty()) return std::string();
  return Fill(
      "%1 を %2 にすると値の一部 (小数点以下など) が失われるため、そのままでは入れられません。\n"
      "(%2) を付けて変換するか、変数の型を %1 にしてください。",
      {from, to});
}

std::string MissingReturn(const Found&) {
  return "値を返すメソッドは、最後まで進んだときにも return で値を返す必要があります。\n"
         "if の外 (メソッドの終わりの「}」の前) にも return 文を書いてください。";
}

std::string Uninitialized(const Found& f) {
  View name = Between(f.message, "変数", "は初期化");
  if (name.empty()) name = Between(f.message, "variable ", " might");
  return Fill(
      "変数「%1」に値が入らないまま使われる場合があります。\n"
      "宣言のときに「= 0」などで最初の値を入れてください。",
      {Trimmed(name)});
}

std::string Unreachable(const Found&) {
  return "この文は実行されることがありません。\n"
         "return・break・throw や終わらないループの後ろにないか確かめてください。";
}

std::string PublicClassFile(const Found& f) {
  View name = Between(f.message, "クラス", "はpublic");
  View file = Between(f.message, "ファイル", "で宣言");
  if (name.empty()) {
    name = Between(f.message, "class ", " is public");
    file = After(f.message, "file named ");
  }
  name = Trimmed(name);
  file = Trimmed(file);
  if (name.empty() || file.empty()) return std::string();
  std::string actual = FileNameOf(f.file);
  const std::size_t dot = FindLastChar(actual, '.');
  if (dot != std::string::npos) actual.erase(dot);
  return Fill(actual.empty() ? "public クラスの名前とファイル名は同じにします。\n"
                               "ファイル名を %1 に変えるか、クラス名を直してください。"
                             : "public クラスの名前とファイル名は同じにします。\n"
                               "ファイル名を %1 に変えるか、クラス名を %2 に直してください。",
              {file, actual});
}

std::string NonStatic(const Found& f) {
  View named = Between(f.message, "staticでない", "をstatic");
  if (named.empty()) named = Between(f.message, "non-static ", " cannot");
  const View name = Trimmed(After(named, " "));
  if (name.empty()) return std::string();
  return Fill(
      "static なメソッド (main など) からは、static でない「%1」を直接使えません。\n"
      "「%1」に static を付けるか、new で作ったオブジェクトを通して使ってください。",
      {name});
}

std::string EndOfFile(const Found& f) {
  const SourceShape& shape = f.Shape();
  const int open = shape.opened - shape.closed;
  if (open > 0)
    return Fill(
        "「{」に対応する「}」が %1 個足りません。\n"
        "閉じ忘れた所 (ブロックやメソッドの終わり) に「}」を書いてください。",
        {std::to_string(open)});
  return "ファイルが途中で終わっています。「}」や、コメントの終わりの「*/"
         "」が抜けていないか確かめてください。";
}

// Counts of an opening and a closing character in a source line, outside
// its literals.
void CountPair(View line, char open, char close, int& opened, int& closed) {
  const std::string text(line);
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '"' || text[i] == '\'') {
      i = LiteralEnd(text, i);
      continue;
    }
    if (text[i] == open) ++opened;
    if (text[i] == close) ++closed;
    i += StepAt(text, i);
  }
}

std::string Brackets(const Found& f) {
  const bool square = Has(f.message, "']'") || Has(f.message, "'['");
  int opened = 0, closed = 0;
  CountPair(f.sourceLine, square ? '[' : '(', square ? ']' : ')', opened, closed);
  const View o = square ? "[" : "(";
  const View c = square ? "]" : ")";
  if (opened != closed)
    return Fill(
        "この行の「%1」は %3 個、「%2」は %4 個です。「%5」が抜けている所を確かめてください。",
        {o, c, std::to_string(opened), std::to_string(closed), opened > closed ? c : o});
  return Fill("括弧「%1」「%2」の組み合わせと、括弧の中の「,」や「\"」を確かめてください。",
              {o, c});
}

std::string IllegalStartOfExpression(const Found& f) {
  const SourceShape& shape = f.Shape();
  const int open = shape.opened - shape.closed;
  if (open > 0)
    return Fill(
        "前の行で「)」や「}」が閉じていないか、式の途中が抜けているようです。\n"
        "ファイル全体では「}」が %1 個足りません。"
        "メソッドの中に別のメソッドを書いていないかも確かめてください。",
        {std::to_string(open)});
  return "前の行で「)」や「}」が閉じていないか、式の途中が抜けているようです。\n"
         "「=」の後ろや括弧の中が空になっていないか確かめてください。";
}

std::string WrongArguments(const Found& f) {
  const View required = f.Detail("期待値:", "required:");
  const View given = f.Detail("検出値:", "found:");
  if (!required.empty() && !given.empty())
    return Fill(
        "必要な引数は %1 ですが、渡した引数は %2 です。\n"
        "呼び出しの引数の数と型を宣言に合わせてください。",
        {required, given});
  return "呼び出しの引数の数と型が、メソッド (またはコンストラクタ) の宣言と合っていません。\n"
         "宣言の ( ) の中を見て、数と型を合わせてください。";
}

std::string UnclosedString(const Found&) {
  return "文字列は同じ行の中で「\"」で閉じます。閉じる「\"」を書いてください。\n"
         "文字列の中に「\"」を書くときは \\\" と書きます。";
}

std::string UnclosedCharacter(const Found&) {
  return "「'」で囲めるのは 1 文字だけです。2 文字以上なら「\"」で囲んで文字列にしてください。";
}

std::string OutsideMethod(const Found& f) {
  const SourceShape& shape = f.Shape();
  const int extra = shape.closed - shape.opened;
  if (extra > 0)
    return Fill(
        "文はメソッドの { } の中に、メソッドはクラスの { } の中に書きます。\n"
        "「}」が %1 個多いため、クラスが途中で終わっています。余分な「}」を消してください。",
        {std::to_string(extra)});
  return "文はメソッドの { } の中に、メソッドはクラスの { } の中に書きます。\n"
         "{ } の組み合わせと、この行を書いた場所を確かめてください。";
}

std::string IllegalCharacter(const Found& f) {
  if (Has(f.message, "\\u3000"))
    return "全角スペースが入っています。半角スペースに直してください。";
  return "全角の記号 (；（）＝ など) が入っています。半角に直してください。";
}

std::string NotAStatement(const Found&) {
  return "計算するだけの式は文になりません。\n"
         "代入 (=) "
         "やメソッドの呼び出しになっているか、「\"」や「;」が抜けていないか確かめてください。";
}

std::string ElseWithoutIf(const Found&) {
  return "else が if と組になっていません。if ( ) の後ろの「;」や、{ } "
         "の組み合わせを確かめてください。";
}

std::string TooLargeInteger(const Found&) {
  return "int に入らない大きな数です。long の数にするには、数の後ろに L を付けてください (例: "
         "12345678901L)。";
}

std::string UnreportedException(const Found& f) {
  View name = Between(f.message, "例外", "は報告されません");
  if (name.empty()) name = Between(f.message, "unreported exception ", ";");
  name = Trimmed(name);
  if (name.empty()) return std::string();
  return Fill(
      "%1 が起きる場合の処理が必要です。\n"
      "try { } catch (%1 e) { } で囲むか、メソッドに throws %1 を付けてください。",
      {name});
}

// In the order of trust: the first row whose pattern the message holds.
const HintRule kCompilerRules[] = {
    {{"';'がありません", "';' expected"}, Semicolon},
    {{"シンボルを見つけられません", "cannot find symbol"}, MissingSymbol},
    {{"は存在しません", "does not exist"}, MissingPackage},
    {{"精度が失われる可能性", "possible lossy conversion"}, LossyConversion},
    {{"不適合な型", "incompatible types"}, IncompatibleTypes},
    {{"return文が指定されていません", "missing return statement"}, MissingReturn},
    {{"初期化されていない可能性", "might not have been initialized"}, Uninitialized},
    {{"この文に制御が移ることはありません", "unreachable statement"}, Unreachable},
    {{"はpublicであり", "is public, should be declared in a file named"}, PublicClassFile},
    {{"staticコンテキスト", "static context"}, NonStatic},
    {{"構文解析中にファイルの終わり", "reached end of file while parsing"}, EndOfFile},
    {{"')'", "']'", "'('", "'['"}, Brackets},
    {{"式の開始が不正", "illegal start of expression"}, IllegalStartOfExpression},
    {{"適用できません", "cannot be applied to given types", "適切なメソッドが見つかりません",
      "no suitable"},
     WrongArguments},
    {{"文字列リテラルが閉じられていません", "unclosed string literal"}, UnclosedString},
    {{"文字リテラルが閉じられていません", "unclosed character literal"}, UnclosedCharacter},
    {{"型の開始が不正", "illegal start of type", "<identifier>", "class, interface",
      "クラス、インタフェース"},
     OutsideMethod},
    {{"不正な文字", "illegal character"}, IllegalCharacter},
    {{"文ではありません", "not a statement"}, NotAStatement},
    {{"'else'への'if'がありません", "'else' without 'if'"}, ElseWithoutIf},
    {{"整数が大きすぎます", "integer number too large"}, TooLargeInteger},
    {{"は報告されません", "unreported exception"}, UnreportedException},
};

// ---------------------------------------------------------------------------
// The program's exceptions.

std::string DivisionByZero(const Found& f) {
  if (!Has(f.message, "/ by zero")) return std::string();
  return "整数は 0 で割れません。割る前に、割る数が 0 でないか確かめてください。";
}

// The index and the length (or a range) from the messages of JDK 8 to 25.
std::string IndexOutOfRange(const Found& f) {
  const View m = f.message;
  const char* thing = f.name == "ArrayIndexOutOfBoundsException"    ? "配列"
                      : f.name == "StringIndexOutOfBoundsException" ? "文字列"
                                                                    : "リスト";
  std::string index = NumberAfter(m, "ndex ");  // "Index 5 out of ...", "index 5, length 3"
  if (index.empty()) index = NumberAfter(m, "out of range:");
  if (index.empty()) index = NumberAfter(m, "Index:");
  if (index.empty()) index = NumberAt(Trimmed(m));
  std::string length = NumberAfter(m, "length ");
  if (length.empty()) length = NumberAfter(m, "Size:");
  std::string begin = NumberAfter(m, "begin ");
  std::string end = NumberAfter(m, "end ");
  if (begin.empty() && Has(m, "Range [")) {
    begin = NumberAfter(m, "Range [");
    end = NumberAfter(m, ", ");
  }
  if (!begin.empty() && !end.empty() && !length.empty())
    return Fill(
        "長さ %1 の文字列から %2 から %3 までを取り出そうとしました。\n"
        "範囲は 0 から %1 (length() の値) の中にしてください。",
        {length, begin, end});
  if (index.empty()) return std::string();
  if (length.empty())
    return Fill("%1の番号 %2 は範囲の外です。番号は 0 から (長さ - 1) までです。", {thing, index});
  if (length == "0")
    return Fill("長さ 0 の%1で番号 %2 を使おうとしました。この%1にはまだ要素がありません。",
                {thing, index});
  return Fill(index == length ? "長さ %2 の%1で番号 %3 を使おうとしました。使える番号は 0 から %4 "
                                "までです。\nループの条件が「<=」になっていないか確かめてください。"
                              : "長さ %2 の%1で番号 %3 を使おうとしました。使える番号は 0 から %4 "
                                "までです。",
              {thing, length, index, std::to_string(std::atoi(length.c_str()) - 1)});
}

std::string NullValue(const Found& f) {
  const View m = f.message;
  View value = Trimmed(Between(m, "because ", " is null"));
  if (value.empty())
    return "null (何も入っていない) の変数で、メソッドやフィールド・配列を使おうとしました。\n"
           "その変数に new などで値を入れているか確かめてください。";
  const View returned = After(value, "the return value of ");
  if (!returned.empty()) value = returned;
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  const std::string what = Fill(returned.empty() ? "「%1」" : "「%1」の戻り値", {value});
  const View invoked = Between(m, "Cannot invoke \"", "\"");
  const std::string action = !invoked.empty()  ? Fill("「%1」を呼び出せません", {invoked})
                             : Has(m, "array") ? "配列として使えませんでした"
                             : Has(m, "field") ? "フィールドを使えませんでした"
                                               : "使えませんでした";
  if (StartsWith(value, "<local"))
    return Fill(
        "%1が null (何も入っていない) のため、%2。\n"
        "値を入れた所を確かめてください。<local番号> はメソッドの中の変数です。",
        {what, action});
  return Fill(
      "%1が null (何も入っていない) のため、%2。\n"
      "%1に new などで値を入れているか確かめてください。",
      {what, action});
}

std::string NotANumber(const Found& f) {
  const View m = f.message;
  const std::size_t first = m.find('"');
  const std::size_t last = m.rfind('"');
  if (!StartsWith(m, "For input string") || first == kNone || last == first)
    return "数として読めない文字列を数に変えようとしました。変える前の文字列を確かめてください。";
  const View input = m.substr(first + 1, last - first - 1);
  if (input.empty())
    return "空の文字列 (何も入力されていない) は数として読めません。\n"
           "数を入力してから Enter を押しているか確かめてください。";
  return Fill(
      "「%1」 は数として読めません。\n"
      "空白や文字が混じっていないか、整数の所に小数を渡していないか確かめてください。",
      {Shortened(input)});
}

std::string InputMismatch(const Found&) {
  return "数を読む所 (nextInt() など) に、数として読めない入力がありました。\n"
         "求められた形 (整数なら 123 のような数字) で入力してください。";
}

std::string NoMoreInput(const Found& f) {
  for (View line : f.details)
    if (Has(line, "java.util.Scanner"))
      return "Scanner が次の入力を読もうとしましたが、入力がもうありませんでした。\n"
             "読む回数 (nextInt() や nextLine() の数) と、入力した行の数を確かめてください。";
  return "もう要素がないのに次の要素を取り出そうとしました。hasNext() "
         "で確かめてから取り出してください。";
}

std::string WrongCast(const Found& f) {
  View from = Between(f.message, "class ", " cannot be cast");
  View to = Trimmed(Before(After(f.message, "cannot be cast to class "), " "));
  if (from.empty()) {
    from = Before(f.message, " cannot be cast");
    to = Trimmed(Before(After(f.message, "cannot be cast to "), " "));
  }
  from = SimpleName(Trimmed(from));
  to = SimpleName(to);
  if (from.empty() || to.empty() || from.size() == f.message.size()) return std::string();
  return Fill(
      "%1 のオブジェクトを %2 として使うことはできません。\n"
      "キャストの前に、instanceof で値の本当の型を確かめてください。",
      {from, to});
}

std::string EndlessRecursion(const Found&) {
  return "メソッドが自分自身を終わりなく呼び出しているようです。\n"
         "止まる条件 (呼び出さずに return する場合) があるか確かめてください。";
}

std::string OutOfMemory(const Found&) {
  return "メモリが足りなくなりました。\n"
         "要素を足し続けるループや、大きすぎる配列がないか確かめてください。";
}

// Java's version for a class-file major version: 52 is Java 8, 69 Java 25.
std::string JavaVersion(const std::string& major) {
  const int number = std::atoi(major.c_str());
  if (number >= 49) return std::to_string(number - 44);
  return "1." + std::to_string(number - 44);
}

std::string NewerClassFile(View text) {
  std::string compiled = NumberAfter(text, "class file version ");
  if (compiled.empty()) compiled = NumberAfter(text, "major.minor version ");
  const std::string runs = NumberAfter(text, "versions up to ");
  if (compiled.empty()) return std::string();
  return Fill(
      runs.empty()
          ? "このクラスは Java %1 (クラスファイル %2) 用で、この java より新しいものです。%4"
          : "このクラスは Java %1 (クラスファイル %2) 用です。この java は Java %3 までです。%4",
      {JavaVersion(compiled), compiled, JavaVersion(runs),
       "\njavac と java が別の JDK のものです。同じ JDK の javac と java を使ってください。"});
}

std::string UnsupportedVersion(const Found& f) { return NewerClassFile(f.message); }

const HintRule kExceptionRules[] = {
    {{"ArithmeticException"}, DivisionByZero},
    {{"ArrayIndexOutOfBoundsException", "StringIndexOutOfBoundsException",
      "IndexOutOfBoundsException"},
     IndexOutOfRange},
    {{"NullPointerException"}, NullValue},
    {{"NumberFormatException"}, NotANumber},
    {{"InputMismatchException"}, InputMismatch},
    {{"NoSuchElementException"}, NoMoreInput},
    {{"ClassCastException"}, WrongCast},
    {{"StackOverflowError"}, EndlessRecursion},
    {{"OutOfMemoryError"}, OutOfMemory},
    {{"UnsupportedClassVersionError"}, UnsupportedVersion},
};

// ---------------------------------------------------------------------------
// The launcher's errors.

std::string MainClassNotFound(const Found& f) {
  View name = Between(f.message, "メイン・クラス", "を検出");
  if (name.empty()) name = Between(f.message, "メイン・クラス", "が見つからなかった");
  if (name.empty()) name = After(f.message, "main class ");
  name = Trimmed(name);
  return Fill(
      "クラス「%1」のクラスファイルが見つかりません。\n"
      "ファイル名とクラス名の違い、package、コンパイルの失敗がよくある原因です。",
      {Trimmed(name)});
}

std::string MainClassNotLinked(const Found& f) {
  for (View line : f.details) {
    if (Has(line, "UnsupportedClassVersionError")) return NewerClassFile(line);
    if (Has(line, "wrong name"))
      return "クラスファイルの package と、実行したクラスの名前やフォルダが合っていません。\n"
             "ソースの package 文と、ファイルを置いたフォルダを確かめてください。";
  }
  return std::string();
}

std::string MainMethodNotFound(const Found& f) {
  View name = Between(f.message, "クラス", "で見つかりません");
  if (name.empty()) name = Between(f.message, "in class ", ",");
  name = Trimmed(name);
  return Fill(
      "クラス「%1」に public static void main(String[] args) がありません。\n"
      "main のつづりと、public static void、引数 (String[] args) を確かめてください。",
      {name});
}

const HintRule kLauncherRules[] = {
    {{"を検出およびロードできませんでした", "が見つからなかったかロードできませんでした",
      "Could not find or load main class"},
     MainClassNotFound},
    {{"LinkageError"}, MainClassNotLinked},
    {{"メイン・メソッドが", "Main method not found", "main method not found"}, MainMethodNotFound},
};

#pragma GCC pop_options

// ---------------------------------------------------------------------------
// The walk over the result text.

template <std::size_t N>
std::string HintOf(const HintRule (&rules)[N], View subject, bool exact, const Found& found) {
  for (const HintRule& rule : rules) {
    for (const char* pattern : rule.patterns) {
      if (!pattern) break;
      if (exact ? subject == pattern : Has(subject, pattern)) return rule.hint(found);
    }
  }
  return std::string();
}

// A line without its line end.
View Content(View line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

// Whether "<file>.java:<n>: " ends just before at.
bool FollowsJavaPlace(View line, std::size_t at) {
  if (at < 2 || line[at - 1] != ' ' || line[at - 2] != ':') return false;
  std::size_t digits = at - 2;
  while (digits > 0 && IsDigit(line[digits - 1])) --digits;
  if (digits == at - 2 || digits < 6 || line[digits - 1] != ':') return false;
  std::string suffix;
  for (char c : line.substr(digits - 6, 5)) suffix += Lower(c);
  return suffix == ".java";
}

// Where a line's message starts: javac's after "<file>.java:<n>: エラー: ",
// the launcher's at "エラー: " or "Error: ". Found by the line's colons,
// which are never trail bytes: most lines a program prints have few.
struct Marks {
  std::size_t javacMessage = kNone;
  std::size_t launcherMessage = kNone;
};

Marks MarksOf(View line) {
  Marks marks;
  for (std::size_t colon = line.find(':'); colon != kNone; colon = line.find(':', colon + 1)) {
    if (colon + 1 >= line.size() || line[colon + 1] != ' ') continue;
    for (const View word : {View("エラー"), View("error"), View("Error")}) {
      if (colon < word.size() || line.substr(colon - word.size(), word.size()) != word) continue;
      const std::size_t start = colon - word.size();
      if (word != "Error" && FollowsJavaPlace(line, start)) {
        marks.javacMessage = colon + 2;
        return marks;
      }
      if (word != "error" && marks.launcherMessage == kNone) marks.launcherMessage = start;
    }
  }
  return marks;
}

// "        ^": javac's mark under the source line.
bool IsCaretLine(View line) {
  bool caret = false;
  for (char c : line) {
    if (c == '^' && !caret)
      caret = true;
    else if (!IsBlank(c))
      return false;
  }
  return caret;
}

bool IsIndented(View line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

class HintWalk {
 public:
  HintWalk(const std::string& transcript, const std::string& toolFolder,
           const SourceReader& readSource)
      : toolFolder_(toolFolder), shapes_(readSource) {
    const View text(transcript);
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t feed = text.find('\n', start);
      const std::size_t end = feed == kNone ? text.size() : feed + 1;
      lines_.push_back(text.substr(start, end - start));
      start = end;
    }
    out_.reserve(transcript.size() + transcript.size() / 8);
  }

  std::string Run() {
    for (std::size_t i = 0; i < lines_.size();) {
      const View line = Content(lines_[i]);
      std::string hint;
      std::size_t last = i;
      const Marks marks = MarksOf(line);
      if (marks.javacMessage != kNone) {
        last = CompilerMessageEnd(i);
        hint = CompilerHint(i, last, line.substr(marks.javacMessage));
      } else if (Has(line, "Exception in thread \"")) {
        hint = ExceptionHint(i, line);
      } else if (marks.launcherMessage != kNone) {
        last = LauncherMessageEnd(i);
        const View message = line.substr(marks.launcherMessage);
        hint = HintOf(kLauncherRules, message, false, FoundAt(i, last, message));
      }
      for (; i <= last; ++i) out_.append(lines_[i]);
      // A text that has its hints already keeps them as they are.
      if (!hint.empty() && !(i < lines_.size() && StartsWith(lines_[i], kHintPrefix)))
        AppendHint(hint);
    }
    return std::move(out_);
  }

 private:
  // The source line and caret, and then javac's indented detail lines.
  std::size_t CompilerMessageEnd(std::size_t head) const {
    std::size_t last = head;
    if (head + 2 < lines_.size() && IsCaretLine(Content(lines_[head + 2]))) last = head + 2;
    while (last + 1 < lines_.size() && IsIndented(Content(lines_[last + 1])) &&
           !IsCaretLine(Content(lines_[last + 1])))
      ++last;
    return last;
  }

  // The launcher's further lines: indented, or its cause and alternative.
  std::size_t LauncherMessageEnd(std::size_t head) const {
    std::size_t last = head;
    while (last + 1 < lines_.size()) {
      const View next = Content(lines_[last + 1]);
      if (!IsIndented(next) && !StartsWith(next, "原因:") && !StartsWith(next, "Caused by:") &&
          !StartsWith(next, "または") && !StartsWith(next, "or a JavaFX"))
        break;
      ++last;
    }
    return last;
  }

  Found FoundAt(std::size_t head, std::size_t last, View message) {
    Found found;
    found.message = message;
    for (std::size_t i = head + 1; i <= last; ++i) found.details.push_back(Content(lines_[i]));
    found.shapes = &shapes_;
    return found;
  }

  std::string CompilerHint(std::size_t head, std::size_t last, View message) {
    Found found = FoundAt(head, last, message);
    if (head + 2 <= last && IsCaretLine(Content(lines_[head + 2])))
      found.sourceLine = Content(lines_[head + 1]);
    found.file = PlaceNamedBy(std::string(Content(lines_[head])), toolFolder_).file;
    return HintOf(kCompilerRules, message, false, found);
  }

  // The hint goes straight under the first line; the frames below it tell
  // where the exception came from.
  std::string ExceptionHint(std::size_t head, View line) {
    const View thrown = After(After(line, "Exception in thread \""), "\" ");
    const View type = Trimmed(Before(thrown, ":"));
    const View message = Trimmed(After(thrown, ":"));
    Found found = FoundAt(head, std::min(head + 3, lines_.size() - 1), message);
    found.name = SimpleName(type);
    return HintOf(kExceptionRules, found.name, true, found);
  }

  void AppendHint(const std::string& hint) {
    if (!out_.empty() && out_.back() != '\n') out_ += "\r\n";
    for (std::size_t start = 0; start < hint.size();) {
      const std::size_t feed = hint.find('\n', start);
      const std::size_t end = feed == std::string::npos ? hint.size() : feed;
      out_ += kHintPrefix;
      out_.append(hint, start, end - start);
      out_ += "\r\n";
      start = end + 1;
    }
  }

  const std::string& toolFolder_;
  SourceShapes shapes_;
  std::vector<View> lines_;
  std::string out_;
};

}  // namespace

bool IsHintLine(const std::string& line) {
  return line.compare(0, sizeof kHintPrefix - 1, kHintPrefix) == 0;
}

std::string WithHints(const std::string& transcript, const std::string& toolFolder,
                      const SourceReader& readSource) {
  return HintWalk(transcript, toolFolder, readSource).Run();
}

std::string ReadSourceAsAnsi(const std::string& path) {
  std::string bytes;
  bool whole = false;
  if (!ReadSourceSample(path, bytes, whole)) return std::string();
  switch (DecideSourceEncoding(bytes, whole)) {
    case SourceEncoding::Utf8WithBom:
      return Recode(bytes.substr(3), CP_UTF8, CP_ACP);
    case SourceEncoding::Utf8:
      return Recode(bytes, CP_UTF8, CP_ACP);
    default:
      return bytes;
  }
}
