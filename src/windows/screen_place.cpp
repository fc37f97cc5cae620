// Keeping a window reachable on the screens there are now.
#include "windows/screen_place.h"

#include <algorithm>
#include <climits>

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

SIZE HeldWithin(SIZE wanted, SIZE minimum, const RECT& work) {
  return {std::min<LONG>(std::max(wanted.cx, minimum.cx), work.right - work.left),
          std::min<LONG>(std::max(wanted.cy, minimum.cy), work.bottom - work.top)};
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
