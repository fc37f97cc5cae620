// Which encoding javac must be told a source file is in, decided from the
// file's bytes: ANSI editors on Japanese Windows write code page 932, while
// JDK 18 and later read sources as UTF-8 unless told otherwise.
#pragma once

#include <cstddef>
#include <string>

enum class SourceEncoding { Ascii, Utf8WithBom, Utf8, Windows31j };

// At most this much of a source is read to decide.
constexpr std::size_t kEncodingSampleSize = 1 << 20;

// The encoding of a source whose first bytes are these; whole is false when
// the file goes on beyond them, so that a character cut at their end does
// not count against UTF-8.
SourceEncoding DecideSourceEncoding(const std::string& bytes, bool whole = true);

// The name javac's -encoding takes for it; empty for pure ASCII, which every
// encoding reads alike.
const char* JavacEncodingName(SourceEncoding encoding);

// Whether javac's argument text already names an encoding ("-encoding" as an
// argument of its own): the user's choice always wins.
bool NamesEncoding(const std::string& arguments);

// The argument text with "-encoding <name>" in front, unless name is empty
// or the text names an encoding itself.
std::string WithSourceEncoding(const std::string& arguments, const std::string& name);

// Reads up to kEncodingSampleSize bytes of the file; whole tells whether that
// was all of it. False when the file cannot be read.
bool ReadSourceSample(const std::string& path, std::string& bytes, bool& whole);
