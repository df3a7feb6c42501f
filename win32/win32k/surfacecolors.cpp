// The colours of surface pixels: the palettes of the DDI (indexed tables,
// bit fields, and the fixed orders PAL_RGB with red in the low byte and
// PAL_BGR with blue in the low byte), and the raster view of a SURFOBJ.
#include <bit>
#include <cstdlib>

#include "win32k/ddiobj.h"
#include "win32k/document.h"

namespace w32 {

namespace {

// A channel of 8 bits packed into the bits of `mask` (its top bits kept),
// and back, repeating the top bits into the low ones as GDI widens 5-bit
// channels.
ULONG PackChannel(BYTE value, ULONG mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    ULONG v = bits >= 8 ? ULONG(value) << (bits - 8) : ULONG(value) >> (8 - bits);
    return (v << shift) & mask;
}

BYTE UnpackChannel(ULONG pixel, ULONG mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    ULONG v = (pixel & mask) >> shift;
    if (bits >= 8) return BYTE(v >> (bits - 8));
    ULONG wide = v << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) wide |= v << (8 - bits) >> filled;
    return BYTE(wide);
}

// The 16 colours of a 4-bit device: the dark and light primaries and greys.
constexpr ULONG kStandard16[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                   0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                   0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

}  // namespace

void SurfaceColors::Masks(ULONG& r, ULONG& g, ULONG& b) const {
    switch (mode) {
        case PAL_BITFIELDS: r = red, g = green, b = blue; return;
        case PAL_RGB: r = 0x0000FF, g = 0x00FF00, b = 0xFF0000; return;
        default: r = 0xFF0000, g = 0x00FF00, b = 0x0000FF; return;
    }
}

ULONG SurfaceColors::PixelFor(COLORREF color) const {
    const BYTE r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    if (mode == PAL_INDEXED) {
        // The nearest entry, the first of equals.
        ULONG best = 0;
        long bestDistance = -1;
        for (size_t i = 0; i < colors.size(); ++i) {
            const long dr = long(GetRValue(colors[i])) - r, dg = long(GetGValue(colors[i])) - g,
                       db = long(GetBValue(colors[i])) - b;
            const long distance = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || distance < bestDistance) best = ULONG(i), bestDistance = distance;
            if (!distance) break;
        }
        return best;
    }
    ULONG rm, gm, bm;
    Masks(rm, gm, bm);
    return PackChannel(r, rm) | PackChannel(g, gm) | PackChannel(b, bm);
}

COLORREF SurfaceColors::ColorOf(ULONG pixel) const {
    if (mode == PAL_INDEXED) return pixel < colors.size() ? colors[pixel] & 0xFFFFFF : 0;
    ULONG rm, gm, bm;
    Masks(rm, gm, bm);
    return RGB(UnpackChannel(pixel, rm), UnpackChannel(pixel, gm), UnpackChannel(pixel, bm));
}

bool SurfaceColors::operator==(const SurfaceColors& other) const {
    if (format != other.format) return false;
    if (mode == PAL_INDEXED || other.mode == PAL_INDEXED) return mode == other.mode && colors == other.colors;
    ULONG r1, g1, b1, r2, g2, b2;
    Masks(r1, g1, b1);
    other.Masks(r2, g2, b2);
    return r1 == r2 && g1 == g2 && b1 == b2;
}

SurfaceColors DefaultColors(ULONG format) {
    SurfaceColors c;
    c.format = format;
    switch (format) {
        case BMF_1BPP:
            c.mode = PAL_INDEXED;
            c.colors = {0x000000, 0xFFFFFF};
            break;
        case BMF_4BPP:
            c.mode = PAL_INDEXED;
            c.colors.assign(std::begin(kStandard16), std::end(kStandard16));
            break;
        case BMF_8BPP:
            // A cube of six levels of each primary, then a grey ramp.
            c.mode = PAL_INDEXED;
            for (int b = 0; b < 6; ++b)
                for (int g = 0; g < 6; ++g)
                    for (int r = 0; r < 6; ++r) c.colors.push_back(RGB(r * 51, g * 51, b * 51));
            for (int i = 0; c.colors.size() < 256; ++i) c.colors.push_back(RGB(8 + i * 6, 8 + i * 6, 8 + i * 6));
            break;
        case BMF_16BPP:
            c.mode = PAL_BITFIELDS;
            c.red = 0x7C00, c.green = 0x03E0, c.blue = 0x001F;
            break;
        default: c.mode = PAL_BGR; break;
    }
    return c;
}

SurfaceColors ColorsOfPalette(const EnginePalette& palette, ULONG format) {
    SurfaceColors c;
    c.format = format;
    c.mode = palette.mode;
    switch (palette.mode) {
        case PAL_INDEXED: c.colors = palette.colors; break;
        case PAL_BITFIELDS: c.red = palette.redMask, c.green = palette.greenMask, c.blue = palette.blueMask; break;
        case PAL_RGB: break;
        default: c.mode = PAL_BGR; break;  // CMYK pixels are not drawn by the engine
    }
    return c;
}

SurfaceColors ColorsOfSurface(const EngineSurface& surface, const PrinterDevice* device) {
    const ULONG format = surface.so.iBitmapFormat;
    if (surface.palette) return ColorsOfPalette(*surface.palette, format);
    if (device && device->pdev && surface.so.hdev == device->pdev->Hdev())
        if (auto palette = LookupPalette(device->pdev->devInfo.hpalDefault)) return ColorsOfPalette(*palette, format);
    return DefaultColors(format);
}

bool BitmapOfSurface(const SURFOBJ& surface, const SurfaceColors& colors, raster::Bitmap& out) {
    if (surface.iType != STYPE_BITMAP || !surface.pvScan0 || surface.iBitmapFormat < BMF_1BPP ||
        surface.iBitmapFormat > BMF_32BPP)
        return false;
    out = raster::Bitmap{};
    out.scan0 = static_cast<BYTE*>(surface.pvScan0);
    out.delta = surface.lDelta;
    out.width = surface.sizlBitmap.cx;
    out.height = surface.sizlBitmap.cy;
    out.format = surface.iBitmapFormat;
    if (colors.mode == PAL_INDEXED) {
        out.colors.reserve(colors.colors.size());
        for (ULONG c : colors.colors) out.colors.push_back(c & 0xFFFFFF);
    } else if (out.format == BMF_16BPP || out.format == BMF_32BPP) {
        colors.Masks(out.redMask, out.greenMask, out.blueMask);
    }
    return out.Usable();
}

}  // namespace w32
