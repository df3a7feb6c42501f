// The check and merge of converted settings into a device context's
// defaults: version checks, the public fields, the private areas taken whole
// or not at all, the programs that get the defaults, and the 1200-dpi rule.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "pcl6/intrface/devmod1.h"
#include "pcl6/intrface/devmod2.h"
#include "pcl6/intrface/xmodel.h"
#include "settings_image.h"
#include "support/machine_fixture.h"

namespace tam::test {
namespace {

constexpr size_t R = 220;

class RendMerge : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        machine().MutableSettings().country = 49;  // an A4 country
    }

    static RendDevmode Defaults() {
        RendDevmode settings;
        EXPECT_EQ(Ui_DefaultSettings(&settings, u"Korvan KP-2200"), TRUE);
        return settings;
    }
    static RendDevmode Converted(const ByteImage& image) {
        RendDevmode settings{};
        EXPECT_EQ(Devmode_ConvertFromUi(AsDevmode(image), &settings), TRUE);
        return settings;
    }
    // The user interface's defaults, converted.
    static RendDevmode Source() { return Converted(UiDefaultDevmode()); }
    // Defaults with `source` merged in; the merge must succeed.
    static RendDevmode Merged(RendDevmode source) {
        RendDevmode target = Defaults();
        EXPECT_EQ(Devmode_Prepare(&target, &source), TRUE);
        return target;
    }
};

