// Mapping modes, and the window and viewport that make the page transform:
// device = (logical - window origin) * viewport extent / window extent
// + viewport origin.
//
// The fixed modes take their extents from the device's size: the window is
// the device's size in the mode's units (HORZSIZE and VERTSIZE in
// millimetres, 25.4 to the inch, 1440 twips to the inch), the viewport its
// size in pixels with y going up. MM_ISOTROPIC starts from the extents of
// MM_LOMETRIC, MM_ANISOTROPIC from those of the mode before it. Only these
// two let a program set the extents; in the others SetWindowExtEx and
// SetViewportExtEx answer TRUE and change nothing. In MM_ISOTROPIC the
// viewport extent is shrunk on one axis so that a logical unit is as long
// on the device along x as along y (by LOGPIXELSX and LOGPIXELSY).
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <optional>

#include "gdi32/dc.h"

namespace {

using w32::gdi::DcState;

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

LONG RoundedRatio(double value) { return LONG(std::lround(value)); }

// The extents of a fixed mode on the DC's device.
void FixedModeExtents(HDC hdc, int mode, SIZE& window, SIZE& viewport) {
    // Units of the mode per millimetre.
    double perMillimetre = 1;
    switch (mode) {
        case MM_LOMETRIC: perMillimetre = 10; break;
        case MM_HIMETRIC: perMillimetre = 100; break;
        case MM_LOENGLISH: perMillimetre = 100 / 25.4; break;
        case MM_HIENGLISH: perMillimetre = 1000 / 25.4; break;
        case MM_TWIPS: perMillimetre = 1440 / 25.4; break;
        default: break;
    }
    window = SIZE{RoundedRatio(GetDeviceCaps(hdc, HORZSIZE) * perMillimetre),
                  RoundedRatio(GetDeviceCaps(hdc, VERTSIZE) * perMillimetre)};
    viewport = SIZE{GetDeviceCaps(hdc, HORZRES), -GetDeviceCaps(hdc, VERTRES)};
    if (window.cx == 0) window.cx = 1;
    if (window.cy == 0) window.cy = 1;
}

// Shrinks the viewport extent on the axis where a logical unit is longer.
void MakeIsotropic(HDC hdc, DcState& s) {
    const double pixelsPerInchX = GetDeviceCaps(hdc, LOGPIXELSX);
    const double pixelsPerInchY = GetDeviceCaps(hdc, LOGPIXELSY);
    if (pixelsPerInchX <= 0 || pixelsPerInchY <= 0) return;
    // Inches a logical unit spans along each axis.
    const double x = std::fabs(double(s.viewportExtent.cx) / s.windowExtent.cx) / pixelsPerInchX;
    const double y = std::fabs(double(s.viewportExtent.cy) / s.windowExtent.cy) / pixelsPerInchY;
    if (x > y) {
        const LONG shrunk = RoundedRatio(s.viewportExtent.cx * (y / x));
        s.viewportExtent.cx = shrunk ? shrunk : (s.viewportExtent.cx < 0 ? -1 : 1);
    } else if (y > x) {
        const LONG shrunk = RoundedRatio(s.viewportExtent.cy * (x / y));
        s.viewportExtent.cy = shrunk ? shrunk : (s.viewportExtent.cy < 0 ? -1 : 1);
    }
}

bool ScalableExtents(const DcState& s) { return s.mapMode == MM_ISOTROPIC || s.mapMode == MM_ANISOTROPIC; }

enum class Extent { Window, Viewport };

// Answers the extent in `old`; only MM_ISOTROPIC and MM_ANISOTROPIC change
// it, to what `change(extent)` makes of it (nothing: ERROR_INVALID_PARAMETER),
// an isotropic mapping then shrinking it to keep its units square.
template <typename Change>
BOOL ChangeExtent(HDC hdc, Extent which, LPSIZE old, Change change) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return FALSE;
    DcState& s = dc->state;
    SIZE& extent = which == Extent::Window ? s.windowExtent : s.viewportExtent;
    if (old) *old = extent;
    if (!ScalableExtents(s)) return TRUE;
    const std::optional<SIZE> changed = change(extent);
    if (!changed) return Fail(ERROR_INVALID_PARAMETER);
    extent = *changed;
    if (s.mapMode == MM_ISOTROPIC) MakeIsotropic(hdc, s);
    return TRUE;
}

