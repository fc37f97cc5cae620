// Conversions between stored settings and the settings pages' controls.
#include "dialogs/settings_values.h"

#include <commctrl.h>

#include "common/dbcs_text.h"

namespace {

// ExeMode of each command list entry, in list order.
constexpr DWORD kListExeModes[] = {1, 2, 6, 3, 7};
constexpr int kListSize = sizeof kListExeModes / sizeof kListExeModes[0];

constexpr DWORD kCompileFirst = 1;
constexpr DWORD kRunJava = 2;
constexpr DWORD kRunAppletViewer = 6;

}  // namespace

int ExeModeToListIndex(DWORD mode) {
  const DWORD following = mode & ~kCompileFirst;
  if (mode & kCompileFirst) {
    // Compiling first with no known follower shows plain "javac".
    if (following == kRunJava) return 3;
    if (following == kRunAppletViewer) return 4;
    return 0;
  }
  if (following == kRunJava) return 1;
  if (following == kRunAppletViewer) return 2;
  return kNoListIndex;
}

DWORD ListIndexToExeMode(int index) {
  if (index < 0 || index >= kListSize) return kNoExeMode;
  return kListExeModes[index];
}

BYTE ModifiersToHotKeyFlags(DWORD modifiers) {
  BYTE flags = 0;
  if (modifiers & MOD_SHIFT) flags |= HOTKEYF_SHIFT;
  if (modifiers & MOD_CONTROL) flags |= HOTKEYF_CONTROL;
  if (modifiers & MOD_ALT) flags |= HOTKEYF_ALT;
  return flags;
}

DWORD HotKeyFlagsToModifiers(BYTE flags) {
  DWORD modifiers = 0;
  if (flags & HOTKEYF_SHIFT) modifiers |= MOD_SHIFT;
  if (flags & HOTKEYF_CONTROL) modifiers |= MOD_CONTROL;
  if (flags & HOTKEYF_ALT) modifiers |= MOD_ALT;
  return modifiers;
}

std::string CutAtCharBoundary(const std::string& text, std::size_t maxBytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + CharLengthAt(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

std::string WithTrailingBackslash(const std::string& path, std::size_t fieldSize) {
  if (path.empty()) return path;
  // The last character, not the last byte: a trail byte may be 0x5C.
  const std::size_t last = FindLastChar(path, '\\');
  if (last != std::string::npos && last + 1 == path.size()) return path;
  if (path.size() + 2 > fieldSize) return path;
  return path + '\\';
}
