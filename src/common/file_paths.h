// What a path's text says about it (full, on the network, its folder's
// spelling) and whether it names an existing file or folder. Every scan
// walks character by character, so a 0x5C trail byte is never a separator.
#pragma once

#include <string>

// \\... : a network path (or a device path such as \\.\pipe).
bool IsNetworkPath(const std::string& path);

// D:\... or \\server\share\...: a name that no search path or current folder
// can stand in for. Device paths such as \\.\pipe and \\?\ are not.
bool IsFullPath(const std::string& path);

// folder without its last character when that is a backslash (a root such as
// "\" keeps it); a trail byte 0x5C is no backslash.
std::string WithoutTrailingBackslash(std::string folder);

// A folder as a setting or variable gives it: surrounding quotes and blanks
// and all trailing backslashes taken off.
std::string TrimmedFolder(std::string folder);

// True when path names a file (not a folder) that exists.
bool IsExistingFile(const std::string& path);

// True when path names a folder that exists.
bool IsExistingFolder(const std::string& path);