struct VersionCase {
    int size, specVersion;
    WORD expected;
};
class RendVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(RendVersion, BySizeElseAsStored) {
    DEVMODEW devmode{};
    devmode.dmSize = WORD(GetParam().size);
    devmode.dmSpecVersion = WORD(GetParam().specVersion);
    EXPECT_EQ(CheckDevmodeVersion(&devmode), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(All, RendVersion,
                         testing::Values(VersionCase{188, 0, 0x320}, VersionCase{212, 0x401, 0x400},
                                         VersionCase{220, 0x400, 0x401}, VersionCase{192, 0x320, 0x320},
                                         VersionCase{224, 0x401, 0x401}, VersionCase{216, 0, 0},
                                         VersionCase{5084, 0x300, 0x300}));

TEST(RendVersionCheck, MissingDevmodeIsVersionZero) { EXPECT_EQ(CheckDevmodeVersion(nullptr), 0); }

TEST_F(RendMerge, RefusesWhatHasNoVersion) {
    const RendDevmode defaults = Defaults();
    RendDevmode source = Source();
    source.pub.dmSize = 216;
    source.pub.dmSpecVersion = 0;
    RendDevmode target = defaults;
    EXPECT_EQ(Devmode_Prepare(&target, &source), FALSE);
    EXPECT_TRUE(SameBytes(BytesOf(target), BytesOf(defaults)));

    source = Source();
    target.pub.dmSize = 216;
    target.pub.dmSpecVersion = 0;
    EXPECT_EQ(Devmode_Prepare(&target, &source), FALSE);
    EXPECT_EQ(Devmode_Prepare(nullptr, &source), FALSE);
}

TEST_F(RendMerge, NoSourceOrNoDeviceNameKeepsTheDefaults) {
    const RendDevmode defaults = Defaults();
    RendDevmode target = defaults;
    EXPECT_EQ(Devmode_Prepare(&target, nullptr), TRUE);
    EXPECT_TRUE(SameBytes(BytesOf(target), BytesOf(defaults)));

    // Settings without a device name do not fail the device context.
    RendDevmode source = Converted(UiDefaultDevmode(u""));
    source.pub.dmCopies = 7;
    EXPECT_EQ(Devmode_Prepare(&target, &source), TRUE);
    EXPECT_TRUE(SameBytes(BytesOf(target), BytesOf(defaults)));
}

TEST_F(RendMerge, KeepsTheTargetsVersionFields) {
    RendDevmode source = Source();
    source.pub.dmSize = 212;
    source.pub.dmDriverVersion = 0x777;
    source.pub.dmDriverExtra = 99;
    source.pub.dmSpecVersion = 0x123;
    RendDevmode target = Defaults();
    ASSERT_EQ(Devmode_Prepare(&target, &source), TRUE);
    EXPECT_EQ(target.pub.dmSpecVersion, 0x401);
    EXPECT_EQ(target.pub.dmSize, 220);
    EXPECT_EQ(target.pub.dmDriverExtra, 14680);
    EXPECT_EQ(target.pub.dmDriverVersion, 0x500);

    // A target without a driver version takes the source's, its
    // dmSpecVersion as stored.
    target = Defaults();
    target.pub.dmDriverVersion = 0;
    ASSERT_EQ(Devmode_Prepare(&target, &source), TRUE);
    EXPECT_EQ(target.pub.dmSpecVersion, 0x123);
    EXPECT_EQ(target.pub.dmSize, 212);
    EXPECT_EQ(target.pub.dmDriverExtra, 99);
    EXPECT_EQ(target.pub.dmDriverVersion, 0x777);
}

// The user interface's defaults, converted and merged, written from the
// tables: what a device context prints with when nothing was chosen.
TEST_F(RendMerge, UiDefaultsThroughConversionAndMerge) {
    machine().MutableSettings().userName = u"Mei";
    RendDevmode target = Merged(Source());
    ByteImage expected = ExpectedDefaults(true, u"Korvan KP-2200", u"Mei", u"");
    expected.I16(dm::Collate, 0);
    expected.Zero(R + 8, 2)              // the source's 0 is in range
        .Zero(R + 20, 80)                // its empty name ends inside the field
        .Zero(R + 118, 1)                // the shift area, all zero, is taken
        .U8(R + 540, 1)                  // scaling at 100 %
        .Zero(R + 2928, 1)               // the colour area, all zero, is taken
        .Zero(R + 2962, 2)
        .Zero(R + 6720, 1096)            // so is the header block
        .Zero(R + 9148, 4408)            // and the list block
        .U8(R + 13588, 0)                // and the font area
        .I32(R + 13592, 1)
        .U8(R + 13600, 0)
        .I16(R + 13604, 0)
        .I16(R + 13616, 1);              // normal density
    EXPECT_TRUE(SameBytes(BytesOf(target), expected.bytes()));
}

// Public fields: the source's value where both sides say the field is set
// and it is in range.
struct PublicCase {
    const char* name;
    std::function<void(DEVMODEW&)> edit;
    size_t offset;  // 16-bit field of the target
    int expected;
};
void PrintTo(const PublicCase& c, std::ostream* os) { *os << c.name; }
class RendMergePublic : public RendMerge, public testing::WithParamInterface<PublicCase> {};

TEST_P(RendMergePublic, TakesOrKeeps) {
    RendDevmode source = Source();
    GetParam().edit(source.pub);
    const RendDevmode target = Merged(source);
    short value;
    std::memcpy(&value, reinterpret_cast<const BYTE*>(&target) + GetParam().offset, 2);
    EXPECT_EQ(value, GetParam().expected);
}

const PublicCase kPublic[] = {
    {"orientation 2", [](DEVMODEW& d) { d.dmOrientation = 2; }, dm::Orientation, 2},
    {"orientation 3", [](DEVMODEW& d) { d.dmOrientation = 3; }, dm::Orientation, 1},
    {"orientation 0", [](DEVMODEW& d) { d.dmOrientation = 0; }, dm::Orientation, 1},
    {"copies 0", [](DEVMODEW& d) { d.dmCopies = 0; }, dm::Copies, 1},
    {"copies 1000", [](DEVMODEW& d) { d.dmCopies = 1000; }, dm::Copies, 1},
    {"copies 999", [](DEVMODEW& d) { d.dmCopies = 999; }, dm::Copies, 999},
    {"copies without the field bit", [](DEVMODEW& d) { d.dmCopies = 5; d.dmFields &= ~DM_COPIES; }, dm::Copies, 1},
    {"quality 600", [](DEVMODEW& d) { d.dmPrintQuality = 600; d.dmYResolution = 600; }, dm::PrintQuality, 600},
    {"quality -4 at 600", [](DEVMODEW& d) { d.dmPrintQuality = -4; d.dmYResolution = 600; }, dm::PrintQuality, -4},
    {"quality -4 at 300", [](DEVMODEW& d) { d.dmPrintQuality = -4; d.dmYResolution = 300; }, dm::PrintQuality, 600},
    {"quality 300", [](DEVMODEW& d) { d.dmPrintQuality = 300; d.dmYResolution = 300; }, dm::YResolution, 600},
    {"duplex 3", [](DEVMODEW& d) { d.dmDuplex = 3; }, dm::Duplex, 3},
    {"duplex 0", [](DEVMODEW& d) { d.dmDuplex = 0; }, dm::Duplex, 1},
    {"duplex 4", [](DEVMODEW& d) { d.dmDuplex = 4; }, dm::Duplex, 1},
    {"paper 1", [](DEVMODEW& d) { d.dmPaperSize = 1; d.dmPaperWidth = 2000; }, dm::PaperWidth, 2000},
    {"paper 8", [](DEVMODEW& d) { d.dmPaperSize = 8; d.dmPaperLength = 4200; }, dm::PaperSize, 9},
    {"paper 8 width", [](DEVMODEW& d) { d.dmPaperSize = 8; }, dm::PaperWidth, 2100},
    {"paper 8 length", [](DEVMODEW& d) { d.dmPaperSize = 8; }, dm::PaperLength, 2967},
    {"paper 149", [](DEVMODEW& d) { d.dmPaperSize = 149; }, dm::PaperSize, 149},
    {"source 15", [](DEVMODEW& d) { d.dmDefaultSource = 15; }, dm::DefaultSource, 15},
    {"TT option by the target's bit", [](DEVMODEW& d) { d.dmTTOption = 3; d.dmFields &= ~DM_TTOPTION; }, dm::TTOption, 1},
    {"scale 9", [](DEVMODEW& d) { d.dmScale = 9; }, dm::Scale, 100},
    {"scale 10", [](DEVMODEW& d) { d.dmScale = 10; }, dm::Scale, 10},
    {"scale 400", [](DEVMODEW& d) { d.dmScale = 400; }, dm::Scale, 400},
    {"scale 401", [](DEVMODEW& d) { d.dmScale = 401; }, dm::Scale, 100},
    {"collate 2", [](DEVMODEW& d) { d.dmCollate = 2; }, dm::Collate, 1},
    {"collate 0", [](DEVMODEW& d) { d.dmCollate = 0; }, dm::Collate, 0},
    {"colour 2", [](DEVMODEW& d) { d.dmColor = 2; }, dm::Color, 1},
};

INSTANTIATE_TEST_SUITE_P(All, RendMergePublic, testing::ValuesIn(kPublic));

TEST_F(RendMerge, CopiesOutOfRangeAreRepairedInTheSourceToo) {
    RendDevmode source = Source();
    source.pub.dmCopies = -3;
    RendDevmode target = Defaults();
    ASSERT_EQ(Devmode_Prepare(&target, &source), TRUE);
    EXPECT_EQ(source.pub.dmCopies, 1);
    EXPECT_EQ(target.pub.dmCopies, 1);
}

TEST_F(RendMerge, UnknownPaperOutsideA4CountriesIsLetter) {
    machine().MutableSettings().country = 1;
    RendDevmode source = Source();
    source.pub.dmPaperSize = 8;
    const RendDevmode target = Merged(source);
    EXPECT_EQ(target.pub.dmPaperSize, 1);
    EXPECT_EQ(target.pub.dmPaperWidth, 2159);
    EXPECT_EQ(target.pub.dmPaperLength, 2794);
}

TEST_F(RendMerge, CustomPaperIsKeptWithItsSize) {
    ByteImage input = UiDefaultDevmode();
    input.I16(dm::PaperSize, 300).I16(dm::PaperWidth, 1500).I16(dm::PaperLength, 2000);
    RendDevmode target = Merged(Converted(input));
    EXPECT_EQ(target.pub.dmPaperSize, 288);
    EXPECT_EQ(target.pub.dmPaperWidth, 1500);
    EXPECT_EQ(target.pub.dmPaperLength, 2000);
    EXPECT_EQ(target.priv.CustomPaperOn, 1);
    EXPECT_EQ(target.priv.CustomPaperCode, 300);
    PaperGeometry page{};
    ASSERT_EQ(Xmodel_Lookup(&page, &target, target.pub.dmPaperSize, FALSE), TRUE);
    EXPECT_EQ(BytesOf(page), BytesOf(PaperGeometry{3543, 4724, 96, 96, 96, 96}));

    // A custom code other than 288 is kept when its entry holds a size.
    RendDevmode source = Converted(input);
    source.pub.dmPaperSize = 300;
    source.priv.CustomSizes[12] = {3000, 4000, {}};
    target = Merged(source);
    EXPECT_EQ(target.pub.dmPaperSize, 300);
    ASSERT_EQ(Xmodel_Lookup(&page, &target, 300, FALSE), TRUE);
    EXPECT_EQ(page.Width, 3000);
    EXPECT_EQ(page.Height, 4000);
}

// A custom paper without a usable size would be a page of nothing: the
// default paper prints instead.
TEST_F(RendMerge, CustomPaperWithoutItsSizeFallsBackToTheDefaultPaper) {
    ByteImage input = UiDefaultDevmode();
    input.I16(dm::PaperSize, 295).I16(dm::PaperWidth, 2100).I16(dm::PaperLength, 2970);
    RendDevmode source = Converted(input);
    source.priv.CustomPaperWidth = -1;  // the custom area is refused
    RendDevmode target = Merged(source);
    EXPECT_EQ(target.pub.dmPaperSize, 9);
    EXPECT_EQ(target.pub.dmPaperWidth, 2100);
    EXPECT_EQ(target.pub.dmPaperLength, 2967);
    EXPECT_EQ(target.priv.RequestedPaperSize, 9);

    source = Converted(input);
    source.pub.dmPaperSize = 301;  // an entry with no size
    target = Merged(source);
    EXPECT_EQ(target.pub.dmPaperSize, 9);

    source = Converted(input);
    source.priv.Signature = 0;  // the private part is not taken at all
    target = Merged(source);
    EXPECT_EQ(target.pub.dmPaperSize, 9);
}

// Private areas: each taken whole when every value passes, else the
// defaults stay whole.
struct AreaCase {
    const char* name;
    std::function<void(RendPrivate&)> edit;
    size_t offset, size;  // private offsets of the area
    bool taken;
};
void PrintTo(const AreaCase& c, std::ostream* os) { *os << c.name; }
class RendMergeArea : public RendMerge, public testing::WithParamInterface<AreaCase> {};

TEST_P(RendMergeArea, TakenWholeOrNotAtAll) {
    const RendDevmode defaults = Defaults();
    RendDevmode source = Source();
    GetParam().edit(source.priv);
    const RendDevmode target = Merged(source);
    auto area = [&](const RendDevmode& d) {
        const BYTE* p = reinterpret_cast<const BYTE*>(&d.priv) + GetParam().offset;
        return std::vector<BYTE>(p, p + GetParam().size);
    };
    EXPECT_TRUE(SameBytes(area(target), area(GetParam().taken ? source : defaults)));
    EXPECT_NE(area(source), area(defaults)) << "the case must tell the two apart";
}

void Text(WCHAR* field, size_t count, char16_t c) {
    for (size_t i = 0; i < count; ++i) field[i] = c;
}

const AreaCase kAreas[] = {
    {"16-up", [](RendPrivate& p) { p.PagesPerSheet = 16; p.NupOrder = 3; p.PageBorderMode = 8; }, 100, 8, true},
    {"6-up", [](RendPrivate& p) { p.PagesPerSheet = 6; p.PageBorderMode = 4; }, 100, 8, false},
    {"N-up order 4", [](RendPrivate& p) { p.PagesPerSheet = 2; p.NupOrder = 4; }, 100, 8, false},
    {"poster size 2", [](RendPrivate& p) { p.PosterSize = 2; p.reserved112[3] = 9; }, 108, 8, true},
    {"layout word 3", [](RendPrivate& p) { p.PosterSize = 3; }, 108, 8, false},
    {"watermark angle 90",
     [](RendPrivate& p) { p.Watermark.WatermarkOn = 1; p.Watermark.Angle = 90; }, 3484, 3236, true},
    {"watermark angle 91",
     [](RendPrivate& p) { p.Watermark.WatermarkOn = 1; p.Watermark.Angle = 91; }, 3484, 3236, false},
    {"watermark angle -91", [](RendPrivate& p) { p.Watermark.WatermarkOn = 1; p.Watermark.Angle = -91; }, 3484,
     3236, false},
    {"watermark flag 33", [](RendPrivate& p) { p.Watermark.WatermarkOn = 33; }, 3484, 3236, false},
    {"watermark position 11", [](RendPrivate& p) { p.Watermark.WatermarkOn = 1; p.Watermark.PositionMode = 11; },
     3484, 3236, false},
    {"watermark size -1", [](RendPrivate& p) { p.Watermark.WatermarkOn = 1; p.Watermark.FontSize = -1; }, 3484,
     3236, false},
    {"watermark frame 3", [](RendPrivate& p) { p.Watermark.WatermarkOn = 1; p.Watermark.Frame = 3; }, 3484, 3236,
     false},
    {"watermark text of 255", [](RendPrivate& p) { Text(p.Watermark.Text, 255, u'w'); }, 3484, 3236, true},
    {"watermark text of 256", [](RendPrivate& p) { Text(p.Watermark.Text, 256, u'w'); }, 3484, 3236, false},
    {"watermark face of 31", [](RendPrivate& p) { Text(p.Watermark.FaceName, 31, u'f'); }, 3484, 3236, true},
    // The face name must end inside its own 32 characters.
    {"watermark face of 32", [](RendPrivate& p) { Text(p.Watermark.FaceName, 32, u'f'); }, 3484, 3236, false},
    {"booklet 50", [](RendPrivate& p) { p.BookletGroupSheets = 50; p.GutterWidth = 1181; }, 1856, 24, true},
    {"booklet 0", [](RendPrivate& p) { p.BookletGroupSheets = 0; p.GutterWidth = 10; }, 1856, 24, false},
    {"booklet 51", [](RendPrivate& p) { p.BookletGroupSheets = 51; }, 1856, 24, false},
    {"gutter 1182", [](RendPrivate& p) { p.BookletGroupSheets = 5; p.GutterWidth = 1182; }, 1856, 24, false},
    {"scale 25", [](RendPrivate& p) { p.ScalePercent = 25; p.PaperOverride = 300; }, 540, 8, true},
    {"scale 24", [](RendPrivate& p) { p.ScalePercent = 24; }, 540, 8, false},
    {"paper override 301", [](RendPrivate& p) { p.ScalePercent = 90; p.PaperOverride = 301; }, 540, 8, false},
    {"font size 240", [](RendPrivate& p) { p.DefaultFontSize = 240; p.Value13604 = 8; }, 13588, 24, true},
    {"font size 241", [](RendPrivate& p) { p.DefaultFontSize = 241; }, 13588, 24, false},
    {"font face 2", [](RendPrivate& p) { p.DefaultFontFace = 2; }, 13588, 24, false},
    {"colour levels", [](RendPrivate& p) { p.ColorAdjust.Levels[3][2] = -100; p.ColorAdjust.Tones[0][0] = 3; },
     2916, 568, true},
    {"colour level 101", [](RendPrivate& p) { p.ColorAdjust.Levels[1][1] = 101; }, 2916, 568, false},
    {"colour tone -4", [](RendPrivate& p) { p.ColorAdjust.Tones[2][0] = -4; }, 2916, 568, false},
    {"colour step set", [](RendPrivate& p) { p.ColorAdjust.ResolutionStep = 1; }, 2916, 568, false},
    {"colour profile of 256", [](RendPrivate& p) { std::memset(p.ColorAdjust.Profile2, 'x', 256); }, 2916, 568,
     false},
    {"header", [](RendPrivate& p) { Text(p.Header.FontName, 5, u'h'); p.Header.Items[5].Kind = 5; }, 6720, 1096,
     true},
    {"header kind 6", [](RendPrivate& p) { p.Header.Items[5].Kind = 6; }, 6720, 1096, false},
    {"list of two",
     [](RendPrivate& p) {
         p.List.EntryCount = 2;
         std::memcpy(p.List.Entries[1].Name, "name", 5);
         std::memcpy(p.List.Address, "10.0.0.1", 9);
     },
     9148, 4408, true},
    {"list of 17", [](RendPrivate& p) { p.List.EntryCount = 17; }, 9148, 4408, false},
    {"list name of 25", [](RendPrivate& p) { p.List.EntryCount = 1; std::memset(p.List.Entries[0].Name, 'n', 25); },
     9148, 4408, false},
    {"custom paper", [](RendPrivate& p) { p.CustomPaperCode = 291; p.CustomSizes[3] = {3000, 4000, {}}; }, 560,
     1296, true},
    {"custom paper code 0", [](RendPrivate& p) { p.CustomPaperCode = 0; p.CustomPaperOn = 1; }, 560, 1296, false},
    {"custom size negative",
     [](RendPrivate& p) { p.CustomPaperCode = 291; p.CustomSizes[19].CustomPaperLength600 = -1; }, 560, 1296, false},
    {"feed flags", [](RendPrivate& p) { p.Value1884 = 1; p.Value1886 = 1; p.A5FeedFlags[1] = 1; }, 1884, 6, true},
    {"feed flag 2", [](RendPrivate& p) { p.Value1886 = 2; }, 1884, 6, false},
    {"shift", [](RendPrivate& p) { p.ImageShiftDirection = 8; p.AdjustX = -1181; p.MarginTable[48].Margin[3] = 1181; },
     116, 424, true},
    {"shift margin 1182", [](RendPrivate& p) { p.MarginTable[0].Margin[0] = 1182; }, 116, 424, false},
    {"shift position 5", [](RendPrivate& p) { p.PrintPosition = 5; }, 116, 424, false},
    {"forms", [](RendPrivate& p) { p.OverlayMode = 2; Text(p.FormsFolder, 255, u'd'); }, 1890, 1026, true},
    {"overlay mode 3", [](RendPrivate& p) { p.OverlayMode = 3; }, 1890, 1026, false},
    // Forms folders must end inside their fields.
    {"forms folder of 256", [](RendPrivate& p) { Text(p.FormsFolderCopy, 256, u'd'); }, 1890, 1026, false},
    {"layout flags", [](RendPrivate& p) { p.LayoutFlag = 1; p.Rotate180Mode = 3; p.Value1882 = 2; }, 1880, 3, true},
    {"rotation rule 4", [](RendPrivate& p) { p.LayoutFlag = 1; p.Rotate180Mode = 4; }, 1880, 3, false},
    {"feed source 2", [](RendPrivate& p) { p.FeedSource = 2; }, 4, 2, true},
    {"feed source 3", [](RendPrivate& p) { p.FeedSource = 3; }, 4, 2, false},
    {"word 0 is 2", [](RendPrivate& p) { p.Value0 = 2; }, 0, 2, true},
    {"word 0 is 3", [](RendPrivate& p) { p.Value0 = 3; }, 0, 2, false},
    {"booklet 2", [](RendPrivate& p) { p.BookletOn = 2; }, 3, 1, true},
    {"booklet 3", [](RendPrivate& p) { p.BookletOn = 3; }, 3, 1, false},
    {"word 8 is 31", [](RendPrivate& p) { p.Value8 = 31; }, 8, 2, true},
    {"word 8 is 32", [](RendPrivate& p) { p.Value8 = 32; }, 8, 2, false},
    {"name of 39", [](RendPrivate& p) { Text(p.SettingsName, 39, u'n'); }, 20, 80, true},
    {"name of 40", [](RendPrivate& p) { Text(p.SettingsName, 40, u'n'); }, 20, 80, false},
    {"binding as it stands", [](RendPrivate& p) { p.DuplexBinding = 4; }, 2, 1, true},
    {"unchecked values",
     [](RendPrivate& p) { p.OppositeOrder = -7; p.DensityLevel = 9; p.HighResolutionRequested = 3; }, 13612, 12,
     true},
    // Not merged at all: the user's name and the values no settings change.
    {"info block", [](RendPrivate& p) { p.Info.Value0 = 5; }, 7816, 1330, false},
    {"fixed values",
     [](RendPrivate& p) {
         p.OutputMask = 1;
         p.Value13628 = 1;
         p.ObjectRangeLast = 4;
         Text(p.DebugFile1, 40, u'z');
         p.ImageTrialThreshold = 7;
     },
     13624, 1056, false},
};

INSTANTIATE_TEST_SUITE_P(All, RendMergeArea, testing::ValuesIn(kAreas));

TEST_F(RendMerge, RenderOptionsKeepTheirBitsAndGainTheFixedOnes) {
    RendDevmode source = Source();
    source.priv.RenderOptions = 0x10000;
    EXPECT_EQ(Merged(source).priv.RenderOptions, 0x8C);  // the target's own value, with the bits
    RendDevmode target = Defaults();
    target.priv.RenderOptions = 0x101;
    ASSERT_EQ(Devmode_Prepare(&target, &source), TRUE);
    EXPECT_EQ(target.priv.RenderOptions, 0x18D);
}

TEST_F(RendMerge, ForeignPrivatePartMergesThePublicFieldsOnly) {
    for (int variant = 0; variant < 3; ++variant) {
        RendDevmode source = Source();
        source.pub.dmCopies = 4;
        source.priv.PagesPerSheet = 2;
        if (variant == 0) source.priv.Signature = 0x56495251;
        if (variant == 1) source.pub.dmDriverVersion = 0x600;
        if (variant == 2) source.pub.dmDriverExtra = 4864;
        const RendDevmode target = Merged(source);
        EXPECT_EQ(target.pub.dmCopies, 4) << variant;
        EXPECT_EQ(target.priv.PagesPerSheet, 1) << variant;
        EXPECT_EQ(std::u16string(target.priv.SettingsName), u"Standard") << variant;
    }
}

// The media index: the source's while the job's paper types have it,
// unless the paper override cannot take it.
struct MediaCase {
    int paperOverride, media, expected;
};
class RendMergeMedia : public RendMerge, public testing::WithParamInterface<MediaCase> {};

TEST_P(RendMergeMedia, ByThePaperOverride) {
    RendDevmode source = Source();
    source.priv.ScalePercent = 100;
    source.priv.PaperOverride = SHORT(GetParam().paperOverride);
    source.priv.MediaIndex = SHORT(GetParam().media);
    RendDevmode target = Defaults();
    target.priv.MediaIndex = 4;
    ASSERT_EQ(Devmode_Prepare(&target, &source), TRUE);
    EXPECT_EQ(target.priv.MediaIndex, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(All, RendMergeMedia,
                         testing::Values(MediaCase{0, 2, 2}, MediaCase{0, 6, 6},
                                         MediaCase{0, 7, 4},    // beyond the paper types: kept
                                         MediaCase{0, 11, 4}, MediaCase{0, -1, 4},
                                         MediaCase{9, 5, 0},    // A4 takes no transparencies
                                         MediaCase{28, 0, 3},   // an envelope defaults to envelopes
                                         MediaCase{28, 1, 1}, MediaCase{250, 2, 0}, MediaCase{250, 5, 5},
                                         MediaCase{252, 2, 0},  // no class: plain
                                         MediaCase{8, 5, 5}));  // no row: taken

TEST_F(RendMerge, ResolutionRequestedIn1200DotsRendersAt600) {
    ByteImage input = UiDefaultDevmode();
    input.I16(dm::PrintQuality, 1200).I16(dm::YResolution, 1200);
    const RendDevmode target = Merged(Converted(input));
    EXPECT_EQ(target.pub.dmPrintQuality, 600);
    EXPECT_EQ(target.pub.dmYResolution, 600);
    EXPECT_EQ(target.priv.HighResolutionRequested, 1);
    EXPECT_EQ(target.priv.ColorAdjust.ResolutionStep, 0);
    EXPECT_EQ(target.priv.ResolutionByte, 0);
    PaperGeometry page{};
    ASSERT_EQ(Xmodel_Lookup(&page, &target, target.pub.dmPaperSize, FALSE), TRUE);
    EXPECT_EQ(BytesOf(page), BytesOf(PaperGeometry{4960, 7008, 96, 96, 96, 96}));
}

// A y-resolution of 1200 beside another quality is rendered at 1200 dpi.
TEST_F(RendMerge, YResolution1200RendersAt1200) {
    ByteImage input = UiDefaultDevmode();
    input.I16(dm::YResolution, 1200);
    const RendDevmode target = Merged(Converted(input));
    EXPECT_EQ(target.pub.dmPrintQuality, 1200);
    EXPECT_EQ(target.pub.dmYResolution, 1200);
    EXPECT_EQ(target.priv.HighResolutionRequested, 0);
    EXPECT_EQ(target.priv.ColorAdjust.ResolutionStep, 1);
    EXPECT_EQ(target.priv.ResolutionByte, 1);
    PaperGeometry page{};
    ASSERT_EQ(Xmodel_Lookup(&page, &target, target.pub.dmPaperSize, FALSE), TRUE);
    EXPECT_EQ(BytesOf(page), BytesOf(PaperGeometry{9920, 14016, 192, 192, 192, 192}));
}

// Programs that feed drivers damaged settings on purpose get the defaults.
struct ProgramCase {
    const char16_t* path;
    bool defaults;
};
class RendMergeProgram : public RendMerge, public testing::WithParamInterface<ProgramCase> {};

TEST_P(RendMergeProgram, StressProgramsGetTheDefaults) {
    machine().MutableSettings().programPath = GetParam().path;
    ByteImage input = UiDefaultDevmode();
    input.I16(dm::Copies, 9).I16(220 + ui::MultipleUp, 4);
    const RendDevmode defaults = Defaults();
    RendDevmode target = defaults;
    RendDevmode source = Converted(input);
    ASSERT_EQ(Devmode_Prepare(&target, &source), TRUE);
    if (GetParam().defaults) {
        EXPECT_TRUE(SameBytes(BytesOf(target), BytesOf(defaults)));
    } else {
        EXPECT_EQ(target.pub.dmCopies, 9);
        EXPECT_EQ(target.priv.PagesPerSheet, 4);
    }
}

INSTANTIATE_TEST_SUITE_P(All, RendMergeProgram,
                         testing::Values(ProgramCase{u"C:\\Tools\\printdrvstress.exe", true},
                                         ProgramCase{u"C:\\Tools\\PrintDrvStress.EXE", true},
                                         ProgramCase{u"C:\\Tools\\ntsd printdrvstress.exe", true},
                                         ProgramCase{u"C:\\Tools\\devmodecorruptw.exe", true},
                                         ProgramCase{u"C:\\Tools\\ntsd.exe", false},
                                         ProgramCase{u"C:\\Tools\\printdrvstress.exe.bak", false},
                                         ProgramCase{u"C:\\Program Files\\Korvan\\tamprint.exe", false}));

}  // namespace
}  // namespace tam::test
