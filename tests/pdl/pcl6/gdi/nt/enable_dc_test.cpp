// Printer device contexts of the driver: what GetDeviceCaps answers for the
// settings, which settings the driver refuses (leaving no device context and
// no memory behind), and that damaged settings are repaired rather than
// refused.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <string>
#include <vector>

#include "dc_fixture.h"

namespace tam::test {
namespace {

using TamrendDc = TamrendDcTest;

struct CapsCase {
    const char* name;
    short paper, width, length;  // paper code and size in 0.1 mm
    short orientation;
    short scale;
    short yResolution;
    // Expected, from the device's formulas.
    int horzRes, vertRes, logPixels, physWidth, physHeight, offset, horzSize, vertSize, aspect, aspectXY;
};
const CapsCase kCaps[] = {
    {"A4", 9, 2100, 2970, 1, 100, 600, 4768, 6816, 600, 4960, 7008, 96, 201, 288, 600, 848},
    {"Letter", 1, 2159, 2794, 1, 100, 600, 4908, 6408, 600, 5100, 6600, 96, 207, 271, 600, 848},
    {"A4Landscape", 9, 2100, 2970, 2, 100, 600, 6816, 4768, 600, 7008, 4960, 96, 288, 201, 600, 848},
    {"Custom150x200mm", 300, 1500, 2000, 1, 100, 600, 3351, 4532, 600, 3543, 4724, 96, 141, 191, 600, 848},
    {"A4HalfScale", 9, 2100, 2970, 1, 50, 600, 4768, 6816, 300, 4960, 7008, 96, 403, 577, 600, 848},
    {"A4At1200Dpi", 9, 2100, 2970, 1, 100, 1200, 9536, 13632, 1200, 9920, 14016, 192, 201, 288, 1200, 1696},
};

class DeviceCaps : public TamrendDcTest, public testing::WithParamInterface<CapsCase> {};

TEST_P(DeviceCaps, AnswerTheDevicesFormulas) {
    const CapsCase& c = GetParam();
    UiDevmode settings = Settings();
    settings.pub.dmPaperSize = c.paper;
    settings.pub.dmPaperWidth = c.width;
    settings.pub.dmPaperLength = c.length;
    settings.pub.dmOrientation = c.orientation;
    settings.pub.dmScale = c.scale;
    settings.pub.dmYResolution = c.yResolution;
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const std::vector<std::pair<int, int>> caps = {
        {HORZRES, c.horzRes},         {VERTRES, c.vertRes},           {LOGPIXELSX, c.logPixels},
        {LOGPIXELSY, c.logPixels},    {PHYSICALWIDTH, c.physWidth},   {PHYSICALHEIGHT, c.physHeight},
        {PHYSICALOFFSETX, c.offset},  {PHYSICALOFFSETY, c.offset},    {HORZSIZE, c.horzSize},
        {VERTSIZE, c.vertSize},       {ASPECTX, c.aspect},            {ASPECTY, c.aspect},
        {ASPECTXY, c.aspectXY},       {TECHNOLOGY, DT_RASPRINTER},    {BITSPIXEL, 24},
        {PLANES, 1},                  {TEXTCAPS, 0x19F7},             {SHADEBLENDCAPS, 0x30},
        {DRIVERVERSION, 0x400},       {NUMFONTS, 0},                  {SIZEPALETTE, 0},
    };
    for (const auto& [index, expected] : caps) EXPECT_EQ(GetDeviceCaps(dc, index), expected) << "index " << index;
}

INSTANTIATE_TEST_SUITE_P(Pages, DeviceCaps, testing::ValuesIn(kCaps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TamrendDc, EngineGetsThePdevSurfacePaletteAndFonts) {
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr) << GetLastError();
    EXPECT_EQ(EngineCalls(), (std::vector<std::string>{"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV",
                                                       "DrvCompletePDEV", "DrvEnableSurface"}));
    w32::PrinterDevice* device = w32::EngineDeviceOfDC(dc);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->driver->driverVersion, 0x20000u);
    PDEV* pdev = PdevOf(dc);
    ASSERT_NE(pdev, nullptr);
    EXPECT_EQ(pdev->Hdev, device->pdev->Hdev());
    EXPECT_EQ(pdev->SpoolerPrinter, device->printer);
    EXPECT_EQ(std::u16string(pdev->DataFile), InDriverFolder(kTamrendDataFile));

