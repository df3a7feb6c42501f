// Font downloads: the header of a bitmap font and the bitmaps of a string's
// glyphs. The font data inside the headers and characters keeps the
// big-endian order of the font formats.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"

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
