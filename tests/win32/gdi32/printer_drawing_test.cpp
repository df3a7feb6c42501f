// Drawing on a printer DC through GDI's calls, between StartPage and
// EndPage: each call reaches the test driver's callback (see
// win32/win32k/modules/fakerend.cpp) with the objects GDI and the engine
// made of the DC's state, or is drawn by the engine between two
// DrvCopyBits when the driver did not hook it. The DC maps one logical
// unit to one device pixel, so a point (x, y) reaches the driver as
// (16x, 16y) in 28.4.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "win32/win32k/engine_fixture.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;
using Calls = std::vector<std::string>;

namespace {

// One fragment of a path as the driver logged it: PD_* flags and points in 28.4.
struct Fragment {
    ULONG flags = 0;
    std::vector<POINTFIX> points;
};

std::vector<Fragment> PathFragments(const std::string& line) {
    std::vector<Fragment> fragments;
    size_t at = line.find("path=");
    if (at == std::string::npos) return fragments;
    for (at += 5; at < line.size() && line[at] == '{'; ++at) {
        const size_t end = line.find('}', at);
        Fragment fragment;
        const size_t colon = line.find(':', at);
        fragment.flags = std::stoul(line.substr(at + 1, colon - at - 1));
        std::istringstream points(line.substr(colon + 1, end - colon - 1));
        for (std::string point; points >> point;) {
            POINTFIX p;
            std::sscanf(point.c_str(), "%d,%d", &p.x, &p.y);
            fragment.points.push_back(p);
        }
        fragments.push_back(fragment);
        at = end;
    }
    return fragments;
}

RECT Bounds(const std::vector<Fragment>& fragments) {
    RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const Fragment& fragment : fragments)
        for (const POINTFIX& p : fragment.points)
            r = RECT{std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x), std::max(r.bottom, p.y)};
    return r;
}

class PrinterDrawing : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        InstallFakePrinter();
    }
    void TearDown() override {
        if (dc_) {
            EndDoc(dc_);
            DeleteDC(dc_);
        }
        EngineTest::TearDown();
    }

    // A printer DC of the test driver with its wishes, a document open and
    // (unless `page` is false) a page; the log starts after that.
    HDC Open(const std::u16string& wishes = u"", bool page = true) {
        SetDriverWishes(wishes);
        dc_ = CreateDCW(nullptr, kFakePrinter, nullptr, nullptr);
        EXPECT_NE(dc_, nullptr) << GetLastError();
        DOCINFOW info{sizeof(DOCINFOW), u"Drawing", nullptr, nullptr, 0};
        EXPECT_GT(StartDocW(dc_, &info), 0) << GetLastError();
        if (page) {
            EXPECT_GT(StartPage(dc_), 0) << GetLastError();
        }
        w32::DebugLogClear();
        return dc_;
    }

    // The driver's drawing calls since the page opened.
    static Calls Drawing() {
        Calls calls;
        for (const std::string& call : DriverCalls())
            if (call != "DrvStartPage" && call != "DrvSendPage" && call != "DrvEndDoc") calls.push_back(call);
        return calls;
    }

    HDC dc_ = nullptr;
};

// A line of the default pen: one cosmetic solid stroke (no LA_* flags,
// width 1) of black in R2_COPYPEN, its two points one fragment that begins
// and ends the figure and starts its style.
TEST_F(PrinterDrawing, LineToIsACosmeticStrokeOfItsTwoPoints) {
    HDC dc = Open();
    ASSERT_TRUE(MoveToEx(dc, 100, 200, nullptr));
    ASSERT_TRUE(LineTo(dc, 300, 250)) << GetLastError();
    EXPECT_EQ(Drawing(), Calls{"DrvStrokePath"});
    const std::string line = DriverLine("DrvStrokePath");
    EXPECT_NE(line.find("path={7:1600,3200 4800,4000} solid=00000000 mix=0d0d la=0 width=1 cstyle=0"),
              std::string::npos)
        << line;
}

struct RectangleCase {
    const char* name;
    const char* wishes;
    Calls calls;
};
const RectangleCase kRectangle[] = {
    {"Together", "", {"DrvStrokeAndFillPath"}},
    {"TogetherRefused", "refuse-DrvStrokeAndFillPath", {"DrvStrokeAndFillPath", "DrvFillPath", "DrvStrokePath"}},
    {"TogetherNotHooked", "hooks=0x2846B", {"DrvFillPath", "DrvStrokePath"}},  // all but HOOK_STROKEANDFILLPATH
};

