// GetStockObject, and the stock objects behind it. They are made together
// on first use and live as long as the process.
//
// The stock fonts carry their logical fonts only; the brushes and pens are
// solid, except NULL_BRUSH and NULL_PEN which paint nothing. DC_BRUSH and
// DC_PEN stand for the colour each DC keeps (SetDCBrushColor,
// SetDCPenColor); as objects they are a white brush and a black pen.
#include <windows.h>

#include <array>
#include <mutex>

#include "gdi32/brushes.h"
#include "gdi32/fontobject.h"
#include "gdi32/objects.h"
#include "gdi32/stockobjects.h"
#include "gdi32/syscolors.h"

namespace w32::gdi {

namespace {

constexpr PALETTEENTRY kSystemColors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

struct StockTable {
    std::array<HGDIOBJ, STOCK_LAST + 1> objects{};
    HBITMAP bitmap = nullptr;
    std::array<HGDIOBJ, kSystemColorCount> systemColorBrushes{};
};

HGDIOBJ AddBrush(UINT style, COLORREF color) {
    auto brush = std::make_shared<GdiBrush>();
    brush->logBrush = LOGBRUSH{style, color, 0};
    brush->engine = MakeEngineBrush(style, color);
    brush->stock = true;
    return InsertGdiObject(brush);
}

HGDIOBJ AddPen(UINT style, COLORREF color) {
    auto pen = std::make_shared<GdiPen>();
    pen->logPen = LOGPEN{style, POINT{0, 0}, color};
    pen->engine.style = int(style);
    pen->engine.color = color;
    pen->stock = true;
    return InsertGdiObject(pen);
}

HGDIOBJ AddFont(LONG height, LONG weight, BYTE charSet, BYTE pitchAndFamily, const char16_t* face) {
    auto font = std::make_shared<GdiFont>();
    font->logFont.lfHeight = height;
    font->logFont.lfWeight = weight;
    font->logFont.lfCharSet = charSet;
    font->logFont.lfPitchAndFamily = pitchAndFamily;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) font->logFont.lfFaceName[i] = face[i];
    font->stock = true;
    return InsertGdiObject(font);
}

HBITMAP AddMonochromeBitmap() {
    auto bitmap = std::make_shared<GdiBitmap>();
    HBITMAP engineBitmap = EngCreateBitmap(SIZEL{1, 1}, 2, BMF_1BPP, BMF_TOPDOWN, nullptr);
    bitmap->surface = LookupSurface(reinterpret_cast<HSURF>(engineBitmap));
    auto palette = std::make_shared<EnginePalette>();
    palette->mode = PAL_INDEXED;
    palette->colors = {RGB(0, 0, 0), RGB(255, 255, 255)};
    bitmap->surface->palette = palette;
    bitmap->stock = true;
    return static_cast<HBITMAP>(InsertGdiObject(bitmap));
}

StockTable MakeStockTable() {
    StockTable table;
    auto& o = table.objects;
    o[WHITE_BRUSH] = AddBrush(BS_SOLID, RGB(255, 255, 255));
    o[LTGRAY_BRUSH] = AddBrush(BS_SOLID, RGB(192, 192, 192));
    o[GRAY_BRUSH] = AddBrush(BS_SOLID, RGB(128, 128, 128));
    o[DKGRAY_BRUSH] = AddBrush(BS_SOLID, RGB(64, 64, 64));
    o[BLACK_BRUSH] = AddBrush(BS_SOLID, RGB(0, 0, 0));
    o[NULL_BRUSH] = AddBrush(BS_NULL, 0);
    o[WHITE_PEN] = AddPen(PS_SOLID, RGB(255, 255, 255));
    o[BLACK_PEN] = AddPen(PS_SOLID, RGB(0, 0, 0));
    o[NULL_PEN] = AddPen(PS_NULL, 0);
    o[OEM_FIXED_FONT] = AddFont(12, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, u"Terminal");
    o[ANSI_FIXED_FONT] = AddFont(12, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, u"Courier");
    o[ANSI_VAR_FONT] = AddFont(12, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, u"MS Sans Serif");
    o[SYSTEM_FONT] = AddFont(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, u"System");
    o[DEVICE_DEFAULT_FONT] = AddFont(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, u"System");
    o[SYSTEM_FIXED_FONT] = AddFont(15, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, u"Fixedsys");
    o[DEFAULT_GUI_FONT] = AddFont(-11, FW_NORMAL, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS, u"MS Shell Dlg");
    auto palette = std::make_shared<GdiPalette>();
    palette->entries.assign(std::begin(kSystemColors), std::end(kSystemColors));
    palette->stock = true;
    o[DEFAULT_PALETTE] = InsertGdiObject(palette);
    o[DC_BRUSH] = AddBrush(BS_SOLID, RGB(255, 255, 255));
    o[DC_PEN] = AddPen(PS_SOLID, RGB(0, 0, 0));
    table.bitmap = AddMonochromeBitmap();
    for (int i = 0; i < kSystemColorCount; ++i)
        table.systemColorBrushes[size_t(i)] = AddBrush(BS_SOLID, SystemColor(i));
    return table;
}

const StockTable& Stock() {
    static const StockTable table = MakeStockTable();
    return table;
}

}  // namespace

HGDIOBJ StockObject(int index) {
    if (index < 0 || index > STOCK_LAST) return nullptr;
    return Stock().objects[size_t(index)];  // null for 9, which has no object
}

HBITMAP StockBitmap() { return Stock().bitmap; }

HBRUSH StockSystemColorBrush(int index) {
    if (index < 0 || index >= kSystemColorCount) return nullptr;
    return static_cast<HBRUSH>(Stock().systemColorBrushes[size_t(index)]);
}

std::span<const PALETTEENTRY> SystemPaletteEntries() { return kSystemColors; }

bool IsStockObject(HGDIOBJ object) {
    if (!object) return false;
    const StockTable& table = Stock();
    if (object == table.bitmap) return true;
    for (HGDIOBJ stock : table.objects)
        if (stock == object) return true;
    for (HGDIOBJ stock : table.systemColorBrushes)
        if (stock == object) return true;
    return false;
}

}  // namespace w32::gdi

HGDIOBJ WINAPI GetStockObject(int i) {
    HGDIOBJ object = w32::gdi::StockObject(i);
    if (!object) SetLastError(ERROR_INVALID_PARAMETER);
    return object;
}
