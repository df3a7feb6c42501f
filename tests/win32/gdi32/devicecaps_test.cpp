// GetDeviceCaps of a printer DC, from the GDIINFO and DEVINFO its driver
// answered: a 24-bit 600 dpi A4 device (201 x 288 mm, 4768 x 6816 printable
// pixels on a 4960 x 7016 page, offset 96, 100, two device fonts), and the
// same device at 8 bits per pixel with a palette.
#include "win32/win32k/engine_fixture.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;

namespace {

struct CapsCase {
    const char16_t* wishes;
    int index;
    int expected;
};

const CapsCase kCaps[] = {
    {u"", DRIVERVERSION, 0x4000},
    {u"", TECHNOLOGY, DT_RASPRINTER},
    {u"", HORZSIZE, 201},
    {u"", VERTSIZE, 288},
    {u"", HORZRES, 4768},
    {u"", VERTRES, 6816},
    {u"", BITSPIXEL, 24},
    {u"", PLANES, 1},
    // More than 8 bits per pixel: no colour table.
    {u"", NUMBRUSHES, -1},
    {u"", NUMPENS, -1},
    {u"", NUMCOLORS, -1},
    {u"", NUMMARKERS, 0},
    {u"", NUMFONTS, 2},
    {u"", PDEVICESIZE, 0},
    // What the engine draws for any device.
    {u"", CURVECAPS, 0x1FF},
    {u"", LINECAPS, 0xFE},
    {u"", POLYGONALCAPS, 0xFF},
    {u"", CLIPCAPS, CP_RECTANGLE},
    {u"", RASTERCAPS, 0x7E99},
    {u"", TEXTCAPS, 0x19F7},
    {u"", ASPECTX, 600},
    {u"", ASPECTY, 600},
    {u"", ASPECTXY, 848},
    {u"", SHADEBLENDCAPS, SB_GRAD_RECT | SB_GRAD_TRI},
    {u"", LOGPIXELSX, 600},
    {u"", LOGPIXELSY, 600},
    {u"", SIZEPALETTE, 0},
    {u"", NUMRESERVED, 0},
    {u"", COLORRES, 0},
    {u"", PHYSICALWIDTH, 4960},
    {u"", PHYSICALHEIGHT, 7016},
    {u"", PHYSICALOFFSETX, 96},
    {u"", PHYSICALOFFSETY, 100},
    {u"", SCALINGFACTORX, 0},
    {u"", SCALINGFACTORY, 0},
    {u"", DESKTOPHORZRES, 4768},
    {u"", DESKTOPVERTRES, 6816},
    {u"", VREFRESH, 0},
    {u"", COLORMGMTCAPS, CM_NONE},
    {u"", 1000, 0},  // no such index
    {u"bpp=8", BITSPIXEL, 8},
    {u"bpp=8", NUMCOLORS, 256},
    {u"bpp=8", NUMPENS, 256 * 5},
    {u"bpp=8", NUMBRUSHES, -1},
    {u"bpp=8", SIZEPALETTE, 256},
    {u"bpp=8", NUMRESERVED, 20},
    {u"bpp=8", COLORRES, 18},
    {u"bpp=8", RASTERCAPS, 0x7E99 | RC_PALETTE},
};

void PrintTo(const CapsCase& c, std::ostream* os) { *os << w32::ToUtf8(c.wishes) << " index " << c.index; }

class DeviceCaps : public EngineTest, public testing::WithParamInterface<CapsCase> {};

TEST_P(DeviceCaps, ComeFromTheDriversAnswers) {
    const CapsCase& c = GetParam();
    InstallFakePrinter();
    SetDriverWishes(c.wishes);
    HDC dc = CreateDCW(nullptr, kFakePrinter, nullptr, nullptr);
    ASSERT_NE(dc, nullptr) << GetLastError();
    EXPECT_EQ(GetDeviceCaps(dc, c.index), c.expected);
    EXPECT_TRUE(DeleteDC(dc));
}

INSTANTIATE_TEST_SUITE_P(All, DeviceCaps, testing::ValuesIn(kCaps), [](const auto& info) {
    return (info.param.wishes[0] ? "Palette" : "TrueColor") + std::to_string(info.param.index);
});

class DeviceCapsOf : public EngineTest {};

TEST_F(DeviceCapsOf, TheSettingsResolutionAndOfNoDCAtAll) {
    InstallFakePrinter();
    std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 1, 300);
    auto* dm = reinterpret_cast<DEVMODEW*>(settings.data());
    dm->dmFields |= DM_YRESOLUTION;
    dm->dmYResolution = 150;
    HDC dc = CreateDCW(nullptr, kFakePrinter, nullptr, dm);
    ASSERT_NE(dc, nullptr) << GetLastError();
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 150);
    EXPECT_TRUE(DeleteDC(dc));

    for (HDC bad : {dc, static_cast<HDC>(nullptr)}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetDeviceCaps(bad, HORZRES), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
}

}  // namespace
