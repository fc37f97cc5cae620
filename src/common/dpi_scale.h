// Lengths and fonts for the screen's DPI. The program declares itself DPI-aware,
// so it scales by itself what the system does not: what it measures in pixels
// in code. Stored sizes and fonts stay in pixels at 96 DPI, as they always were.
#pragma once

#include <windows.h>

constexpr UINT kDefaultDpi = 96;

// The DPI of the whole screen, as the process saw it at its start.
UINT SystemDpi();

// The DPI the window is drawn at: its monitor's under per-monitor awareness
// (Windows 10 1607 and later), the system's elsewhere.
UINT WindowDpi(HWND window);

// A length at 96 DPI, at dpi; rounded, and held within the range of LONG.
LONG ScaleToDpi(LONG length, UINT dpi);
// A length at dpi, back at 96 DPI.
LONG ScaleFromDpi(LONG length, UINT dpi);

// The font with its cell sizes moved from one DPI to another.
LOGFONTA FontAtDpi(const LOGFONTA& font, UINT from, UINT to);

// Leaves the control's font and place to its dialog's own code when the
// dialog moves to a screen of another DPI (Windows 10 1703 and later).
void KeepOwnFontAndPlaceOnDpiChange(HWND control);
