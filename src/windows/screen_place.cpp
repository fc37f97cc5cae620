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
