// Recording a path: BeginPath, EndPath, AbortPath, CloseFigure, and
// GetPath to read it back.
//
// A DC has at most one path. BeginPath throws away any path it had and
// starts recording: from then on the drawing calls add their figures in
// device space instead of drawing (gdi32/drawcall.h). EndPath closes the
// bracket; the calls that use a path (gdi32/pathops.cpp) need it closed.
// Calls in the wrong state fail with ERROR_CAN_NOT_COMPLETE.
#include <windows.h>

#include "gdi32/drawcall.h"

using namespace w32::gdi;

namespace {

// Empties the DC's path and leaves it in `state`.
BOOL ResetPath(HDC hdc, PathState state) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    dc->path = w32::DevicePath{};
    dc->pathState = state;
    return TRUE;
}

}  // namespace

BOOL WINAPI BeginPath(HDC hdc) { return ResetPath(hdc, PathState::Open); }

BOOL WINAPI EndPath(HDC hdc) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    if (dc->pathState != PathState::Open) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return FALSE;
    }
    dc->pathState = PathState::Closed;
    return TRUE;
}

// Throws the path away, open or closed; a DC without one is left as it is.
BOOL WINAPI AbortPath(HDC hdc) { return ResetPath(hdc, PathState::None); }

// Closes the open path's last figure with a line back to its start; the
// next line starts a new figure. Nothing to close (no figure, or one
// already closed) fails.
BOOL WINAPI CloseFigure(HDC hdc) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    auto& types = dc->path.types;
    if (dc->pathState != PathState::Open || types.empty() || (types.back() & PT_CLOSEFIGURE) ||
        types.back() == PT_MOVETO) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return FALSE;
    }
    dc->path.CloseFigure();
    return TRUE;
}

// The closed path's points in logical coordinates (the DC's mapping now)
// and their types. With `cpt` 0, or no buffers, the number of points; a
// buffer too small gives -1 and ERROR_BUFFER_OVERFLOW.
int WINAPI GetPath(HDC hdc, LPPOINT apt, LPBYTE aj, int cpt) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return -1;
    if (dc->pathState != PathState::Closed) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return -1;
    }
    const size_t count = dc->path.points.size();
    if (cpt == 0 || (!apt && !aj)) return int(count);
    if (cpt < 0 || !apt || !aj) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (size_t(cpt) < count) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return -1;
    }
    for (size_t i = 0; i < count; ++i) {
        apt[i] = DeviceFixToLogical(*dc, dc->path.points[i]);
        aj[i] = dc->path.types[i];
    }
    return int(count);
}
