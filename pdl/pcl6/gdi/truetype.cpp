// The reader of the engine's TrueType font files: tables of a font (of a
// collection too), the collection font that matches a face, and the
// character map. Every number in the file is big-endian, and every read is
// checked against the file's size: a damaged file gives nothing, never a
// read outside it.
#include <windows.h>
#include <winddi.h>

#include <cstring>

#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/pdev.h"

namespace {

UINT16 Be16(const BYTE* p) { return UINT16((p[0] << 8) | p[1]); }
UINT32 Be32(const BYTE* p) { return (UINT32(p[0]) << 24) | (UINT32(p[1]) << 16) | (UINT32(p[2]) << 8) | p[3]; }

// Whether [offset, offset + length) lies inside a file of `size` bytes.
bool Inside(DWORD size, ULONGLONG offset, ULONGLONG length) { return offset <= size && length <= size - offset; }

// The tables the driver reads.
constexpr DWORD kKnownTags[] = {
    TT_TAG('p', 'r', 'e', 'p'), TT_TAG('c', 'v', 't', ' '), TT_TAG('f', 'p', 'g', 'm'), TT_TAG('h', 'e', 'a', 'd'),
    TT_TAG('h', 'h', 'e', 'a'), TT_TAG('h', 'm', 't', 'x'), TT_TAG('m', 'a', 'x', 'p'), TT_TAG('c', 'm', 'a', 'p'),
    TT_TAG('g', 'l', 'y', 'f'), TT_TAG('l', 'o', 'c', 'a'), TT_TAG('n', 'a', 'm', 'e'), TT_TAG('p', 'o', 's', 't'),
    TT_TAG('O', 'S', '/', '2'), TT_TAG('h', 'd', 'm', 'x'), TT_TAG('k', 'e', 'r', 'n'), TT_TAG('L', 'T', 'S', 'H'),
    TT_TAG('V', 'D', 'M', 'X'), TT_TAG('g', 'd', 'i', 'r'), TT_TAG('P', 'C', 'L', 'T'), TT_TAG('v', 'm', 't', 'x'),
};

constexpr DWORD kCollectionTag = TT_TAG('t', 't', 'c', 'f');

// The number of fonts of a collection file; 0 for a file that is not one.
DWORD CollectionFonts(const BYTE* file, DWORD size) {
    if (!file || size < 12 || Be32(file) != kCollectionTag) return 0;
    const DWORD count = Be32(file + 8);
    return Inside(size, 12, ULONGLONG(count) * 4) ? count : 0;
}

// The offset of the font's offset table, with its directory inside the file.
bool FontOffset(const BYTE* file, DWORD size, BYTE collectionFlags, UINT16 fontIndex, DWORD* offset) {
    if (!file || size < 12) return false;
    DWORD base = 0;
    if (Be32(file) == kCollectionTag) {
        const DWORD count = CollectionFonts(file, size);
        if (count == 0) return false;
        DWORD index = fontIndex >= 100 ? fontIndex - 100u : fontIndex;
        if (index == 0) index = (collectionFlags & 1) ? 1 : count;
        if (index > count) return false;
        base = Be32(file + 12 + 4 * (index - 1));
    }
    if (!Inside(size, base, 12)) return false;
    const DWORD tables = Be16(file + base + 4);
    if (!Inside(size, ULONGLONG(base) + 12, ULONGLONG(tables) * 16)) return false;
    *offset = base;
    return true;
}

// The table's place in the file; false when the font lacks it or it runs
// past the end of the file.
bool FindTable(const BYTE* file, DWORD size, DWORD base, DWORD tag, DWORD* tableOffset, DWORD* tableLength) {
    const DWORD tables = Be16(file + base + 4);
    for (DWORD i = 0; i < tables; ++i) {
        const BYTE* entry = file + base + 12 + 16 * i;
        if (Be32(entry) != tag) continue;
        const DWORD at = Be32(entry + 8), length = Be32(entry + 12);
        if (!Inside(size, at, length)) return false;
        *tableOffset = at;
        *tableLength = length;
        return true;
    }
    return false;
}

bool IsSymbolFace(LPCSTR face) {
    static const char* const kSymbolFaces[] = {"Symbol", "Tera Special", "Webdings", "Wingdings",
                                               "Wingdings 2", "Wingdings 3", "MS Reference Specialty"};
    if (!face) return false;
    for (const char* symbol : kSymbolFaces)
        if (std::strcmp(face, symbol) == 0) return true;
    return false;
}

}  // namespace

