// The drawing dispatch on a printer device of the test driver: which
// callback each drawing call reaches with which objects, and what the
// engine draws itself when the driver did not hook a call or refused it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "win32/win32k/engine_fixture.h"
#include "win32k/ddiobj.h"
#include "win32k/drawing.h"

namespace {

using tam::test::EngineTest;

class DrawingDispatch : public tam::test::DeviceDrawingTest {
protected:
    static w32::DevicePath Square(LONG left, LONG top, LONG size) {
        w32::DevicePath path;
        path.MoveTo(w32::PointFix(left, top));
        path.LineTo(w32::PointFix(left + size, top));
        path.LineTo(w32::PointFix(left + size, top + size));
        path.LineTo(w32::PointFix(left, top + size));
        path.CloseFigure();
        return path;
    }

    static w32::EngineBrush Solid(COLORREF color) {
        w32::EngineBrush brush;
        brush.color = color;
        return brush;
    }
};

// Hooked: DrvFillPath with the path in 28.4 (one closed figure), a trivial
// clip, the red brush as the device's PAL_RGB pixel and the ROP2 in both
// bytes of the mix.
TEST_F(DrawingDispatch, HookedFillGoesToDrvFillPathWithItsObjects) {
    w32::DrawContext dc = Device();
    dc.polyFillMode = WINDING;
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(10, 20, 4), Solid(RGB(255, 0, 0))));
    EXPECT_EQ(DrawingCalls(), std::vector<std::string>{"DrvFillPath"});
    EXPECT_EQ(DriverLine("DrvFillPath"),
              "DrvFillPath clip=0 bounds=10,20,15,25 path={15:160,320 224,320 224,384 160,384} solid=000000ff "
              "mix=0d0d options=2");
    ASSERT_EQ(EngineCalls(), std::vector<std::string>{"DrvFillPath"});
    EXPECT_EQ(w32::DdiCallLog()[0].argument, 0x0D0Du);
}

// Unhooked or refused, the engine fills on a bitmap of the shape's bounds
// between two DrvCopyBits: the bitmap comes from the device, and goes back
// with the square's 16 pixels inked. The bitmap holds blue in the low byte
// and the device (PAL_RGB) red: the translation is neither trivial nor a table.
TEST_F(DrawingDispatch, UnhookedOrRefusedFillIsDrawnOnATemporaryBitmap) {
    for (const char16_t* wishes : {u"hooks=0x401", u"refuse-DrvFillPath"}) {
        w32::DrawContext dc = Device(wishes);
        ASSERT_TRUE(w32::DrawFillPath(dc, Square(10, 20, 4), Solid(RGB(0, 0, 0)))) << GetLastError();
        std::vector<std::string> expected{"DrvCopyBits", "DrvCopyBits"};
        if (std::u16string(wishes) == u"refuse-DrvFillPath") expected.insert(expected.begin(), "DrvFillPath");
        EXPECT_EQ(DrawingCalls(), expected);
        EXPECT_NE(DriverLine("DrvCopyBits", "to=bitmap from=device"), "");
        EXPECT_NE(DriverLine("DrvCopyBits", "to=device from=bitmap clip=0 bounds=10,20,15,25 dest=10,20,15,25 src=0,0 "
                                            "xlate=0 inked=16"),
                  "")
            << DriverLine("DrvCopyBits", "to=device");
        w32::DisablePrinterDevice(*device_);
        device_.reset();
    }
}