    SURFOBJ* surface = device->SurfaceObject();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(pdev->Surface, device->pdev->surface);
    EXPECT_EQ(surface->dhsurf, reinterpret_cast<DHSURF>(pdev));
    EXPECT_EQ(surface->dhpdev, AsDhpdev(pdev));
    EXPECT_EQ(surface->iType, STYPE_DEVICE);
    EXPECT_EQ(surface->iBitmapFormat, ULONG(BMF_24BPP));
    EXPECT_EQ(surface->sizlBitmap.cx, 4768);
    EXPECT_EQ(surface->sizlBitmap.cy, 6816);
    EXPECT_EQ(w32::LookupSurface(pdev->Surface)->hooks, 0x284EBu);

    const DEVINFO& dev = device->pdev->devInfo;
    EXPECT_EQ(dev.flGraphicsCaps, 0x211Fu);
    EXPECT_EQ(std::u16string(dev.lfDefaultFont.lfFaceName), u"Arial");
    EXPECT_EQ(dev.lfDefaultFont.lfHeight, -79);
    EXPECT_EQ(dev.hpalDefault, pdev->Palette);
    ASSERT_NE(w32::LookupPalette(dev.hpalDefault), nullptr);
    const HPALETTE palette = dev.hpalDefault;
    const HSURF surfaceHandle = pdev->Surface;

    ASSERT_TRUE(Delete(dc));
    EXPECT_EQ(w32::LookupPalette(palette), nullptr);
    EXPECT_EQ(w32::LookupSurface(surfaceHandle), nullptr);
    EXPECT_FALSE(DriverLoaded());
}

TEST_F(TamrendDc, PrinterDefaultsAndInformationContexts) {
    // Without settings of its own the DC takes the printer's.
    HDC dc = Create(nullptr);
    ASSERT_NE(dc, nullptr) << GetLastError();
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4768);
    HDC ic = CreateICW(nullptr, kKorvanLaser, nullptr, nullptr);
    ASSERT_NE(ic, nullptr) << GetLastError();
    EXPECT_EQ(GetDeviceCaps(ic, VERTRES), 6816);
    EXPECT_EQ(PdevOf(ic)->Surface, nullptr);
    EXPECT_TRUE(DeleteDC(ic));
}

TEST_F(TamrendDc, EnablingAndDeletingReturnEveryBlock) {
    const size_t before = w32::LiveGlobalBlocks();
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr);
    EXPECT_GT(w32::LiveGlobalBlocks(), before);
    ASSERT_TRUE(Delete(dc));
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);
}

struct LayoutCase {
    const char* name;
    WORD size;
    WORD extra;
};
// Only 220 public and 4864 private bytes are taken, whatever the version says.
const LayoutCase kRefusedLayouts[] = {
    {"no private part", 220, 0},
    {"short private part", 220, 4860},
    {"long private part", 220, 4868},
    {"the driver's own layout", 220, 14680},
    {"version 0x400 public part", 212, 4864},
    {"version 0x320 public part", 188, 4864},
};

