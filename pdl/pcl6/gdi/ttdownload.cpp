// Downloaded TrueType fonts: the font header with the global tables of the
// engine's font file, and the glyph outlines of a string as characters of
// format 1, class 1. Everything sent is read from the file and checked
// first, so that a damaged file leaves the stream as it was and the caller
// prints the string as bitmaps instead.
#include <windows.h>
#include <winddi.h>

#include <cstring>

#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/util.h"

namespace {

UINT16 Be16(const BYTE* p) { return UINT16((p[0] << 8) | p[1]); }
UINT32 Be32(const BYTE* p) { return (UINT32(p[0]) << 24) | (UINT32(p[1]) << 16) | (UINT32(p[2]) << 8) | p[3]; }
void PutBe16(BYTE* p, UINT16 v) {
    p[0] = BYTE(v >> 8);
    p[1] = BYTE(v);
}
void PutBe32(BYTE* p, UINT32 v) {
    PutBe16(p, UINT16(v >> 16));
    PutBe16(p + 2, UINT16(v));
}
DWORD Round4(DWORD n) { return (n + 3) & ~DWORD(3); }

// FontHeaderLength cannot count more: a longer run of header data goes in
// several blocks (the header data is one stream however it is cut).
constexpr DWORD kHeaderBlockBytes = 0xFFFC;

// The font file of a font object, with the PDEV's collection choice.
struct FontFile {
    const BYTE* bytes = nullptr;
    DWORD size = 0;
    BYTE flags = 0;
    UINT16 index = 0;

    DWORD Read(DWORD tag, DWORD offset, void* out, DWORD length) const {
        return TrueType_ReadTable(bytes, size, tag, offset, out, length, flags, index);
    }
    DWORD Length(DWORD tag) const { return Read(tag, 0, nullptr, 0); }
};

bool OpenFontFile(PDEV* pdev, FONTOBJ* fontobj, FontFile* file) {
    ULONG size = 0;
    file->bytes = fontobj ? static_cast<const BYTE*>(FONTOBJ_pvTrueTypeFontFile(fontobj, &size)) : nullptr;
    file->size = size;
    file->flags = pdev->Job.FontCache.CollectionFlags;
    file->index = pdev->Job.FontCache.CollectionIndex;
    return file->bytes && file->size;
}

// One block of header data: FontHeaderLength, ReadFontHeader, the data.
void HeaderBlock(PDEV* pdev, const BYTE* data, DWORD length) {
    Pxl_WriteAttr(pdev, LONG(length), PXL_ATTR_FONT_HEADER_LENGTH, PXL_TYPE_UINT16);
    Pxl_WriteOperator(pdev, PXL_OP_READ_FONT_HEADER);
    Pxl_WriteDataLength(pdev, length);
    Spool_Write(pdev, data, length);
}

// The global tables of the "GT" segment, in this order.
constexpr DWORD kGlobalTables[6] = {
    TT_TAG('c', 'v', 't', ' '), TT_TAG('f', 'p', 'g', 'm'), TT_TAG('g', 'd', 'i', 'r'),
    TT_TAG('h', 'e', 'a', 'd'), TT_TAG('m', 'a', 'x', 'p'), TT_TAG('p', 'r', 'e', 'p'),
};

}  // namespace