// A geometric stroke the driver refuses comes back as DrvFillPath of the
// widened outline in WINDING mode; a cosmetic one goes to the engine.
TEST_F(DrawingDispatch, RefusedGeometricStrokeIsFilledWidened) {
    w32::DrawContext dc = Device(u"refuse-DrvStrokePath");
    w32::EnginePen pen;
    pen.geometric = true;
    pen.width = 6;
    w32::DevicePath line;
    line.MoveTo(w32::PointFix(100, 100));
    line.LineTo(w32::PointFix(200, 100));
    ASSERT_TRUE(w32::DrawStrokePath(dc, line, pen));
    EXPECT_EQ(DrawingCalls(), (std::vector<std::string>{"DrvStrokePath", "DrvFillPath"}));
    EXPECT_NE(DriverLine("DrvStrokePath", "la=1 width=6 cstyle=0 xform=0"), "");
    EXPECT_NE(DriverLine("DrvFillPath", "options=2"), "");

    w32::DebugLogClear();
    pen.geometric = false;
    ASSERT_TRUE(w32::DrawStrokePath(dc, line, pen));
    EXPECT_EQ(DrawingCalls(), (std::vector<std::string>{"DrvStrokePath", "DrvCopyBits", "DrvCopyBits"}));
    EXPECT_NE(DriverLine("DrvStrokePath", "la=0 width=1"), "");
    // A one-pixel line from x 100 up to, not including, 200.
    EXPECT_NE(DriverLine("DrvCopyBits", "inked=100"), "") << DriverLine("DrvCopyBits", "to=device");
}

TEST_F(DrawingDispatch, NullBrushAndNullPenDrawNothing) {
    w32::DrawContext dc = Device();
    w32::EngineBrush hollow;
    hollow.style = BS_NULL;
    w32::EnginePen none;
    none.style = PS_NULL;
    EXPECT_TRUE(w32::DrawFillPath(dc, Square(0, 0, 8), hollow));
    EXPECT_TRUE(w32::DrawStrokePath(dc, Square(0, 0, 8), none));
    EXPECT_TRUE(w32::DrawStrokeAndFillPath(dc, Square(0, 0, 8), none, hollow));
    EXPECT_TRUE(DrawingCalls().empty());
}

// A clip of two rectangles is complex; one that leaves one rectangle of the
// drawing is DC_RECT with that rectangle; one that misses it draws nothing.
TEST_F(DrawingDispatch, ClipComplexityAgainstTheDrawing) {
    w32::DrawContext dc = Device();
    const RECTL two[] = {{0, 0, 12, 30}, {14, 0, 40, 30}};
    dc.clip = w32::Region::FromRects(two);
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(10, 20, 4), Solid(0)));
    EXPECT_NE(DriverLine("DrvFillPath", "clip=3 bounds=10,20,15,25 rects=[10,20,12,25][14,20,15,25] "), "")
        << DriverLine("DrvFillPath");
    w32::DebugLogClear();
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(2, 2, 4), Solid(0)));
    EXPECT_NE(DriverLine("DrvFillPath", "clip=0 "), "");
    w32::DebugLogClear();
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(11, 2, 4), Solid(0)));
    EXPECT_NE(DriverLine("DrvFillPath", "clip=3 "), "");
    w32::DebugLogClear();
    dc.clip = w32::Region(RECTL{0, 0, 12, 30});
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(10, 20, 4), Solid(0)));
    EXPECT_NE(DriverLine("DrvFillPath", "clip=1 bounds=10,20,12,25 "), "");
    w32::DebugLogClear();
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(100, 20, 4), Solid(0)));
    EXPECT_TRUE(DrawingCalls().empty());
}

struct RealizeCase {
    const char* name;
    UINT style;
    ULONG hatch;
    const char* expected;  // the DrvRealizeBrush line
};
// Background white (PAL_RGB 00ffffff); blue lines 00ff0000 in PAL_RGB. The
// pattern brush is a 2x2 monochrome bitmap without colours of its own:
// text colour black for 0, background white for 1.
const RealizeCase kRealize[] = {
    {"hatch", BS_HATCHED, HS_CROSS, "DrvRealizeBrush hatch=4 pattern=8x8 mask=none xlate=00ffffff,00ff0000"},
    {"solid", BS_SOLID, 0, "DrvRealizeBrush hatch=6 pattern=8x8 mask=none xlate=00ffffff,00ff0000"},
    {"pattern", BS_PATTERN, 0, "DrvRealizeBrush hatch=12 pattern=2x2 mask=none xlate=00000000,00ffffff"},
};

class BrushRealization : public DrawingDispatch, public testing::WithParamInterface<RealizeCase> {};

