// Reading javac's messages and java's stack frames for the file and line
// they name.
#include "java/output_line.h"

#include <algorithm>

#include "common/dbcs_text.h"
#include "common/file_paths.h"
#include "java/error_hints.h"

namespace {

constexpr std::size_t kLineNumberDigits = 7;
const char kJavaSuffix[] = ".java";
constexpr std::size_t kJavaSuffixLength = sizeof kJavaSuffix - 1;
const char kFramePrefix[] = "at ";
constexpr std::size_t kFramePrefixLength = sizeof kFramePrefix - 1;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Offset just past the digits that start at i. No digit is ever a trail byte.
std::size_t DigitsEnd(const std::string& text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

std::string LineDigits(const std::string& text, std::size_t from, std::size_t to) {
  return text.substr(from, std::min(to - from, kLineNumberDigits));
}

std::size_t SkipBlanks(const std::string& text, std::size_t i = 0) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// Whether name ends in ".java" in any case. A dot is never a trail byte, so
// these five bytes are five whole characters.
bool EndsInJava(const std::string& name) {
  if (name.size() <= kJavaSuffixLength) return false;
  const std::size_t at = name.size() - kJavaSuffixLength;
  for (std::size_t k = 0; k < kJavaSuffixLength; ++k) {
    char c = name[at + k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kJavaSuffix[k]) return false;
  }
  return true;
}

// The interpreter's prompt starts with a drive's root or a network path.
bool StartsWithPrompt(const std::string& text) {
  return IsNetworkPath(text) ||
         (text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == ':' && text[2] == '\\');
}

// path taken from folder; empty when it is relative and there is no folder.
std::string FullPath(const std::string& folder, const std::string& path) {
  if (IsFullPath(path)) return path;
  if (folder.empty()) return std::string();
  // The last byte may be the trail byte of 表, which is no separator.
  const bool hasSeparator = FindLastChar(folder, '\\') == folder.size() - 1;
  return folder + (hasSeparator ? "" : "\\") + path;
}

// "<path>.java:<n>: ...": the path is all before the first colon that
// digits and another colon follow.
SourcePlace CompilerMessagePlace(const std::string& line, const std::string& toolFolder) {
  for (std::size_t i = 0; i < line.size(); i += CharLengthAt(line, i)) {
    if (line[i] != ':') continue;
    const std::size_t digitsEnd = DigitsEnd(line, i + 1);
    if (digitsEnd == i + 1 || digitsEnd >= line.size() || line[digitsEnd] != ':') continue;
    std::string path = line.substr(0, i);
    if (!EndsInJava(path)) return {};
    path.erase(0, SkipBlanks(path));
    // Wine's cmd prints javac's first line straight after its prompt, and a
    // file name cannot hold a '>'.
    if (StartsWithPrompt(path)) {
      const std::size_t promptEnd = FindLastChar(path, '>');
      if (promptEnd != std::string::npos) path.erase(0, SkipBlanks(path, promptEnd + 1));
    }
    return {FullPath(toolFolder, path), LineDigits(line, i + 1, digitsEnd)};
  }
  return {};
}

// "at [module/]<package>.<Class>.<method>(<File>.java:<n>)": the file stands
// in its package's folders under the folder the tools ran in.
SourcePlace StackFramePlace(const std::string& line, const std::string& toolFolder) {
  const std::size_t start = SkipBlanks(line);
  if (line.compare(start, kFramePrefixLength, kFramePrefix) != 0) return {};
  const std::size_t open = FindFirstChar(line, '(', start);
  const std::size_t close =
      open == std::string::npos ? std::string::npos : FindFirstChar(line, ')', open);
  if (close == std::string::npos) return {};

  // "Hello.java:5"; "Unknown Source" and "Native Method" name no file.
  const std::string where = line.substr(open + 1, close - open - 1);
  const std::size_t colon = FindLastChar(where, ':');
  if (colon == std::string::npos) return {};
  const std::string file = where.substr(0, colon);
  const std::size_t digitsEnd = DigitsEnd(where, colon + 1);
  if (digitsEnd == colon + 1 || digitsEnd != where.size() || !EndsInJava(file) ||
      ContainsAnyChar(file, "\\/:"))
    return {};

  // The method's qualified name less a module or class loader before a slash,
  // then less the method and the class: the package, dots made separators.
  std::string name = line.substr(start + kFramePrefixLength, open - start - kFramePrefixLength);
  const std::size_t slash = FindLastChar(name, '/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  std::size_t dot = FindLastChar(name, '.');
  if (dot == std::string::npos) return {};
  name.erase(dot);
  dot = FindLastChar(name, '.');
  std::string folders = dot == std::string::npos ? std::string() : name.substr(0, dot + 1);
  for (std::size_t i = 0; i < folders.size(); i += CharLengthAt(folders, i)) {
    if (folders[i] == '.') folders[i] = '\\';
  }
  return {FullPath(toolFolder, folders + file), LineDigits(where, colon + 1, digitsEnd)};
}

}  // namespace

SourcePlace PlaceNamedBy(const std::string& outputLine, const std::string& toolFolder) {
  SourcePlace place = CompilerMessagePlace(outputLine, toolFolder);
  if (place.line.empty()) place = StackFramePlace(outputLine, toolFolder);
  if (place.file.empty()) return {};
  return place;
}

std::string LineNumberOf(const std::string& line) {
  // The line's first character is never the separator.
  for (std::size_t i = line.empty() ? 0 : CharLengthAt(line, 0); i < line.size();
       i += CharLengthAt(line, i)) {
    if (line[i] != ':') continue;
    const std::size_t digitsEnd = DigitsEnd(line, i + 1);
    if (digitsEnd > i + 1 && digitsEnd < line.size() && line[digitsEnd] == ':')
      return LineDigits(line, i + 1, digitsEnd);
  }
  return std::string();
}

bool IsCompilerMessage(const std::string& outputLine) {
  return !CompilerMessagePlace(outputLine, std::string()).line.empty();
}

SourcePlace JumpPlaceOf(const std::string& outputLine, const std::string& sourceFile,
                        const std::string& toolFolder,
                        const std::function<bool(const std::string&)>& fileExists) {
  if (IsHintLine(outputLine)) return {};
  const SourcePlace named = PlaceNamedBy(outputLine, toolFolder);
  if (!named.line.empty() && fileExists(named.file)) return named;
  // A program's own output often holds a time or a ratio ("1:42:06"): only a
  // line shaped like a compiler message leads to the run's source.
  if (sourceFile.empty() || !IsCompilerMessage(outputLine)) return {};
  return {sourceFile, LineNumberOf(outputLine)};
}
