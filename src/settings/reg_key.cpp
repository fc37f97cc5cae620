// One registry key of the current user, with default-keeping reads.
#include "settings/reg_key.h"

#include <cstring>
#include <vector>

#include "common/dbcs_text.h"

bool RegKey::Create(HKEY root, const char* path) {
  DWORD disposition = 0;
  return RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.Receive(),
                         &disposition) == ERROR_SUCCESS;
}

bool RegKey::ReadDword(const char* name, DWORD& field) const {
  if (!IsOpen()) return false;
  DWORD size = 0;
  if (RegQueryValueExA(key_.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
      size != sizeof(DWORD))
    return false;
  DWORD value = 0;
  if (RegQueryValueExA(key_.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      size != sizeof(DWORD))
    return false;
  field = value;
  return true;
}

bool RegKey::ReadAll(const char* name, std::string& text) const {
  if (!IsOpen()) return false;
  DWORD size = 0;
  if (RegQueryValueExA(key_.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return false;
  std::vector<char> bytes(size + 1, '\0');
  if (size != 0 && RegQueryValueExA(key_.Get(), name, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(bytes.data()), &size) != ERROR_SUCCESS)
    return false;
  text = FieldText(bytes.data(), size);
  return true;
}

bool RegKey::ReadText(const char* name, char* field, std::size_t fieldSize) const {
  std::string text;
  return ReadAll(name, text) && CopyToField(field, fieldSize, text);
}

bool RegKey::ReadBinary(const char* name, void* field, std::size_t fieldSize) const {
  if (!IsOpen()) return false;
  DWORD size = 0;
  if (RegQueryValueExA(key_.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
      size > fieldSize)
    return false;
  std::vector<BYTE> bytes(fieldSize, 0);
  if (RegQueryValueExA(key_.Get(), name, nullptr, nullptr, bytes.data(), &size) != ERROR_SUCCESS)
    return false;
  std::memcpy(field, bytes.data(), fieldSize);
  return true;
}

LONG RegKey::WriteDword(const char* name, DWORD value) const {
  return RegSetValueExA(key_.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value);
}

LONG RegKey::WriteText(const char* name, const std::string& text) const {
  return RegSetValueExA(key_.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size()));
}

LONG RegKey::WriteBinary(const char* name, const void* data, std::size_t size) const {
  return RegSetValueExA(key_.Get(), name, 0, REG_BINARY, static_cast<const BYTE*>(data),
                        static_cast<DWORD>(size));
}

bool RegKey::Open(HKEY root, const char* path, REGSAM view) {
  return RegOpenKeyExA(root, path, 0, KEY_READ | view, key_.Receive()) == ERROR_SUCCESS;
}

std::vector<std::string> RegKey::SubkeyNames() const {
  std::vector<std::string> names;
  if (!IsOpen()) return names;
  // Key names are at most 255 characters.
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    const LONG result =
        RegEnumKeyExA(key_.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

bool RegKey::Exists(const char* name) const {
  return IsOpen() &&
         RegQueryValueExA(key_.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG RegKey::WriteBytes(const char* name, DWORD type, const std::string& bytes) const {
  return RegSetValueExA(key_.Get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}
