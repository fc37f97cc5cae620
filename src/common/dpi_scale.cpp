// Lengths and fonts for the screen's DPI.
#include "common/dpi_scale.h"

#include <algorithm>
#include <climits>

#include "common/win_handle.h"

namespace {

// length * to / from, rounded half away from zero as MulDiv does, but held
// within LONG instead of failing.
LONG Rescale(LONG length, UINT from, UINT to) {
  if (from == 0 || from == to) return length;
  const long long product = static_cast<long long>(length) * to;
  const long long half = from / 2;
  const long long scaled = (product < 0 ? product - half : product + half) / from;
  return static_cast<LONG>(std::max<long long>(LONG_MIN, std::min<long long>(LONG_MAX, scaled)));
}

// A function of user32 that Windows 7 does not have, looked up by name.
template <typename Function>
Function NewerUserFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using SetControlDpiBehaviorFunction = BOOL(WINAPI*)(HWND, DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS,
                                                    DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS);

}  // namespace

UINT SystemDpi() {
  ScreenDc screen(GetDC(nullptr));
  const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

UINT WindowDpi(HWND window) {
  static const auto function = NewerUserFunction<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = function && window ? function(window) : 0;
  return dpi ? dpi : SystemDpi();
}

LONG ScaleToDpi(LONG length, UINT dpi) { return Rescale(length, kDefaultDpi, dpi); }

LONG ScaleFromDpi(LONG length, UINT dpi) { return Rescale(length, dpi, kDefaultDpi); }

LOGFONTA FontAtDpi(const LOGFONTA& font, UINT from, UINT to) {
  LOGFONTA scaled = font;
  scaled.lfHeight = Rescale(font.lfHeight, from, to);
  scaled.lfWidth = Rescale(font.lfWidth, from, to);
  return scaled;
}

void KeepOwnFontAndPlaceOnDpiChange(HWND control) {
  static const auto function =
      NewerUserFunction<SetControlDpiBehaviorFunction>("SetDialogControlDpiChangeBehavior");
  const auto kept = static_cast<DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS>(DCDC_DISABLE_FONT_UPDATE |
                                                                     DCDC_DISABLE_RELAYOUT);
  if (function) function(control, kept, kept);
}
