// The engine's view of a DC for one drawing call: its target, clip, modes,
// pen and brush in device terms.
//
// A memory DC draws into the bitmap selected into it, a window DC into its
// window's surface, cut to the part of the window that shows. A printer DC draws
// on its device's surface while a page is open; outside a page, or as an
// information context, it cannot draw (false, ERROR_INVALID_PARAMETER).
// The brush origin is already in device pixels, as SetBrushOrgEx takes it.
// Colours given as PALETTEINDEX are looked up in the DC's palette;
// PALETTERGB colours are taken as plain RGB.
#include <windows.h>

#include <algorithm>

#include "gdi32/brushes.h"
#include "gdi32/dc.h"
#include "gdi32/objects.h"
#include "gdi32/stockobjects.h"

namespace w32::gdi {

namespace {

COLORREF ResolveColor(const DeviceContext& dc, COLORREF color) {
    if ((color & 0xFF000000) == 0x01000000) {
        auto palette = LookupGdiObjectAs<GdiPalette>(dc.state.palette);
        const WORD index = WORD(color & 0xFFFF);
        if (!palette || index >= palette->entries.size()) return RGB(0, 0, 0);
        const PALETTEENTRY& e = palette->entries[index];
        return RGB(e.peRed, e.peGreen, e.peBlue);
    }
    return color & 0x00FFFFFF;
}

}  // namespace

std::shared_ptr<GdiBitmap> TargetBitmap(const DeviceContext& dc) {
    if (dc.windowSurface) return dc.windowSurface;
    if (dc.memory) return LookupGdiObjectAs<GdiBitmap>(dc.state.bitmap);
    return nullptr;
}

bool MakeDrawContext(const DeviceContext& dc, DrawContext& out) {
    out = DrawContext{};
    if (dc.memory || dc.windowSurface) {
        auto bitmap = TargetBitmap(dc);
        if (!bitmap || !bitmap->surface) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        out.target.surface = bitmap->surface;
    } else {
        std::lock_guard lock(EngineLock());
        if (dc.informationContext || dc.document != DocumentState::PageOpen || !dc.device || !dc.device->pdev) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        out.target.surface = LookupSurface(dc.device->pdev->surface);
        out.target.device = dc.device.get();
        if (!out.target.surface) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
    }
    const DcState& s = dc.state;
    out.clip = s.clip;
    out.brushOrigin = POINTL{s.brushOrigin.x, s.brushOrigin.y};
    if (dc.windowSurface) {
        out.clip = s.clip ? s.clip->Intersect(dc.windowVisible) : dc.windowVisible;
        out.brushOrigin.x += dc.windowOrigin.x;
        out.brushOrigin.y += dc.windowOrigin.y;
    }
    out.textColor = ResolveColor(dc, s.textColor);
    out.bkColor = ResolveColor(dc, s.bkColor);
    out.bkMode = s.bkMode;
    out.rop2 = s.rop2;
    out.polyFillMode = s.polyFillMode;
    out.stretchMode = s.stretchMode;
    out.colorAdjustment = s.colorAdjustment;
    out.miterLimit = s.miterLimit;
    return true;
}

// Pens of CreatePen are as wide as their width in logical units, one pixel
// at least (width 0: always one pixel); a pen one pixel wide is drawn as a
// cosmetic pen with its style, a wider one as a solid geometric pen with
// round ends and joins. ExtCreatePen's geometric pens scale their width
// likewise; its cosmetic pens are one pixel.
EnginePen SelectedPen(const DeviceContext& dc) {
    auto gdiPen = LookupGdiObjectAs<GdiPen>(dc.state.pen);
    if (!gdiPen) return EnginePen{};
    EnginePen pen = gdiPen->engine;
    pen.color = ResolveColor(dc, dc.state.pen == StockObject(DC_PEN) ? dc.state.dcPenColor : pen.color);
    if (!gdiPen->extended) {
        const LONG width = gdiPen->logPen.lopnWidth.x;
        const ULONG device = width == 0 ? 1 : std::max<ULONG>(1, LogicalWidthToDevice(dc, width));
        pen.width = device;
        pen.geometric = device > 1;
        if (pen.geometric) {
            if (pen.style != PS_NULL) pen.style = PS_SOLID;
            pen.endCap = PS_ENDCAP_ROUND;
            pen.join = PS_JOIN_ROUND;
            pen.brush = MakeEngineBrush(BS_SOLID, pen.color);
        } else if (gdiPen->logPen.lopnStyle == PS_INSIDEFRAME) {
            pen.style = PS_SOLID;
        } else {
            pen.style = int(gdiPen->logPen.lopnStyle);
        }
    } else if (pen.geometric) {
        pen.width = std::max<ULONG>(1, LogicalWidthToDevice(dc, LONG(gdiPen->extLogPen.elpWidth)));
    } else {
        pen.width = 1;
    }
    return pen;
}

std::shared_ptr<EngineBrush> SelectedBrush(const DeviceContext& dc) {
    if (dc.state.brush == StockObject(DC_BRUSH))
        return MakeEngineBrush(BS_SOLID, ResolveColor(dc, dc.state.dcBrushColor));
    auto brush = LookupGdiObjectAs<GdiBrush>(dc.state.brush);
    if (!brush) return MakeEngineBrush(BS_NULL, 0);
    // A solid or hatched brush of a palette index takes the colour it stands for now.
    if ((brush->engine->style == BS_SOLID || brush->engine->style == BS_HATCHED) &&
        (brush->logBrush.lbColor & 0xFF000000) == 0x01000000)
        return MakeEngineBrush(brush->engine->style, ResolveColor(dc, brush->logBrush.lbColor), brush->engine->hatch);
    return brush->engine;
}

}  // namespace w32::gdi
