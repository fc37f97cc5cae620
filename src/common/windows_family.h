// Which family of Windows the program runs on: the NT family and the
// Windows 95 family differ in their command interpreter and settings frame.
#pragma once

#include <windows.h>

// VER_PLATFORM_WIN32_NT, VER_PLATFORM_WIN32_WINDOWS, or 0 when the system
// does not say.
DWORD PlatformId();

inline bool IsWindows95Family() { return PlatformId() == VER_PLATFORM_WIN32_WINDOWS; }
inline bool IsNtFamily() { return PlatformId() == VER_PLATFORM_WIN32_NT; }
