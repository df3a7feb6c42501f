// Brush selection and the job's raster patterns: solid colours as pen or
// brush colours, hatch and bitmap patterns defined once per job and
// selected again by id (brush.h has the model).
#include <windows.h>
#include <winddi.h>

#include <cstring>

#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/ntcolor.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

namespace {

// The hatches as the printer draws them: 8 rows of 8 pixels, the leftmost
// in the high bit, 0 bits on the lines (two pixels wide), 1 bits between.
constexpr BYTE kHatchRows[6][8] = {
    {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // HS_HORIZONTAL
    {0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F},  // HS_VERTICAL
    {0x3F, 0x9F, 0xCF, 0xE7, 0xF3, 0xF9, 0xFC, 0x7E},  // HS_FDIAGONAL
    {0xFC, 0xF9, 0xF3, 0xE7, 0xCF, 0x9F, 0x3F, 0x7E},  // HS_BDIAGONAL
    {0x00, 0x00, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F},  // HS_CROSS
    {0x27, 0x8F, 0x8F, 0x27, 0x72, 0xF8, 0xF8, 0x72},  // HS_DIAGCROSS
};
constexpr int kHatchSize = 8;

// PCL XL raster attributes.
constexpr int kMappingDirect = 0;
constexpr int kMappingIndexed = 1;
constexpr int kDepth1 = 0;
constexpr int kDepth4 = 1;
constexpr int kDepth8 = 2;
constexpr int kPersistenceTemporary = 0;
constexpr int kPersistenceSession = 2;

// A pool block; the records follow it.
struct PoolBlock {
    PoolBlock* Next;
    DWORD Used;
    DWORD Capacity;
};
constexpr DWORD kPoolBlockBytes = 16384;

PatternCache& Cache(PDEV* pdev) { return pdev->Job.Patterns; }

// Memory for a record of the cache, from the pool's current block or a new
// one; null when none can be had.
void* PoolTake(PatternCache& cache, size_t bytes) {
    bytes = (bytes + 7) & ~size_t(7);
    auto* block = static_cast<PoolBlock*>(cache.Pool);
    if (!block || block->Used + bytes > block->Capacity) {
        const size_t capacity = bytes > kPoolBlockBytes ? bytes : kPoolBlockBytes;
        auto* fresh = static_cast<PoolBlock*>(GlobalAlloc(GPTR, sizeof(PoolBlock) + capacity));
        if (!fresh) return nullptr;
        fresh->Next = block;
        fresh->Used = 0;
        fresh->Capacity = DWORD(capacity);
        cache.Pool = fresh;
        block = fresh;
    }
    BYTE* at = reinterpret_cast<BYTE*>(block + 1) + block->Used;
    block->Used += DWORD(bytes);
    return at;
}

// The id of a new pattern, and whether it is cached: while the ids and the
// pool last, a cacheable pattern takes the next id; any other pattern gets
// the temporary id.
UINT16 NewId(PDEV* pdev, bool cacheable, bool& cached) {
    const PatternCache& cache = Cache(pdev);
    const LONG next = PATTERN_FIRST_ID + cache.PatternCount;
    cached = cacheable && next < PATTERN_TEMPORARY_ID && cache.PoolBytes < PATTERN_POOL_LIMIT;
    return cached ? UINT16(next) : UINT16(PATTERN_TEMPORARY_ID);
}

UINT32 ReadColor(const BYTE* at) { return UINT32(at[0]) | UINT32(at[1]) << 8 | UINT32(at[2]) << 16 | UINT32(at[3]) << 24; }

const BYTE* TableOf(const RealizedBrush* brush) { return reinterpret_cast<const BYTE*>(brush) + brush->TableOffset; }
const BYTE* RowsOf(const RealizedBrush* brush) { return reinterpret_cast<const BYTE*>(brush + 1); }

// BeginRastPattern with its attributes, then ReadRastPattern's attributes.
void WritePatternHeader(PDEV* pdev, int mapping, int depth, LONG width, LONG height, LONG destWidth,
                        LONG destHeight, UINT16 id, int persistence) {
    Pxl_WriteAttr(pdev, mapping, PXL_ATTR_COLOR_MAPPING, PXL_TYPE_UBYTE);
    Pxl_WriteAttr(pdev, depth, PXL_ATTR_COLOR_DEPTH, PXL_TYPE_UBYTE);
    Pxl_WriteAttr(pdev, width, PXL_ATTR_SOURCE_WIDTH, PXL_TYPE_UINT16);
    Pxl_WriteAttr(pdev, height, PXL_ATTR_SOURCE_HEIGHT, PXL_TYPE_UINT16);
    Pxl_WriteAttrXY(pdev, destWidth, destHeight, PXL_ATTR_DESTINATION_SIZE, PXL_TYPE_UINT16_XY);
    Pxl_WriteAttr(pdev, id, PXL_ATTR_PATTERN_DEFINE_ID, PXL_TYPE_SINT16);
    Pxl_WriteAttr(pdev, persistence, PXL_ATTR_PATTERN_PERSISTENCE, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_BEGIN_RAST_PATTERN);
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_START_LINE, PXL_TYPE_UINT16);
    Pxl_WriteAttr(pdev, height, PXL_ATTR_BLOCK_HEIGHT, PXL_TYPE_UINT16);
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_COMPRESS_MODE, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_READ_RAST_PATTERN);
}

