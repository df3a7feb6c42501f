// XLATEOBJ: how a driver turns source pixels into destination pixels.
//
// Identical palettes give XO_TRIVIAL (the pixels are copied as they are).
// An indexed source gives XO_TABLE with one destination pixel per source
// index in pulXlate. Any other source is translated colour by colour
// (XLATEOBJ_iXlate). A destination of one bit per pixel from a colour
// source adds XO_TO_MONO: 1 where the source is the DC's background colour,
// as GDI blits to a monochrome bitmap.
#include <atomic>

#include "win32k/ddiobj.h"

namespace w32 {

namespace {

std::atomic<ULONG> gNextXlateId{1};

bool Monochrome(const SurfaceColors& colors) { return colors.format == BMF_1BPP; }

}  // namespace

EngineXlate::EngineXlate(const SurfaceColors& from, const SurfaceColors& to, COLORREF textColor, COLORREF bk,
                         bool monoColors)
    : XLATEOBJ{}, source(from), destination(to), bkColor(bk & 0xFFFFFF) {
    if (monoColors && Monochrome(source) && !Monochrome(destination)) {
        source.colors = {textColor & 0xFFFFFF, bkColor};
    } else if (monoColors && Monochrome(destination) && !Monochrome(source)) {
        toMono = true;
    }
    Finish();
}

EngineXlate::EngineXlate(std::vector<COLORREF> sourceColors, const SurfaceColors& to)
    : XLATEOBJ{}, destination(to) {
    source.mode = PAL_INDEXED;
    source.format = sourceColors.size() <= 2 ? BMF_1BPP : sourceColors.size() <= 16 ? BMF_4BPP : BMF_8BPP;
    source.colors = std::move(sourceColors);
    Finish();
}

void EngineXlate::Finish() {
    iUniq = gNextXlateId++;
    iSrcType = USHORT(source.mode);
    iDstType = USHORT(destination.mode);
    if (toMono) flXlate |= XO_TO_MONO;
    if (source.mode == PAL_INDEXED) {
        table.reserve(source.colors.size());
        for (ULONG i = 0; i < source.colors.size(); ++i) {
            const COLORREF color = source.colors[i] & 0xFFFFFF;
            table.push_back(toMono ? (color == bkColor ? 1 : 0) : destination.PixelFor(color));
        }
        bool identity = source == destination;
        flXlate |= identity ? XO_TRIVIAL : XO_TABLE;
        cEntries = ULONG(table.size());
        pulXlate = table.data();
    } else if (source == destination && !toMono) {
        flXlate |= XO_TRIVIAL;
    }
}

ULONG EngineXlate::Translate(ULONG pixel) const {
    if (flXlate & XO_TRIVIAL) return pixel;
    if (source.mode == PAL_INDEXED) return pixel < table.size() ? table[pixel] : 0;
    const COLORREF color = source.ColorOf(pixel);
    if (toMono) return color == bkColor ? 1 : 0;
    return destination.PixelFor(color);
}

const EngineXlate* KnownXlate(const XLATEOBJ* xlate) {
    return IsDrawingObject(xlate) ? static_cast<const EngineXlate*>(xlate) : nullptr;
}

ULONG TranslatePixel(XLATEOBJ* xlate, ULONG pixel) {
    if (!xlate || (xlate->flXlate & XO_TRIVIAL)) return pixel;
    if (const EngineXlate* known = KnownXlate(xlate)) return known->Translate(pixel);
    if ((xlate->flXlate & XO_TABLE) && xlate->pulXlate) return pixel < xlate->cEntries ? xlate->pulXlate[pixel] : 0;
    return pixel;
}

}  // namespace w32

using w32::EngineXlate;

ULONG APIENTRY XLATEOBJ_iXlate(XLATEOBJ* pxlo, ULONG iColor) {
    // A null translation is the identity, as drivers rely on.
    return w32::TranslatePixel(pxlo, iColor);
}

ULONG APIENTRY XLATEOBJ_cGetPalette(XLATEOBJ* pxlo, ULONG iPal, ULONG cPal, ULONG* pPal) {
    const EngineXlate* xlate = w32::KnownXlate(pxlo);
    if (!xlate) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const w32::SurfaceColors* colors = nullptr;
    bool masks = false;
    switch (iPal) {
        case XO_SRCPALETTE: colors = &xlate->source; break;
        case XO_DESTPALETTE:
        case XO_DESTDCPALETTE: colors = &xlate->destination; break;
        case XO_SRCBITFIELDS: colors = &xlate->source, masks = true; break;
        case XO_DESTBITFIELDS: colors = &xlate->destination, masks = true; break;
        default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
    }
    std::vector<ULONG> entries;
    if (masks) {
        // The three masks, red, green, blue, of any palette that is not indexed.
        if (colors->mode == PAL_INDEXED) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        entries.resize(3);
        colors->Masks(entries[0], entries[1], entries[2]);
    } else {
        if (colors->mode != PAL_INDEXED) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        entries = colors->colors;
    }
    if (!pPal) return ULONG(entries.size());
    const ULONG n = std::min<ULONG>(cPal, ULONG(entries.size()));
    std::copy(entries.begin(), entries.begin() + n, pPal);
    return n;
}
