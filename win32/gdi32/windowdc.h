// Window DCs for the window manager: a DC that draws into the surface of a
// window's top-level window (a DIB section the window manager keeps),
// placed at the window's origin there and cut to the part of the window
// that shows. Every GDI call takes it as it takes any other DC.
#pragma once
#include <windows.h>

#include "win32k/region.h"

namespace w32::gdi {

// A new window DC over the bitmap `surface`: device point (0, 0) lies at
// `origin` in the surface's pixels and drawing reaches only `visible`
// (surface pixels). Null with ERROR_INVALID_HANDLE when `surface` is no bitmap.
HDC CreateWindowSurfaceDC(HBITMAP surface, POINT origin, const Region& visible);
// Gives a window DC a new origin and visible region (its window moved).
bool PlaceWindowSurfaceDC(HDC hdc, POINT origin, const Region& visible);
// Deletes a window DC (DeleteDC refuses them). False for any other handle.
bool DeleteWindowSurfaceDC(HDC hdc);
// Whether the handle is a window DC.
bool IsWindowSurfaceDC(HDC hdc);

}  // namespace w32::gdi
