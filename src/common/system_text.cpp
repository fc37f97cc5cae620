// Environment variables, whole files and code-page conversions.
#include "common/system_text.h"

#include <vector>

#include "common/win_handle.h"

std::string EnvironmentValue(const std::string& name) {
  std::vector<char> value(1024);
  for (;;) {
    DWORD length =
        GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return std::string();
    if (length < value.size()) return std::string(value.data(), length);
    // Too small: length is the size needed, terminator included.
    value.resize(length);
  }
}

std::string ReadAllFrom(HANDLE file) {
  std::string bytes;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  return bytes;
}

std::string ReadWholeFile(const std::string& path) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  return file ? ReadAllFrom(file.Get()) : std::string();
}

std::wstring ToWide(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::string FromWide(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return std::string();
  int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string text(n, '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n, nullptr,
                      nullptr);
  return text;
}

std::string Recode(const std::string& text, UINT from, UINT to) {
  return FromWide(ToWide(text, from), to);
}
