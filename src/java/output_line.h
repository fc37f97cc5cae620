// What a line of javac or java output names: the source file and line of a
// compiler message or of a stack frame. Pure functions on bytes and paths.
#pragma once

#include <functional>
#include <string>

// A line of a source file: the file's full path and the line number's digits.
struct SourcePlace {
  std::string file;
  std::string line;  // at most 7 digits; empty when nothing is named
};

// The place a compiler message ("<path>.java:<n>: ...", after a prompt glued
// before it) or a stack frame ("at <package>.<Class>.<method>(<File>.java:<n>)",
// with or without a module prefix) names. A relative path, and a frame's
// package folders, are taken from toolFolder, the folder the tools ran in.
// Whether the file exists is not asked.
SourcePlace PlaceNamedBy(const std::string& outputLine, const std::string& toolFolder);

// The line number of a compiler message by the first colon alone, without
// reading the file name: the digits (7 at most) after the first colon, from
// the line's second character on, that is directly followed by digits and
// another colon. Empty when the line has none.
std::string LineNumberOf(const std::string& line);

// Whether the line is shaped like a compiler message, "<name>.java:<n>:",
// after a prompt glued before it.
bool IsCompilerMessage(const std::string& outputLine);

// Where outputLine leads: the place it names when that file exists, otherwise,
// for a compiler message, sourceFile at LineNumberOf. The line is empty when
// it leads nowhere, as a
// hint line always does.
SourcePlace JumpPlaceOf(const std::string& outputLine, const std::string& sourceFile,
                        const std::string& toolFolder,
                        const std::function<bool(const std::string&)>& fileExists);