DWORD TrueType_ReadTable(const BYTE* file, DWORD fileSize, DWORD tag, DWORD offset, void* out, DWORD length,
                         BYTE collectionFlags, UINT16 fontIndex) {
    DWORD base = 0;
    if (!FontOffset(file, fileSize, collectionFlags, fontIndex, &base)) return 0;
    DWORD at = base, tableLength = 12;
    if (tag != 0) {
        bool known = false;
        for (DWORD t : kKnownTags) known = known || t == tag;
        if (!known || !FindTable(file, fileSize, base, tag, &at, &tableLength)) return 0;
    }
    if (!out) return tableLength;
    if (offset >= tableLength) return 0;
    const DWORD count = length < tableLength - offset ? length : tableLength - offset;
    std::memcpy(out, file + at + offset, count);
    return count;
}

void TrueType_FindCollectionIndex(PDEV* pdev, FONTOBJ* fontobj) {
    if (!pdev) return;
    FontCacheState& cache = pdev->Job.FontCache;
    cache.CollectionIndex = 0;
    ULONG size = 0;
    const BYTE* file = fontobj ? static_cast<const BYTE*>(FONTOBJ_pvTrueTypeFontFile(fontobj, &size)) : nullptr;
    const DWORD fonts = CollectionFonts(file, size);
    if (fonts == 0) return;
    const IFIMETRICS* ifi = FONTOBJ_pifi(fontobj);
    if (!ifi || !ifi->dpwszFaceName) return;

    // The face name in 8-bit characters.
    char face[LF_FACESIZE + 1];
    ULONG faceBytes = 0;
    const auto* wide = reinterpret_cast<LPCWSTR>(reinterpret_cast<const BYTE*>(ifi) + ifi->dpwszFaceName);
    EngUnicodeToMultiByteN(face, LF_FACESIZE, &faceBytes, const_cast<LPWSTR>(wide), ULONG(lstrlenW(wide) * 2));
    face[faceBytes < LF_FACESIZE ? faceBytes : LF_FACESIZE] = 0;
    const size_t faceLength = std::strlen(face);
    if (faceLength == 0) return;
    // Two faces are named in the records of the first platforms only.
    const bool leadingOnly = std::strcmp(face, "MS Gothic") == 0 || std::strcmp(face, "MS Mincho") == 0;

    for (DWORD n = 1; n <= fonts && n < 100; ++n) {
        DWORD base = 0, at = 0, length = 0;
        if (!FontOffset(file, size, 0, UINT16(n), &base)) return;
        if (!FindTable(file, size, base, TT_TAG('n', 'a', 'm', 'e'), &at, &length) || length < 6) return;
        const BYTE* table = file + at;
        const DWORD records = Be16(table + 2), strings = Be16(table + 4);
        if (!Inside(length, 6, ULONGLONG(records) * 12)) return;
        for (DWORD r = 0; r < records; ++r) {
            const BYTE* record = table + 6 + 12 * r;
            if (leadingOnly && Be16(record) >= 4) break;
            const DWORD bytes = Be16(record + 8), offset = Be16(record + 10);
            if (!Inside(length, ULONGLONG(strings) + offset, bytes)) continue;
            // At most 144 characters, as 8-bit characters: the Macintosh
            // platform's strings are 8-bit already, the others big-endian UTF-16.
            const BYTE* text = table + strings + offset;
            const bool wide = Be16(record) != 1;
            char name[145];
            const DWORD available = wide ? bytes / 2 : bytes;
            const DWORD chars = available < 144 ? available : 144;
            for (DWORD c = 0; c < chars; ++c) {
                const UINT16 ch = wide ? Be16(text + 2 * c) : text[c];
                name[c] = char(ch < 0x100 ? ch : '?');
            }
            if (chars >= faceLength && std::memcmp(name, face, faceLength) == 0) {
                cache.CollectionIndex = UINT16(n);
                return;
            }
        }
    }
}