// Realised only when the driver asks, once for two drawings with the brush.
TEST_P(BrushRealization, OncePerBrushAndOnlyWhenAsked) {
    const RealizeCase& c = GetParam();
    w32::EngineBrush brush = Solid(RGB(0, 0, 255));
    brush.style = c.style;
    brush.hatch = c.hatch;
    if (c.style == BS_PATTERN) {
        HBITMAP bitmap = EngCreateBitmap(SIZEL{2, 2}, 0, BMF_1BPP, 0, nullptr);
        brush.pattern = w32::LookupSurface(reinterpret_cast<HSURF>(bitmap));
    }
    w32::DrawContext dc = Device();
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(0, 0, 8), brush));
    EXPECT_EQ(DriverLine("DrvRealizeBrush"), "");
    w32::DisablePrinterDevice(*device_);

    dc = Device(u"getrbrush");
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(0, 0, 8), brush));
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(0, 0, 8), brush));
    // The driver asks while in its first DrvFillPath, which it logs on return.
    EXPECT_EQ(DrawingCalls(), (std::vector<std::string>{"DrvRealizeBrush", "DrvFillPath", "DrvFillPath"}));
    EXPECT_EQ(DriverLine("DrvRealizeBrush"), c.expected);
    EXPECT_NE(DriverLine("DrvFillPath", "rbrush=yes"), "");
    ASSERT_EQ(brush.realizations.size(), 1u);
    EXPECT_EQ(brush.realizations.begin()->second, std::vector<BYTE>(16, 0x5A));
}
INSTANTIATE_TEST_SUITE_P(All, BrushRealization, testing::ValuesIn(kRealize),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawingDispatch, HookedBlitsReachTheirCallbacks) {
    w32::DrawContext dc = Device();
    dc.stretchMode = HALFTONE;
    HBITMAP bitmap = EngCreateBitmap(SIZEL{4, 4}, 0, BMF_24BPP, 0, nullptr);
    w32::BlitSource source{{w32::LookupSurface(reinterpret_cast<HSURF>(bitmap)), nullptr}, {1, 2}};
    ASSERT_TRUE(w32::DrawBitBlt(dc, RECTL{10, 10, 13, 12}, &source, nullptr, {}, nullptr, 0xCCCC));
    ASSERT_TRUE(w32::DrawStretchBlt(dc, RECTL{0, 0, 8, 8}, source, RECTL{0, 0, 4, 4}, nullptr, 0xCCCC));
    EXPECT_EQ(DrawingCalls(), (std::vector<std::string>{"DrvBitBlt", "DrvStretchBlt"}));
    EXPECT_EQ(DriverLine("DrvBitBlt"),
              "DrvBitBlt clip=0 bounds=10,10,13,12 target=10,10,13,12 source=bitmap src=1,2 mask=none xlate=0 "
              "brush=none rop4=cccc");
    EXPECT_NE(DriverLine("DrvStretchBlt", "mode=4"), "");
}

// The calls that had no driver of their own yet: each with the surface
// hooking its callback (and copies), and with nothing but copies hooked.
struct OtherCallCase {
    const char* name;
    FLONG hook;
    // Draws on `dc` with a 4x4 24-bit engine bitmap as the source where one is read.
    bool (*draw)(const w32::DrawContext& dc, const w32::BlitSource& source);
    const char* callback;
    const char* line;  // what the hooked callback logs
    unsigned long inked;  // pixels the engine inks on its temporary bitmap
};

bool PaintTwoRects(const w32::DrawContext& dc, const w32::BlitSource&) {
    const RECTL rects[] = {{10, 10, 14, 12}, {20, 10, 22, 12}};
    w32::EngineBrush brush;
    brush.color = RGB(0, 0, 0);
    return w32::DrawPaint(dc, w32::Region::FromRects(rects), brush, MIX_FROM_ROP2(R2_COPYPEN));
}
// The source is black but for its white top-left pixel, the transparent colour.
bool TransparentBlit(const w32::DrawContext& dc, const w32::BlitSource& source) {
    return w32::DrawTransparentBlt(dc, RECTL{30, 40, 34, 44}, source, RECTL{0, 0, 4, 4}, RGB(255, 255, 255));
}
bool OpaqueAlphaBlend(const w32::DrawContext& dc, const w32::BlitSource& source) {
    return w32::DrawAlphaBlend(dc, RECTL{30, 40, 34, 44}, source, RECTL{0, 0, 4, 4},
                               BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0});
}
// A black rectangle gradient, 6 by 3 pixels.
bool BlackGradient(const w32::DrawContext& dc, const w32::BlitSource&) {
    const TRIVERTEX corners[] = {{5, 7, 0, 0, 0, 0}, {11, 10, 0, 0, 0, 0}};
    const GRADIENT_RECT mesh{0, 1};
    return w32::DrawGradientFill(dc, corners, 2, &mesh, 1, GRADIENT_FILL_RECT_H);
}

