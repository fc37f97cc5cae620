// The process-wide objects that exist before the entry function runs.
#pragma once

#include <string>

// Full path of the source file of the last command run.
extern std::string CurrentSourceFile;
