// The "ScrollBar" class's record and geometry, shared by its procedure
// (scrollbar.cpp) and its painting (scrollbarpaint.cpp).
#pragma once
#include <windows.h>

namespace w32 {

struct ScrollBarRecord {
    // A scroll-bar control starts with an empty range (0, 0), as on Windows.
    int min = 0;
    int max = 0;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    UINT disabledArrows = ESB_ENABLE_BOTH;
    // What the mouse holds while the left button is down.
    enum class Part { None, FirstArrow, FirstTrack, Thumb, LastTrack, LastArrow } held = Part::None;
    int grab = 0;  // pointer's distance from the thumb's start while dragging
};

// The parts of a scroll bar along its length, in client pixels: the arrows
// at both ends, the track between them and the thumb in the track (none
// when the range is empty or the track has no room for it).
struct ScrollBarLayout {
    bool vertical = false;
    int length = 0;      // client length along the bar
    int arrow = 0;       // length of each arrow button
    int trackStart = 0;  // the track runs from trackStart to trackEnd
    int trackEnd = 0;
    bool hasThumb = false;
    int thumbStart = 0;
    int thumbLength = 0;
};

ScrollBarLayout LayOutScrollBar(HWND control, const ScrollBarRecord& record, int shownPos);

// The largest position the range and page allow.
int MaxScrollPos(const ScrollBarRecord& record);

// Repaints the scroll bar after a change.
void RedrawScrollBar(HWND control);
// Draws the whole scroll bar into the DC (WM_PAINT and WM_PRINTCLIENT).
void PaintScrollBar(HWND control, HDC dc);

}  // namespace w32
