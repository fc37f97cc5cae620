// Writes to a temporary file beside the target, then moves it over the target.
#include "common/replacing_file.h"

#include <windows.h>

#include <algorithm>

#include "common/win_handle.h"
#include "common/dbcs_text.h"

namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

}  // namespace

FileWriteResult WriteFileReplacing(const std::string& path, const std::string& bytes) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return FileWriteResult::OpenFailed;

  std::size_t slash = FindLastChar(path, '\\');
  std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(directory.c_str(), "pel", 0, temporary)) return FileWriteResult::OpenFailed;

  bool written;
  {
    UniqueHandle file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      DeleteFileA(temporary);
      return FileWriteResult::OpenFailed;
    }
    written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
  }
  if (!written || !MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(temporary);
    return FileWriteResult::WriteFailed;
  }
  return FileWriteResult::Written;
}
