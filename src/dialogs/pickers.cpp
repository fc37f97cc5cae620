// The file and folder pickers, wrapping the common dialogs.
#include "dialogs/pickers.h"

#include <objbase.h>
#include <commdlg.h>
#include <shlobj.h>

namespace {

// Filters are label NUL pattern NUL NUL; the literal adds the last NUL.
const char kTextFilter[] = ".txt files(*.txt)\0*.txt\0";
const char kExeFilter[] = ".exe file(*.exe)\0*.exe\0";
// setup.exe's picker labels the same files in the plural.
const char kSetupExeFilter[] = ".exe files(*.exe)\0*.exe\0";
const char kJavaFilter[] = "Java Source File(*.java)\0*.java\0";

const char kSaveTitle[] = "ファイルに保存";
const char kOpenTitle[] = "ファイルを開く";
const char kFolderTitle[] = "フォルダを選択して下さい。";

bool PickFile(HWND owner, char* buffer, const char* filter, const char* defaultExtension,
              DWORD flags, const char* title, bool save) {
  buffer[0] = '\0';
  OPENFILENAMEA dialog = {};
  // The Windows 95 / NT 4 layout of the structure, as every system accepts.
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = kPickerBufferSize;
  dialog.Flags = flags;
  dialog.lpstrDefExt = defaultExtension;
  dialog.lpstrTitle = title;
  return (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != 0;
}

}  // namespace

bool PickTextFileToSave(HWND owner, char* buffer) {
  return PickFile(owner, buffer, kTextFilter, "txt", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                  kSaveTitle, true);
}

bool PickExecutable(HWND owner, char* buffer) {
  return PickFile(owner, buffer, kExeFilter, "exe", OFN_FILEMUSTEXIST, kOpenTitle, false);
}

bool PickSetupExecutable(HWND owner, char* buffer) {
  return PickFile(owner, buffer, kSetupExeFilter, "exe", OFN_FILEMUSTEXIST, kOpenTitle, false);
}

bool PickJavaSource(HWND owner, char* buffer) {
  return PickFile(owner, buffer, kJavaFilter, "java", OFN_FILEMUSTEXIST, kOpenTitle, false);
}

bool PickFolder(HWND owner, char* buffer) {
  // The shell's folder browser needs COM, apartment-threaded, on its thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  char displayName[MAX_PATH] = {};
  BROWSEINFOA browse = {};
  browse.hwndOwner = owner;
  browse.pszDisplayName = displayName;
  browse.lpszTitle = kFolderTitle;
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST items = SHBrowseForFolderA(&browse);
  bool chosen = false;
  if (items) {
    // A library or another virtual folder has a display name but no path.
    chosen = SHGetPathFromIDListA(items, buffer) != FALSE;
    if (!chosen) buffer[0] = '\0';
    CoTaskMemFree(items);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}
