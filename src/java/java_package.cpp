// Reading a source's package line, and the folders and names it implies.
#include "java/java_package.h"

#include <windows.h>

#include "common/dbcs_text.h"

namespace {

bool IsShiftJisLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Letters, digits, _ and $, and every byte of a non-ASCII character.
bool IsIdentifierByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
         u == '$' || u >= 0x80;
}

bool IsJavaBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Moves i past blanks and comments. No byte of a double-byte character is a
// blank, a slash or a star, so the bytes can be looked at one by one.
void SkipBlanksAndComments(const std::string& s, std::size_t& i) {
  for (;;) {
    while (i < s.size() && IsJavaBlank(s[i])) ++i;
    if (s.compare(i, 2, "//") == 0) {
      const std::size_t end = s.find('\n', i);
      i = end == std::string::npos ? s.size() : end + 1;
    } else if (s.compare(i, 2, "/*") == 0) {
      const std::size_t end = s.find("*/", i + 2);
      i = end == std::string::npos ? s.size() : end + 2;
    } else {
      return;
    }
  }
}

}  // namespace

std::string DeclaredPackage(const std::string& source, bool shiftJis) {
  std::size_t i = source.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  SkipBlanksAndComments(source, i);
  const std::string keyword = "package";
  if (source.compare(i, keyword.size(), keyword) != 0) return std::string();
  i += keyword.size();
  if (i < source.size() && IsIdentifierByte(source[i])) return std::string();  // packagex

  std::string name;
  for (;;) {
    SkipBlanksAndComments(source, i);
    const std::size_t start = i;
    while (i < source.size() && IsIdentifierByte(source[i]))
      i += shiftJis && IsShiftJisLead(static_cast<unsigned char>(source[i])) ? 2 : 1;
    if (i == start || i > source.size()) return std::string();
    name.append(source, start, i - start);
    SkipBlanksAndComments(source, i);
    if (i >= source.size()) return std::string();
    if (source[i] == ';') return name;
    if (source[i] != '.') return std::string();
    name += '.';
    ++i;
  }
}

std::string PackageFolders(const std::string& package) {
  std::string folders = package;
  for (std::size_t i = 0; i < folders.size(); i += CharLengthAt(folders, i))
    if (folders[i] == '.') folders[i] = '\\';
  return folders;
}

std::string PackageRoot(const std::string& folder, const std::string& package) {
  if (package.empty()) return folder;
  const std::string tail = PackageFolders(package) + "\\";
  // The backslash that would stand just before the package's folders.
  for (std::size_t i = 0; i < folder.size(); i += CharLengthAt(folder, i)) {
    if (folder[i] != '\\' || folder.size() - (i + 1) != tail.size()) continue;
    if (lstrcmpiA(folder.c_str() + i + 1, tail.c_str()) == 0) return folder.substr(0, i + 1);
    break;
  }
  return std::string();
}

std::string QualifiedName(const std::string& package, const std::string& className) {
  return package.empty() ? className : package + "." + className;
}
