// First places of the windows, and keeping a window reachable on the screens
// there are now.
#include "windows/screen_place.h"

#include <algorithm>
#include <climits>

#include "common/dpi_scale.h"

namespace {

// a + b, held within the range of LONG.
LONG SaturatedSum(LONG a, LONG b) {
  const long long sum = static_cast<long long>(a) + b;
  return static_cast<LONG>(std::max<long long>(LONG_MIN, std::min<long long>(LONG_MAX, sum)));
}

RECT WorkAreaOf(HMONITOR monitor) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoA(monitor, &info);
  return info.rcWork;
}

}  // namespace

RECT NearestWorkArea(POINT point) {
  return WorkAreaOf(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

POINT ReachableCorner(POINT corner, SIZE size) {
  const RECT wanted = {corner.x, corner.y, SaturatedSum(corner.x, size.cx),
                       SaturatedSum(corner.y, size.cy)};
  if (MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) return corner;
  const RECT work = WorkAreaOf(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST));
  return {std::max(work.left, std::min<LONG>(corner.x, work.right - size.cx)),
          std::max(work.top, std::min<LONG>(corner.y, work.bottom - size.cy))};
}

namespace {

POINT InsideWork(POINT corner, SIZE size, const RECT& work) {
  return {std::max(work.left, std::min<LONG>(corner.x, work.right - size.cx)),
          std::max(work.top, std::min<LONG>(corner.y, work.bottom - size.cy))};
}

bool Covers(POINT corner, SIZE size, const RECT& avoid) {
  const RECT window = {corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
  RECT overlap;
  return IntersectRect(&overlap, &window, &avoid) != FALSE;
}

}  // namespace

POINT PlaceBeside(const RECT& avoid, SIZE size, const RECT& work) {
  const POINT tries[] = {{avoid.right - size.cx, avoid.bottom},
                         {avoid.left - size.cx, avoid.top},
                         {avoid.right, avoid.top},
                         {avoid.right - size.cx, avoid.top - size.cy}};
  for (const POINT& corner : tries) {
    const POINT inside = InsideWork(corner, size, work);
    if (!Covers(inside, size, avoid)) return inside;
  }
  return InsideWork(tries[0], size, work);
}

POINT StripFirstPlace(SIZE size, const RECT& work, const RECT& captionBar) {
  POINT corner = {work.right - size.cx, work.top};
  if (Covers(corner, size, captionBar)) corner.y = captionBar.bottom;
  return InsideWork(corner, size, work);
}

namespace {

constexpr int kFirstColumns = 80;
constexpr int kFirstLines = 24;
constexpr SIZE kFirstMinimum = {560, 280};

SIZE TextWindowSize(HWND window, HWND field, LONG bandHeight) {
  TEXTMETRICA metrics = {};
  if (HDC dc = GetDC(field)) {
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(field, WM_GETFONT, 0, 0)));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(field, dc);
  }
  // What the window and the field keep around the text, as they stand now.
  RECT outer, client, text, format;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  GetWindowRect(field, &text);
  SendMessageA(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  const LONG aroundX = (outer.right - outer.left - client.right) + (text.right - text.left) -
                       (format.right - format.left);
  const LONG aroundY = (outer.bottom - outer.top - client.bottom) + bandHeight +
                       (text.bottom - text.top) - (format.bottom - format.top);
  return {kFirstColumns * metrics.tmAveCharWidth + aroundX,
          kFirstLines * metrics.tmHeight + aroundY};
}

}  // namespace

void PlaceFirstTextWindow(HWND window, HWND field, LONG bandHeight, HWND avoid) {
  RECT strip = {};
  const bool besideIt = avoid && IsWindowVisible(avoid) && GetWindowRect(avoid, &strip);
  RECT rect;
  GetWindowRect(window, &rect);
  const RECT work =
      NearestWorkArea(besideIt ? POINT{strip.left, strip.top} : POINT{rect.left, rect.top});
  const UINT dpi = WindowDpi(window);
  const SIZE wanted = TextWindowSize(window, field, bandHeight);
  const SIZE size = {std::min<LONG>(std::max<LONG>(wanted.cx, ScaleToDpi(kFirstMinimum.cx, dpi)),
                                    work.right - work.left),
                     std::min<LONG>(std::max<LONG>(wanted.cy, ScaleToDpi(kFirstMinimum.cy, dpi)),
                                    work.bottom - work.top)};
  const POINT place = besideIt ? PlaceBeside(strip, size, work)
                               : POINT{(work.left + work.right - size.cx) / 2,
                                       (work.top + work.bottom - size.cy) / 2};
  SetWindowPos(window, nullptr, place.x, place.y, size.cx, size.cy,
               SWP_NOZORDER | SWP_FRAMECHANGED);
}
