// Conversions between stored settings and what the settings pages' controls
// show, and the cuts that keep a typed text within its field.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// A command list index for nothing selected.
constexpr int kNoListIndex = 255;
// The ExeMode stored when the command list has nothing selected.
constexpr DWORD kNoExeMode = 255;

// The command list's index for a stored ExeMode; kNoListIndex for nothing.
int ExeModeToListIndex(DWORD mode);
// The ExeMode for a command list index (CB_ERR included).
DWORD ListIndexToExeMode(int index);

// RegisterHotKey modifiers (MOD_...) to hot-key control flags (HOTKEYF_...)
// and back; the Windows key and the extended-key flag are not carried over.
BYTE ModifiersToHotKeyFlags(DWORD modifiers);
DWORD HotKeyFlagsToModifiers(BYTE flags);

// The longest start of text of at most maxBytes bytes that ends at a
// character boundary: never half a double-byte character.
std::string CutAtCharBoundary(const std::string& text, std::size_t maxBytes);

// path with a backslash after its last character, when it has none and the
// result still fits a field of fieldSize bytes; an empty path stays empty.
std::string WithTrailingBackslash(const std::string& path, std::size_t fieldSize);
