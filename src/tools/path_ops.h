// Path operations shared by the tool runs and their callers. All of them walk
// the path character by character, so a 0x5C trail byte is never a separator.
#pragma once

#include <string>

#include "common/dbcs_text.h"   // DirectoryOf, FileNameOf
#include "common/file_paths.h"  // IsExistingFile

// Replaces the file part of path by the name the file system stores for it
// (a short 8.3 name becomes the long one); unchanged when nothing is found.
void ResolveLongName(std::string& path);

// Cuts path at the last dot of its file part (D:\work\Hello.java becomes
// D:\work\Hello); a dot in a directory name is not an extension.
void StripExtension(std::string& path);

// path made full against the current directory; unchanged when that fails.
std::string FullPathOf(const std::string& path);

// The file a command-line argument names: one pair of surrounding quotes
// removed, made full against the current directory. Empty when it names none.
std::string ArgumentPath(std::string argument);
