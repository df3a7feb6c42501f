// DrvEnablePDEV called as the engine calls it: the settings it keeps, the
// GDIINFO and DEVINFO it answers (and how much of them it copies), what it
// refuses, and that a refusal or a disabled PDEV leaves no memory behind.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <cstring>
#include <string>

#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/nt/devcaps.h"
#include "pdev_fixture.h"
#include "win32k/engobj.h"

namespace tam::test {
namespace {

using EnablePdev = PdevTest;
constexpr size_t P = 220;

// The GDIINFO the device answers for a 600-dpi page of `paper` pixels with
// margins of 96, written out member by member.
GDIINFO ExpectedGdiInfo(LONG width, LONG height, LONG dpi, ULONG horzSize, ULONG vertSize) {
    GDIINFO g{};
    g.ulVersion = 0x400;
    g.ulTechnology = 2;
    g.ulHorzSize = horzSize;
    g.ulVertSize = vertSize;
    g.ulHorzRes = ULONG(width - 192);
    g.ulVertRes = ULONG(height - 192);
    g.cBitsPixel = 24;
    g.cPlanes = 1;
    g.ulNumColors = 16;
    g.ulLogPixelsX = g.ulLogPixelsY = ULONG(dpi);
    g.flTextCaps = 0x19F7;
    g.ulAspectX = g.ulAspectY = 600;
    g.ulAspectXY = 848;
    g.xStyleStep = g.yStyleStep = 1;
    g.denStyleStep = 12;
    g.ptlPhysOffset = {96, 96};
    g.szlPhysSize = {width, height};
    g.ciDevice = {{6380, 3350, 0}, {2345, 6075, 0}, {1410, 932, 0},  {2000, 2450, 0},
                  {5210, 2100, 0}, {4750, 5100, 0}, {3127, 3290, 0}, 12500,
                  12500,           12500,           585,             120,
                  0,               0,               0,               10000};
    g.ulHTPatternSize = 7;
    g.ulHTOutputFormat = 6;
    g.flHTFlags = 2;
    g.flShadeBlend = 0x30;
    return g;
}

TEST_F(EnablePdev, DefaultSettingsGiveTheA4Page) {
    ByteImage settings = UiSettings();
    GDIINFO gdi;
    std::memset(&gdi, 0xAB, sizeof(gdi));
    PDEV* pdev = Enable(settings, &gdi);
    ASSERT_NE(pdev, nullptr);

    const GDIINFO expected = ExpectedGdiInfo(4960, 7008, 600, 201, 288);
    EXPECT_EQ(std::memcmp(&gdi, &expected, sizeof(GDIINFO)), 0);
    EXPECT_EQ(gdi.ulHorzRes, 4768u);
    EXPECT_EQ(gdi.ulVertRes, 6816u);

    EXPECT_EQ(pdev->Job.Signature, PDEV_SIGNATURE);
    EXPECT_EQ(pdev->Orientation, 1);
    EXPECT_EQ(pdev->Devmode.pub.dmPaperSize, 9);
    EXPECT_EQ(std::u16string(pdev->Devmode.pub.dmDeviceName), kKorvanLaser);
    const PageGeometry& g = pdev->Geometry;
    EXPECT_EQ((std::vector<int>{g.Width, g.Height, g.Left, g.Top, g.Right, g.Bottom}),
              (std::vector<int>{4960, 7008, 96, 96, 96, 96}));
    EXPECT_EQ(pdev->SpoolerPrinter, printer());
    ASSERT_NE(pdev->DataFile, nullptr);
    EXPECT_EQ(std::u16string(pdev->DataFile), InDriverFolder(kTamrendDataFile));
    EXPECT_EQ(pdev->DataFile, pdev->DriverInfo->pDataFile);
    EXPECT_EQ(pdev->DeviceFonts.Resident + pdev->DeviceFonts.Downloadable, 0u);
    EXPECT_EQ(pdev->Job.State.PrinterHandle, nullptr);
    EXPECT_EQ(pdev->Job.JobFlags, 0u);
    EXPECT_EQ(pdev->FontSubstitution.Count, 0u);
    EXPECT_EQ(pdev->FontSubstitution.Entries, nullptr);
}

// Every resolution-dependent member at 1200 dpi, which the settings ask
// for with a y-resolution of 1200.
TEST_F(EnablePdev, TwelveHundredDpiDoublesThePage) {
    ByteImage settings = UiSettings();
    settings.I16(dm::YResolution, 1200);
    GDIINFO gdi{};
    PDEV* pdev = Enable(settings, &gdi);
    ASSERT_NE(pdev, nullptr);
    EXPECT_EQ(pdev->Devmode.priv.ColorAdjust.ResolutionStep, 1);
    EXPECT_EQ(gdi.szlPhysSize.cx, 9920);
    EXPECT_EQ(gdi.szlPhysSize.cy, 14016);
    EXPECT_EQ(gdi.ptlPhysOffset.x, 192);
    EXPECT_EQ(gdi.ulHorzRes, 9536u);
    EXPECT_EQ(gdi.ulVertRes, 13632u);
    EXPECT_EQ(gdi.ulLogPixelsX, 1200u);
    EXPECT_EQ(gdi.ulHorzSize, 201u);
    EXPECT_EQ(gdi.ulAspectX, 1200u);
    EXPECT_EQ(gdi.ulAspectXY, 1696u);
    EXPECT_EQ(gdi.denStyleStep, 24);
    EXPECT_EQ(gdi.ulHTPatternSize, 11u);
}

struct HalftoneCase {
    ULONG x, y;
    BOOL eightBit;
    ULONG size;
};
const HalftoneCase kHalftone[] = {
    {2400, 2400, FALSE, 15}, {1800, 1800, FALSE, 13}, {1200, 1200, FALSE, 11}, {900, 900, FALSE, 9},
    {600, 600, FALSE, 7},    {400, 400, FALSE, 7},    {399, 399, FALSE, 5},    {180, 180, FALSE, 5},
    {179, 179, FALSE, 3},    {1200, 600, FALSE, 7},   {600, 600, TRUE, 5},
};

TEST(EnableHalftone, PatternSizeFollowsTheSmallerResolution) {
    for (const HalftoneCase& c : kHalftone)
        EXPECT_EQ(Enable_HalftonePatternSize(c.x, c.y, c.eightBit), c.size) << c.x << "x" << c.y;
}

TEST_F(EnablePdev, CopiesAtMostTheWholeRecords) {
    struct Copy {
        ULONG caps, devInfo;
        size_t gdiBytes, devBytes;
    };
    const Copy copies[] = {{100, 100, 100, 100}, {400, 400, sizeof(GDIINFO), sizeof(DEVINFO)}, {0, 0, 0, 0}};
    for (const Copy& c : copies) {
        BYTE caps[400], dev[400];
        std::memset(caps, 0xAB, sizeof(caps));
        std::memset(dev, 0xAB, sizeof(dev));
        HSURF patterns[HS_DDI_MAX];
        for (HSURF& pattern : patterns) pattern = reinterpret_cast<HSURF>(0x77);
        ByteImage settings = UiSettings();
        DHPDEV dhpdev = DrvEnablePDEV(reinterpret_cast<DEVMODEW*>(settings.data()), nullptr, 4, patterns, c.caps,
                                      reinterpret_cast<ULONG*>(caps), c.devInfo, reinterpret_cast<DEVINFO*>(dev),
                                      nullptr, const_cast<LPWSTR>(kKorvanLaser), printer());
        ASSERT_NE(dhpdev, nullptr);
        GDIINFO gdi;
        DEVINFO devInfo;
        Enable_BuildGdiInfo(AsPdev(dhpdev), &gdi);
        devInfo = DEVINFO{};
        std::memcpy(&devInfo, dev, c.devBytes);
        EXPECT_EQ(std::memcmp(caps, &gdi, c.gdiBytes), 0) << c.caps;
        for (size_t i = c.gdiBytes; i < sizeof(caps); ++i) ASSERT_EQ(caps[i], 0xAB) << c.caps << " at " << i;
        for (size_t i = c.devBytes; i < sizeof(dev); ++i) ASSERT_EQ(dev[i], 0xAB) << c.devInfo << " at " << i;
        if (c.devBytes == sizeof(DEVINFO)) {
            EXPECT_EQ(devInfo.hpalDefault, AsPdev(dhpdev)->Palette);
        }
        // cPat entries, and no more, are cleared.
        for (int i = 0; i < 4; ++i) EXPECT_EQ(patterns[i], nullptr);
        EXPECT_EQ(patterns[4], reinterpret_cast<HSURF>(0x77));
        DrvDisablePDEV(dhpdev);
    }
}

struct DevInfoCase {
    const char* name;
    int watermarkType;  // 0 none, 1 text, 2 bitmap
    int fontFace;
    int fontSize;
    FLONG caps;
    const char16_t* face;
    LONG height;
};
const DevInfoCase kDevInfo[] = {
    {"no watermark", 0, 0, 95, 0x211F, u"Arial", -79},
    {"text watermark", 1, 0, 95, 0x11F, u"Arial", -79},
    {"bitmap watermark", 2, 0, 95, 0x11F, u"Arial", -79},
    {"courier 24 points", 0, 1, 240, 0x211F, u"Courier", -200},
    {"smallest size", 0, 1, 50, 0x211F, u"Courier", -42},
};

TEST_F(EnablePdev, DevInfoByWatermarkAndDefaultFont) {
    for (const DevInfoCase& c : kDevInfo) {
        ByteImage settings = UiSettings();
        const size_t w = P + ui::Watermark;
        settings.I16(w + ui::wm::Type, c.watermarkType);
        if (c.watermarkType == 1) settings.Wide(w + ui::wm::Text, u"Draft");
        if (c.watermarkType == 2) settings.Wide(w + ui::wm::Path, u"C:\\mark.bmp");
        settings.I16(P + ui::SoftFontFace, c.fontFace).I16(P + ui::SoftFontSize, c.fontSize);
        DEVINFO dev;
        std::memset(&dev, 0xAB, sizeof(dev));
        PDEV* pdev = Enable(settings, nullptr, &dev);
        ASSERT_NE(pdev, nullptr) << c.name;
        EXPECT_EQ(dev.flGraphicsCaps, c.caps) << c.name;
        for (const LOGFONTW* font : {&dev.lfDefaultFont, &dev.lfAnsiVarFont, &dev.lfAnsiFixFont}) {
            EXPECT_EQ(std::u16string(font->lfFaceName), c.face) << c.name;
            EXPECT_EQ(font->lfHeight, c.height) << c.name;
            EXPECT_EQ(font->lfWidth, 0);
            EXPECT_EQ(font->lfEscapement, 0);
            EXPECT_EQ(font->lfOrientation, 0);
            EXPECT_EQ(font->lfWeight, 400);
            EXPECT_EQ(font->lfItalic | font->lfUnderline | font->lfStrikeOut | font->lfCharSet, 0);
            EXPECT_EQ(font->lfPitchAndFamily, 0x31);
        }
        EXPECT_EQ(dev.cFonts, 0u);
        EXPECT_EQ(dev.iDitherFormat, ULONG(BMF_24BPP));
        EXPECT_EQ(dev.cxDither | dev.cyDither, 0);
        EXPECT_EQ(dev.flGraphicsCaps2, 0u);
        EXPECT_NE(dev.hpalDefault, nullptr);
        EXPECT_EQ(dev.hpalDefault, pdev->Palette);
        auto palette = w32::LookupPalette(dev.hpalDefault);
        ASSERT_NE(palette, nullptr);
        EXPECT_EQ(palette->mode, ULONG(PAL_RGB));
        Disable(pdev);
        EXPECT_EQ(w32::LookupPalette(dev.hpalDefault), nullptr) << "the palette goes with the PDEV";
    }
}

// A font choice outside the two faces leaves the three fonts empty; a
// palette the PDEV holds is replaced.
TEST_F(EnablePdev, DevInfoWithoutDefaultFontReplacesThePalette) {
    ByteImage settings = UiSettings();
    PDEV* pdev = Enable(settings);
    ASSERT_NE(pdev, nullptr);
    const HPALETTE first = pdev->Palette;
    pdev->Devmode.priv.DefaultFontFace = 2;
    DEVINFO dev;
    std::memset(&dev, 0xAB, sizeof(dev));
    ASSERT_TRUE(Enable_BuildDevInfo(pdev, &dev));
    const LOGFONTW empty{};
    EXPECT_EQ(std::memcmp(&dev.lfDefaultFont, &empty, sizeof(empty)), 0);
    EXPECT_EQ(std::memcmp(&dev.lfAnsiVarFont, &empty, sizeof(empty)), 0);
    EXPECT_EQ(std::memcmp(&dev.lfAnsiFixFont, &empty, sizeof(empty)), 0);
    EXPECT_NE(pdev->Palette, first);
    EXPECT_EQ(dev.hpalDefault, pdev->Palette);
    EXPECT_EQ(w32::LookupPalette(first), nullptr);
    EXPECT_NE(w32::LookupPalette(pdev->Palette), nullptr);
}

// Settings of another layout, or none, are refused before anything is
// allocated (the layouts the engine can hand over are tested through GDI).
TEST_F(EnablePdev, RefusesOtherLayoutsWithoutAllocating) {
    const size_t before = w32::LiveGlobalBlocks();
    ByteImage publicOnly(220);
    const ByteImage ui = UiSettings();
    publicOnly.Bytes(0, ui.data(), 220).I16(dm::DriverExtra, 0);
    SetLastError(0);
    EXPECT_EQ(Enable(publicOnly), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);

    GDIINFO gdi{};
    DEVINFO dev{};
    SetLastError(0);
    EXPECT_EQ(DrvEnablePDEV(nullptr, nullptr, 0, nullptr, sizeof(gdi), reinterpret_cast<ULONG*>(&gdi), sizeof(dev),
                            &dev, nullptr, const_cast<LPWSTR>(kKorvanLaser), printer()),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);
    EXPECT_EQ(gdi.ulVersion, 0u) << "nothing answered";
}

TEST_F(EnablePdev, EnableAndDisableReturnEveryBlock) {
    const size_t before = w32::LiveGlobalBlocks();
    ByteImage settings = UiSettings();
    PDEV* pdev = Enable(settings);
    ASSERT_NE(pdev, nullptr);
    // The PDEV and the driver record.
    EXPECT_EQ(w32::LiveGlobalBlocks(), before + 2);
    Disable(pdev);
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);
}

TEST_F(EnablePdev, PrinterWithoutDataFileIsRefused) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TamrendDriverKey().c_str(), 0, KEY_SET_VALUE, &key),
              LONG(ERROR_SUCCESS));
    ASSERT_EQ(RegDeleteValueW(key, u"Data File"), LONG(ERROR_SUCCESS));
    RegCloseKey(key);
    const size_t before = w32::LiveGlobalBlocks();
    ByteImage settings = UiSettings();
    SetLastError(0);
    EXPECT_EQ(Enable(settings), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);

    // Nor does a handle that is no printer give a data file.
    EXPECT_EQ(DrvEnablePDEV(reinterpret_cast<DEVMODEW*>(settings.data()), nullptr, 0, nullptr, 0, nullptr, 0,
                            nullptr, nullptr, const_cast<LPWSTR>(kKorvanLaser), reinterpret_cast<HANDLE>(0x4321)),
              nullptr);
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);
}

