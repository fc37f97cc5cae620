// The result text field's window procedure. Each field keeps the procedure it
// replaced in a window property, so any number of result windows can coexist.
#include "editor/line_jump.h"

namespace {

const char kPreviousProcProperty[] = "Pellaro.PreviousEditProc";

WNDPROC PreviousProc(HWND window) {
  return reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcProperty));
}

}  // namespace

void InstallResultEditProc(HWND edit) {
  LONG_PTR previous = GetWindowLongPtrA(edit, GWLP_WNDPROC);
  SetPropA(edit, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ResultEditProc));
}

LRESULT CALLBACK ResultEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = PreviousProc(window);
  if (message == WM_NCDESTROY) {
    RemovePropA(window, kPreviousProcProperty);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}