BOOL Pxl_DownloadTrueTypeHeader(PDEV* pdev, FONTOBJ* fontobj, UINT16* outLocFormat, UINT16* outGlyphCount,
                                LPCSTR name, UINT16 number) {
    if (!pdev) return FALSE;
    FontFile file;
    if (!OpenFontFile(pdev, fontobj, &file)) return FALSE;

    BYTE head[54];
    if (file.Read(TT_TAG('h', 'e', 'a', 'd'), 0, head, sizeof(head)) != sizeof(head)) return FALSE;
    const UINT16 locFormat = Be16(head + 50);
    BYTE maxp[6];
    if (file.Read(TT_TAG('m', 'a', 'x', 'p'), 0, maxp, sizeof(maxp)) != sizeof(maxp)) return FALSE;
    const UINT16 glyphCount = Be16(maxp + 4);
    BYTE os2[78];
    const bool fullOs2 = file.Read(TT_TAG('O', 'S', '/', '2'), 0, os2, sizeof(os2)) == sizeof(os2);
    BYTE offsetTable[12];
    if (file.Read(0, 0, offsetTable, sizeof(offsetTable)) != sizeof(offsetTable)) return FALSE;

    // Every table is read before a byte is written.
    DWORD lengths[6] = {};
    DWORD total = 0;
    for (int t = 0; t < 6; ++t) {
        lengths[t] = file.Length(kGlobalTables[t]);
        if (lengths[t] > 0x7FFFFFF) return FALSE;
        total += Round4(lengths[t]);
    }
    BYTE* data = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, total ? total : 1));
    if (!data) return FALSE;
    DWORD at = 0;
    for (int t = 0; t < 6; ++t) {
        if (lengths[t] && file.Read(kGlobalTables[t], 0, data + at, lengths[t]) != lengths[t]) {
            Util_GlobalFree(nullptr, data);
            return FALSE;
        }
        at += Round4(lengths[t]);  // the padding stays zero
    }

    Pxl_WriteFontName(pdev, name, number, FONTNAME_PREFIX);
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_FONT_FORMAT, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_BEGIN_FONT_HEADER);
    // Format 0, portrait, mapping 2, TrueType scaling, variety 0, the character count.
    const BYTE descriptor[8] = {0x00, 0x00, 0x00, 0x02, 0x01, 0x00, BYTE(fullOs2 ? 0x03 : 0xF0),
                                BYTE(fullOs2 ? 0xE8 : 0x02)};
    HeaderBlock(pdev, descriptor, sizeof(descriptor));
    BYTE segment[6] = {'G', 'T'};
    PutBe32(segment + 2, 12 + 96 + total);
    HeaderBlock(pdev, segment, sizeof(segment));
    // The directory: six tables, search range 64, entry selector 2, range
    // shift 32, under the tag printers take for it.
    const BYTE directory[12] = {'t', 't', 'c', 'f', 0x00, 0x06, 0x00, 0x40, 0x00, 0x02, 0x00, 0x20};
    HeaderBlock(pdev, directory, sizeof(directory));
    BYTE entries[96] = {};
    DWORD offset = 108;
    for (int t = 0; t < 6; ++t) {
        BYTE* entry = entries + 16 * t;
        PutBe32(entry, kGlobalTables[t]);
        if (lengths[t]) {
            PutBe32(entry + 8, offset);
            PutBe32(entry + 12, Round4(lengths[t]));
            offset += Round4(lengths[t]);
        }
    }
    HeaderBlock(pdev, entries, sizeof(entries));
    at = 0;
    for (int t = 0; t < 6; ++t) {
        const DWORD rounded = Round4(lengths[t]);
        for (DWORD done = 0; done < rounded;) {
            const DWORD block = rounded - done < kHeaderBlockBytes ? rounded - done : kHeaderBlockBytes;
            HeaderBlock(pdev, data + at + done, block);
            done += block;
        }
        at += rounded;
    }
    Util_GlobalFree(nullptr, data);
    // The galley character segment (format 0, default 0xFFFF, no regions)
    // and the null segment close the header.
    const BYTE galley[12] = {'G', 'C', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};
    HeaderBlock(pdev, galley, sizeof(galley));
    const BYTE nullSegment[6] = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    HeaderBlock(pdev, nullSegment, sizeof(nullSegment));
    Pxl_WriteOperator(pdev, PXL_OP_END_FONT_HEADER);

    if (outLocFormat) *outLocFormat = locFormat;
    if (outGlyphCount) *outGlyphCount = glyphCount;
    return TRUE;
}

