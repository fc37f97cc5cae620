// Writing a whole file so that an existing one is replaced only once the new
// text has been written completely, keeping the existing file's security,
// owner and streams. Where no twin file can be made beside the target (a path
// too long for it), the target is written directly instead.
#pragma once

#include <string>

enum class FileWriteResult {
  Written,
  OpenFailed,   // the file (or its temporary twin) could not be created
  WriteFailed,  // writing or replacing failed; the old file is untouched
};

FileWriteResult WriteFileReplacing(const std::string& path, const std::string& bytes);
