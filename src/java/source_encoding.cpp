// The source encoding decision and javac's -encoding argument.
#include "java/source_encoding.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "common/win_handle.h"

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
const char kEncodingOption[] = "-encoding";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Strict UTF-8: no over-long forms, no surrogates, nothing above U+10FFFF.
// A character cut by the end of bytes is accepted when cutAllowed.
bool IsUtf8(const std::string& bytes, bool cutAllowed) {
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k >= n) return cutAllowed;
      const auto t = static_cast<unsigned char>(bytes[i + k]);
      if (k == 1 ? (t < low || t > high) : (t & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

bool IsAscii(const std::string& bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

SourceEncoding DecideSourceEncoding(const std::string& bytes, bool whole) {
  if (bytes.compare(0, 3, kByteOrderMark) == 0) return SourceEncoding::Utf8WithBom;
  if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)
    return SourceEncoding::Utf16;
  if (IsAscii(bytes)) return SourceEncoding::Ascii;
  if (IsUtf8(bytes, !whole)) return SourceEncoding::Utf8;
  return SourceEncoding::Windows31j;
}

const char* JavacEncodingName(SourceEncoding encoding) {
  switch (encoding) {
    case SourceEncoding::Utf8WithBom:
    case SourceEncoding::Utf8:
      return "UTF-8";
    case SourceEncoding::Windows31j:
      return "windows-31j";
    case SourceEncoding::Utf16:
      return "UTF-16";
    case SourceEncoding::Ascii:
      break;
  }
  return "";
}

bool NamesEncoding(const std::string& arguments) {
  const std::string option = kEncodingOption;
  bool afterBlank = true;
  for (std::size_t i = 0; i < arguments.size(); i += CharLengthAt(arguments, i)) {
    const std::size_t end = i + option.size();
    if (afterBlank && arguments.compare(i, option.size(), option) == 0 &&
        (end == arguments.size() || IsBlank(arguments[end])))
      return true;
    afterBlank = CharLengthAt(arguments, i) == 1 && IsBlank(arguments[i]);
  }
  return false;
}

std::string WithSourceEncoding(const std::string& arguments, const std::string& name) {
  if (name.empty() || NamesEncoding(arguments)) return arguments;
  std::string result = std::string(kEncodingOption) + " " + name;
  if (!arguments.empty()) result += " " + arguments;
  return result;
}

bool ReadSourceSample(const std::string& path, std::string& bytes, bool& whole, std::size_t limit) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // One byte more than the sample tells whether the file goes on.
  std::vector<char> buffer(limit + 1);
  DWORD total = 0;
  while (total < buffer.size()) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer.data() + total, static_cast<DWORD>(buffer.size() - total),
                  &read, nullptr))
      return false;
    if (read == 0) break;
    total += read;
  }
  whole = total <= limit;
  bytes.assign(buffer.data(), whole ? total : limit);
  return true;
}

FolderEncoding DecideFolderEncoding(SourceEncoding source, const std::vector<OtherSource>& others) {
  FolderEncoding result;
  if (source == SourceEncoding::Utf16) {
    result.encoding = source;
    for (const OtherSource& other : others)
      if (other.encoding != SourceEncoding::Utf16) result.otherFiles.push_back(other.name);
    return result;
  }
  const auto family = [](SourceEncoding e) {
    return e == SourceEncoding::Utf8WithBom ? SourceEncoding::Utf8 : e;
  };
  bool anyUtf8 = family(source) == SourceEncoding::Utf8;
  bool anyShiftJis = source == SourceEncoding::Windows31j;
  for (const OtherSource& other : others) {
    anyUtf8 = anyUtf8 || family(other.encoding) == SourceEncoding::Utf8;
    anyShiftJis = anyShiftJis || other.encoding == SourceEncoding::Windows31j;
  }
  if (anyShiftJis)
    result.encoding = family(source) == SourceEncoding::Utf8 ? source : SourceEncoding::Windows31j;
  else if (anyUtf8)
    result.encoding = family(source) == SourceEncoding::Utf8 ? source : SourceEncoding::Utf8;
  const SourceEncoding chosen = family(result.encoding);
  for (const OtherSource& other : others) {
    const SourceEncoding e = family(other.encoding);
    if (e != SourceEncoding::Ascii && e != chosen) result.otherFiles.push_back(other.name);
  }
  return result;
}

std::string Utf16SourceAsUtf8(const std::string& bytes) {
  const bool bigEndian = bytes.compare(0, 2, "\xFE\xFF") == 0;
  std::wstring wide;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    wide += static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return FromWide(wide, CP_UTF8);
}

std::vector<OtherSource> OtherSourceEncodings(const std::string& folder,
                                              const std::string& sourceName,
                                              std::size_t usedBytes) {
  std::vector<OtherSource> others;
  WIN32_FIND_DATAA entry;
  UniqueFindHandle search(FindFirstFileA((folder + "*.java").c_str(), &entry));
  if (!search) return others;
  // The source itself counts as one of the files read.
  std::size_t files = 1;
  do {
    const std::string name = entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        lstrcmpiA(name.c_str(), sourceName.c_str()) == 0 || name.size() <= 5 ||
        lstrcmpiA(name.c_str() + name.size() - 5, ".java") != 0)
      continue;
    if (files >= kEncodingFolderFiles || usedBytes >= kEncodingFolderBytes) break;
    std::string bytes;
    bool whole = true;
    const std::size_t limit = std::min(kEncodingSampleSize, kEncodingFolderBytes - usedBytes);
    if (!ReadSourceSample(folder + name, bytes, whole, limit)) continue;
    ++files;
    usedBytes += bytes.size();
    others.push_back({name, DecideSourceEncoding(bytes, whole)});
  } while (FindNextFileA(search.Get(), &entry));
  return others;
}
