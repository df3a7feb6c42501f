// Lines and Bézier curves: MoveToEx, LineTo, Polyline, PolylineTo,
// PolyPolyline, PolyBezier, PolyBezierTo.
//
// Each builds its figure in device space and strokes it with the selected
// pen, or adds it to the open path. The "To" calls start at the current
// position and leave it at their last point; Polyline, PolyPolyline and
// PolyBezier neither use nor move it. A cosmetic line covers its pixels
// from the first point up to, not including, the last one.
#include <windows.h>

#include <vector>

#include "gdi32/drawcall.h"

namespace w32::gdi {

namespace {

// A figure of `types[i]` segments through `points`, from `start`.
DevicePath Figure(POINTFIX start, const std::vector<POINTFIX>& points, BYTE segmentType) {
    DevicePath figure;
    figure.points.reserve(points.size() + 1);
    figure.types.reserve(points.size() + 1);
    figure.MoveTo(start);
    figure.points.insert(figure.points.end(), points.begin(), points.end());
    figure.types.insert(figure.types.end(), points.size(), segmentType);
    return figure;
}

bool ValidCount(const void* points, size_t count, size_t least) {
    if (!points || count < least || count > kMostPoints) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// Draws `count` points from the current position as `segmentType`
// segments, and moves the current position to the last of them.
BOOL DrawFromCurrentPosition(HDC hdc, const POINT* points, size_t count, BYTE segmentType) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    POINTFIX start;
    std::vector<POINTFIX> device;
    if (!ToDeviceFix(*dc, dc->state.currentPosition.x, dc->state.currentPosition.y, start) ||
        !ToDeviceFix(*dc, points, count, device))
        return FALSE;
    if (!StrokeOrRecord(*dc, Figure(start, device, segmentType), true)) return FALSE;
    dc->state.currentPosition = points[count - 1];
    return TRUE;
}

// Draws figures each starting at its first point.
BOOL DrawFigures(HDC hdc, const POINT* points, const DWORD* counts, size_t figureCount, BYTE segmentType) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    DevicePath figures;
    std::vector<POINTFIX> device;
    for (size_t i = 0; i < figureCount; ++i) {
        if (!ToDeviceFix(*dc, points, counts[i], device)) return FALSE;
        DevicePath figure = Figure(device[0], std::vector<POINTFIX>(device.begin() + 1, device.end()), segmentType);
        figures.points.insert(figures.points.end(), figure.points.begin(), figure.points.end());
        figures.types.insert(figures.types.end(), figure.types.begin(), figure.types.end());
        points += counts[i];
    }
    return StrokeOrRecord(*dc, figures, false);
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

// Moves the current position; `lppt` receives the one before. Inside a
// path the move starts a new figure at that point.
BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    POINTFIX device;
    if (!ToDeviceFix(*dc, x, y, device)) return FALSE;
    if (lppt) *lppt = dc->state.currentPosition;
    dc->state.currentPosition = POINT{x, y};
    if (dc->pathState == PathState::Open) {
        w32::DevicePath move;
        move.MoveTo(device);
        AppendToPath(*dc, move);  // takes the place of a move no line followed
    }
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    const POINT end{x, y};
    return DrawFromCurrentPosition(hdc, &end, 1, PT_LINETO);
}

// At least two points.
BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
    if (!ValidCount(apt, cpt < 0 ? 0 : size_t(cpt), 2)) return FALSE;
    const DWORD count = DWORD(cpt);
    return DrawFigures(hdc, apt, &count, 1, PT_LINETO);
}

BOOL WINAPI PolylineTo(HDC hdc, const POINT* apt, DWORD cpt) {
    if (!ValidCount(apt, cpt, 1)) return FALSE;
    return DrawFromCurrentPosition(hdc, apt, cpt, PT_LINETO);
}

// `asz` gives the points of each polyline, two at least each.
BOOL WINAPI PolyPolyline(HDC hdc, const POINT* apt, const DWORD* asz, DWORD csz) {
    if (!apt || !asz || csz == 0 || csz > kMostPoints) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size_t total = 0;
    for (DWORD i = 0; i < csz; ++i) {
        if (asz[i] < 2 || asz[i] > kMostPoints) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        total += asz[i];
    }
    if (total > kMostPoints) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return DrawFigures(hdc, apt, asz, csz, PT_LINETO);
}

// A start point, then three points (two control points and an end) per curve.
BOOL WINAPI PolyBezier(HDC hdc, const POINT* apt, DWORD cpt) {
    if (!ValidCount(apt, cpt, 1) || (cpt - 1) % 3 != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (cpt == 1) return LockDrawingDC(hdc) ? TRUE : FALSE;  // no curve to draw
    return DrawFigures(hdc, apt, &cpt, 1, PT_BEZIERTO);
}

// Three points per curve, the first curve starting at the current position.
BOOL WINAPI PolyBezierTo(HDC hdc, const POINT* apt, DWORD cpt) {
    if (!ValidCount(apt, cpt, 3) || cpt % 3 != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return DrawFromCurrentPosition(hdc, apt, cpt, PT_BEZIERTO);
}
