// Hints for a beginner under javac's and java's messages: what usually
// causes each common compile error, exception and launcher error, and what
// to check. One table of patterns; pure functions on the finished result text.
#pragma once

#include <functional>
#include <string>

// Every hint line starts with this ("ヒント: ").
extern const char kHintPrefix[];

// Whether a line of the result text is a hint line.
bool IsHintLine(const std::string& line);

// The source a compiler message names, by its full path, as ANSI text;
// empty when it cannot be read.
using SourceReader = std::function<std::string(const std::string& path)>;

// transcript (ANSI bytes, CR LF) with hint lines after each javac diagnostic
// it knows (after the source line, the caret and the detail lines), after
// the first line of each uncaught exception it knows and after the launcher's
// errors. Relative file names in the messages are taken from toolFolder.
// A prompt glued before a message does not hide it; a text that has its
// hints already comes back unchanged.
std::string WithHints(const std::string& transcript, const std::string& toolFolder,
                      const SourceReader& readSource);

// The source file's text as ANSI bytes, a UTF-8 file recoded; empty when it
// cannot be read.
std::string ReadSourceAsAnsi(const std::string& path);
