// The setup program's entry: shows INST and runs the message loop until INST
// is left. Reads no command line; the exit code is 0 whatever happens.
#include <windows.h>

#include "setup/inst_dialog.h"

namespace {

const char kInstDialog[] = "INST";
const char kCaption[] = "セットアップ";
const char kNoWindowText[] = "セットアップの画面を作成できませんでした。";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  HWND dialog = CreateDialogParamA(instance, kInstDialog, nullptr, InstDialogProc, 0);
  // Without its window nothing could end the message loop.
  if (!dialog) {
    MessageBoxA(nullptr, kNoWindowText, kCaption, MB_OK | MB_ICONERROR);
    return 0;
  }
  ShowWindow(dialog, show);
  UpdateWindow(dialog);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
