// What the drawing dispatch (drawing.cpp, drawpaths.cpp, drawblts.cpp)
// shares: one drawing call on a DC's surface, the driver callback it goes
// to when the surface hooked it, and the engine's own drawing when it did
// not, or refused.
#pragma once
#include <functional>

#include "win32k/ddiobj.h"
#include "win32k/drawing.h"
#include "win32k/engdraw.h"

namespace w32 {

// Where the engine draws a call itself: a bitmap, the colours of its pixels,
// the clip in its coordinates, and the shift from device coordinates to it
// (non-zero for the temporary bitmap of a device surface).
struct EngineTarget {
    SURFOBJ* surface;
    const SurfaceColors& colors;
    const Region& clip;
    POINTL shift;
};

class DrawCall {
public:
    explicit DrawCall(const DrawContext& dc);

    // False (with the last error) when the DC has no surface to draw on.
    bool Ready() const { return so_ != nullptr; }
    SURFOBJ* Surface() const { return so_; }
    const SurfaceColors& Colors() const { return colors_; }
    const Region& Clip() const { return clip_; }  // the DC's clip, cut to the surface
    const DrawContext& Context() const { return dc_; }
    PrinterDevice* Device() const { return dc_.target.device; }

    // The driver's callback at `index` when the surface hooked `hook`; null otherwise.
    template <class F>
    F Hooked(FLONG hook, ULONG index) const {
        PrinterDevice* device = Device();
        if (!device || !device->driver || !device->pdev || !(hooks_ & hook)) return nullptr;
        return device->driver->Callback<F>(index);
    }
    // Runs a driver callback the way the engine runs them: the device owns
    // what it makes, and the call goes to the DDI call log.
    bool CallDriver(const char* function, ULONG argument, const std::function<BOOL()>& call) const;

    // Draws with the engine what lies within `bounds` (device pixels): into
    // the DC's bitmap, or for a device surface into a temporary bitmap that
    // DrvCopyBits fills from the device first and copies back after.
    bool DrawWithEngine(const RECTL& bounds, const std::function<bool(const EngineTarget&)>& draw) const;

private:
    const DrawContext& dc_;
    SURFOBJ* so_ = nullptr;
    FLONG hooks_ = 0;
    SurfaceColors colors_;
    Region clip_;
};

// Runs a driver callback of `device` the way the engine runs them.
bool CallDeviceDriver(PrinterDevice& device, const char* function, ULONG argument,
                      const std::function<BOOL()>& call);

// Draws with the engine what lies within `bounds` (device pixels) and
// `clip` on the device surface `so` of `device`: into a temporary bitmap
// of that area, which DrvCopyBits fills from the device first and copies
// back after, inside the clip. Nothing visible draws nothing.
bool DrawOnDeviceBitmap(PrinterDevice& device, SURFOBJ* so, const SurfaceColors& deviceColors, const Region& clip,
                        const RECTL& bounds, COLORREF textColor, COLORREF bkColor,
                        const std::function<bool(const EngineTarget&)>& draw);

// The pixels a 28.4 rectangle touches, `margin` pixels wider on each side.
RECTL PixelBounds(const RECTFX& bounds, LONG margin);
RECTL Shifted(const RECTL& r, POINTL shift);

}  // namespace w32
