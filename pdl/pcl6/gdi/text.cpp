// Text in the job stream: the font selection, the printer codes of
// characters and the Text operators of a string.
#include <windows.h>

#include "pcl6/gdi/text.h"

#include "pcl6/gdi/fontcache.h"
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

