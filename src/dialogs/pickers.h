// The file and folder pickers: each shows one modal common dialog and leaves
// the chosen full path in a caller's buffer of at least kPickerBufferSize bytes.
#pragma once

#include <windows.h>

#include <cstddef>

constexpr std::size_t kPickerBufferSize = MAX_PATH;

// Save dialog for a text file (.txt appended to a bare name, overwrite asked).
bool PickTextFileToSave(HWND owner, char* buffer);
// Folder browser: true with a file-system path; a folder without one (a
// library, a virtual folder) gives false and an empty buffer; on cancel the
// buffer is left as it was.
bool PickFolder(HWND owner, char* buffer);
// Open dialog for an existing .exe file.
bool PickExecutable(HWND owner, char* buffer);
// The same, labelled as setup.exe labels it.
bool PickSetupExecutable(HWND owner, char* buffer);
// Open dialog for an existing .java file.
bool PickJavaSource(HWND owner, char* buffer);
