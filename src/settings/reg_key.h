// One registry key. Reads leave the caller's field alone on
// any failure (missing value, wrong size); writes report the Win32 error code.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "common/win_handle.h"

class RegKey {
 public:
  // Creates or opens root\path with full access; false when that fails.
  bool Create(HKEY root, const char* path);
  // Opens an existing root\path for reading only; false when it is missing.
  // view may ask for the 64-bit or the 32-bit registry (KEY_WOW64_...).
  bool Open(HKEY root, const char* path, REGSAM view = 0);
  bool IsOpen() const { return key_.Valid(); }
  // Whether the value exists, whatever its size or type.
  bool Exists(const char* name) const;

  // A REG_DWORD-sized value: exactly 4 bytes, or the field keeps its value.
  bool ReadDword(const char* name, DWORD& field) const;
  // A text that fits fieldSize bytes with its terminator, stored with or
  // without a trailing NUL; otherwise the field keeps its value.
  bool ReadText(const char* name, char* field, std::size_t fieldSize) const;
  // Binary data of at most fieldSize bytes; the field is zeroed, then filled.
  bool ReadBinary(const char* name, void* field, std::size_t fieldSize) const;
  // The whole value as bytes, up to its first NUL.
  bool ReadAll(const char* name, std::string& text) const;
  // The names of the key's subkeys.
  std::vector<std::string> SubkeyNames() const;

  LONG WriteDword(const char* name, DWORD value) const;
  // REG_SZ with the text's length, no terminator.
  LONG WriteText(const char* name, const std::string& text) const;
  LONG WriteBinary(const char* name, const void* data, std::size_t size) const;
  LONG WriteBytes(const char* name, DWORD type, const std::string& bytes) const;

 private:
  UniqueRegKey key_;
};