class PrinterRectangle : public PrinterDrawing, public testing::WithParamInterface<RectangleCase> {};

// The outline of Rectangle(10, 20, 50, 60) with a one-pixel pen covers
// columns 10 to 49 and rows 20 to 59: one closed figure of four corners,
// filled with the blue brush and stroked with the black pen, together or
// one after the other.
TEST_P(PrinterRectangle, IsFilledThenStroked) {
    HDC dc = Open(std::u16string(GetParam().wishes, GetParam().wishes + strlen(GetParam().wishes)));
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(dc, blue);
    ASSERT_TRUE(Rectangle(dc, 10, 20, 50, 60)) << GetLastError();
    EXPECT_EQ(Drawing(), GetParam().calls);
    for (const std::string& call : GetParam().calls) {
        const std::string line = DriverLine(call, "path=");
        const std::vector<Fragment> fragments = PathFragments(line);
        ASSERT_EQ(fragments.size(), 1u) << line;
        EXPECT_EQ(fragments[0].flags, ULONG(PD_BEGINSUBPATH | PD_ENDSUBPATH | PD_RESETSTYLE | PD_CLOSEFIGURE)) << line;
        EXPECT_EQ(fragments[0].points.size(), 4u) << line;
        const RECT bounds = Bounds(fragments);
        EXPECT_EQ(bounds.left, 160) << line;
        EXPECT_EQ(bounds.top, 320) << line;
        EXPECT_EQ(bounds.right, 49 * 16) << line;
        EXPECT_EQ(bounds.bottom, 59 * 16) << line;
    }
    EXPECT_NE(DriverLine(GetParam().calls.back() == "DrvStrokePath" ? "DrvFillPath" : "DrvStrokeAndFillPath",
                         "00ff0000"),
              "");
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(blue);
}
INSTANTIATE_TEST_SUITE_P(All, PrinterRectangle, testing::ValuesIn(kRectangle),
                         [](const auto& info) { return std::string(info.param.name); });

// An ellipse reaches a driver that takes curves (GCAPS_BEZIERS) as four
// Béziers of one closed figure: 13 points, within its bounding box.
TEST_F(PrinterDrawing, EllipseReachesTheDriverAsBeziers) {
    HDC dc = Open();
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Ellipse(dc, 100, 200, 300, 300)) << GetLastError();
    EXPECT_EQ(Drawing(), Calls{"DrvStrokePath"});
    const std::vector<Fragment> fragments = PathFragments(DriverLine("DrvStrokePath"));
    ASSERT_EQ(fragments.size(), 1u) << DriverLine("DrvStrokePath");
    EXPECT_EQ(fragments[0].flags, ULONG(PD_ALL));
    EXPECT_EQ(fragments[0].points.size(), 13u);
    const RECT bounds = Bounds(fragments);
    EXPECT_GE(bounds.left, 1600);
    EXPECT_GE(bounds.top, 3200);
    EXPECT_LE(bounds.right, 4800);
    EXPECT_LE(bounds.bottom, 4800);
    EXPECT_GT(bounds.right - bounds.left, 190 * 16);
}

