// What javac's output says about the compile: whether it reports an error.
#pragma once

#include <string>

// Whether javac's output holds "error" or "エラー" (case-sensitive, whole
// characters only). Where the text shows the source file's own folder or
// name, as in the file names of its messages, it does not count, so a source
// in a folder named "error" still compiles cleanly. So do the folder the
// tools ran in (a package's root) and the source's path from there. The exit
// code is the first sign of a failed compile; this rule catches a javac that
// reports errors and still exits with 0.
bool ReportsCompileError(const std::string& text, const std::string& sourcePath,
                         const std::string& toolFolder = std::string());