const OtherCallCase kOtherCalls[] = {
    {"Paint", HOOK_PAINT, PaintTwoRects, "DrvPaint",
     "DrvPaint clip=3 bounds=10,10,22,12 rects=[10,10,14,12][20,10,22,12] solid=00000000 mix=0d0d", 12},
    {"TransparentBlt", HOOK_TRANSPARENTBLT, TransparentBlit, "DrvTransparentBlt",
     "DrvTransparentBlt clip=0 bounds=30,40,34,44 dest=30,40,34,44 src=0,0,4,4 transparent=00ffffff", 15},
    {"AlphaBlend", HOOK_ALPHABLEND, OpaqueAlphaBlend, "DrvAlphaBlend",
     "DrvAlphaBlend clip=0 bounds=30,40,34,44 dest=30,40,34,44 src=0,0,4,4 source=bitmap xlate=given "
     "blend=0,0,255,0",
     15},
    {"GradientFill", HOOK_GRADIENTFILL, BlackGradient, "DrvGradientFill",
     "DrvGradientFill clip=0 bounds=5,7,11,10 vertices=2 mesh=1 extents=5,7,11,10 mode=0", 18},
};

class OtherCalls : public DrawingDispatch, public testing::WithParamInterface<OtherCallCase> {
protected:
    w32::BlitSource Source() {
        HBITMAP bitmap = EngCreateBitmap(SIZEL{4, 4}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr);
        auto surface = w32::LookupSurface(reinterpret_cast<HSURF>(bitmap));
        // Blue in the low byte, as the engine's 24-bit bitmaps are.
        surface->palette = std::make_shared<w32::EnginePalette>();
        surface->palette->mode = PAL_BGR;
        std::memset(surface->so.pvScan0, 0, size_t(surface->so.cjBits));
        std::memset(surface->so.pvScan0, 0xFF, 3);
        return w32::BlitSource{{surface, nullptr}, {0, 0}};
    }
    static std::u16string Hooks(FLONG hooks) {
        std::string text = "hooks=" + std::to_string(hooks);
        return std::u16string(text.begin(), text.end());
    }
};

TEST_P(OtherCalls, HookedGoesToTheCallbackElseTheEngineDrawsBetweenCopies) {
    const OtherCallCase& c = GetParam();
    w32::DrawContext dc = Device(Hooks(c.hook | HOOK_COPYBITS));
    w32::BlitSource source = Source();
    ASSERT_TRUE(c.draw(dc, source)) << GetLastError();
    EXPECT_EQ(DrawingCalls(), std::vector<std::string>{c.callback});
    EXPECT_EQ(DriverLine(c.callback), c.line);
    w32::DisablePrinterDevice(*device_);

    dc = Device(Hooks(HOOK_COPYBITS));
    ASSERT_TRUE(c.draw(dc, source)) << GetLastError();
    EXPECT_EQ(DrawingCalls(), (std::vector<std::string>{"DrvCopyBits", "DrvCopyBits"}));
    EXPECT_NE(DriverLine("DrvCopyBits", "to=device from=bitmap"), "");
    EXPECT_NE(DriverLine("DrvCopyBits", "inked=" + std::to_string(c.inked)), "")
        << DriverLine("DrvCopyBits", "to=device");
    w32::DisablePrinterDevice(*device_);

    // Hooked but refused: the engine draws it all the same.
    dc = Device(Hooks(c.hook | HOOK_COPYBITS) + u" refuse-" + std::u16string(c.callback, c.callback + strlen(c.callback)));
    ASSERT_TRUE(c.draw(dc, source)) << GetLastError();
    EXPECT_EQ(DrawingCalls(), (std::vector<std::string>{c.callback, "DrvCopyBits", "DrvCopyBits"}));
    EXPECT_NE(DriverLine("DrvCopyBits", "inked=" + std::to_string(c.inked)), "");
}
INSTANTIATE_TEST_SUITE_P(All, OtherCalls, testing::ValuesIn(kOtherCalls),
                         [](const auto& info) { return std::string(info.param.name); });

