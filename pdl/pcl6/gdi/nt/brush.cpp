// DrvRealizeBrush: the engine hands every non-solid brush to the driver
// once, and keeps what the driver made of it (a RealizedBrush, brush.h)
// with the brush.
//
// A hatch (iHatch 0..5) keeps only its two colours, [background, lines]:
// the driver draws its own hatch bitmaps. A pattern brush keeps its rows,
// top row first and padded to 4 bytes, in a form the printer takes: a
// monochrome job keeps indexed rows with a grey colour table, or turns
// pixels of 8 bits and more into 8-bit grey levels; a colour job keeps
// indexed rows with their colours, or turns direct pixels into RGB triples
// (red first).
#include <windows.h>
#include <winddi.h>

#include <cstring>

#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/imagerows.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/nt/ntcolor.h"
#include "pcl6/gdi/pdev.h"

namespace {

// Patterns larger than this are refused: no brush needs them.
constexpr ULONGLONG kMaxPatternBytes = 16u << 20;

// The device colour (0x00BBGGRR) of a direct source pixel: through the
// translation when there is one, else as a DIB holds it (blue in the low
// byte; 16-bit pixels 5-5-5).
ULONG ColorOfPixel(XLATEOBJ* xlate, ULONG pixel, int sourceBits) {
    if (xlate) return XLATEOBJ_iXlate(xlate, pixel) & 0xFFFFFF;
    if (sourceBits == 16) {
        const ULONG r = (pixel >> 10) & 31, g = (pixel >> 5) & 31, b = pixel & 31;
        return RGB(r * 255 / 31, g * 255 / 31, b * 255 / 31);
    }
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// The direct pixel at `x` of a source row of 8, 16, 24 or 32 bits.
ULONG PixelAt(const BYTE* row, LONG x, int bits) {
    switch (bits) {
        case 8: return row[x];
        case 16: return ULONG(row[2 * x]) | ULONG(row[2 * x + 1]) << 8;
        case 24: return ULONG(row[3 * x]) | ULONG(row[3 * x + 1]) << 8 | ULONG(row[3 * x + 2]) << 16;
        default:
            return ULONG(row[4 * x]) | ULONG(row[4 * x + 1]) << 8 | ULONG(row[4 * x + 2]) << 16 |
                   ULONG(row[4 * x + 3]) << 24;
    }
}


// Whether the pixels of a 24-bit source hold blue in their first byte (a
// DIB), so that the rows need red and blue exchanged for the printer.
bool BlueFirst(XLATEOBJ* xlate) {
    if (!xlate) return true;
    return (XLATEOBJ_iXlate(xlate, 0x0000FF) & 0xFFFFFF) == 0xFF0000;
}

}  // namespace

BOOL APIENTRY DrvRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern, SURFOBJ*, XLATEOBJ* pxlo,
                              ULONG iHatch) {
    PDEV* pdev = psoTarget ? AsPdev(psoTarget->dhpdev) : nullptr;
    if (!Job_CheckPdev(pdev, TRUE, PDEVCALL_REALIZEBRUSH) || Job_IsOutputError(pdev) || !pbo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool color = Settings_IsColorJob(pdev);
    const bool hatch = iHatch < BRUSH_HATCH_SOLID;

    // The source of a pattern brush: an indexed or direct bitmap of one of
    // the six formats; anything else has no rows the printer could take.
    int sourceBits = 0, bits = 0;
    LONG width = 8, height = 8;
    if (!hatch) {
        if (!psoPattern || !psoPattern->pvScan0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        sourceBits = int(Img_SourceBits(psoPattern->iBitmapFormat));
        if (!sourceBits) {
            Dbg_Assert(pdev, "brush", __LINE__);
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        width = psoPattern->sizlBitmap.cx;
        height = psoPattern->sizlBitmap.cy;
        if (width <= 0 || height <= 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }

    // The colour table: the translation's, for indexed sources and hatches.
    ULONG entries = 0;
    if (pxlo && (pxlo->flXlate & XO_TABLE) && pxlo->pulXlate && (hatch || sourceBits <= 8)) entries = pxlo->cEntries;
    if (hatch) {
        if (entries < 2) {
            Dbg_Assert(pdev, "brush", __LINE__);
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (!color) entries = 2;
    }
    if (!hatch && sourceBits <= 8 && entries > (1u << sourceBits)) entries = 1u << sourceBits;
    // Indexed rows keep their depth; direct pixels become 8-bit grey levels
    // or RGB triples.
    if (!hatch) bits = (sourceBits < 8 || (sourceBits == 8 && entries)) ? sourceBits : (color ? 24 : 8);

    const ULONGLONG rowBytes = hatch ? 0 : ((ULONGLONG(width) * ULONGLONG(bits) + 7) / 8 + 3) & ~3ull;
    const ULONGLONG patternBytes = rowBytes * ULONGLONG(height);
    const ULONGLONG tableBytes = ULONGLONG(entries) * (color ? 4 : 1);
    if (patternBytes > kMaxPatternBytes || tableBytes > kMaxPatternBytes) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const ULONG size = ULONG(sizeof(RealizedBrush) + patternBytes + tableBytes);
    auto* realized = static_cast<RealizedBrush*>(BRUSHOBJ_pvAllocRbrush(pbo, size));
    if (!realized) {
        Dbg_Assert(pdev, "brush", __LINE__);
        return FALSE;
    }
    std::memset(realized, 0, size);
    realized->Width = width;
    realized->Height = height;
    realized->Format = hatch ? BMF_1BPP : psoPattern->iBitmapFormat;
    realized->Entries = entries;
    realized->TableOffset = ULONG(sizeof(RealizedBrush) + patternBytes);
    realized->Hatch = iHatch;
    realized->RowBytes = ULONG(rowBytes);

    BYTE* table = reinterpret_cast<BYTE*>(realized) + realized->TableOffset;
    for (ULONG i = 0; i < entries; ++i) {
        const ULONG entry = pxlo->pulXlate[i];
        if (color)
            std::memcpy(table + 4 * i, &entry, 4);
        else
            table[i] = Brush_GreyOf(entry);
    }
    if (hatch) return TRUE;

    BYTE* rows = reinterpret_cast<BYTE*>(realized + 1);
    const auto* scan0 = static_cast<const BYTE*>(psoPattern->pvScan0);
    const size_t sourceRowBytes = (size_t(width) * size_t(sourceBits) + 7) / 8;
    for (LONG y = 0; y < height; ++y) {
        // Rows from the top: pvScan0 and lDelta walk down the picture
        // whichever way the bitmap is stored.
        const BYTE* source = scan0 + ptrdiff_t(y) * psoPattern->lDelta;
        BYTE* out = rows + size_t(y) * size_t(rowBytes);
        if (sourceBits <= 8 && (entries || sourceBits < 8)) {
            // Indexed rows keep their indices.
            std::memcpy(out, source, sourceRowBytes);
        } else if (!color) {
            // Direct pixels (and 8-bit ones without a table) become grey levels.
            for (LONG x = 0; x < width; ++x)
                out[x] = Brush_GreyOf(ColorOfPixel(pxlo, PixelAt(source, x, sourceBits), sourceBits));
        } else if (sourceBits == 24) {
            const bool swap = BlueFirst(pxlo);
            for (LONG x = 0; x < width; ++x) {
                BYTE r = source[3 * x + (swap ? 2 : 0)], g = source[3 * x + 1], b = source[3 * x + (swap ? 0 : 2)];
                Color_AdjustRgb(pdev, &r, &g, &b);
                out[3 * x] = r, out[3 * x + 1] = g, out[3 * x + 2] = b;
            }
        } else {
            // 8 bits without a table, 16 and 32 bits: RGB through the translation.
            for (LONG x = 0; x < width; ++x) {
                const ULONG c = ColorOfPixel(pxlo, PixelAt(source, x, sourceBits), sourceBits);
                BYTE r = BYTE(c), g = BYTE(c >> 8), b = BYTE(c >> 16);
                Color_AdjustRgb(pdev, &r, &g, &b);
                out[3 * x] = r, out[3 * x + 1] = g, out[3 * x + 2] = b;
            }
        }
    }
    // The rows' own format: converted rows are 8-bit grey or RGB triples.
    if (sourceBits > 8 || (sourceBits == 8 && !entries)) realized->Format = color ? BRUSH_FORMAT_RGB24 : BRUSH_FORMAT_GREY8;
    return TRUE;
}