BOOL SetExtent(HDC hdc, Extent which, int x, int y, LPSIZE old) {
    return ChangeExtent(hdc, which, old, [&](const SIZE&) -> std::optional<SIZE> {
        if (x == 0 || y == 0) return std::nullopt;
        return SIZE{x, y};
    });
}

BOOL ScaleExtent(HDC hdc, Extent which, int xNum, int xDenom, int yNum, int yDenom, LPSIZE old) {
    return ChangeExtent(hdc, which, old, [&](const SIZE& extent) -> std::optional<SIZE> {
        if (xDenom == 0 || yDenom == 0) return std::nullopt;
        const int64_t cx = int64_t(extent.cx) * xNum / xDenom;
        const int64_t cy = int64_t(extent.cy) * yNum / yDenom;
        if (cx == 0 || cy == 0 || std::llabs(cx) > 0x7FFFFFFF || std::llabs(cy) > 0x7FFFFFFF) return std::nullopt;
        return SIZE{LONG(cx), LONG(cy)};
    });
}

BOOL SetOrigin(HDC hdc, POINT DcState::*origin, int x, int y, LPPOINT old, bool offset) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return FALSE;
    POINT& point = dc->state.*origin;
    if (old) *old = point;
    point = offset ? POINT{point.x + x, point.y + y} : POINT{x, y};
    return TRUE;
}

}  // namespace

int WINAPI SetMapMode(HDC hdc, int iMode) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return 0;
    if (iMode < MM_TEXT || iMode > MM_ANISOTROPIC) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DcState& s = dc->state;
    const int previous = s.mapMode;
    switch (iMode) {
        case MM_TEXT: s.windowExtent = s.viewportExtent = SIZE{1, 1}; break;
        case MM_ANISOTROPIC: break;
        case MM_ISOTROPIC: FixedModeExtents(hdc, MM_LOMETRIC, s.windowExtent, s.viewportExtent); break;
        default: FixedModeExtents(hdc, iMode, s.windowExtent, s.viewportExtent); break;
    }
    s.mapMode = iMode;
    if (iMode == MM_ISOTROPIC) MakeIsotropic(hdc, s);
    return previous;
}

int WINAPI GetMapMode(HDC hdc) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    return dc ? dc->state.mapMode : 0;
}

BOOL WINAPI SetWindowExtEx(HDC hdc, int x, int y, LPSIZE lpsz) { return SetExtent(hdc, Extent::Window, x, y, lpsz); }
BOOL WINAPI SetViewportExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
    return SetExtent(hdc, Extent::Viewport, x, y, lpsz);
}
BOOL WINAPI ScaleWindowExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE lpsz) {
    return ScaleExtent(hdc, Extent::Window, xn, xd, yn, yd, lpsz);
}
BOOL WINAPI ScaleViewportExtEx(HDC hdc, int xn, int dx, int yn, int yd, LPSIZE lpsz) {
    return ScaleExtent(hdc, Extent::Viewport, xn, dx, yn, yd, lpsz);
}

BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, &DcState::windowOrigin, x, y, lppt, false);
}
BOOL WINAPI OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, &DcState::windowOrigin, x, y, lppt, true);
}
BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, &DcState::viewportOrigin, x, y, lppt, false);
}
BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, &DcState::viewportOrigin, x, y, lppt, true);
}

BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppoint) {
    return w32::gdi::GetStateField(hdc, &DcState::windowOrigin, lppoint);
}
BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppoint) {
    return w32::gdi::GetStateField(hdc, &DcState::viewportOrigin, lppoint);
}
BOOL WINAPI GetWindowExtEx(HDC hdc, LPSIZE lpsize) {
    return w32::gdi::GetStateField(hdc, &DcState::windowExtent, lpsize);
}
BOOL WINAPI GetViewportExtEx(HDC hdc, LPSIZE lpsize) {
    return w32::gdi::GetStateField(hdc, &DcState::viewportExtent, lpsize);
}