// A driver hands a call on its own surface back to the engine (EngBitBlt,
// EngStretchBlt, EngTransparentBlt, EngGradientFill), as Windows lets it:
// the engine draws it on a bitmap of the call's area between the driver's
// two DrvCopyBits, the source's colours translated for that bitmap and back
// into the device's (red is 0x0000ff on the test driver's PAL_RGB device).
struct PuntCase {
    const char* name;
    const char* callback;
    bool (*draw)(const w32::DrawContext& dc, const w32::BlitSource& source);
    unsigned long inked;
    const char* first;  // the first inked pixel, as the device's pixel
};

bool CopyRed(const w32::DrawContext& dc, const w32::BlitSource& source) {
    return w32::DrawBitBlt(dc, RECTL{10, 10, 14, 14}, &source, nullptr, {}, nullptr, 0xCCCC);
}
// The mask's top two rows are set: the source there, the destination below.
bool MaskRed(const w32::DrawContext& dc, const w32::BlitSource& source) {
    HBITMAP handle = EngCreateBitmap(SIZEL{4, 4}, 0, BMF_1BPP, BMF_TOPDOWN, nullptr);
    auto mask = w32::LookupSurface(reinterpret_cast<HSURF>(handle));
    for (LONG y = 0; y < 2; ++y) static_cast<BYTE*>(mask->so.pvScan0)[y * mask->so.lDelta] = 0xF0;
    const bool done = w32::DrawBitBlt(dc, RECTL{10, 10, 14, 14}, &source, mask.get(), {0, 0}, nullptr, 0xAACC);
    EngDeleteSurface(reinterpret_cast<HSURF>(handle));
    return done;
}
bool StretchRed(const w32::DrawContext& dc, const w32::BlitSource& source) {
    return w32::DrawStretchBlt(dc, RECTL{20, 20, 28, 28}, source, RECTL{0, 0, 4, 4}, nullptr, 0xCCCC);
}
// The top-left pixel is white, the transparent colour.
bool TransparentRed(const w32::DrawContext& dc, const w32::BlitSource& source) {
    return w32::DrawTransparentBlt(dc, RECTL{30, 40, 34, 44}, source, RECTL{0, 0, 4, 4}, RGB(255, 255, 255));
}

const PuntCase kPunts[] = {
    {"BitBlt", "DrvBitBlt", CopyRed, 15, "0000ff"},
    {"MaskedBitBlt", "DrvBitBlt", MaskRed, 7, "0000ff"},
    {"StretchBlt", "DrvStretchBlt", StretchRed, 60, "0000ff"},
    {"TransparentBlt", "DrvTransparentBlt", TransparentRed, 15, "0000ff"},
    {"GradientFill", "DrvGradientFill", BlackGradient, 18, "000000"},
};

class PuntedCalls : public DrawingDispatch, public testing::WithParamInterface<PuntCase> {};