namespace {

// One character to send: a glyph's outline (or none) with its metrics.
struct GlyphPart {
    UINT16 glyphIndex;
    INT16 leftSideBearing;
    UINT16 advanceWidth;
    BYTE* data;      // Util_GlobalAlloc'ed outline, or null
    DWORD length;
};

// A glyph and its components, nested, at most this many in all.
constexpr int kMaxParts = 64;
constexpr int kMaxDepth = 8;

struct GlyphParts {
    GlyphPart parts[kMaxParts];
    int count = 0;
    ~GlyphParts() {
        for (int i = 0; i < count; ++i) Util_GlobalFree(nullptr, parts[i].data);
    }
};

// The horizontal metrics of a glyph as stored in "hmtx".
bool ReadMetrics(const FontFile& file, UINT16 glyph, INT16* lsb, UINT16* advance) {
    BYTE hhea[36];
    if (file.Read(TT_TAG('h', 'h', 'e', 'a'), 0, hhea, sizeof(hhea)) != sizeof(hhea)) return false;
    const UINT16 longMetrics = Be16(hhea + 34);
    if (longMetrics == 0) return false;
    BYTE pair[4];
    if (glyph < longMetrics) {
        if (file.Read(TT_TAG('h', 'm', 't', 'x'), 4u * glyph, pair, 4) != 4) return false;
        *advance = Be16(pair);
        *lsb = INT16(Be16(pair + 2));
        return true;
    }
    if (file.Read(TT_TAG('h', 'm', 't', 'x'), 4u * (longMetrics - 1), pair, 2) != 2) return false;
    *advance = Be16(pair);
    if (file.Read(TT_TAG('h', 'm', 't', 'x'), 4u * longMetrics + 2u * (glyph - longMetrics), pair, 2) != 2)
        return false;
    *lsb = INT16(Be16(pair));
    return true;
}

// The glyph's outline range in "glyf" through "loca".
bool GlyphRange(const FontFile& file, UINT16 glyph, UINT16 locFormat, DWORD* start, DWORD* length) {
    BYTE loca[8];
    DWORD first = 0, next = 0;
    if (locFormat) {
        if (file.Read(TT_TAG('l', 'o', 'c', 'a'), 4u * glyph, loca, 8) != 8) return false;
        first = Be32(loca);
        next = Be32(loca + 4);
    } else {
        if (file.Read(TT_TAG('l', 'o', 'c', 'a'), 2u * glyph, loca, 4) != 4) return false;
        first = 2u * Be16(loca);
        next = 2u * Be16(loca + 2);
    }
    if (next < first) return false;
    // The outline must lie inside "glyf" and fit a character's size field.
    const DWORD glyf = file.Length(TT_TAG('g', 'l', 'y', 'f'));
    if (first > glyf || next > glyf || next - first > 0xFFFF - 8) return false;
    *start = first;
    *length = next - first;
    return true;
}

// Reads a glyph, then its components, into `parts`.
bool CollectGlyph(const FontFile& file, UINT16 glyph, UINT16 locFormat, UINT16 glyphCount, int depth,
                  GlyphParts* parts) {
    if (glyph >= glyphCount || depth > kMaxDepth || parts->count >= kMaxParts) return false;
    GlyphPart& part = parts->parts[parts->count++];
    part = GlyphPart{glyph, 0, 0, nullptr, 0};
    DWORD start = 0;
    if (!GlyphRange(file, glyph, locFormat, &start, &part.length)) return false;
    if (part.length == 0) return true;  // no outline, no metrics
    if (!ReadMetrics(file, glyph, &part.leftSideBearing, &part.advanceWidth)) return false;
    part.data = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, part.length));
    if (!part.data) return false;
    if (file.Read(TT_TAG('g', 'l', 'y', 'f'), start, part.data, part.length) != part.length) return false;
    if (part.length < 10) return false;
    if (INT16(Be16(part.data)) >= 0) return true;

    // A composite glyph: its components follow it, each sent alone.
    const BYTE* data = part.data;
    const DWORD length = part.length;
    DWORD at = 10;
    for (;;) {
        if (at + 4 > length) return false;
        const UINT16 flags = Be16(data + at);
        const UINT16 component = Be16(data + at + 2);
        at += 4 + ((flags & 0x0001) ? 4 : 2);
        if (flags & 0x0008) at += 2;
        else if (flags & 0x0040) at += 4;
        else if (flags & 0x0080) at += 8;
        if (at > length) return false;
        if (!CollectGlyph(file, component, locFormat, glyphCount, depth + 1, parts)) return false;
        if (!(flags & 0x0020)) return true;
    }
}