TEST_F(TamrendDc, OtherLayoutsLeaveNoDeviceContext) {
    for (const LayoutCase& c : kRefusedLayouts) {
        std::vector<BYTE> bytes(size_t(c.size) + c.extra, 0);
        const UiDevmode settings = Settings();
        std::memcpy(bytes.data(), &settings, std::min(bytes.size(), sizeof(settings)));
        auto* dm = reinterpret_cast<DEVMODEW*>(bytes.data());
        dm->dmSize = c.size;
        dm->dmDriverExtra = c.extra;
        w32::ClearDdiCallLog();
        const size_t before = w32::LiveGlobalBlocks();
        SetLastError(0);
        EXPECT_EQ(Create(dm), nullptr) << c.name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << c.name;
        EXPECT_EQ(w32::LiveGlobalBlocks(), before) << c.name;
        EXPECT_EQ(EngineCalls(), (std::vector<std::string>{"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV",
                                                           "DrvDisableDriver"}))
            << c.name;
        EXPECT_FALSE(DriverLoaded()) << c.name;
    }
    // The version field itself is not what decides.
    UiDevmode settings = Settings();
    settings.pub.dmSpecVersion = 0x320;
    EXPECT_NE(Create(settings), nullptr);
}

TEST_F(TamrendDc, DriverWithoutDataFileLeavesNoDeviceContext) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TamrendDriverKey().c_str(), 0, KEY_SET_VALUE, &key),
              LONG(ERROR_SUCCESS));
    ASSERT_EQ(RegDeleteValueW(key, u"Data File"), LONG(ERROR_SUCCESS));
    RegCloseKey(key);
    const size_t before = w32::LiveGlobalBlocks();
    SetLastError(0);
    EXPECT_EQ(Create(Settings()), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);
    EXPECT_FALSE(DriverLoaded());
}

TEST_F(TamrendDc, DamagedSettingsAreRepaired) {
    UiDevmode settings = Settings();
    settings.pub.dmOrientation = 7;
    settings.pub.dmCopies = 0;
    settings.pub.dmScale = 5;
    settings.pub.dmPaperSize = 8;  // A3: not a paper of the printer
    settings.pub.dmCollate = 5;
    settings.pub.dmDuplex = 9;
    settings.priv.MultipleUp = 6;
    settings.priv.WatermarkData.type = 1;
    lstrcpyW(settings.priv.WatermarkData.text, u"Draft");
    settings.priv.WatermarkData.angle = 91;
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const PDEV* pdev = PdevOf(dc);
    const DEVMODEW& dm = pdev->Devmode.pub;
    EXPECT_EQ(pdev->Orientation, 1);
    EXPECT_EQ(dm.dmOrientation, 1);
    EXPECT_EQ(dm.dmCopies, 1);
    EXPECT_EQ(dm.dmScale, 100);
    EXPECT_EQ(dm.dmPaperSize, 9);
    EXPECT_EQ(dm.dmCollate, 1);
    EXPECT_EQ(dm.dmDuplex, 1);
    EXPECT_EQ(pdev->Devmode.priv.PagesPerSheet, 1);
    EXPECT_EQ(pdev->Devmode.priv.Watermark.WatermarkOn, 0);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4768);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(w32::EngineDeviceOfDC(dc)->pdev->devInfo.flGraphicsCaps, 0x211Fu);
}

// Settings without a device name are not taken, but the device context is
// made with the defaults.
TEST_F(TamrendDc, SettingsWithoutDeviceNameKeepTheDefaults) {
    UiDevmode settings = Settings();
    std::memset(settings.pub.dmDeviceName, 0, sizeof(settings.pub.dmDeviceName));
    settings.pub.dmCopies = 5;
    settings.pub.dmOrientation = 2;
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const PDEV* pdev = PdevOf(dc);
    EXPECT_EQ(std::u16string(pdev->Devmode.pub.dmDeviceName), kKorvanLaser);
    EXPECT_EQ(pdev->Devmode.pub.dmCopies, 1);
    EXPECT_EQ(pdev->Devmode.pub.dmOrientation, 1);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4768);
}

TEST_F(TamrendDc, WatermarkLetsTheEngineJournal) {
    UiDevmode settings = Settings();
    settings.priv.WatermarkData.type = 1;
    lstrcpyW(settings.priv.WatermarkData.text, u"Draft");
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    EXPECT_EQ(w32::EngineDeviceOfDC(dc)->pdev->devInfo.flGraphicsCaps, 0x11Fu);
}

}  // namespace
}  // namespace tam::test