namespace {

UINT16 MapCharacter(const BYTE* file, DWORD fileSize, BYTE collectionFlags, UINT16 fontIndex, LPCSTR faceName,
                    WCHAR character) {
    DWORD base = 0, at = 0, length = 0;
    if (!FontOffset(file, fileSize, collectionFlags, fontIndex, &base)) return 0;
    if (!FindTable(file, fileSize, base, TT_TAG('c', 'm', 'a', 'p'), &at, &length) || length < 4) return 0;
    const BYTE* cmap = file + at;
    const bool symbol = IsSymbolFace(faceName);

    // The segment map (format 4) to use: Windows symbol (3, 0) for a symbol
    // face, else Windows Unicode (3, 1), else a Unicode platform map.
    const DWORD maps = Be16(cmap + 2);
    if (!Inside(length, 4, ULONGLONG(maps) * 8)) return 0;
    DWORD chosen = 0;
    int rank = 0;
    for (DWORD i = 0; i < maps; ++i) {
        const BYTE* record = cmap + 4 + 8 * i;
        const UINT16 platform = Be16(record), encoding = Be16(record + 2);
        const DWORD offset = Be32(record + 4);
        if (!Inside(length, offset, 4) || Be16(cmap + offset) != 4) continue;
        int r = 0;
        if (platform == 3 && encoding == (symbol ? 0 : 1)) r = 3;
        else if (platform == 3 && (encoding == 0 || encoding == 1)) r = 2;
        else if (platform == 0) r = 1;
        if (r > rank) {
            rank = r;
            chosen = offset;
        }
    }
    if (rank == 0 || !Inside(length, chosen, 14)) return 0;
    const BYTE* map = cmap + chosen;
    DWORD mapLength = Be16(map + 2);
    if (!Inside(length, chosen, mapLength)) mapLength = length - chosen;
    const DWORD segments = Be16(map + 6) / 2;
    // endCode[n], reserved pad, startCode[n], idDelta[n], idRangeOffset[n].
    if (segments == 0 || !Inside(mapLength, 14, ULONGLONG(segments) * 8 + 2)) return 0;
    const BYTE* ends = map + 14;
    const BYTE* starts = ends + 2 * segments + 2;
    const BYTE* deltas = starts + 2 * segments;
    const BYTE* ranges = deltas + 2 * segments;

    UINT16 code = character;
    if (symbol && code < 0x100) {
        // A symbol font's characters lie on one page of its map (F0xx as a
        // rule): the page of its first segment.
        code = UINT16((Be16(starts) & 0xFF00) | code);
    }
    for (DWORD s = 0; s < segments; ++s) {
        if (Be16(ends + 2 * s) < code) continue;
        const UINT16 start = Be16(starts + 2 * s);
        if (code < start) return 0;
        const UINT16 delta = Be16(deltas + 2 * s);
        const UINT16 range = Be16(ranges + 2 * s);
        if (range == 0) return UINT16(code + delta);
        // The glyph array entry range bytes after this range offset.
        const ULONGLONG entry = ULONGLONG(14 + segments * 6 + 2 + 2 * s) + range + 2ull * (code - start);
        if (!Inside(mapLength, entry, 2)) return 0;
        const UINT16 glyph = Be16(map + entry);
        return glyph ? UINT16(glyph + delta) : 0;
    }
    return 0;
}

}  // namespace

UINT16 TrueType_GlyphIndex(const BYTE* file, DWORD fileSize, BYTE collectionFlags, UINT16 fontIndex,
                           LPCSTR faceName, WCHAR character) {
    const UINT16 glyph = MapCharacter(file, fileSize, collectionFlags, fontIndex, faceName, character);
    // This face's map lacks the middle dot, which its glyph 195 draws.
    if (glyph == 0 && character == 183 && faceName && std::strcmp(faceName, "Lucida Sans Demibold Italic") == 0)
        return 195;
    return glyph;
}