// CharCode, CharDataSize, ReadChar and the character: header of format 1,
// class 1 and the outline.
void WriteCharacter(PDEV* pdev, UINT16 code, UINT16 glyph, INT16 lsb, UINT16 advance, const BYTE* data,
                    DWORD length) {
    Pxl_WriteAttr(pdev, code, PXL_ATTR_CHAR_CODE, PXL_TYPE_UINT16);
    const DWORD size = length + 10;
    Pxl_WriteAttr(pdev, LONG(size), PXL_ATTR_CHAR_DATA_SIZE, size > 0xFFFF ? PXL_TYPE_UINT32 : PXL_TYPE_UINT16);
    Pxl_WriteOperator(pdev, PXL_OP_READ_CHAR);
    Pxl_WriteDataLength(pdev, size);
    BYTE header[10] = {0x01, 0x01};
    PutBe16(header + 2, UINT16(length + 8));
    PutBe16(header + 4, UINT16(lsb));
    PutBe16(header + 6, advance);
    PutBe16(header + 8, glyph);
    Spool_Write(pdev, header, sizeof(header));
    if (length) Spool_Write(pdev, data, length);
}

bool SameText(LPCSTR a, LPCSTR b) { return a && std::strcmp(a, b) == 0; }

BOOL DownloadGlyph(PDEV* pdev, const FontFile& file, UINT16 code, UINT16 glyph, UINT16 locFormat,
                   UINT16 glyphCount, BOOL* outEmpty) {
    GlyphParts parts;
    if (!CollectGlyph(file, glyph, locFormat, glyphCount, 0, &parts)) return FALSE;
    for (int i = 0; i < parts.count; ++i) {
        const GlyphPart& p = parts.parts[i];
        WriteCharacter(pdev, i == 0 ? code : 0xFFFF, p.glyphIndex, p.leftSideBearing, p.advanceWidth, p.data,
                       p.length);
    }
    if (outEmpty) *outEmpty = parts.parts[0].length == 0;
    return TRUE;
}

}  // namespace

BOOL TrueType_DownloadGlyph(PDEV* pdev, const BYTE* file, DWORD fileSize, UINT16 code, UINT16 glyphIndex,
                            UINT16 locFormat, UINT16 glyphCount, BOOL* outEmpty) {
    if (!pdev) return FALSE;
    FontFile font;
    font.bytes = file;
    font.size = fileSize;
    font.flags = pdev->Job.FontCache.CollectionFlags;
    font.index = pdev->Job.FontCache.CollectionIndex;
    return DownloadGlyph(pdev, font, code, glyphIndex, locFormat, glyphCount, outEmpty);
}

