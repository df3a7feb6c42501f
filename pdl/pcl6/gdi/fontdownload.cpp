// Font downloads: the header of a bitmap font and the bitmaps of a string's
// glyphs. The font data inside the headers and characters keeps the
// big-endian order of the font formats.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/text.h"

namespace {

// FontHeaderLength (uint16), ReadFontHeader and the data header of one block
// of `length` bytes of font header data; the caller writes the data.
BOOL BeginHeaderBlock(PDEV* pdev, DWORD length) {
    Pxl_WriteAttr(pdev, LONG(length), PXL_ATTR_FONT_HEADER_LENGTH, PXL_TYPE_UINT16);
    Pxl_WriteOperator(pdev, PXL_OP_READ_FONT_HEADER);
    return Pxl_WriteDataLength(pdev, length);
}

}  // namespace

BOOL Pxl_DownloadBitmapFontHeader(PDEV* pdev, LPCSTR name, UINT16 number, int resolutionStep) {
    if (!pdev) return FALSE;
    const UINT16 resolution = UINT16(resolutionStep >= 2 ? 1200 : 600);
    Pxl_WriteFontName(pdev, name, number, FONTNAME_PREFIX | FONTNAME_BITMAP);
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_FONT_FORMAT, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_BEGIN_FONT_HEADER);
    // The descriptor: format 0, portrait, symbol-set mapping 2, scaling 254
    // (bitmap), variety 0, 1000 characters; then the resolution segment.
    const BYTE header[18] = {0x00, 0x00, 0x00, 0x02, 0xFE, 0x00, 0x03, 0xE8, 'B', 'R', 0x00, 0x00, 0x00, 0x04,
                             BYTE(resolution >> 8), BYTE(resolution), BYTE(resolution >> 8), BYTE(resolution)};
    BeginHeaderBlock(pdev, sizeof(header));
    Spool_Write(pdev, header, sizeof(header));
    const BYTE nullSegment[6] = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    BeginHeaderBlock(pdev, sizeof(nullSegment));
    Spool_Write(pdev, nullSegment, sizeof(nullSegment));
    return Pxl_WriteOperator(pdev, PXL_OP_END_FONT_HEADER);
}

namespace {

// The CharCode of a bitmap glyph: two bytes (high first) for double-byte
// and UTF-16 codes, else one.
DWORD CharCodeFlags(const PDEV* pdev) {
    return (pdev->Job.Text.TextFlags & (TEXTF_DOUBLE_BYTE | TEXTF_UTF16)) ? PXL_CHAR_TAG | PXL_CHAR_TWO_BYTES
                                                                          : PXL_CHAR_TAG;
}

struct BitmapDownload {
    PDEV* pdev;
    LPCSTR name;
    UINT16 id;
    FONTOBJ* fontobj;
    bool begun = false;
    DWORD recorded = 0;

    // One glyph of the string, for `character`: sent unless the font holds it.
    void Glyph(HGLYPH glyph, WCHAR character) {
        UINT16 code = 0;
        Tx_CharCode(pdev, character, &code);
        if (FontCach_IsCharDown(pdev, id, code)) return;
        GLYPHDATA* data = nullptr;
        HGLYPH handle = glyph;
        const GLYPHBITS* bits = nullptr;
        if (FONTOBJ_cGetGlyphs(fontobj, FO_GLYPHBITS, 1, &handle, reinterpret_cast<PVOID*>(&data)) == 1 && data)
            bits = data->gdf.pgb;
        if (!bits) {
            // Nothing to send: the code is recorded all the same.
            FontCach_AddChar(pdev, id, code, 0);
            ++recorded;
            return;
        }
        if (!begun) {
            Pxl_WriteFontName(pdev, name, id, FONTNAME_PREFIX | FONTNAME_BITMAP);
            Pxl_WriteOperator(pdev, PXL_OP_BEGIN_CHAR);
            begun = true;
        }
        const LONG width = bits->sizlBitmap.cx, height = bits->sizlBitmap.cy;
        const DWORD rowBytes = DWORD(width + 7) / 8;
        const DWORD size = rowBytes * DWORD(height);
        Pxl_WriteCharCode(pdev, code, CharCodeFlags(pdev));
        Pxl_WriteAttr(pdev, LONG(size + 10), PXL_ATTR_CHAR_DATA_SIZE,
                      size + 10 > 0xFFFF ? PXL_TYPE_UINT32 : PXL_TYPE_UINT16);
        Pxl_WriteOperator(pdev, PXL_OP_READ_CHAR);
        Pxl_WriteDataLength(pdev, size + 10);
        // Format 0, class 0, then the left and top offsets, the width and
        // the height, big-endian.
        const LONG top = -bits->ptlOrigin.y;
        const BYTE header[10] = {0x00, 0x00, BYTE(bits->ptlOrigin.x >> 8), BYTE(bits->ptlOrigin.x), BYTE(top >> 8),
                                 BYTE(top), BYTE(width >> 8), BYTE(width), BYTE(height >> 8), BYTE(height)};
        Spool_Write(pdev, header, sizeof(header));
        Spool_Write(pdev, bits->aj, size);
        FontCach_AddChar(pdev, id, code, size);
        ++recorded;
    }
};

}  // namespace

BOOL Pxl_DownloadBitmapGlyphs(PDEV* pdev, LPCSTR name, UINT16 id, FONTOBJ* fontobj, STROBJ* strobj, DWORD* outCount) {
    if (outCount) *outCount = 0;
    if (!pdev || !fontobj || !strobj) return TRUE;
    BitmapDownload download{pdev, name, id, fontobj};
    // The characters go in step with the glyphs across the batches; a
    // string of glyph indexes without characters is keyed by its glyphs.
    const LPCWSTR characters = strobj->pwszOrg;
    ULONG index = 0;
    auto batch = [&](const GLYPHPOS* glyphs, ULONG count) {
        for (ULONG k = 0; k < count && index < strobj->cGlyphs; ++k, ++index)
            download.Glyph(glyphs[k].hg, characters ? characters[index] : WCHAR(glyphs[k].hg));
    };
    if (strobj->pgp) {
        batch(strobj->pgp, strobj->cGlyphs);
    } else {
        STROBJ_vEnumStart(strobj);
        for (BOOL more = TRUE; more;) {
            ULONG count = 0;
            GLYPHPOS* glyphs = nullptr;
            more = STROBJ_bEnum(strobj, &count, &glyphs);
            if (!count || !glyphs) break;
            batch(glyphs, count);
        }
        STROBJ_vEnumStart(strobj);  // the caller walks the batches again
    }
    if (download.begun) Pxl_WriteOperator(pdev, PXL_OP_END_CHAR);
    if (outCount) *outCount = download.recorded;
    return TRUE;
}
