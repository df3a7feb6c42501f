// Text in the job stream: the font selection, the printer codes of
// characters and the Text operators of a string.
#include <windows.h>

#include "pcl6/gdi/text.h"

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/fxmath.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"

BOOL Tx_SetFont(PDEV* pdev, LPCSTR name, int number, LONG size, UINT16 symbolSet, DWORD flags) {
    if (!pdev || !name) return FALSE;
    if (!Pxl_WriteFontName(pdev, name, number, flags)) return FALSE;
    Pxl_WriteRealAttr(pdev, float(size < 0 ? -LONGLONG(size) : size), PXL_ATTR_CHAR_SIZE);
    Pxl_WriteAttr(pdev, symbolSet, PXL_ATTR_SYMBOL_SET, PXL_TYPE_UINT16);
    TextState& text = pdev->Job.Text;
    text.CharSize = size;
    text.FontNumber = UINT16(number);
    return Pxl_WriteOperator(pdev, PXL_OP_SET_FONT);
}

namespace {

UINT16 ExchangeBytes(UINT16 value) { return UINT16((value >> 8) | (value << 8)); }

bool FitsByte(INT32 value) { return value >= 0 && value <= 255; }
bool FitsSigned16(INT32 value) { return value >= -32768 && value <= 32767; }

// The bytes a chunk's codes take at most.
constexpr DWORD kChunkBytes = TEXT_CHUNK_GLYPHS * 2;

// The advances of one chunk, before they are written.
struct Advances {
    INT16 dx[TEXT_CHUNK_GLYPHS];
    INT16 dy[TEXT_CHUNK_GLYPHS];
};

BOOL WriteSpacing(PDEV* pdev, const INT16* values, DWORD count, BYTE attributeId) {
    bool bytes = true;
    for (DWORD i = 0; i < count && bytes; ++i) bytes = FitsByte(values[i]);
    return Pxl_WriteTextArray(pdev, count, values, bytes, attributeId);
}

}  // namespace

BOOL Tx_CharCode(PDEV* pdev, WCHAR character, UINT16* code) {
    if (!pdev || !code) return FALSE;
    const TextState& text = pdev->Job.Text;
    UINT16 value = 0xFFFF;
    BOOL known = TRUE;
    if (text.TextFlags & TEXTF_UTF16) {
        value = ExchangeBytes(UINT16(character));
    } else {
        BYTE bytes[2] = {0, 0};
        const INT written = EngWideCharToMultiByte(text.CodePage, const_cast<LPWSTR>(&character), sizeof(WCHAR),
                                                   reinterpret_cast<LPSTR>(bytes), sizeof(bytes));
        if (written == 1) {
            value = bytes[0];
        } else if (written == 2 && (text.TextFlags & TEXTF_DOUBLE_BYTE)) {
            value = UINT16((bytes[0] << 8) | bytes[1]);
        } else {
            Dbg_Assert(pdev, "text", __LINE__);
            known = FALSE;
        }
    }
    *code = value ? value : 0xFFFF;
    return known;
}

BOOL Pxl_WriteTextArray(PDEV* pdev, DWORD count, const INT16* values, BOOL bytesOnly, BYTE attributeId) {
    if (!pdev || !values || count == 0) return FALSE;
    BYTE data[kChunkBytes];
    const DWORD width = bytesOnly ? 1 : 2;
    if (count * width > sizeof(data)) return FALSE;
    for (DWORD i = 0; i < count; ++i) {
        if (bytesOnly) {
            data[i] = BYTE(values[i]);
        } else {
            data[2 * i] = BYTE(values[i]);
            data[2 * i + 1] = BYTE(UINT16(values[i]) >> 8);
        }
    }
    Pxl_WriteArrayHeader(pdev, bytesOnly ? PXL_TAG_UBYTE_ARRAY : PXL_TAG_SINT16_ARRAY, count);
    Spool_Write(pdev, data, count * width);
    const BYTE attribute[2] = {PXL_TAG_ATTR_UBYTE, attributeId};
    return Spool_Write(pdev, attribute, sizeof(attribute));
}

