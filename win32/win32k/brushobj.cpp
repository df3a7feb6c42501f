// BRUSHOBJ: a brush as a drawing callback gets it.
//
// A solid brush comes with iSolidColor, the device pixel nearest its colour
// (never dithered: the device shows the nearest colour it has). Hatched and
// pattern brushes have iSolidColor 0xFFFFFFFF, and a driver that draws them
// asks for its own form of the brush with BRUSHOBJ_pvGetRbrush. The first
// such question for a brush on a device calls the driver's DrvRealizeBrush,
// which keeps what it made in memory from BRUSHOBJ_pvAllocRbrush; the engine
// keeps that memory with the brush (EngineBrush::realizations) so that the
// brush is realised once per device, however often it is drawn with. A
// refused realisation is not kept, and is asked for again next time.
//
// What DrvRealizeBrush is given (psoMask is always null):
//   hatched    iHatch = HS_* (0..5); psoPattern the 8x8 monochrome hatch
//              (the driver's DEVINFO pattern when it gave one, else the
//              engine's, with 1 bits on the lines); pxlo two entries,
//              [background colour, hatch colour], so entry 1 is the lines
//   pattern    iHatch = HS_API_MAX, at or above HS_DDI_MAX so that a driver
//              takes it for a pattern; psoPattern the brush's bitmap and
//              pxlo its translation to the device (a monochrome bitmap
//              without colours of its own takes the DC's text colour for 0
//              and background colour for 1)
//   solid      iHatch = HS_DDI_MAX, the index past the hatches that stands
//              for a solid colour; psoPattern an 8x8 monochrome pattern of
//              1 bits, pxlo [background colour, brush colour]
// RB_DITHERCOLOR is never asked: the engine does not dither.
#include "win32k/ddiobj.h"
#include "win32k/driver.h"

namespace w32 {

namespace {

// The hatches, 8 rows of 8 pixels, the leftmost pixel in the high bit; a
// seventh entry of all ones is the pattern of a solid brush.
constexpr BYTE kHatches[HS_DDI_MAX + 1][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // HS_HORIZONTAL
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL, top left to bottom right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL, bottom left to top right
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xFF},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // solid
};

constexpr ULONG kSolidPattern = HS_DDI_MAX;

// The colours of a pattern brush's bitmap and whether it takes the DC's
// text and background colours.
SurfaceColors PatternColors(const EngineSurface& pattern, bool& monoColors) {
    monoColors = pattern.so.iBitmapFormat == BMF_1BPP && !pattern.palette;
    return ColorsOfSurface(pattern, nullptr);
}

}  // namespace

const BYTE* StandardHatch(ULONG hatch) { return hatch <= HS_DDI_MAX ? kHatches[hatch] : nullptr; }

HSURF StandardHatchSurface(ULONG hatch) {
    static HSURF surfaces[HS_DDI_MAX + 1] = {};
    if (hatch > HS_DDI_MAX) return nullptr;
    std::lock_guard lock(EngineLock());
    if (!surfaces[hatch]) {
        // Made once, for the life of the process, and owned by no device.
        EngineOwnerScope nobody(0);
        HBITMAP bitmap = EngCreateBitmap(SIZEL{8, 8}, 4, BMF_1BPP, BMF_TOPDOWN, nullptr);
        auto surface = LookupSurface(reinterpret_cast<HSURF>(bitmap));
        if (!surface) return nullptr;
        for (int y = 0; y < 8; ++y) static_cast<BYTE*>(surface->so.pvScan0)[y * 4] = kHatches[hatch][y];
        surfaces[hatch] = reinterpret_cast<HSURF>(bitmap);
    }
    return surfaces[hatch];
}

EngineBrushObj::EngineBrushObj(const EngineBrush& source, const DrawContext& dc, const SurfaceColors& colors)
    : BRUSHOBJ{}, brush(source), device(dc.target.device), target(colors), textColor(dc.textColor & 0xFFFFFF),
      bkColor(dc.bkColor & 0xFFFFFF), opaqueBackground(dc.bkMode != TRANSPARENT) {
    iSolidColor = brush.style == BS_SOLID ? target.PixelFor(brush.color & 0xFFFFFF) : 0xFFFFFFFF;
    flColorType = 0;
}

raster::Pattern EngineBrushObj::Pattern(POINTL origin) const {
    raster::Pattern p;
    p.origin = origin;
    if (brush.style == BS_SOLID) {
        p = raster::Pattern::Solid(iSolidColor);
        p.origin = origin;
        return p;
    }
    if (brush.style == BS_HATCHED) {
        const BYTE* rows = StandardHatch(std::min<ULONG>(brush.hatch, HS_DIAGCROSS));
        const ULONG line = target.PixelFor(brush.color & 0xFFFFFF), background = target.PixelFor(bkColor);
        p.width = p.height = 8;
        p.pixels.assign(64, background);
        if (!opaqueBackground) p.opaque.assign(64, false);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (rows[y] & (0x80 >> x)) {
                    p.pixels[y * 8 + x] = line;
                    if (!opaqueBackground) p.opaque[y * 8 + x] = true;
                }
        return p;
    }
    if (brush.pattern) {
        bool monoColors = false;
        const SurfaceColors colors = PatternColors(*brush.pattern, monoColors);
        raster::Bitmap view;
        if (BitmapOfSurface(brush.pattern->so, colors, view)) {
            EngineXlate xlate(colors, target, textColor, bkColor, monoColors);
            p.width = view.width;
            p.height = view.height;
            p.pixels.resize(size_t(view.width) * size_t(view.height));
            for (LONG y = 0; y < view.height; ++y) {
                ULONG* row = p.pixels.data() + size_t(y) * size_t(view.width);
                raster::ReadPixels(view, 0, y, view.width, row);
                for (LONG x = 0; x < view.width; ++x) row[x] = xlate.Translate(row[x]);
            }
            return p;
        }
    }
    return raster::Pattern::Solid(target.PixelFor(textColor));
}