// A geometric pen 10 wide with flat ends that the driver refuses comes back
// as a fill (WINDING) of the area it covers: the rectangle 5 either side of
// the line, from its first point to its last.
TEST_F(PrinterDrawing, RefusedGeometricPenIsFilledWidened) {
    HDC dc = Open(u"refuse-DrvStrokePath");
    LOGBRUSH lb{BS_SOLID, RGB(0, 0, 0), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 10, &lb, 0, nullptr);
    ASSERT_NE(pen, nullptr);
    SelectObject(dc, pen);
    ASSERT_TRUE(MoveToEx(dc, 100, 100, nullptr));
    ASSERT_TRUE(LineTo(dc, 200, 100)) << GetLastError();
    EXPECT_EQ(Drawing(), (Calls{"DrvStrokePath", "DrvFillPath"}));
    EXPECT_NE(DriverLine("DrvStrokePath", "la=1 width=10 "), "") << DriverLine("DrvStrokePath");
    const std::string fill = DriverLine("DrvFillPath");
    EXPECT_NE(fill.find("options=2"), std::string::npos) << fill;
    const RECT bounds = Bounds(PathFragments(fill));
    EXPECT_EQ(bounds.left, 100 * 16) << fill;
    EXPECT_EQ(bounds.right, 200 * 16) << fill;
    EXPECT_EQ(bounds.top, 95 * 16) << fill;
    EXPECT_EQ(bounds.bottom, 105 * 16) << fill;
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

// A hatch brush is realised when the driver asks, once for two drawings,
// with its HS_* and the colours of its pattern's 0 and 1: the background
// (yellow) and the hatch (green), as the device's PAL_RGB pixels.
TEST_F(PrinterDrawing, HatchBrushIsRealisedOnceWithItsStyleAndColours) {
    HDC dc = Open(u"getrbrush");
    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 128, 0));
    SelectObject(dc, hatch);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SetBkColor(dc, RGB(255, 255, 0));
    ASSERT_TRUE(Rectangle(dc, 0, 0, 40, 40));
    ASSERT_TRUE(Rectangle(dc, 50, 0, 90, 40));
    EXPECT_EQ(Drawing(), (Calls{"DrvRealizeBrush", "DrvFillPath", "DrvFillPath"}));
    EXPECT_EQ(DriverLine("DrvRealizeBrush"), "DrvRealizeBrush hatch=5 pattern=8x8 mask=none xlate=0000ffff,00008000");
    EXPECT_NE(DriverLine("DrvFillPath", "solid=ffffffff rbrush=yes"), "") << DriverLine("DrvFillPath");
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(hatch);
}

