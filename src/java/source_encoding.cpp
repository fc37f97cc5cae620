// The source encoding decision and javac's -encoding argument.
#include "java/source_encoding.h"

#include <windows.h>

#include <vector>

#include "common/dbcs_text.h"
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

bool ReadSourceSample(const std::string& path, std::string& bytes, bool& whole) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // One byte more than the sample tells whether the file goes on.
  std::vector<char> buffer(kEncodingSampleSize + 1);
  DWORD total = 0;
  while (total < buffer.size()) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer.data() + total, static_cast<DWORD>(buffer.size() - total),
                  &read, nullptr))
      return false;
    if (read == 0) break;
    total += read;
  }
  whole = total <= kEncodingSampleSize;
  bytes.assign(buffer.data(), whole ? total : kEncodingSampleSize);
  return true;
}
