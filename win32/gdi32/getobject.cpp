// GetObjectW: the record an object was made from.
//
// Without a buffer the call answers the size of the record: LOGPEN,
// EXTLOGPEN with its style entries, LOGBRUSH, BITMAP (a DIB section too),
// a WORD for a palette (its number of entries), LOGFONTW. A buffer too small
// for the record gets nothing and the call answers 0 (the layer sets
// ERROR_INSUFFICIENT_BUFFER), except for fonts, whose first bytes are
// copied as far as the buffer goes, as Windows does. A DIB section fills a
// DIBSECTION when the buffer holds one, else a BITMAP. Regions and DCs have
// no record: 0 with ERROR_INVALID_HANDLE.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi32/bitmaps.h"
#include "gdi32/fontobject.h"
#include "gdi32/objects.h"

namespace {

using namespace w32::gdi;

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

// Copies a whole record, or nothing when the buffer is too small.
int CopyRecord(const void* record, size_t size, int c, LPVOID pv) {
    if (!pv) return int(size);
    if (c < 0 || size_t(c) < size) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(pv, record, size);
    return int(size);
}

int ExtPenRecord(const GdiPen& pen, int c, LPVOID pv) {
    const size_t entries = pen.styleEntries.size();
    const size_t size = offsetof(EXTLOGPEN, elpStyleEntry) + entries * sizeof(DWORD);
    if (!pv) return int(size);
    if (c < 0 || size_t(c) < size) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(pv, &pen.extLogPen, offsetof(EXTLOGPEN, elpStyleEntry));
    if (entries)
        std::memcpy(static_cast<BYTE*>(pv) + offsetof(EXTLOGPEN, elpStyleEntry), pen.styleEntries.data(),
                    entries * sizeof(DWORD));
    return int(size);
}

int BitmapObjectRecord(const GdiBitmap& bitmap, int c, LPVOID pv) {
    const BITMAP record = BitmapRecord(bitmap);
    if (bitmap.dibSection && pv && c >= int(sizeof(DIBSECTION))) {
        DIBSECTION section{};
        section.dsBm = record;
        section.dsBmih = bitmap.dibHeader;
        std::copy(bitmap.bitfields, bitmap.bitfields + 3, section.dsBitfields);
        section.dshSection = bitmap.section;
        section.dsOffset = bitmap.sectionOffset;
        std::memcpy(pv, &section, sizeof(section));
        return int(sizeof(section));
    }
    return CopyRecord(&record, sizeof(record), c, pv);
}

}  // namespace

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    auto object = LookupGdiObject(h);
    if (!object) return Fail(ERROR_INVALID_HANDLE);
    if (auto pen = std::dynamic_pointer_cast<GdiPen>(object)) {
        if (pen->extended) return ExtPenRecord(*pen, c, pv);
        return CopyRecord(&pen->logPen, sizeof(LOGPEN), c, pv);
    }
    if (auto brush = std::dynamic_pointer_cast<GdiBrush>(object))
        return CopyRecord(&brush->logBrush, sizeof(LOGBRUSH), c, pv);
    if (auto bitmap = std::dynamic_pointer_cast<GdiBitmap>(object)) return BitmapObjectRecord(*bitmap, c, pv);
    if (auto palette = std::dynamic_pointer_cast<GdiPalette>(object)) {
        const WORD count = WORD(palette->entries.size());
        return CopyRecord(&count, sizeof(count), c, pv);
    }
    if (auto font = std::dynamic_pointer_cast<GdiFont>(object)) {
        if (!pv) return int(sizeof(LOGFONTW));
        if (c <= 0) return Fail(ERROR_INSUFFICIENT_BUFFER);
        const size_t size = std::min(size_t(c), sizeof(LOGFONTW));
        std::memcpy(pv, &font->logFont, size);
        return int(size);
    }
    return Fail(ERROR_INVALID_HANDLE);
}
