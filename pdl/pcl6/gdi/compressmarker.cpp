// The compression marker: a diagnostic box over a reduced image, with its
// diagonals and the compression trial's percentage as its label.
#include "pcl6/gdi/rowcompress.h"

#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/text.h"

namespace {

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;
// The frame: one cell, pen width 4, black.
constexpr int kFramePen = 4;
constexpr int kFrameFlags = 16;
constexpr int kDiagonalPen = 5;
// Boxes below this size get their frame alone; labels are no smaller.
constexpr LONG kMinimumSize = 20;
// "Courier" padded with blanks to 16 bytes, symbol set 629.
constexpr char kFontName[] = "Courier         ";
constexpr UINT16 kSymbolSet = 629;
// Text is drawn with ROP 252, opaque transfer and colour treatment 1.
constexpr int kTextRop = 252;
constexpr int kTextTreatment = 1;

void DrawLine(PDEV* pdev, LONG x0, LONG y0, LONG x1, LONG y1, COLORREF color) {
    Gx_SetPenWidth(pdev, kDiagonalPen);
    Gx_SetPenColor(pdev, color);
    Gx_SetNullBrush(pdev);
    Pxl_NewPath(pdev);
    const POINTS points[2] = {{SHORT(x0), SHORT(y0)}, {SHORT(x1), SHORT(y1)}};
    Pxl_WritePolyline(pdev, 2, points);
    Pxl_WriteOperator(pdev, PXL_OP_PAINT_PATH);
}

void WriteAttributeId(PDEV* pdev, BYTE attribute) {
    const BYTE id[2] = {PXL_TAG_ATTR_UBYTE, attribute};
    Spool_Write(pdev, id, sizeof(id));
}

}  // namespace

BOOL Pxl_DrawCompressionMarker(PDEV* pdev, LONG x, LONG y, LONG width, LONG height, int flags, LONG percent) {
    if (!pdev) return FALSE;
    const RECTL box = {x, y, x + width, y + height};
    Layout_DrawGrid(pdev, &box, 1, 1, kFramePen, kFrameFlags);
    if (width < kMinimumSize || height < kMinimumSize) return TRUE;
    const COLORREF first = flags & MARKER_FIRST_RED ? kRed : kBlue;
    const COLORREF second = flags & MARKER_SECOND_RED ? kRed : kBlue;
    if (flags & MARKER_DIAGONALS) {
        DrawLine(pdev, x, y, x + width, y + height, first);
        DrawLine(pdev, x + width, y, x, y + height, second);
    }

    char label[16];
    const int length = wsprintfA(label, "%d%%", int(percent));
    LONG size = width / length;
    if (size > height) size = height;
    if (size < kMinimumSize) size = kMinimumSize;

    Gx_SetRopAndModes(pdev, kTextRop, GX_TX_OPAQUE, GX_TX_OPAQUE, kTextTreatment);
    Tx_SetFont(pdev, kFontName, 0, size, kSymbolSet, 0);
    Gx_SetBrushColor(pdev, first);
    // The label is centred; its baseline lies 0.8 of a character below its top.
    Pxl_SetCursor(pdev, x + (width - length * size) / 2, y + (height - size) / 2 + LONG(0.8 * size));
    Pxl_WriteArrayHeader(pdev, PXL_TAG_UBYTE_ARRAY, DWORD(length));
    Spool_Write(pdev, label, DWORD(length));
    WriteAttributeId(pdev, PXL_ATTR_TEXT_DATA);
    Pxl_WriteArrayHeader(pdev, PXL_TAG_SINT16_ARRAY, DWORD(length));
    for (int i = 0; i < length; ++i) {
        const BYTE advance[2] = {BYTE(size), BYTE(size >> 8)};
        Spool_Write(pdev, advance, sizeof(advance));
    }
    WriteAttributeId(pdev, PXL_ATTR_X_SPACING_DATA);
    return Pxl_WriteOperator(pdev, PXL_OP_TEXT);
}