// The pattern's rows as one block of embedded data, and the pattern's end.
BOOL WritePatternData(PDEV* pdev, const BYTE* data, DWORD length) {
    Pxl_WriteDataLength(pdev, length);
    Spool_Write(pdev, data, length);
    return Pxl_WriteOperator(pdev, PXL_OP_END_RAST_PATTERN);
}

// A few documents keep the pattern origin the printer has: their slides
// were laid out against it. The name is compared from two characters after
// its first "-" (the application's "Name - " prefix), or whole.
bool KeepsPatternOrigin(PDEV* pdev) {
    static const char* const kDocuments[] = {"PP0722-Lodner.pptx", "PP0722(CU19374)-Lodner.pptx"};
    char name[256];
    Util_WideToAnsi(name, pdev->Job.State.DocumentName, sizeof(name));
    const char* from = name;
    if (const char* dash = std::strchr(name, '-')) from = std::strlen(dash) >= 2 ? dash + 2 : dash + std::strlen(dash);
    for (const char* document : kDocuments) {
        const size_t length = std::strlen(document);
        if (std::strlen(from) < length) continue;
        bool same = true;
        for (size_t i = 0; same && i < length; ++i) {
            const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
            same = lower(from[i]) == lower(document[i]);
        }
        if (same) return true;
    }
    return false;
}

// A solid colour (0x00BBGGRR) as the pen or brush colour: its grey level in
// a monochrome job (lightened for an alternate-style line), else its RGB.
BOOL SelectSolid(PDEV* pdev, ULONG color, BOOL asBrush) {
    COLORREF value = color & 0xFFFFFF;
    if (!Settings_IsColorJob(pdev)) {
        BYTE grey = Brush_GreyOf(color);
        if (!asBrush && pdev->Job.Gstate.AlternateLine) grey = BYTE((grey + 255) / 4);
        value = RGB(grey, grey, grey);
    }
    return asBrush ? Gx_SetBrushColor(pdev, value) : Gx_SetPenColor(pdev, value);
}

}  // namespace

void Brush_ResetPatterns(PDEV* pdev) {
    if (!pdev) return;
    PatternCache& cache = Cache(pdev);
    auto* block = static_cast<PoolBlock*>(cache.Pool);
    while (block) {
        PoolBlock* next = block->Next;
        GlobalFree(block);
        block = next;
    }
    cache = PatternCache{};
}

UINT16 Brush_DefineHatch(PDEV* pdev, const RealizedBrush* brush) {
    if (!pdev || !brush || brush->Hatch >= 6 || brush->Entries < 2) {
        Dbg_Assert(pdev, "brush", __LINE__);
        return 0;
    }
    PatternCache& cache = Cache(pdev);
    const bool color = Settings_IsColorJob(pdev);
    const BYTE* table = TableOf(brush);
    const UINT32 color1 = color ? ReadColor(table + 4) : table[1];
    const UINT32 color0 = color ? ReadColor(table) : table[0];
    for (const HatchPatternEntry* entry = cache.Hatches; entry; entry = entry->Next)
        if (entry->Hatch == brush->Hatch && entry->Color1 == color1 && entry->Color0 == color0) return entry->Id;

    if (color) {
        Gx_SetColorSpace(pdev, GX_SPACE_RGB);
    } else {
        const BYTE palette[2] = {BYTE(color1), BYTE(color0)};
        Color_SetPalette(pdev, palette, COLOR_PALETTE_2);
    }

    bool cached = false;
    UINT16 id = NewId(pdev, true, cached);
    if (cached) {
        auto* entry = static_cast<HatchPatternEntry*>(PoolTake(cache, sizeof(HatchPatternEntry)));
        if (entry) {
            *entry = {id, UINT16(brush->Hatch), color1, color0, cache.Hatches};
            cache.Hatches = entry;
            ++cache.PatternCount;
            cache.PoolBytes += PATTERN_HATCH_ENTRY_BYTES;
        } else {
            cached = false;
            id = PATTERN_TEMPORARY_ID;
        }
    }
    const int persistence = cached ? kPersistenceSession : kPersistenceTemporary;
    const BYTE* rows = kHatchRows[brush->Hatch];
    if (color) {
        WritePatternHeader(pdev, kMappingDirect, kDepth8, kHatchSize, kHatchSize, 32, 32, id, persistence);
        // A 0 bit is the lines' colour, a 1 bit the background.
        BYTE data[kHatchSize * kHatchSize * 3];
        BYTE* at = data;
        for (int y = 0; y < kHatchSize; ++y) {
            for (int x = 0; x < kHatchSize; ++x) {
                const UINT32 c = (rows[y] & (0x80 >> x)) ? color0 : color1;
                *at++ = BYTE(c);
                *at++ = BYTE(c >> 8);
                *at++ = BYTE(c >> 16);
            }
        }
        if (!WritePatternData(pdev, data, sizeof(data))) return 0;
    } else {
        const LONG dest = Settings_ResolutionStep(pdev) == 1 ? 64 : 32;
        WritePatternHeader(pdev, kMappingIndexed, kDepth1, kHatchSize, kHatchSize, dest, dest, id, persistence);
        // Each row padded to 4 bytes; the palette's index 0 is the lines.
        BYTE data[kHatchSize * 4] = {};
        for (int y = 0; y < kHatchSize; ++y) data[4 * y] = rows[y];
        if (!WritePatternData(pdev, data, sizeof(data))) return 0;
    }
    return id;
}

