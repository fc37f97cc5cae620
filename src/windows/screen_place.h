// Where windows go: their first places, and stored places that may lie on a
// screen that is gone or be anything another tool wrote into the registry.
#pragma once

#include <windows.h>

// Work area of the monitor nearest to point.
RECT NearestWorkArea(POINT point);

// The top-left corner for a window of this size: corner itself when the
// window would touch a monitor there, otherwise moved onto the work area of
// the nearest monitor. Edges are computed without overflowing LONG.
POINT ReachableCorner(POINT corner, SIZE size);

// The top-left corner for a window of this size beside avoid (below it with
// right edges aligned, else left of it, right of it, above it), wholly inside
// work and not covering avoid where that can be had.
POINT PlaceBeside(const RECT& avoid, SIZE size, const RECT& work);

// The first place of a strip of this size: the top right of work, moved just
// below the caption bar it would cover.
POINT StripFirstPlace(SIZE size, const RECT& work, const RECT& captionBar);

// The first place of a window whose text field is to be read: about 80
// columns by 24 lines of the field's font (with the frames, scroll bars and
// margins around the text, and a band of bandHeight pixels above the field),
// at least 560 x 280 pixels at 96 DPI, never more than the work area; beside
// the visible window avoid without covering it, else centred.
void PlaceFirstTextWindow(HWND window, HWND field, LONG bandHeight, HWND avoid);
