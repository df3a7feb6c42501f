// GetTextMetricsW: the metrics of the DC's font in logical units.
//
// The font is the selected logical font realised at the DC's scale
// (gdi32/dcfont.h); its metrics are device pixels, divided back into logical
// units here. The digitised aspect is the device's resolution, as the font
// was realised for it. A handle that is no DC fails with
// ERROR_INVALID_HANDLE, a null record with ERROR_INVALID_PARAMETER; a font
// that cannot be realised (no font installed, a size beyond what the engine
// realises) fails with the engine's error.
#include <windows.h>

#include "gdi32/fontquery.h"

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
    w32::gdi::FontQuery query;
    if (!w32::gdi::QueryDcFont(hdc, lptm != nullptr, query)) return FALSE;
    LONG aspectX = 0, aspectY = 0;
    w32::gdi::DeviceResolution(hdc, aspectX, aspectY);
    *lptm = w32::gdi::LogicalTextMetrics(query.font, aspectX, aspectY);
    return TRUE;
}