EngineBrushObj* KnownBrush(const BRUSHOBJ* brush) {
    return IsDrawingObject(brush) ? const_cast<EngineBrushObj*>(static_cast<const EngineBrushObj*>(brush)) : nullptr;
}

bool BrushPattern(BRUSHOBJ* brush, POINTL* origin, raster::Pattern& out) {
    const POINTL at = origin ? *origin : POINTL{};
    if (brush && brush->iSolidColor != 0xFFFFFFFF) {
        out = raster::Pattern::Solid(brush->iSolidColor);
        out.origin = at;
        return true;
    }
    if (EngineBrushObj* known = KnownBrush(brush)) {
        out = known->Pattern(at);
        return true;
    }
    return false;
}

namespace {

// DrvRealizeBrush for the brush on its device; true when the driver made a realisation.
bool Realize(EngineBrushObj& bo) {
    PrinterDevice* device = bo.device;
    if (!device || !device->driver || !device->pdev) return false;
    auto realize = device->driver->Callback<PFN_DrvRealizeBrush>(INDEX_DrvRealizeBrush);
    SURFOBJ* target = device->SurfaceObject();
    if (!realize || !target) return false;

    const EngineBrush& brush = bo.brush;
    ULONG iHatch;
    SURFOBJ* pattern = nullptr;
    std::shared_ptr<EngineSurface> held;
    std::optional<EngineXlate> xlate;
    switch (brush.style) {
        case BS_HATCHED: {
            iHatch = std::min<ULONG>(brush.hatch, HS_DIAGCROSS);
            HSURF hatch = device->pdev->patterns[iHatch];
            held = hatch ? LookupSurface(hatch) : nullptr;
            if (!held) held = LookupSurface(StandardHatchSurface(iHatch));
            xlate.emplace(std::vector<COLORREF>{bo.bkColor, brush.color & 0xFFFFFF}, bo.target);
            break;
        }
        case BS_PATTERN:
        case BS_DIBPATTERN: {
            if (!brush.pattern) return false;
            iHatch = HS_API_MAX;
            held = brush.pattern;
            bool monoColors = false;
            const SurfaceColors colors = PatternColors(*held, monoColors);
            xlate.emplace(colors, bo.target, bo.textColor, bo.bkColor, monoColors);
            break;
        }
        case BS_SOLID:
            iHatch = kSolidPattern;
            held = LookupSurface(StandardHatchSurface(kSolidPattern));
            xlate.emplace(std::vector<COLORREF>{bo.bkColor, brush.color & 0xFFFFFF}, bo.target);
            break;
        default: return false;
    }
    if (!held) return false;
    pattern = &held->so;

    BOOL made;
    {
        DriverCall call(*device);
        bo.realizing = true;
        made = realize(&bo, target, pattern, nullptr, &*xlate, iHatch);
        bo.realizing = false;
    }
    RecordDdiCall("DrvRealizeBrush", device->pdev.get(), nullptr, iHatch);
    auto& realizations = brush.realizations;
    auto found = realizations.find(device->id);
    if (!made) {
        if (found != realizations.end()) realizations.erase(found);
        bo.pvRbrush = nullptr;
        return false;
    }
    return found != realizations.end();
}

}  // namespace

}  // namespace w32

using w32::EngineBrushObj;

PVOID APIENTRY BRUSHOBJ_pvAllocRbrush(BRUSHOBJ* pbo, ULONG cj) {
    EngineBrushObj* bo = w32::KnownBrush(pbo);
    if (!bo || !bo->realizing || !bo->device) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(w32::EngineLock());
    std::vector<BYTE>& memory = bo->brush.realizations[bo->device->id];
    try {
        memory.assign(std::max<ULONG>(cj, 1), 0);
    } catch (const std::bad_alloc&) {
        bo->brush.realizations.erase(bo->device->id);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    bo->pvRbrush = memory.data();
    return memory.data();
}

PVOID APIENTRY BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo) {
    EngineBrushObj* bo = w32::KnownBrush(pbo);
    if (!bo) return pbo ? pbo->pvRbrush : nullptr;
    if (bo->pvRbrush) return bo->pvRbrush;
    if (!bo->device || bo->realizing) return nullptr;
    std::lock_guard lock(w32::EngineLock());
    auto& realizations = bo->brush.realizations;
    auto found = realizations.find(bo->device->id);
    if (found == realizations.end()) {
        if (!w32::Realize(*bo)) return nullptr;
        found = realizations.find(bo->device->id);
    }
    bo->pvRbrush = found->second.data();
    return bo->pvRbrush;
}

ULONG APIENTRY BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo) {
    const EngineBrushObj* bo = w32::KnownBrush(pbo);
    if (!bo || bo->brush.style != BS_SOLID) return 0xFFFFFFFF;
    return bo->brush.color & 0xFFFFFF;
}
