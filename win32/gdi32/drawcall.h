// What every drawing call of GDI does before and after it draws: find the
// DC, turn logical coordinates into device ones (28.4 fixed point, as the
// engine's paths take them), and hand a finished figure either to the open
// path (BeginPath .. EndPath records instead of drawing) or to the engine
// with the DC's pen and brush.
#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "gdi32/dc.h"
#include "gdi32/objects.h"
#include "win32k/drawing.h"
#include "win32k/geometry.h"
#include "win32k/region.h"

namespace w32::gdi {

// The DC behind a handle, and the engine lock held for as long as the call
// reads its state and draws (a printer DC's drawing runs driver callbacks).
// Null with ERROR_INVALID_HANDLE for a handle that is no DC.
struct LockedDC {
    std::unique_lock<std::recursive_mutex> lock;
    std::shared_ptr<DeviceContext> dc;
    explicit operator bool() const { return dc != nullptr; }
    DeviceContext* operator->() const { return dc.get(); }
    DeviceContext& operator*() const { return *dc; }
};
LockedDC LockDrawingDC(HDC hdc);

// Device coordinates must fit 28.4 fixed point: 27 bits of whole pixels.
inline constexpr double kLargestDeviceCoordinate = double((1 << 27) - 1);

// A logical point in device space, in 28.4; false with
// ERROR_INVALID_PARAMETER when it lands outside what 28.4 holds.
bool ToDeviceFix(const DeviceContext& dc, LONG x, LONG y, POINTFIX& out);
// Logical points in device space; false (ERROR_INVALID_PARAMETER) when one
// is out of range.
bool ToDeviceFix(const DeviceContext& dc, const POINT* points, size_t count, std::vector<POINTFIX>& out);
// The most points one call takes: a path of more would not fit the
// memory GDI gives a path (ERROR_INVALID_PARAMETER beyond it).
inline constexpr size_t kMostPoints = size_t(1) << 26;

// Whole device pixels of a logical point, with the same range check.
bool ToDevicePoint(const DeviceContext& dc, LONG x, LONG y, POINT& out);
// A device point (28.4) back in logical coordinates, rounded.
POINT DeviceFixToLogical(const DeviceContext& dc, POINTFIX p);
// The mapping has neither rotation nor shear: rectangles stay rectangles.
bool AxisAligned(const DeviceContext& dc);

// A logical rectangle as device pixels, ordered (left < right), false with
// ERROR_INVALID_PARAMETER for coordinates out of range. Only for mappings
// that keep rectangles (see AxisAligned).
bool ToDeviceRect(const DeviceContext& dc, const RECT& logical, RECTL& out);
// A region given in logical units, in device pixels. A mapping that turns
// or shears maps each rectangle as a polygon and fills it with GDI's pixel rule.
std::optional<Region> LogicalRegionToDevice(const DeviceContext& dc, const Region& logical);

// The pixels a path encloses in a fill mode, as a region. Scan converted
// in bands of rows, so that a path as tall as device space never needs all
// its spans at once (the region keeps equal rows as one band).
Region RegionOfPath(const DevicePath& path, int fillMode);

// The size of the surface the DC draws on: a memory DC's bitmap, a
// printer's page; empty for an information context.
SIZEL DrawingSurfaceSize(const DeviceContext& dc);
// The pixels drawing can reach: the clip cut to the surface, or the surface.
Region VisibleRegion(const DeviceContext& dc);

// The engine's view of the DC for this call; false with the last error set
// (ERROR_INVALID_HANDLE, or what MakeDrawContext set) when it cannot draw.
bool PrepareDraw(const DeviceContext& dc, DrawContext& out);

// An open figure (lines, Béziers): appended to the open path, or stroked
// with the selected pen. `continuesCurrent`: the figure starts at the
// current position and continues the path's last figure (LineTo,
// PolylineTo, PolyBezierTo, ArcTo); else its first point starts a figure.
bool StrokeOrRecord(DeviceContext& dc, const DevicePath& figure, bool continuesCurrent);
// Closed figures (Polygon, Rectangle, Ellipse, ...): appended to the open
// path, or filled with the selected brush and outlined with the selected pen.
bool FillStrokeOrRecord(DeviceContext& dc, const DevicePath& figures);
// Appends `figures` to the DC's open path as they are.
void AppendToPath(DeviceContext& dc, const DevicePath& figures);

// Paints device pixels with a brush under a mix (FillRgn, FillRect, ...).
bool PaintDeviceRegion(const DeviceContext& dc, const Region& region, const EngineBrush& brush, MIX mix);
// The pixels of `region` within `width` columns or `height` rows of its
// edge: what is left when the region, moved that far each way, no longer
// covers the pixel (FrameRgn, FrameRect).
Region RegionFrame(const Region& region, LONG width, LONG height);

// The region handle's object; null with ERROR_INVALID_HANDLE.
std::shared_ptr<GdiRegion> LookupRegion(HRGN region);
// The brush handle's engine brush; null with ERROR_INVALID_HANDLE.
std::shared_ptr<EngineBrush> LookupBrush(HBRUSH brush);

// The mix for DrawPaint that applies the same ROP2 in foreground and background.
inline MIX MixOf(int rop2) { return MIX(rop2 & 0xff) | MIX((rop2 & 0xff) << 8); }

}  // namespace w32::gdi
