// Which encoding javac must be told a source file is in, decided from the
// bytes of the file and of the other sources javac reads beside it: ANSI
// editors on Japanese Windows write code page 932, while JDK 18 and later
// read sources as UTF-8 unless told otherwise.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class SourceEncoding { Ascii, Utf8WithBom, Utf8, Windows31j, Utf16 };

// At most this much of a source is read to decide.
constexpr std::size_t kEncodingSampleSize = 1 << 20;
// At most this many sources of a folder, and this many bytes of them in all,
// are read to decide.
constexpr std::size_t kEncodingFolderFiles = 200;
constexpr std::size_t kEncodingFolderBytes = 4 << 20;

// The encoding of a source whose first bytes are these; whole is false when
// the file goes on beyond them, so that a character cut at their end does
// not count against UTF-8.
SourceEncoding DecideSourceEncoding(const std::string& bytes, bool whole = true);

// The name javac's -encoding takes for it; empty for pure ASCII, which every
// encoding reads alike.
const char* JavacEncodingName(SourceEncoding encoding);

// One source beside the one compiled, and the encoding its bytes show.
struct OtherSource {
  std::string name;
  SourceEncoding encoding;
};

// What javac is told for a source and the others of its folder, which it
// reads too, and the files among those that are in another encoding.
struct FolderEncoding {
  SourceEncoding encoding = SourceEncoding::Ascii;
  std::vector<std::string> otherFiles;
};

// All ASCII: nothing; every file with other characters UTF-8: UTF-8;
// otherwise windows-31j. Where UTF-8 and Shift_JIS files stand side by side
// the source keeps its own, and the files in the other one are named. A
// UTF-16 source makes it UTF-16, and every file that is not UTF-16 is named;
// a UTF-16 file beside another source is named.
FolderEncoding DecideFolderEncoding(SourceEncoding source, const std::vector<OtherSource>& others);

// The package line's text of a UTF-16 source (after its byte order mark, in
// either byte order) as UTF-8, for DeclaredPackage.
std::string Utf16SourceAsUtf8(const std::string& bytes);

// Whether javac's argument text already names an encoding ("-encoding" as an
// argument of its own): the user's choice always wins.
bool NamesEncoding(const std::string& arguments);

// The argument text with "-encoding <name>" in front, unless name is empty
// or the text names an encoding itself.
std::string WithSourceEncoding(const std::string& arguments, const std::string& name);

// Reads up to limit bytes of the file; whole tells whether that was all of
// it. False when the file cannot be read.
bool ReadSourceSample(const std::string& path, std::string& bytes, bool& whole,
                      std::size_t limit = kEncodingSampleSize);

// The encodings of the other .java files of folder (with its trailing
// backslash) than sourceName, within the folder limits, of which the source's
// own sample took usedBytes.
std::vector<OtherSource> OtherSourceEncodings(const std::string& folder,
                                              const std::string& sourceName, std::size_t usedBytes);
