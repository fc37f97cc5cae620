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

// wanted held between minimum and the work area's size.
SIZE HeldWithin(SIZE wanted, SIZE minimum, const RECT& work);

// The top-left corner for a window of this size beside avoid (below it with
// right edges aligned, else left of it, right of it, above it), wholly inside
// work and not covering avoid where that can be had.
POINT PlaceBeside(const RECT& avoid, SIZE size, const RECT& work);

// The first place of a strip of this size: the top right of work, moved just
// below the caption bar it would cover.
POINT StripFirstPlace(SIZE size, const RECT& work, const RECT& captionBar);
