// Pens: CreatePen, CreatePenIndirect and ExtCreatePen.
//
// A pen of CreatePen is cosmetic (one pixel) when its width is 0, and
// otherwise as wide as its width in logical units; styled lines (dash, dot
// ...) wider than one pixel are drawn solid, as Windows does. ExtCreatePen
// keeps its documented rules: a cosmetic pen is 1 wide with a solid brush,
// PS_ALTERNATE is cosmetic only and PS_INSIDEFRAME geometric only, style
// entries go with PS_USERSTYLE alone (1 to 16 of them, not all zero).
// The engine pen kept here has logical widths; drawing makes the device pen.
#include <windows.h>

#include <cstdlib>

#include "gdi32/objects.h"

namespace {

constexpr DWORD kMaxStyleEntries = 16;

HPEN Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

}  // namespace

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) return Fail(ERROR_INVALID_PARAMETER);
    const LONG width = std::abs(cWidth);
    auto pen = std::make_shared<w32::gdi::GdiPen>();
    pen->logPen = LOGPEN{UINT(iStyle), POINT{width, 0}, color};
    w32::EnginePen& engine = pen->engine;
    engine.geometric = width > 0;
    engine.width = ULONG(width);
    engine.style = iStyle == PS_INSIDEFRAME || width > 1 ? (iStyle == PS_NULL ? PS_NULL : PS_SOLID) : iStyle;
    engine.color = color;
    return static_cast<HPEN>(w32::gdi::InsertGdiObject(pen));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
    if (!plpen) return Fail(ERROR_INVALID_PARAMETER);
    return CreatePen(int(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

HPEN WINAPI ExtCreatePen(DWORD iPenStyle, DWORD cWidth, const LOGBRUSH* plbrush, DWORD cStyle, const DWORD* pstyle) {
    if (!plbrush) return Fail(ERROR_INVALID_PARAMETER);
    const DWORD type = iPenStyle & PS_TYPE_MASK;
    const DWORD style = iPenStyle & PS_STYLE_MASK;
    const DWORD endCap = iPenStyle & PS_ENDCAP_MASK;
    const DWORD join = iPenStyle & PS_JOIN_MASK;
    const DWORD known = PS_TYPE_MASK | PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK;
    if ((iPenStyle & ~known) || (type != PS_COSMETIC && type != PS_GEOMETRIC) || style > PS_ALTERNATE ||
        endCap > PS_ENDCAP_FLAT || join > PS_JOIN_MITER)
        return Fail(ERROR_INVALID_PARAMETER);
    const bool geometric = type == PS_GEOMETRIC;
    if (!geometric && (cWidth != 1 || plbrush->lbStyle != BS_SOLID || style == PS_INSIDEFRAME))
        return Fail(ERROR_INVALID_PARAMETER);
    if (geometric && style == PS_ALTERNATE) return Fail(ERROR_INVALID_PARAMETER);
    if (style == PS_USERSTYLE) {
        if (cStyle == 0 || cStyle > kMaxStyleEntries || !pstyle) return Fail(ERROR_INVALID_PARAMETER);
        bool anyLength = false;
        for (DWORD i = 0; i < cStyle; ++i) anyLength |= pstyle[i] != 0;
        if (!anyLength) return Fail(ERROR_INVALID_PARAMETER);
    } else if (cStyle != 0 || pstyle) {
        return Fail(ERROR_INVALID_PARAMETER);
    }

    std::shared_ptr<w32::EngineBrush> brush;
    if (geometric && style != PS_NULL) {
        HBRUSH made = CreateBrushIndirect(plbrush);
        if (!made) return nullptr;
        brush = w32::gdi::LookupGdiObjectAs<w32::gdi::GdiBrush>(made)->engine;
        DeleteObject(made);
    }

    auto pen = std::make_shared<w32::gdi::GdiPen>();
    pen->extended = true;
    pen->extLogPen.elpPenStyle = iPenStyle;
    pen->extLogPen.elpWidth = cWidth;
    pen->extLogPen.elpBrushStyle = plbrush->lbStyle;
    pen->extLogPen.elpColor = plbrush->lbColor;
    pen->extLogPen.elpHatch = plbrush->lbHatch;
    pen->extLogPen.elpNumEntries = style == PS_USERSTYLE ? cStyle : 0;
    if (style == PS_USERSTYLE) pen->styleEntries.assign(pstyle, pstyle + cStyle);
    w32::EnginePen& engine = pen->engine;
    engine.geometric = geometric;
    engine.width = geometric ? cWidth : 1;
    engine.style = style == PS_INSIDEFRAME ? PS_SOLID : int(style);
    engine.endCap = endCap;
    engine.join = join;
    engine.color = plbrush->lbColor;
    engine.userStyle.assign(pen->styleEntries.begin(), pen->styleEntries.end());
    engine.brush = std::move(brush);
    return static_cast<HPEN>(w32::gdi::InsertGdiObject(pen));
}