UINT16 Brush_DefineBitmapPattern(PDEV* pdev, const RealizedBrush* brush) {
    if (!pdev || !brush) return 0;
    int bits;
    switch (brush->Format) {
        case BMF_1BPP: bits = 1; break;
        case BMF_4BPP: bits = 4; break;
        case BMF_8BPP: bits = 8; break;
        case BMF_24BPP: bits = 24; break;
        default: Dbg_Assert(pdev, "ntcolor", __LINE__); return 0;
    }
    const bool color = Settings_IsColorJob(pdev);
    if (!color && bits > 8) {
        Dbg_Assert(pdev, "ntcolor", __LINE__);
        return 0;
    }
    // The colour table the palette takes: at most the entries the depth can
    // index, none for direct pixels.
    const DWORD maxEntries = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    const DWORD entries = brush->Entries < maxEntries ? brush->Entries : maxEntries;
    const DWORD entryBytes = color ? 3 : 1;
    const DWORD tableBytes = entries * entryBytes;
    const DWORD rowBytes = brush->RowBytes;
    const DWORD rowsBytes = DWORD(brush->Height) * rowBytes;
    const DWORD dataBytes = tableBytes + rowsBytes;

    // The candidate: the (adjusted) colour table, then the rows.
    BYTE* data = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, dataBytes ? dataBytes : 1));
    if (!data) {
        Dbg_Assert(pdev, "ntcolor", __LINE__);
        return 0;
    }
    const BYTE* table = TableOf(brush);
    for (DWORD i = 0; i < entries; ++i) {
        BYTE r, g, b;
        if (color) {
            const UINT32 c = ReadColor(table + 4 * i);
            r = BYTE(c), g = BYTE(c >> 8), b = BYTE(c >> 16);
        } else {
            r = g = b = table[i];
        }
        const BYTE grey = Brush_GreyOf(RGB(r, g, b));
        if (grey != 0 && grey != 255) Color_AdjustRgb(pdev, &r, &g, &b);
        if (color) {
            data[3 * i] = r, data[3 * i + 1] = g, data[3 * i + 2] = b;
        } else {
            data[i] = r;
        }
    }
    if (rowsBytes) std::memcpy(data + tableBytes, RowsOf(brush), rowsBytes);

    PatternCache& cache = Cache(pdev);
    for (const BitmapPatternNode* node = cache.Bitmaps; node; node = node->Next) {
        if (node->Format == brush->Format && node->Width == brush->Width && node->Height == brush->Height &&
            node->Entries == entries && node->DataBytes == dataBytes &&
            std::memcmp(node + 1, data, dataBytes) == 0) {
            Util_GlobalFree(nullptr, data);
            return node->Id;
        }
    }

    if (entries) {
        const int kind = bits == 1 ? COLOR_PALETTE_2 : bits == 4 ? COLOR_PALETTE_16 : COLOR_PALETTE_256;
        BYTE palette[256 * 3] = {};
        std::memcpy(palette, data, tableBytes);
        Color_SetPalette(pdev, palette, kind);
    } else {
        Gx_SetColorSpace(pdev, color ? GX_SPACE_RGB : GX_SPACE_GREY);
    }

    // Only patterns without a colour table are kept for reuse.
    bool cached = false;
    UINT16 id = NewId(pdev, entries == 0, cached);
    if (cached) {
        auto* node = static_cast<BitmapPatternNode*>(PoolTake(cache, sizeof(BitmapPatternNode) + dataBytes));
        if (node) {
            *node = {id, cache.Bitmaps, brush->Width, brush->Height, brush->Format, entries, dataBytes};
            std::memcpy(node + 1, data, dataBytes);
            cache.Bitmaps = node;
            ++cache.PatternCount;
            cache.PoolBytes += LONG(PATTERN_BITMAP_NODE_BYTES + dataBytes);
        } else {
            cached = false;
            id = PATTERN_TEMPORARY_ID;
        }
    }

    // Each pattern pixel covers 4 device pixels at 600 dpi; the user
    // interface's own drawing is laid out in device pixels already.
    const LONG scale = (pdev->Job.JobFlags & JOBF_UI_DRAWING) ? 1 : 4 * Settings_UnitsPerInch(pdev) / 600;
    const int depth = bits == 1 ? kDepth1 : bits == 4 ? kDepth4 : kDepth8;
    WritePatternHeader(pdev, entries ? kMappingIndexed : kMappingDirect, depth, brush->Width, brush->Height,
                       brush->Width * scale, brush->Height * scale, id,
                       cached ? kPersistenceSession : kPersistenceTemporary);
    const BOOL written = WritePatternData(pdev, data + tableBytes, rowsBytes);
    Util_GlobalFree(nullptr, data);
    return written ? id : 0;
}

