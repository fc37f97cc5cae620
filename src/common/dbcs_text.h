// Byte-string helpers that respect double-byte characters of the ANSI code page.
// In code page 932 the trail byte of a double-byte character may be 0x5C ('\\'),
// so every scan for a single-byte character walks character by character.
#pragma once

#include <cstddef>
#include <string>

// Length of the character that starts at offset i: 2 for a lead byte that
// has its trail byte, 1 otherwise.
std::size_t CharLengthAt(const std::string& text, std::size_t i);

// Offset of the last single-byte character c in text, or npos.
std::size_t FindLastChar(const std::string& text, char c);

// Offset of the first single-byte character c at or after from, or npos.
std::size_t FindFirstChar(const std::string& text, char c, std::size_t from = 0);

// Copies text into a field of fieldSize bytes (terminator included). Refuses
// (returns false, field untouched) when the text does not fit whole.
bool CopyToField(char* field, std::size_t fieldSize, const std::string& text);

// The text of a NUL-terminated field that may lack its terminator.
std::string FieldText(const char* field, std::size_t fieldSize);

// True when text holds any of the single-byte characters in set.
bool ContainsAnyChar(const std::string& text, const char* set);

// The directory part of path with its trailing backslash; empty without one.
std::string DirectoryOf(const std::string& path);

// The file part of path: everything after its last backslash.
std::string FileNameOf(const std::string& path);

// Whether text starts with prefix, byte for byte.
bool StartsWith(const std::string& text, const char* prefix);

// Whether text ends with suffix, byte for byte, where the suffix starts a
// character: the trail byte of a double-byte character never begins it.
bool EndsWith(const std::string& text, const char* suffix);

// An ASCII digit.
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether text holds a character that makes the command interpreter split or
// redirect it unquoted.
bool NeedsQuotes(const std::string& text);
