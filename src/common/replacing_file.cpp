// Writes to a twin file beside the target, then puts it in the target's place;
// writes the target directly where no twin can be made.
#include "common/replacing_file.h"

#include <windows.h>

#include <algorithm>

#include "common/win_handle.h"

namespace {

// The twin's name: one per target, so a save after a crash overwrites what
// the crash left instead of adding another file.
const char kTwinSuffix[] = ".pellaro-save";

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return FlushFileBuffers(file) != FALSE;
}

UniqueHandle CreateForWriting(const std::string& path, DWORD attributes) {
  return UniqueHandle(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
}

FileWriteResult WriteDirectly(const std::string& path, const std::string& bytes) {
  UniqueHandle file = CreateForWriting(path, FILE_ATTRIBUTE_NORMAL);
  if (!file) return FileWriteResult::OpenFailed;
  return WriteAll(file.Get(), bytes) ? FileWriteResult::Written : FileWriteResult::WriteFailed;
}

}  // namespace

FileWriteResult WriteFileReplacing(const std::string& path, const std::string& bytes) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return FileWriteResult::OpenFailed;

  // A path too long for the twin, or a name that is taken by a folder.
  const std::string twin = path + kTwinSuffix;
  UniqueHandle file = CreateForWriting(twin, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY);
  if (!file) return WriteDirectly(path, bytes);
  const bool written = WriteAll(file.Get(), bytes);
  file.Reset();

  // ReplaceFile keeps the target's own security, owner, streams and
  // attributes; the twin only lends its content. No backup is kept.
  const bool replaced =
      written && (exists ? ReplaceFileA(path.c_str(), twin.c_str(), nullptr,
                                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE
                         : MoveFileExA(twin.c_str(), path.c_str(), 0) != FALSE);
  if (!replaced) {
    DeleteFileA(twin.c_str());
    return FileWriteResult::WriteFailed;
  }
  // The twin was hidden while it was being written; Wine's ReplaceFile does
  // not carry the target's attributes over as Windows does.
  SetFileAttributesA(path.c_str(), exists ? attributes : FILE_ATTRIBUTE_NORMAL);
  return FileWriteResult::Written;
}