TEST_F(EnablePdev, CompleteKeepsTheEngineHandle) {
    ByteImage settings = UiSettings();
    PDEV* pdev = Enable(settings);
    ASSERT_NE(pdev, nullptr);
    DrvCompletePDEV(AsDhpdev(pdev), reinterpret_cast<HDEV>(0x1234));
    EXPECT_EQ(pdev->Hdev, reinterpret_cast<HDEV>(0x1234));
    // A pointer that is no live PDEV is not written to.
    PDEV stranger{};
    stranger.Job.Signature = PDEV_SIGNATURE;
    DrvCompletePDEV(AsDhpdev(&stranger), reinterpret_cast<HDEV>(0x1234));
    EXPECT_EQ(stranger.Hdev, nullptr);
}

TEST_F(EnablePdev, QueryDeviceSupportAnswersTrueAndWritesNothing) {
    for (ULONG type : {0u, 1u, 2u, 77u}) {
        BYTE out[16];
        std::memset(out, 0x5A, sizeof(out));
        EXPECT_TRUE(DrvQueryDeviceSupport(nullptr, nullptr, nullptr, type, 0, nullptr, sizeof(out), out));
        for (BYTE b : out) EXPECT_EQ(b, 0x5A);
    }
}

}  // namespace
}  // namespace tam::test