namespace {

// The string's characters, or for a string of glyph indexes, which the
// engine may give without characters, its glyph handles: `count` values in a
// block the caller frees with Util_GlobalFree. Null when they cannot be had.
UINT16* StringValues(STROBJ* strobj) {
    const ULONG count = strobj->cGlyphs;
    auto* values = static_cast<UINT16*>(Util_GlobalAlloc(nullptr, (count ? count : 1) * sizeof(UINT16)));
    if (!values) return nullptr;
    if (strobj->pwszOrg) {
        for (ULONG i = 0; i < count; ++i) values[i] = strobj->pwszOrg[i];
        return values;
    }
    if (!(strobj->flAccel & SO_GLYPHINDEX_TEXTOUT)) {
        Util_GlobalFree(nullptr, values);
        return nullptr;
    }
    ULONG taken = 0;
    auto take = [&](const GLYPHPOS* glyphs, ULONG n) {
        for (ULONG k = 0; k < n && taken < count; ++k) {
            if (glyphs[k].hg > 0xFFFF) return false;
            values[taken++] = UINT16(glyphs[k].hg);
        }
        return true;
    };
    bool ok = true;
    if (strobj->pgp) {
        ok = take(strobj->pgp, count);
    } else {
        STROBJ_vEnumStart(strobj);
        for (BOOL more = TRUE; more && ok && taken < count;) {
            ULONG n = 0;
            GLYPHPOS* glyphs = nullptr;
            more = STROBJ_bEnum(strobj, &n, &glyphs);
            if (n && glyphs) ok = take(glyphs, n);
            else if (!n) break;
        }
        // The caller's own walk over the batches starts at the beginning.
        STROBJ_vEnumStart(strobj);
    }
    if (!ok || taken != count) {
        Util_GlobalFree(nullptr, values);
        return nullptr;
    }
    return values;
}

// The cache key of a string value: a character, or a glyph index plus 0x8000.
bool ValueKey(UINT16 value, bool glyphIndexes, UINT16* key) {
    if (glyphIndexes && value >= 0x8000) return false;
    *key = UINT16(glyphIndexes ? value + 0x8000 : value);
    return true;
}

int DownloadValues(PDEV* pdev, const FontFile& file, const UINT16* values, ULONG count, bool glyphIndexes,
                   UINT16 id, LPCSTR name, UINT16 locFormat, UINT16 glyphCount, DWORD* sent) {
    // The string goes into the font whole or not at all: count its glyphs
    // that the font lacks, each once.
    BYTE seen[0x10000 / 8] = {};
    DWORD missing = 0;
    for (ULONG i = 0; i < count; ++i) {
        UINT16 key = 0;
        if (!ValueKey(values[i], glyphIndexes, &key)) return TTDL_FAILED;
        if (seen[key / 8] & (1u << (key % 8))) continue;
        seen[key / 8] |= BYTE(1u << (key % 8));
        if (!FontCach_GetCharCode(pdev, id, key, nullptr)) ++missing;
    }
    const DWORD held = FontCach_GetCharCount(pdev, id);
    if (held + missing > FONTCACHE_LIST_CAPACITY) return held ? TTDL_FONT_FULL : TTDL_FAILED;

    const bool spaceOutline = SameText(name, "Palatino Linotype");
    bool begun = false;
    int result = TTDL_DONE;
    for (ULONG i = 0; i < count; ++i) {
        UINT16 key = 0;
        ValueKey(values[i], glyphIndexes, &key);
        if (FontCach_IsCharDown(pdev, id, key)) continue;
        const bool space = !glyphIndexes && values[i] == 32 && !spaceOutline;
        const UINT16 glyph = glyphIndexes
                                 ? values[i]
                                 : TrueType_GlyphIndex(file.bytes, file.size, file.flags, file.index, name, values[i]);
        GlyphParts parts;
        if (!space && !CollectGlyph(file, glyph, locFormat, glyphCount, 0, &parts)) {
            result = TTDL_FAILED;
            break;
        }
        DWORD bytes = space ? 10 : 0;
        for (int p = 0; p < parts.count; ++p) bytes += 10 + parts.parts[p].length;
        const ULONGLONG added = FontCach_AddChar(pdev, id, key, bytes);
        const UINT16 code = UINT16(added);
        if (code == 0) {
            result = TTDL_FAILED;
            break;
        }
        if (!begun) {
            Pxl_WriteFontName(pdev, name, id, FONTNAME_PREFIX);
            Pxl_WriteOperator(pdev, PXL_OP_BEGIN_CHAR);
            begun = true;
        }
        if (space) {
            // The space is sent without its outline: no metrics, glyph 3.
            WriteCharacter(pdev, code, 3, 0, 0, nullptr, 0);
        } else {
            for (int p = 0; p < parts.count; ++p) {
                const GlyphPart& part = parts.parts[p];
                WriteCharacter(pdev, p == 0 ? code : 0xFFFF, part.glyphIndex, part.leftSideBearing,
                               part.advanceWidth, part.data, part.length);
            }
        }
        ++*sent;
    }
    if (begun) Pxl_WriteOperator(pdev, PXL_OP_END_CHAR);
    return result;
}

}  // namespace

int TrueType_DownloadString(PDEV* pdev, FONTOBJ* fontobj, STROBJ* strobj, UINT16 id, LPCSTR name, UINT16 locFormat,
                            UINT16 glyphCount, DWORD* outDownloaded) {
    if (outDownloaded) *outDownloaded = 0;
    if (!pdev || !strobj) return TTDL_FAILED;
    FontFile file;
    if (!OpenFontFile(pdev, fontobj, &file)) return TTDL_FAILED;
    UINT16* values = StringValues(strobj);
    if (!values) return TTDL_FAILED;
    DWORD sent = 0;
    const int result = DownloadValues(pdev, file, values, strobj->cGlyphs,
                                      (strobj->flAccel & SO_GLYPHINDEX_TEXTOUT) != 0, id, name, locFormat,
                                      glyphCount, &sent);
    Util_GlobalFree(nullptr, values);
    if (outDownloaded) *outDownloaded = sent;
    return result;
}
