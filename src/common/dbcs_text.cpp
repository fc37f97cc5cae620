// Byte-string helpers that respect double-byte characters of the ANSI code page.
#include "common/dbcs_text.h"

#include <windows.h>

#include <cstring>

std::size_t CharLengthAt(const std::string& text, std::size_t i) {
  if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) return 2;
  return 1;
}

std::size_t FindLastChar(const std::string& text, char c) {
  std::size_t found = std::string::npos;
  for (std::size_t i = 0; i < text.size(); i += CharLengthAt(text, i)) {
    if (text[i] == c) found = i;
  }
  return found;
}

std::size_t FindFirstChar(const std::string& text, char c, std::size_t from) {
  for (std::size_t i = 0; i < text.size(); i += CharLengthAt(text, i)) {
    if (i >= from && text[i] == c) return i;
  }
  return std::string::npos;
}

bool CopyToField(char* field, std::size_t fieldSize, const std::string& text) {
  if (fieldSize == 0 || text.size() >= fieldSize) return false;
  std::memcpy(field, text.c_str(), text.size() + 1);
  return true;
}

std::string FieldText(const char* field, std::size_t fieldSize) {
  const void* end = std::memchr(field, '\0', fieldSize);
  return std::string(field, end ? static_cast<const char*>(end) - field : fieldSize);
}

bool ContainsAnyChar(const std::string& text, const char* set) {
  for (std::size_t i = 0; i < text.size(); i += CharLengthAt(text, i)) {
    if (CharLengthAt(text, i) == 1 && text[i] != '\0' && std::strchr(set, text[i])) return true;
  }
  return false;
}

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = FindLastChar(path, '\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
  std::size_t slash = FindLastChar(path, '\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool EndsWith(const std::string& text, const char* suffix) {
  const std::size_t length = std::strlen(suffix);
  if (text.size() < length) return false;
  const std::size_t start = text.size() - length;
  std::size_t i = 0;
  while (i < start) i += CharLengthAt(text, i);
  return i == start && text.compare(start, length, suffix) == 0;
}

bool NeedsQuotes(const std::string& text) { return ContainsAnyChar(text, " &|<>^(),;="); }
