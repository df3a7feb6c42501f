// Drawing a document's shapes on a printer DC as an application does: page
// points converted to the DC's device pixels (the printable area starts at
// the paper's physical offset), a pen and a brush made for the shape and
// selected while it is drawn.
#include "shapes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tamprint {
namespace {

// The pen and brush of one shape, selected into the DC while this lives.
class SelectedTools {
public:
    SelectedTools(HDC dc, const DeviceFrame& frame, const DrawItem& item) : dc_(dc) {
        if (item.pen.style == PS_NULL) {
            pen_ = static_cast<HPEN>(GetStockObject(NULL_PEN));
        } else {
            pen_ = CreatePen(item.pen.style, frame.Across(item.pen.width), item.pen.colour);
            ownPen_ = true;
        }
        switch (item.brush.kind) {
            case ShapeBrush::Kind::None: brush_ = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)); break;
            case ShapeBrush::Kind::Solid:
                brush_ = CreateSolidBrush(item.brush.colour);
                ownBrush_ = true;
                break;
            case ShapeBrush::Kind::Hatch:
                brush_ = CreateHatchBrush(item.brush.hatch, item.brush.colour);
                ownBrush_ = true;
                break;
        }
        if (!pen_ || !brush_) return;
        oldPen_ = SelectObject(dc_, pen_);
        oldBrush_ = SelectObject(dc_, brush_);
    }
    ~SelectedTools() {
        if (oldPen_) SelectObject(dc_, oldPen_);
        if (oldBrush_) SelectObject(dc_, oldBrush_);
        if (ownPen_ && pen_) DeleteObject(pen_);
        if (ownBrush_ && brush_) DeleteObject(brush_);
    }
    bool Ok() const { return oldPen_ && oldBrush_; }

private:
    HDC dc_;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
    bool ownPen_ = false, ownBrush_ = false;
    HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr;
};

std::vector<POINT> DevicePoints(const DeviceFrame& frame, const std::vector<PagePoint>& points) {
    std::vector<POINT> device;
    device.reserve(points.size());
    for (const PagePoint& p : points) device.push_back(frame.Device(p));
    return device;
}

// A box of two opposite corners, ordered, with its right and bottom edges
// one pixel further out: GDI's boxes leave those edges out, and the shape's
// outline should lie on the corners the document gave.
RECT DeviceBox(const DeviceFrame& frame, const PagePoint& a, const PagePoint& b) {
    const POINT p = frame.Device(a), q = frame.Device(b);
    return RECT{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x) + 1, std::max(p.y, q.y) + 1};
}

bool DrawPath(HDC dc, const DeviceFrame& frame, const std::vector<PathStep>& steps) {
    if (!BeginPath(dc)) return false;
    bool ok = true;
    for (const PathStep& step : steps) {
        const std::vector<POINT> points = DevicePoints(frame, step.points);
        switch (step.kind) {
            case PathStep::Kind::Move: ok = MoveToEx(dc, points[0].x, points[0].y, nullptr); break;
            case PathStep::Kind::Line: ok = PolylineTo(dc, points.data(), DWORD(points.size())); break;
            case PathStep::Kind::Bezier: ok = PolyBezierTo(dc, points.data(), DWORD(points.size())); break;
            case PathStep::Kind::Close: ok = CloseFigure(dc); break;
        }
        if (!ok) break;
    }
    if (!EndPath(dc)) return false;
    return ok && StrokeAndFillPath(dc);
}

}  // namespace

POINT DeviceFrame::Device(const PagePoint& p) const {
    return POINT{LONG(std::lround(p.x * dpiX / 72.0)) - offsetX, LONG(std::lround(p.y * dpiY / 72.0)) - offsetY};
}

int DeviceFrame::Across(double points) const { return int(std::lround(points * dpiX / 72.0)); }
int DeviceFrame::Down(double points) const { return int(std::lround(points * dpiY / 72.0)); }

DeviceFrame FrameOf(HDC dc) {
    DeviceFrame frame;
    frame.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    frame.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    frame.offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    frame.offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    return frame;
}

bool DrawShape(HDC dc, const DeviceFrame& frame, const DrawItem& item) {
    if (item.shape == ShapeKind::Text) return DrawTextItem(dc, frame, item.text);
    if (item.shape == ShapeKind::Image) return DrawImageItem(dc, frame, item.image);
    if (item.shape == ShapeKind::Gradient) return DrawGradientItem(dc, frame, item.gradient);
    SelectedTools tools(dc, frame, item);
    if (!tools.Ok()) return false;
    const std::vector<POINT> p = DevicePoints(frame, item.points);
    switch (item.shape) {
        case ShapeKind::Line: return MoveToEx(dc, p[0].x, p[0].y, nullptr) && LineTo(dc, p[1].x, p[1].y);
        case ShapeKind::Polyline: return Polyline(dc, p.data(), int(p.size()));
        case ShapeKind::Polygon: return Polygon(dc, p.data(), int(p.size()));
        case ShapeKind::Bezier: return PolyBezier(dc, p.data(), DWORD(p.size()));
        case ShapeKind::Rectangle: {
            const RECT r = DeviceBox(frame, item.points[0], item.points[1]);
            return Rectangle(dc, r.left, r.top, r.right, r.bottom);
        }
        case ShapeKind::RoundRect: {
            const RECT r = DeviceBox(frame, item.points[0], item.points[1]);
            return RoundRect(dc, r.left, r.top, r.right, r.bottom, frame.Across(item.corner.x),
                             frame.Down(item.corner.y));
        }
        case ShapeKind::Ellipse: {
            const RECT r = DeviceBox(frame, item.points[0], item.points[1]);
            return Ellipse(dc, r.left, r.top, r.right, r.bottom);
        }
        case ShapeKind::Arc: {
            const RECT r = DeviceBox(frame, item.points[0], item.points[1]);
            return Arc(dc, r.left, r.top, r.right, r.bottom, p[2].x, p[2].y, p[3].x, p[3].y);
        }
        case ShapeKind::Path: return DrawPath(dc, frame, item.steps);
        case ShapeKind::Text:
        case ShapeKind::Image:
        case ShapeKind::Gradient: break;
    }
    return false;
}

}  // namespace tamprint
