// What a closed path is used for: StrokePath, FillPath, StrokeAndFillPath
// (drawn, then the path is gone), WidenPath and FlattenPath (the path
// changed in place), PathToRegion and SelectClipPath (its area, in the
// poly fill mode, as a region; the path is gone).
//
// Each needs a path closed by EndPath, else ERROR_CAN_NOT_COMPLETE.
// Filling closes every open figure of the path.
#include <windows.h>

#include "gdi32/clip.h"
#include "gdi32/drawcall.h"

namespace w32::gdi {

namespace {

bool HasClosedPath(const DeviceContext& dc) {
    if (dc.pathState != PathState::Closed) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return false;
    }
    return true;
}

void DiscardPath(DeviceContext& dc) {
    dc.path = DevicePath{};
    dc.pathState = PathState::None;
}

enum class PathUse { Stroke, Fill, StrokeAndFill };

BOOL DrawPath(HDC hdc, PathUse use) {
    auto dc = LockDrawingDC(hdc);
    if (!dc || !HasClosedPath(*dc)) return FALSE;
    const DevicePath path = std::move(dc->path);
    DiscardPath(*dc);
    DrawContext context;
    if (!PrepareDraw(*dc, context)) return FALSE;
    EnginePen pen = SelectedPen(*dc);
    if (pen.style == PS_INSIDEFRAME) pen.style = PS_SOLID;
    const std::shared_ptr<EngineBrush> brush = SelectedBrush(*dc);
    const bool stroke = use != PathUse::Fill && pen.style != PS_NULL;
    const bool fill = use != PathUse::Stroke && brush && brush->style != BS_NULL;
    if (path.Empty()) return TRUE;
    if (stroke && fill) return DrawStrokeAndFillPath(context, path, pen, *brush);
    if (fill) return DrawFillPath(context, path, *brush);
    if (stroke) return DrawStrokePath(context, path, pen);
    return TRUE;
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

BOOL WINAPI StrokePath(HDC hdc) { return DrawPath(hdc, PathUse::Stroke); }

BOOL WINAPI FillPath(HDC hdc) { return DrawPath(hdc, PathUse::Fill); }

BOOL WINAPI StrokeAndFillPath(HDC hdc) { return DrawPath(hdc, PathUse::StrokeAndFill); }

// The path becomes the outline of what the selected pen would cover
// stroking it, in WINDING-fill figures. Only a geometric pen has a width
// to widen by: a cosmetic one fails with ERROR_CAN_NOT_COMPLETE.
BOOL WINAPI WidenPath(HDC hdc) {
    auto dc = LockDrawingDC(hdc);
    if (!dc || !HasClosedPath(*dc)) return FALSE;
    const w32::EnginePen pen = SelectedPen(*dc);
    if (!pen.geometric || pen.style == PS_NULL) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return FALSE;
    }
    w32::GeometricPen geometric;
    geometric.width = pen.width;
    geometric.endCap = pen.endCap;
    geometric.join = pen.join;
    geometric.miterLimit = dc->state.miterLimit;
    geometric.style = pen.style == PS_INSIDEFRAME ? PS_SOLID : pen.style;
    geometric.userStyle = pen.userStyle;
    dc->path = w32::WidenPath(dc->path, geometric);
    return TRUE;
}

// Every Bézier of the path becomes lines.
BOOL WINAPI FlattenPath(HDC hdc) {
    auto dc = LockDrawingDC(hdc);
    if (!dc || !HasClosedPath(*dc)) return FALSE;
    dc->path = w32::FlattenPath(dc->path);
    return TRUE;
}

// The pixels the path encloses in the DC's poly fill mode, as a region in
// device units; the path is discarded.
HRGN WINAPI PathToRegion(HDC hdc) {
    auto dc = LockDrawingDC(hdc);
    if (!dc || !HasClosedPath(*dc)) return nullptr;
    auto region = std::make_shared<GdiRegion>();
    region->region = RegionOfPath(dc->path, dc->state.polyFillMode);
    DiscardPath(*dc);
    return static_cast<HRGN>(InsertGdiObject(region));
}

// The path's area (poly fill mode) combined with the clip by an RGN_*
// mode; the path is discarded.
BOOL WINAPI SelectClipPath(HDC hdc, int mode) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    if (mode < RGN_AND || mode > RGN_COPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!HasClosedPath(*dc)) return FALSE;
    // Drawing never reaches past the surface, so neither need the clip.
    const SIZEL size = DrawingSurfaceSize(*dc);
    const w32::Region area = w32::Region::FromSpans(
        w32::FillPathSpans(dc->path, dc->state.polyFillMode, RECTL{0, 0, size.cx, size.cy}));
    DiscardPath(*dc);
    return CombineClip(*dc, &area, mode) != ERROR;
}