TEST_P(PuntedCalls, EngineDrawsThemBetweenTheDriversCopies) {
    const PuntCase& c = GetParam();
    const std::u16string callback(c.callback, c.callback + strlen(c.callback));
    w32::DrawContext dc = Device(u"punt-" + callback);
    dc.stretchMode = COLORONCOLOR;
    // Red but for the white top-left pixel, blue in the low byte.
    HBITMAP bitmap = EngCreateBitmap(SIZEL{4, 4}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr);
    auto surface = w32::LookupSurface(reinterpret_cast<HSURF>(bitmap));
    surface->palette = std::make_shared<w32::EnginePalette>();
    surface->palette->mode = PAL_BGR;
    w32::BlitSource source{{surface, nullptr}, {0, 0}};
    BYTE* bits = static_cast<BYTE*>(source.surface.surface->so.pvScan0);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x) {
            BYTE* pixel = bits + y * source.surface.surface->so.lDelta + 3 * x;
            const bool white = x == 0 && y == 0;
            pixel[0] = pixel[1] = white ? 0xFF : 0x00;
            pixel[2] = 0xFF;
        }
    ASSERT_TRUE(c.draw(dc, source)) << GetLastError();
    EXPECT_EQ(DrawingCalls(), (std::vector<std::string>{c.callback, "DrvCopyBits", "DrvCopyBits"}));
    EXPECT_NE(DriverLine("DrvCopyBits", "to=bitmap from=device"), "");
    const std::string back = DriverLine("DrvCopyBits", "to=device from=bitmap");
    EXPECT_NE(back.find(" inked=" + std::to_string(c.inked) + " first=" + c.first), std::string::npos) << back;
}
INSTANTIATE_TEST_SUITE_P(All, PuntedCalls, testing::ValuesIn(kPunts),
                         [](const auto& info) { return std::string(info.param.name); });

// A call on the device that reads the device itself cannot be drawn by the
// engine, which has none of its pixels.
TEST_F(DrawingDispatch, PuntedBlitFromTheDeviceFails) {
    w32::DrawContext dc = Device();
    SURFOBJ* device = &dc.target.surface->so;
    RECTL to{0, 0, 4, 4};
    POINTL from{8, 8};
    SetLastError(0);
    EXPECT_FALSE(EngBitBlt(device, device, nullptr, nullptr, nullptr, &to, &from, nullptr, nullptr, nullptr, 0xCCCC));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    EXPECT_TRUE(DrawingCalls().empty());
}

// Painting hooked by blits only goes to DrvBitBlt with the ROP3 of the mix.
TEST_F(DrawingDispatch, PaintWithBlitsHookedOnlyIsABitBlt) {
    w32::DrawContext dc = Device(u"hooks=0x401");
    w32::EngineBrush brush = Solid(RGB(0, 0, 0));
    ASSERT_TRUE(w32::DrawPaint(dc, w32::Region(RECTL{10, 10, 14, 12}), brush, MIX_FROM_ROP2(R2_NOT)));
    EXPECT_EQ(DrawingCalls(), std::vector<std::string>{"DrvBitBlt"});
    // DSTINVERT is 0x55 in both bytes of the ROP4.
    EXPECT_NE(DriverLine("DrvBitBlt", "target=10,10,14,12 source=none"), "");
    EXPECT_NE(DriverLine("DrvBitBlt", "rop4=5555"), "") << DriverLine("DrvBitBlt");
}

// A driver that asks for its clip as a path and never frees it does not
// leave the path behind its device.
TEST_F(DrawingDispatch, ClipPathTheDriverKeepsGoesWithTheDevice) {
    w32::DrawContext dc = Device(u"clippath");
    const RECTL two[] = {{0, 0, 12, 30}, {14, 0, 40, 30}};
    dc.clip = w32::Region::FromRects(two);
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(10, 20, 4), Solid(0)));
    const std::string line = DriverLine("DrvFillPath", "clippath=");
    void* kept = nullptr;
    ASSERT_EQ(std::sscanf(line.c_str() + line.find("clippath=") + 9, "%p", &kept), 1) << line;
    const PATHOBJ* path = static_cast<PATHOBJ*>(kept);
    ASSERT_NE(w32::KnownPath(path), nullptr);
    // The clip's two visible rectangles, each a closed figure.
    EXPECT_EQ(w32::KnownPath(path)->path.points.size(), 8u);
    w32::DisablePrinterDevice(*device_);
    device_.reset();
    EXPECT_EQ(w32::KnownPath(path), nullptr);
}

TEST_F(DrawingDispatch, CallLogIsEmptyUnlessEnabled) {
    w32::DrawContext dc = Device();
    w32::EnableDdiCallLog(false);
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(0, 0, 8), Solid(0)));
    EXPECT_TRUE(w32::DdiCallLog().empty());
    w32::EnableDdiCallLog(true);
    ASSERT_TRUE(w32::DrawFillPath(dc, Square(0, 0, 8), Solid(0)));
    EXPECT_EQ(EngineCalls(), std::vector<std::string>{"DrvFillPath"});
}

}  // namespace