BOOL Pattern_Select(PDEV* pdev, const RealizedBrush* brush, const POINTL* origin, BOOL asBrush) {
    if (!pdev || !brush) return FALSE;
    const UINT16 id = brush->Hatch >= 6 ? Brush_DefineBitmapPattern(pdev, brush) : Brush_DefineHatch(pdev, brush);
    if (!id) return !Job_IsOutputError(pdev);

    GraphicsStateCache& gs = pdev->Job.Gstate;
    const POINTL at = origin ? *origin : POINTL{0, 0};
    const bool current = asBrush ? gs.BrushKind == GX_BRUSH_PATTERN && gs.BrushPattern == id &&
                                       gs.BrushPatternOrigin.x == at.x && gs.BrushPatternOrigin.y == at.y
                                 : gs.PenKind == GX_PEN_PATTERN && gs.PenPattern == id && gs.PenPatternOrigin.x == at.x &&
                                       gs.PenPatternOrigin.y == at.y;
    if (id != PATTERN_TEMPORARY_ID && current) return TRUE;

    Pxl_WriteAttr(pdev, id, PXL_ATTR_PATTERN_SELECT_ID, PXL_TYPE_SINT16);
    if ((at.x || at.y) && !KeepsPatternOrigin(pdev))
        Pxl_WriteAttrXY(pdev, at.x, at.y, PXL_ATTR_PATTERN_ORIGIN, PXL_TYPE_SINT16_XY);
    const BOOL result = Pxl_WriteOperator(pdev, asBrush ? PXL_OP_SET_BRUSH_SOURCE : PXL_OP_SET_PEN_SOURCE);
    // The colour slot no longer holds the source: the next colour is sent.
    if (asBrush) {
        gs.BrushKind = GX_BRUSH_PATTERN;
        gs.BrushPattern = id;
        gs.BrushPatternOrigin = at;
        gs.BrushColor = -1;
    } else {
        gs.PenKind = GX_PEN_PATTERN;
        gs.PenPattern = id;
        gs.PenPatternOrigin = at;
        gs.PenColor = -1;
    }
    return result;
}

BOOL Brush_Select(PDEV* pdev, BRUSHOBJ* brush, const POINTL* origin, BOOL asBrush) {
    if (!pdev) return FALSE;
    if (!brush) return asBrush ? Gx_SetNullBrush(pdev) : Gx_SetNullPen(pdev);
    if (brush->iSolidColor != 0xFFFFFFFF) return SelectSolid(pdev, brush->iSolidColor, asBrush);
    const auto* realized = static_cast<const RealizedBrush*>(BRUSHOBJ_pvGetRbrush(brush));
    if (!realized) return FALSE;
    if (realized->Hatch == BRUSH_HATCH_SOLID) {
        // A solid colour realised as a brush: the colour of the table's
        // entry 1 (the engine gives [background, colour]).
        const BYTE* table = TableOf(realized);
        if (realized->Entries < 2) return FALSE;
        const ULONG color = Settings_IsColorJob(pdev) ? ReadColor(table + 4) & 0xFFFFFF
                                                      : RGB(table[1], table[1], table[1]);
        return SelectSolid(pdev, color, asBrush);
    }
    return Pattern_Select(pdev, realized, origin, asBrush);
}
