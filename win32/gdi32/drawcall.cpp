// The common steps of GDI's drawing calls: the DC and its lock, logical to
// device coordinates with their range, and the choice between recording a
// figure in the open path and drawing it through the engine.
#include "gdi32/drawcall.h"

#include <algorithm>
#include <cmath>

namespace w32::gdi {

namespace {

bool SamePoint(POINTFIX a, POINTFIX b) { return a.x == b.x && a.y == b.y; }

// A MoveToEx recorded in the path that no line followed: the next figure
// that brings its own first point takes its place.
void DropLoneMoveTo(DevicePath& path) {
    if (!path.types.empty() && path.types.back() == PT_MOVETO) {
        path.types.pop_back();
        path.points.pop_back();
    }
}

// PS_INSIDEFRAME is a GDI style: the figure was already drawn inside its
// frame, and the engine strokes it as a solid line.
EnginePen PenForEngine(const DeviceContext& dc) {
    EnginePen pen = SelectedPen(dc);
    if (pen.style == PS_INSIDEFRAME) pen.style = PS_SOLID;
    return pen;
}

}  // namespace

LockedDC LockDrawingDC(HDC hdc) {
    LockedDC locked;
    locked.lock = std::unique_lock(EngineLock());
    locked.dc = LookupDC(hdc);
    if (!locked.dc) {
        locked.lock.unlock();
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return locked;
}

bool ToDeviceFix(const DeviceContext& dc, LONG x, LONG y, POINTFIX& out) {
    const XFORM m = LogicalToDeviceTransform(dc);
    const double dx = x * double(m.eM11) + y * double(m.eM21) + m.eDx;
    const double dy = x * double(m.eM12) + y * double(m.eM22) + m.eDy;
    if (!(std::fabs(dx) <= kLargestDeviceCoordinate && std::fabs(dy) <= kLargestDeviceCoordinate)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    out = LogicalToDeviceFix(dc, x, y);
    return true;
}

bool ToDeviceFix(const DeviceContext& dc, const POINT* points, size_t count, std::vector<POINTFIX>& out) {
    out.resize(count);
    for (size_t i = 0; i < count; ++i)
        if (!ToDeviceFix(dc, points[i].x, points[i].y, out[i])) return false;
    return true;
}

bool ToDevicePoint(const DeviceContext& dc, LONG x, LONG y, POINT& out) {
    POINTFIX unused;
    if (!ToDeviceFix(dc, x, y, unused)) return false;
    out = LogicalToDevice(dc, x, y);
    return true;
}

POINT DeviceFixToLogical(const DeviceContext& dc, POINTFIX p) {
    const XFORM m = LogicalToDeviceTransform(dc);
    const double det = double(m.eM11) * m.eM22 - double(m.eM12) * m.eM21;
    if (det == 0) return POINT{0, 0};
    const double x = p.x / 16.0 - m.eDx, y = p.y / 16.0 - m.eDy;
    const double lx = (x * m.eM22 - y * m.eM21) / det;
    const double ly = (y * m.eM11 - x * m.eM12) / det;
    return POINT{LONG(std::lround(lx)), LONG(std::lround(ly))};
}

bool AxisAligned(const DeviceContext& dc) {
    const XFORM m = LogicalToDeviceTransform(dc);
    return m.eM12 == 0 && m.eM21 == 0;
}

bool ToDeviceRect(const DeviceContext& dc, const RECT& logical, RECTL& out) {
    POINT a, b;
    if (!ToDevicePoint(dc, logical.left, logical.top, a) || !ToDevicePoint(dc, logical.right, logical.bottom, b))
        return false;
    out = RECTL{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    return true;
}

std::optional<Region> LogicalRegionToDevice(const DeviceContext& dc, const Region& logical) {
    const std::vector<RECTL> rects = logical.Rects();
    if (AxisAligned(dc)) {
        std::vector<RECTL> device;
        device.reserve(rects.size());
        for (const RECTL& r : rects) {
            RECTL d;
            if (!ToDeviceRect(dc, RECT{r.left, r.top, r.right, r.bottom}, d)) return std::nullopt;
            device.push_back(d);
        }
        return Region::FromRects(device);
    }
    // A turned or sheared mapping: each rectangle becomes a parallelogram,
    // whose pixels are those GDI's fill rule gives it.
    DevicePath path;
    for (const RECTL& r : rects) {
        POINTFIX corners[4];
        if (!ToDeviceFix(dc, r.left, r.top, corners[0]) || !ToDeviceFix(dc, r.right, r.top, corners[1]) ||
            !ToDeviceFix(dc, r.right, r.bottom, corners[2]) || !ToDeviceFix(dc, r.left, r.bottom, corners[3]))
            return std::nullopt;
        path.MoveTo(corners[0]);
        for (int i = 1; i < 4; ++i) path.LineTo(corners[i]);
        path.CloseFigure();
    }
    return RegionOfPath(path, WINDING);
}

Region RegionOfPath(const DevicePath& path, int fillMode) {
    if (path.Empty()) return Region();
    constexpr LONG kBandRows = 1 << 16;
    const RECTFX bounds = path.Bounds();
    const LONG top = bounds.yTop >> 4, bottom = (bounds.yBottom >> 4) + 1;
    const LONG left = (bounds.xLeft >> 4) - 1, right = (bounds.xRight >> 4) + 2;
    Region region;
    for (LONG band = top; band < bottom; band += kBandRows) {
        const RECTL limit{left, band, right, std::min(bottom, band + kBandRows)};
        region = region.Union(Region::FromSpans(FillPathSpans(path, fillMode, limit)));
    }
    return region;
}

SIZEL DrawingSurfaceSize(const DeviceContext& dc) {
    if (dc.memory || dc.windowSurface) {
        auto bitmap = TargetBitmap(dc);
        if (bitmap && bitmap->surface) return bitmap->surface->so.sizlBitmap;
        return SIZEL{0, 0};
    }
    if (dc.device && !dc.informationContext)
        if (SURFOBJ* surface = dc.device->SurfaceObject()) return surface->sizlBitmap;
    return SIZEL{0, 0};
}

Region VisibleRegion(const DeviceContext& dc) {
    const SIZEL size = DrawingSurfaceSize(dc);
    Region surface(RECTL{0, 0, size.cx, size.cy});
    if (dc.windowSurface) surface = surface.Intersect(dc.windowVisible);
    return dc.state.clip ? dc.state.clip->Intersect(surface) : surface;
}

bool PrepareDraw(const DeviceContext& dc, DrawContext& out) {
    const DWORD before = GetLastError();
    SetLastError(ERROR_SUCCESS);
    if (!MakeDrawContext(dc, out)) {
        // An information context, or a printer DC outside a page.
        if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    SetLastError(before);
    return true;
}

void AppendToPath(DeviceContext& dc, const DevicePath& figures) {
    if (figures.Empty()) return;
    DropLoneMoveTo(dc.path);
    dc.path.points.insert(dc.path.points.end(), figures.points.begin(), figures.points.end());
    dc.path.types.insert(dc.path.types.end(), figures.types.begin(), figures.types.end());
}

bool StrokeOrRecord(DeviceContext& dc, const DevicePath& figure, bool continuesCurrent) {
    if (figure.Empty()) return true;
    if (dc.pathState == PathState::Open) {
        DevicePath& path = dc.path;
        // A figure that continues from the current position joins the last
        // figure when that ends there and is still open; else it starts one.
        const bool joins = continuesCurrent && !path.Empty() && !(path.types.back() & PT_CLOSEFIGURE) &&
                           SamePoint(path.points.back(), figure.points.front());
        if (!joins) {
            AppendToPath(dc, figure);
            return true;
        }
        path.points.insert(path.points.end(), figure.points.begin() + 1, figure.points.end());
        path.types.insert(path.types.end(), figure.types.begin() + 1, figure.types.end());
        return true;
    }
    DrawContext context;
    if (!PrepareDraw(dc, context)) return false;
    const EnginePen pen = PenForEngine(dc);
    if (pen.style == PS_NULL) return true;
    return DrawStrokePath(context, figure, pen);
}

bool FillStrokeOrRecord(DeviceContext& dc, const DevicePath& figures) {
    if (figures.Empty()) return true;
    if (dc.pathState == PathState::Open) {
        AppendToPath(dc, figures);
        return true;
    }
    DrawContext context;
    if (!PrepareDraw(dc, context)) return false;
    const EnginePen pen = PenForEngine(dc);
    const std::shared_ptr<EngineBrush> brush = SelectedBrush(dc);
    const bool stroke = pen.style != PS_NULL;
    const bool fill = brush && brush->style != BS_NULL;
    if (stroke && fill) return DrawStrokeAndFillPath(context, figures, pen, *brush);
    if (fill) return DrawFillPath(context, figures, *brush);
    if (stroke) return DrawStrokePath(context, figures, pen);
    return true;
}

bool PaintDeviceRegion(const DeviceContext& dc, const Region& region, const EngineBrush& brush, MIX mix) {
    DrawContext context;
    if (!PrepareDraw(dc, context)) return false;
    if (region.Empty()) return true;
    return DrawPaint(context, region, brush, mix);
}

Region RegionFrame(const Region& region, LONG width, LONG height) {
    Region inside = region;
    const POINT moves[4] = {{-width, 0}, {width, 0}, {0, -height}, {0, height}};
    for (const POINT& move : moves) {
        Region moved = region;
        moved.Offset(move.x, move.y);
        inside = inside.Intersect(moved);
    }
    return region.Subtract(inside);
}

std::shared_ptr<GdiRegion> LookupRegion(HRGN region) {
    auto object = LookupGdiObjectAs<GdiRegion>(region);
    if (!object) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

std::shared_ptr<EngineBrush> LookupBrush(HBRUSH brush) {
    auto object = LookupGdiObjectAs<GdiBrush>(brush);
    if (!object || !object->engine) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object->engine;
}

}  // namespace w32::gdi
