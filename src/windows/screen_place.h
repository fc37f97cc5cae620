// Where a window goes when its stored place may lie on a screen that is gone,
// or be anything another tool wrote into the registry.
#pragma once

#include <windows.h>

// Work area of the monitor nearest to point.
RECT NearestWorkArea(POINT point);

// The top-left corner for a window of this size: corner itself when the
// window would touch a monitor there, otherwise moved onto the work area of
// the nearest monitor. Edges are computed without overflowing LONG.
POINT ReachableCorner(POINT corner, SIZE size);