// A blit from a memory DC over an 8-bit DIB section: DrvBitBlt with SRCCOPY
// in both bytes of the ROP4, the bitmap source at its origin and a colour
// table translation (XO_TABLE).
TEST_F(PrinterDrawing, BitBltFromAMemoryDcReachesDrvBitBlt) {
    HDC dc = Open();
    HDC memory = CreateCompatibleDC(nullptr);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{{sizeof(BITMAPINFOHEADER), 8, 8, 1, 8, BI_RGB, 0, 0, 0, 2, 0}, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HGDIOBJ old = SelectObject(memory, section);
    ASSERT_TRUE(BitBlt(dc, 10, 20, 4, 3, memory, 1, 2, SRCCOPY)) << GetLastError();
    EXPECT_EQ(Drawing(), Calls{"DrvBitBlt"});
    EXPECT_EQ(DriverLine("DrvBitBlt"),
              "DrvBitBlt clip=0 bounds=10,20,14,23 target=10,20,14,23 source=bitmap src=1,2 mask=none xlate=2 "
              "brush=none rop4=cccc");
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
}

// StretchBlt in HALFTONE mode passes the mode and the DC's colour adjustment.
TEST_F(PrinterDrawing, StretchBltCarriesTheColourAdjustmentAndHalftone) {
    HDC dc = Open();
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    HGDIOBJ old = SelectObject(memory, bitmap);
    ASSERT_EQ(SetStretchBltMode(dc, HALFTONE), BLACKONWHITE);
    COLORADJUSTMENT ca{};
    ASSERT_TRUE(GetColorAdjustment(dc, &ca));
    ca.caFlags = CA_NEGATIVE;
    ca.caIlluminantIndex = ILLUMINANT_D65;
    ca.caBrightness = 20;
    ca.caContrast = -30;
    ASSERT_TRUE(SetColorAdjustment(dc, &ca));
    ASSERT_TRUE(StretchBlt(dc, 0, 0, 40, 40, memory, 0, 0, 4, 4, SRCCOPY)) << GetLastError();
    EXPECT_EQ(Drawing(), Calls{"DrvStretchBlt"});
    char expected[64];
    std::snprintf(expected, sizeof(expected), "mode=%d ca=%u,%u,%u,20,-30", HALFTONE, unsigned(sizeof(COLORADJUSTMENT)),
                  unsigned(CA_NEGATIVE), unsigned(ILLUMINANT_D65));
    EXPECT_NE(DriverLine("DrvStretchBlt", expected), "") << DriverLine("DrvStretchBlt");
    EXPECT_NE(DriverLine("DrvStretchBlt", "dest=0,0,40,40 src=0,0,4,4 source=bitmap"), "");
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// A clip region of two rectangles leaves a drawing across both DC_COMPLEX
// with the parts inside them; IntersectClipRect alone leaves DC_RECT.
TEST_F(PrinterDrawing, ClipRegionsAndRectanglesReachTheDriver) {
    HDC dc = Open();
    HRGN two = CreateRectRgn(0, 0, 50, 50);
    HRGN second = CreateRectRgn(100, 0, 150, 50);
    CombineRgn(two, two, second, RGN_OR);
    ASSERT_EQ(SelectClipRgn(dc, two), COMPLEXREGION);
    ASSERT_TRUE(PatBlt(dc, 0, 10, 200, 30, BLACKNESS));
    EXPECT_EQ(DriverLine("DrvBitBlt"),
              "DrvBitBlt clip=3 bounds=0,10,150,40 rects=[0,10,50,40][100,10,150,40] target=0,10,200,40 source=none "
              "src=-1,-1 mask=none xlate=0 brush=none rop4=0000");

    w32::DebugLogClear();
    ASSERT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
    ASSERT_EQ(IntersectClipRect(dc, 10, 15, 40, 30), SIMPLEREGION);
    ASSERT_TRUE(PatBlt(dc, 0, 10, 200, 30, BLACKNESS));
    EXPECT_NE(DriverLine("DrvBitBlt", "clip=1 bounds=10,15,40,30 target=0,10,200,40"), "") << DriverLine("DrvBitBlt");
    DeleteObject(two);
    DeleteObject(second);
}

// PatBlt paints with the brush through DrvBitBlt (PATCOPY); FillRgn through
// DrvPaint when the surface hooks it, the region as a complex clip.
TEST_F(PrinterDrawing, PatBltAndFillRgnTakeThePaintingPath) {
    HDC dc = Open(u"hooks=0x284FB");
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    ASSERT_TRUE(PatBlt(dc, 5, 6, 10, 10, PATCOPY));
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    HRGN other = CreateRectRgn(20, 0, 30, 10);
    CombineRgn(region, region, other, RGN_OR);
    ASSERT_TRUE(FillRgn(dc, region, red));
    EXPECT_EQ(Drawing(), (Calls{"DrvBitBlt", "DrvPaint"}));
    EXPECT_NE(DriverLine("DrvBitBlt", "target=5,6,15,16 source=none src=-1,-1 mask=none xlate=0 solid=000000ff rop4=f0f0"),
              "")
        << DriverLine("DrvBitBlt");
    EXPECT_EQ(DriverLine("DrvPaint"),
              "DrvPaint clip=3 bounds=0,0,30,10 rects=[0,0,10,10][20,0,30,10] solid=000000ff mix=0d0d");
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
    DeleteObject(region);
    DeleteObject(other);
}

// With only copies hooked, the engine draws a line itself on a bitmap the
// driver fills and takes back: 20 pixels, the last point left out.
TEST_F(PrinterDrawing, UnhookedCallIsDrawnByTheEngineBetweenTwoCopies) {
    HDC dc = Open(u"hooks=0x400");
    ASSERT_TRUE(MoveToEx(dc, 10, 10, nullptr));
    ASSERT_TRUE(LineTo(dc, 30, 10));
    EXPECT_EQ(Drawing(), (Calls{"DrvCopyBits", "DrvCopyBits"}));
    EXPECT_NE(DriverLine("DrvCopyBits", "to=bitmap from=device"), "");
    EXPECT_NE(DriverLine("DrvCopyBits", "to=device from=bitmap"), "");
    EXPECT_NE(DriverLine("DrvCopyBits", "inked=20"), "") << DriverLine("DrvCopyBits", "to=device");
}

// Before a page and after it, a printer DC cannot draw: the calls fail and
// the driver hears nothing.
TEST_F(PrinterDrawing, DrawingOutsideAPageFails) {
    HDC dc = Open(u"", false);
    auto draw = [&] {
        SetLastError(0);
        EXPECT_FALSE(LineTo(dc, 50, 50));
        EXPECT_NE(GetLastError(), DWORD(ERROR_SUCCESS));
        EXPECT_FALSE(PatBlt(dc, 0, 0, 10, 10, BLACKNESS));
        EXPECT_FALSE(Rectangle(dc, 0, 0, 10, 10));
    };
    draw();
    EXPECT_TRUE(Drawing().empty());
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_GT(EndPage(dc), 0);
    w32::DebugLogClear();
    draw();
    EXPECT_TRUE(Drawing().empty());
}

}  // namespace
