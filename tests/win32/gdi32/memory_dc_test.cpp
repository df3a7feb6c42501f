// Memory DCs: the default state they share with printer DCs, the
// capabilities of the device they are compatible with, and their end.
#include <windows.h>

#include "win32/win32k/engine_fixture.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;

namespace {

class MemoryDC : public EngineTest {};

struct ScreenCapsCase {
    int index;
    int expected;
};

const ScreenCapsCase kScreenCaps[] = {
    {TECHNOLOGY, DT_RASDISPLAY}, {HORZRES, 1920}, {VERTRES, 1080}, {BITSPIXEL, 32}, {PLANES, 1},
    {LOGPIXELSX, 96}, {LOGPIXELSY, 96},
    {HORZSIZE, 508},  // 1920 pixels at 96 per inch of 25.4 mm
    {VERTSIZE, 286},  // 1080 pixels: 285.75 mm
    {NUMCOLORS, -1},
    {SHADEBLENDCAPS, SB_CONST_ALPHA | SB_PIXEL_ALPHA | SB_PREMULT_ALPHA | SB_GRAD_RECT | SB_GRAD_TRI},
};

TEST_F(MemoryDC, CompatibleWithTheScreenAnswersTheScreensCaps) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_MEMDC));
    for (const ScreenCapsCase& c : kScreenCaps) EXPECT_EQ(GetDeviceCaps(dc, c.index), c.expected) << c.index;
    const int raster = GetDeviceCaps(dc, RASTERCAPS);
    for (int cap : {RC_BITBLT, RC_STRETCHBLT, RC_DI_BITMAP, RC_DIBTODEV, RC_STRETCHDIB, RC_BITMAP64})
        EXPECT_EQ(raster & cap, cap) << cap;
    // A 1-bit bitmap selected changes nothing: the DC stays the screen's kind.
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    SelectObject(dc, bitmap);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    HDC second = CreateCompatibleDC(dc);
    EXPECT_EQ(GetDeviceCaps(second, HORZRES), 1920);
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(bitmap));  // no longer selected
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(MemoryDC, PrinterDcAndMemoryDcStartTheSame) {
    InstallFakePrinter();
    HDC printer = CreateDCW(nullptr, kFakePrinter, nullptr, nullptr);
    ASSERT_NE(printer, nullptr) << GetLastError();
    HDC memory = CreateCompatibleDC(printer);
    ASSERT_NE(memory, nullptr);
    for (UINT type : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_PAL})
        EXPECT_EQ(GetCurrentObject(printer, type), GetCurrentObject(memory, type)) << type;
    EXPECT_EQ(GetCurrentObject(memory, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(memory, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    for (HDC dc : {printer, memory}) {
        EXPECT_EQ(GetMapMode(dc), MM_TEXT);
        EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
        EXPECT_EQ(GetBkMode(dc), OPAQUE);
        EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
        EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
        EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
    }
    // Bitmaps go into memory DCs only.
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SelectObject(printer, bitmap), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DeleteObject(bitmap);
    // A bitmap compatible with the printer has 32 bits per pixel.
    HBITMAP compatible = CreateCompatibleBitmap(printer, 3, 3);
    BITMAP record{};
    ASSERT_EQ(GetObjectW(compatible, sizeof(record), &record), int(sizeof(record)));
    EXPECT_EQ(record.bmBitsPixel, 32);
    DeleteObject(compatible);
    // The memory DC answers the printer's capabilities, even once the printer DC is gone.
    const int resolution = GetDeviceCaps(printer, LOGPIXELSX);
    const int width = GetDeviceCaps(printer, HORZRES);
    EXPECT_TRUE(DeleteDC(printer));
    EXPECT_EQ(GetDeviceCaps(memory, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), resolution);
    EXPECT_EQ(GetDeviceCaps(memory, HORZRES), width);
    // A memory DC prints no documents and takes no escapes.
    DOCINFOW doc{sizeof(DOCINFOW), u"x", nullptr, nullptr, 0};
    SetLastError(0xdeadbeef);
    EXPECT_EQ(StartDocW(memory, &doc), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ExtEscape(memory, PASSTHROUGH, 0, nullptr, 0, nullptr), 0);
    EXPECT_EQ(ResetDCW(memory, nullptr), nullptr);
    EXPECT_TRUE(DeleteDC(memory));
}

}  // namespace
