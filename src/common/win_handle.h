// Owners for Win32 objects, so that no code path leaks a handle, key, font or menu.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueObject {
 public:
  using Type = typename Traits::Type;

  UniqueObject() = default;
  explicit UniqueObject(Type value) : value_(value) {}
  ~UniqueObject() { Reset(); }
  UniqueObject(const UniqueObject&) = delete;
  UniqueObject& operator=(const UniqueObject&) = delete;
  UniqueObject(UniqueObject&& other) noexcept : value_(other.Release()) {}
  UniqueObject& operator=(UniqueObject&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Type Get() const { return value_; }
  bool Valid() const { return Traits::Valid(value_); }
  explicit operator bool() const { return Valid(); }

  // For APIs that fill in a new object: frees the old one first.
  Type* Receive() {
    Reset();
    return &value_;
  }

  Type Release() { return std::exchange(value_, Traits::Empty()); }

  void Reset(Type value = Traits::Empty()) {
    if (Traits::Valid(value_)) Traits::Free(value_);
    value_ = value;
  }

 private:
  Type value_ = Traits::Empty();
};

// Security attributes that let a child process inherit the handle made with
// them.
inline SECURITY_ATTRIBUTES InheritableAttributes() {
  SECURITY_ATTRIBUTES security = {};
  security.nLength = sizeof security;
  security.bInheritHandle = TRUE;
  return security;
}

struct HandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(Type h) { CloseHandle(h); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(Type h) { FindClose(h); }
};

struct RegKeyTraits {
  using Type = HKEY;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { RegCloseKey(h); }
};

struct FontTraits {
  using Type = HFONT;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { DeleteObject(h); }
};

struct MenuTraits {
  using Type = HMENU;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { DestroyMenu(h); }
};

// A device context of the whole screen, from GetDC(nullptr).
struct ScreenDcTraits {
  using Type = HDC;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Free(Type h) { ReleaseDC(nullptr, h); }
};

using UniqueHandle = UniqueObject<HandleTraits>;
using UniqueFindHandle = UniqueObject<FindHandleTraits>;
using UniqueRegKey = UniqueObject<RegKeyTraits>;
using UniqueFont = UniqueObject<FontTraits>;
using UniqueMenu = UniqueObject<MenuTraits>;
using ScreenDc = UniqueObject<ScreenDcTraits>;