BOOL Pxl_WriteTextData(PDEV* pdev, const WCHAR* codes, DWORD count, BOOL glyphIndexes) {
    if (!pdev || !codes || count == 0 || count > TEXT_CHUNK_GLYPHS) return FALSE;
    TextState& text = pdev->Job.Text;
    // Each code as the two bytes of the uint16 the printer reads, low byte first.
    UINT16 printerCodes[TEXT_CHUNK_GLYPHS];
    if (text.TrueTypeText) {
        for (DWORD i = 0; i < count; ++i) {
            const UINT16 key = UINT16(codes[i] + (glyphIndexes ? 0x8000 : 0));
            UINT16 cached = 0;
            if (!FontCach_GetCharCode(pdev, text.TrueTypeFontId, key, &cached)) return TXT_MISSING;
            printerCodes[i] = cached;
        }
    } else {
        const bool wide = (text.TextFlags & (TEXTF_UTF16 | TEXTF_DOUBLE_BYTE)) != 0;
        for (DWORD i = 0; i < count; ++i) {
            UINT16 code = 0;
            Tx_CharCode(pdev, codes[i], &code);
            // Wide codes go high byte first, as the glyph download sends
            // them; a single byte is the whole code, as sent with its glyph.
            printerCodes[i] = wide ? ExchangeBytes(code) : code;
        }
    }
    Pxl_WriteArrayHeader(pdev, PXL_TAG_UINT16_ARRAY, count);
    if (pdev->Job.Gstate.TextLog) {
        for (DWORD i = 0; i < count; ++i)
            Pxl_WriteCharCode(pdev, ExchangeBytes(printerCodes[i]), PXL_CHAR_TWO_BYTES | PXL_CHAR_IN_ARRAY);
    } else {
        BYTE bytes[kChunkBytes];
        for (DWORD i = 0; i < count; ++i) {
            bytes[2 * i] = BYTE(printerCodes[i]);
            bytes[2 * i + 1] = BYTE(printerCodes[i] >> 8);
        }
        Spool_Write(pdev, bytes, count * 2);
    }
    const BYTE attribute[2] = {PXL_TAG_ATTR_UBYTE, PXL_ATTR_TEXT_DATA};
    return Spool_Write(pdev, attribute, sizeof(attribute));
}

BOOL Pxl_WriteText(PDEV* pdev, FONTOBJ*, DWORD count, const GLYPHPOS* glyphs, const WCHAR* codes, STROBJ* string,
                   ULONG fixedAdvance) {
    if (!pdev || !glyphs || !codes || count == 0) return FALSE;
    const BOOL glyphIndexes = string && (string->flAccel & SO_GLYPHINDEX_TEXTOUT);
    // A fixed advance runs along the string's escapement (tenths of a degree).
    const int escapement = pdev->Job.Text.Escapement * 10;
    const INT32 fixedX = fixedAdvance ? Fx_RotateX(escapement, LONG(fixedAdvance)) : 0;
    const INT32 fixedY = fixedAdvance ? Fx_RotateY(escapement, LONG(fixedAdvance)) : 0;
    Advances advances;
    DWORD first = 0;
    while (first < count) {
        // The chunk runs to TEXT_CHUNK_GLYPHS glyphs, or to a glyph whose
        // gap to the next does not fit a spacing value.
        DWORD n = 0;
        bool cut = false;
        bool vertical = false;
        while (first + n < count && n < TEXT_CHUNK_GLYPHS) {
            const DWORD i = first + n;
            INT32 dx = fixedX, dy = fixedY;
            if (!fixedAdvance) {
                dx = i + 1 < count ? glyphs[i + 1].ptl.x - glyphs[i].ptl.x : 0;
                dy = i + 1 < count ? glyphs[i + 1].ptl.y - glyphs[i].ptl.y : 0;
            }
            if (!FitsSigned16(dx) || !FitsSigned16(dy)) {
                dx = dy = 0;
                cut = true;
            }
            advances.dx[n] = INT16(dx);
            advances.dy[n] = INT16(dy);
            vertical = vertical || dy != 0;
            ++n;
            if (cut) break;
        }
        const BOOL data = Pxl_WriteTextData(pdev, codes + first, n, glyphIndexes);
        if (data != TRUE) return data;
        WriteSpacing(pdev, advances.dx, n, PXL_ATTR_X_SPACING_DATA);
        if (vertical) WriteSpacing(pdev, advances.dy, n, PXL_ATTR_Y_SPACING_DATA);
        if (!Pxl_WriteOperator(pdev, PXL_OP_TEXT)) return FALSE;
        first += n;
        if (cut && first < count) Pxl_SetCursor(pdev, glyphs[first].ptl.x, glyphs[first].ptl.y);
    }
    return TRUE;
}

ULONG Util_IntHypot(LONG a, LONG b) {
    const ULONGLONG x = a < 0 ? ULONGLONG(-LONGLONG(a)) : ULONGLONG(a);
    const ULONGLONG y = b < 0 ? ULONGLONG(-LONGLONG(b)) : ULONGLONG(b);
    if (x == 0) return ULONG(y);
    if (y == 0) return ULONG(x);
    const ULONGLONG square = x * x + y * y;
    // The integer square root by Newton's steps from above, then up to the
    // first root whose square is not below.
    ULONGLONG r = x > y ? x + y : y + x;
    for (ULONGLONG next = (r + square / r) / 2; next < r; next = (r + square / r) / 2) r = next;
    while (r * r < square) ++r;
    while (r > 0 && (r - 1) * (r - 1) >= square) --r;
    return ULONG(r);
}

UINT32 Util_NameValue(LPCSTR text) {
    UINT32 value = 0;
    if (!text) return 0;
    for (const BYTE* p = reinterpret_cast<const BYTE*>(text); *p; ++p) value = value * 10 + *p;
    return value;
}
