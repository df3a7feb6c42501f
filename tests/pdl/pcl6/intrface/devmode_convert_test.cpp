// The conversion of the user interface's DEVMODE (220 + 4864 bytes) into
// the rendering DLL's settings (220 + 14680 bytes). The expected images are
// written from the format's tables, offset by offset, into zeroed bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "pcl6/intrface/devmod1.h"
#include "settings_image.h"

namespace tam::test {
namespace {

constexpr size_t P = 220;              // the private part in the user interface's DEVMODE
constexpr size_t R = 220;              // the private part in the rendering settings
constexpr size_t W = R + 3484;         // the watermark block
constexpr size_t kRendSize = 14900;

// Runs the conversion into a zeroed target; the result and the bytes.
struct Converted {
    BOOL result;
    ByteImage image{kRendSize};
};
Converted Convert(const ByteImage& input) {
    Converted out;
    out.result = Devmode_ConvertFromUi(AsDevmode(input), reinterpret_cast<RendDevmode*>(out.image.data()));
    return out;
}

// The public part as the conversion hands it on: the input's 220 bytes with
// the rendering layout's versions and private size.
ByteImage ExpectedStart(const ByteImage& input) {
    ByteImage expected(kRendSize);
    expected.Bytes(0, input.data(), 220);
    expected.I16(dm::DriverVersion, 0x500).I16(dm::SpecVersion, 0x401).I16(dm::DriverExtra, 14680);
    expected.Narrow(R + 16, "PRIV");
    return expected;
}

// A4, short-edge duplex, 1200 dpi, manual feed, 4-up with borders, 150 %,
// turned portrait pages, heavy toner, a text watermark on the first page.
ByteImage TextWatermarkJob() {
    ByteImage in = UiDefaultDevmode();
    in.I32(dm::Fields, 0xBF1F | DM_MEDIATYPE)
        .I16(dm::Copies, 3)
        .I16(dm::DefaultSource, 4)
        .I16(dm::PrintQuality, 1200)
        .I16(dm::YResolution, 1200)
        .I16(dm::Duplex, 3)
        .I16(dm::Collate, 1)
        .I32(dm::MediaType, 258);
    in.I16(P + ui::OppositeSide, 1)
        .I16(P + ui::BasicSwitch, 1)
        .I32(P + ui::ScaleRadio, 150)
        .I16(P + ui::MultipleUp, 4)
        .I16(P + ui::PageOrder, 4)
        .I16(P + ui::PageBorder, 1)
        .I16(P + ui::Rotate180, 1)
        .I16(P + ui::Thickness, 2)
        .I16(P + ui::ScaleCopy, 150)
        .I16(P + ui::FirstPageOnly, 1)
        .I16(P + ui::SoftFontSize, 120);
    const size_t w = P + ui::Watermark;
    in.Bytes(w, std::vector<BYTE>(816, 0).data(), 816)
        .I16(w + ui::wm::Index, 1)
        .I16(w + ui::wm::Type, 1)
        .Wide(w + ui::wm::Name, u"Draft")
        .Wide(w + ui::wm::Text, u"Draft copy")
        .Wide(w + ui::wm::Face, u"Arial")
        .I16(w + ui::wm::Size, 80)
        .I16(w + ui::wm::Bold, 1)
        .I16(w + ui::wm::Fade, 1)
        .I16(w + ui::wm::Frame, 1)
        .I16(w + ui::wm::Angle, 30)
        .I16(w + ui::wm::Position, 10)
        .I16(w + ui::wm::Tile, 1)
        .I16(w + ui::wm::FaceChosen, 1)
        .I32(w + ui::wm::Color, 0x0033FF)
        .I16(w + ui::wm::X, 20)
        .I16(w + ui::wm::Y, 70)
        .I16(w + ui::wm::Grey, 3);
    return in;
}

// Custom size 300 of 150 x 200 mm in landscape, long-edge duplex asked for,
// upper tray, transparencies, the 22-up layout with a valid scale, turned
// pages, toner saving, A5-style feed, a faded bitmap watermark.
ByteImage BitmapWatermarkJob() {
    ByteImage in = UiDefaultDevmode();
    in.I16(dm::Orientation, 2)
        .I16(dm::PaperSize, 300)
        .I16(dm::PaperWidth, 1500)
        .I16(dm::PaperLength, 2000)
        .I16(dm::DefaultSource, 1)
        .I16(dm::Duplex, 2)
        .I32(dm::MediaType, 264)
        .Wide(dm::FormName, u"Custom 13");
    in.I16(P + ui::OppositeSide, -1)
        .I16(P + ui::MultipleUp, 22)
        .I16(P + ui::PageOrder, 3)
        .I16(P + ui::Rotate180, 1)
        .I16(P + ui::Thickness, 0)
        .I16(P + ui::TonerSavingMode, 1)
        .I16(P + ui::FeedOrient, 2)
        .I16(P + ui::ScaleCopy, 200)
        .I32(P + ui::UseSoftFont, 0)
        .I32(P + ui::SoftFontBitmap, 1)
        .I16(P + ui::SoftFontFace, 1)
        .I16(P + ui::SoftFontSize, 49);
    const size_t w = P + ui::Watermark;
    in.I16(w + ui::wm::Index, 3)
        .I16(w + ui::wm::Type, 2)
        .Wide(w + ui::wm::Name, u"Logo")
        .Wide(w + ui::wm::Path, u"C:\\Logos\\mark.bmp")
        .I16(w + ui::wm::Fade, 1)
        .I16(w + ui::wm::Angle, 45)
        .I16(w + ui::wm::Position, 3)
        .I16(w + ui::wm::Grey, 0);
    return in;
}

TEST(RendConvert, UiDefaultsGiveTheExactSettings) {
    const ByteImage input = UiDefaultDevmode();
    ByteImage expected = ExpectedStart(input);
    expected.U8(R + 104, 1)           // one page per sheet
        .U8(R + 540, 1)               // scaling on at the user interface's 100 %
        .I16(R + 542, 100)
        .I16(R + 548, 9)              // A4 as asked for
        .U8(R + 550, 1)               // portrait
        .I32(R + 13592, 1)            // soft fonts
        .I16(R + 13602, 95)           // no default-font size: 9.5 points
        .I16(R + 13616, 1);           // normal density
    const Converted out = Convert(input);
    EXPECT_EQ(out.result, TRUE);
    EXPECT_TRUE(SameBytes(out.image.bytes(), expected.bytes()));
}

TEST(RendConvert, TextWatermarkJobGivesTheExactSettings) {
    const ByteImage input = TextWatermarkJob();
    ByteImage expected = ExpectedStart(input);
    expected.I16(dm::Duplex, 2)       // short edge: printer duplex 2 with binding 1
        .I16(dm::PrintQuality, 600)   // 1200 dpi renders at 600
        .I16(dm::YResolution, 600);
    expected.U8(R + 2, 1)
        .I16(R + 4, 1)                // manual feed
        .U8(R + 6, 1)                 // watermark on the first page only
        .I32(R + 100, 4)              // page borders
        .U8(R + 104, 4)
        .U8(R + 105, 2)               // page order 4
        .U8(R + 540, 1)
        .I16(R + 542, 150)
        .I16(R + 548, 9)
        .U8(R + 550, 1)
        .I16(R + 552, 2)              // media 258
        .U8(R + 1881, 2)              // portrait pages turned
        .I32(R + 13592, 1)
        .I16(R + 13602, 120)
        .I32(R + 13612, 1)            // opposite order
        .I16(R + 13616, 2)            // heavy
        .I32(R + 13620, 1)            // 1200 dpi was asked for
        .I16(R + 14678, 1);
    expected.I16(W + 0, 1)
        .Wide(W + 2, u"Draft copy")
        .Wide(W + 524, u"Draft copy")
        .I32(W + 1048, 0x575757)      // grey level 3
        .I32(W + 1052, 0x575757)
        .Wide(W + 1058, u"Arial")
        .I16(W + 1122, 80)
        .I16(W + 1132, 10)            // at x and y
        .I16(W + 1134, 30)
        .U8(W + 1141, 1)              // bold
        .U8(W + 1142, 1)
        .I32(W + 1148, 20)
        .I32(W + 1152, 70);
    const Converted out = Convert(input);
    EXPECT_EQ(out.result, TRUE);
    EXPECT_TRUE(SameBytes(out.image.bytes(), expected.bytes()));
}

TEST(RendConvert, BitmapWatermarkOnCustomPaperGivesTheExactSettings) {
    const ByteImage input = BitmapWatermarkJob();
    ByteImage expected = ExpectedStart(input);
    expected.I16(dm::PaperSize, 288)  // every custom size prints as 288
        .I16(dm::Duplex, 0);          // custom sizes are one-sided
    expected.I16(R + 4, 2)            // upper tray
        .U8(R + 104, 22)
        .U8(R + 105, 1)               // page order 3
        .I16(R + 542, 200)            // kept, but scaling is off for 22-up
        .I16(R + 548, 300)
        .U8(R + 550, 2)
        .I16(R + 552, 6)              // media 264
        .I16(R + 560, 1)
        .I32(R + 564, 300)
        .I32(R + 568, 2000)
        .I32(R + 572, 1500)
        .I32(R + 576, 3543)           // 150 mm in 600-dpi dots
        .I32(R + 580, 4724)           // 200 mm
        .U8(R + 1880, 1)
        .U8(R + 1881, 1)              // landscape pages turned
        .I32(R + 13596, 1)
        .U8(R + 13600, 1)
        .I16(R + 13602, 95)           // 4.9 points is out of range
        .I32(R + 13612, -1)
        .I16(R + 13616, 0);           // toner saving
    expected.I16(W + 0, 1)
        .Wide(W + 524, u"C:\\Logos\\mark.bmp")
        .I16(W + 1122, 100)
        .I16(W + 1132, 5)             // centred whatever the record says
        .U8(W + 1136, 1)
        .U8(W + 1142, 1);             // faded
    const Converted out = Convert(input);
    EXPECT_EQ(out.result, TRUE);
    EXPECT_TRUE(SameBytes(out.image.bytes(), expected.bytes()));
}

// Only the user interface's layout is taken; nothing is written otherwise.
struct SizeCase {
    int size;
    int driverExtra;
};
class RendConvertRefuses : public testing::TestWithParam<SizeCase> {};

TEST_P(RendConvertRefuses, OtherLayoutsAndWritesNothing) {
    ByteImage input = UiDefaultDevmode();
    input.I16(dm::Size, GetParam().size).I16(dm::DriverExtra, GetParam().driverExtra);
    ByteImage target(kRendSize);
    std::fill(target.bytes().begin(), target.bytes().end(), BYTE(0xA5));
    EXPECT_EQ(Devmode_ConvertFromUi(AsDevmode(input), reinterpret_cast<RendDevmode*>(target.data())), FALSE);
    EXPECT_EQ(std::count(target.bytes().begin(), target.bytes().end(), BYTE(0xA5)), long(kRendSize));
}

INSTANTIATE_TEST_SUITE_P(All, RendConvertRefuses,
                         testing::Values(SizeCase{220, 4860}, SizeCase{220, 14680}, SizeCase{220, 0},
                                         SizeCase{212, 4864}, SizeCase{224, 4864}, SizeCase{188, 4896}));

TEST(RendConvert, RefusesMissingBuffers) {
    const ByteImage input = UiDefaultDevmode();
    RendDevmode target{};
    EXPECT_EQ(Devmode_ConvertFromUi(nullptr, &target), FALSE);
    EXPECT_EQ(Devmode_ConvertFromUi(AsDevmode(input), nullptr), FALSE);
}

TEST(RendConvert, RendererSettingsThemselvesAreRefused) {
    const ByteImage input = UiDefaultDevmode();
    std::vector<BYTE> once(kRendSize, 0);
    ASSERT_EQ(Devmode_ConvertFromUi(AsDevmode(input), reinterpret_cast<RendDevmode*>(once.data())), TRUE);
    std::vector<BYTE> twice(kRendSize, 0);
    EXPECT_EQ(Devmode_ConvertFromUi(reinterpret_cast<const DEVMODEW*>(once.data()),
                                    reinterpret_cast<RendDevmode*>(twice.data())),
              FALSE);
    EXPECT_EQ(twice, std::vector<BYTE>(kRendSize, 0));
}

// Paper and duplex: the papers outside the list print on A4, custom sizes as
// 288, and duplex stays only on the papers the duplex unit takes.
struct PaperCase {
    int paper, width, length, duplex;
    int outPaper, outDuplex, binding;
    int customCode, width600, length600;  // customCode 0: no custom paper
};
void PrintTo(const PaperCase& c, std::ostream* os) {
    *os << "paper " << c.paper << " " << c.width << "x" << c.length << " duplex " << c.duplex;
}
class RendConvertPaper : public testing::TestWithParam<PaperCase> {};

TEST_P(RendConvertPaper, MapsPaperAndDuplex) {
    const PaperCase& c = GetParam();
    ByteImage input = UiDefaultDevmode();
    input.I16(dm::PaperSize, c.paper).I16(dm::PaperWidth, c.width).I16(dm::PaperLength, c.length).I16(dm::Duplex,
                                                                                                      c.duplex);
    const Converted out = Convert(input);
    ASSERT_EQ(out.result, TRUE);
    EXPECT_EQ(out.image.GetI16(dm::PaperSize), c.outPaper);
    EXPECT_EQ(out.image.GetI16(dm::Duplex), c.outDuplex);
    EXPECT_EQ(out.image.GetU8(R + 2), unsigned(c.binding));
    EXPECT_EQ(out.image.GetI16(R + 548), c.paper);  // the paper as asked for
    EXPECT_EQ(out.image.GetI16(R + 560), c.customCode ? 1 : 0);
    EXPECT_EQ(out.image.GetI32(R + 564), c.customCode);
    EXPECT_EQ(out.image.GetI32(R + 568), c.customCode ? c.length : 0);
    EXPECT_EQ(out.image.GetI32(R + 572), c.customCode ? c.width : 0);
    EXPECT_EQ(out.image.GetI32(R + 576), c.width600);
    EXPECT_EQ(out.image.GetI32(R + 580), c.length600);
}

INSTANTIATE_TEST_SUITE_P(
    All, RendConvertPaper,
    testing::Values(PaperCase{8, 2970, 4200, 2, 9, 0, 0, 0, 0, 0},      // A3 prints on A4, one-sided
                    PaperCase{9, 2100, 2970, 3, 9, 2, 1, 0, 0, 0},      // short edge
                    PaperCase{9, 2100, 2970, 2, 9, 1, 2, 0, 0, 0},      // long edge
                    PaperCase{9, 2100, 2970, 1, 9, 1, 0, 0, 0, 0},
                    PaperCase{1, 2159, 2794, 3, 1, 2, 1, 0, 0, 0},
                    PaperCase{5, 2159, 3556, 2, 5, 1, 2, 0, 0, 0},
                    PaperCase{14, 2159, 3302, 3, 14, 2, 1, 0, 0, 0},
                    PaperCase{243, 2160, 3400, 2, 243, 1, 2, 0, 0, 0},
                    PaperCase{245, 1950, 2700, 3, 245, 2, 1, 0, 0, 0},
                    PaperCase{11, 1480, 2100, 2, 11, 0, 0, 0, 0, 0},   // kept, one-sided
                    PaperCase{70, 1050, 1480, 3, 70, 0, 0, 0, 0, 0},
                    PaperCase{280, 1140, 1620, 1, 280, 0, 0, 0, 0, 0},
                    PaperCase{82, 1480, 2000, 1, 9, 0, 0, 0, 0, 0},    // not on the list
                    PaperCase{256, 2100, 2970, 1, 9, 0, 0, 0, 0, 0},
                    PaperCase{0, 0, 0, 1, 9, 0, 0, 0, 0, 0},
                    PaperCase{-5, 2100, 2970, 1, 9, 0, 0, 0, 0, 0},
                    PaperCase{295, 2100, 2970, 2, 288, 0, 0, 295, 4960, 7015},
                    PaperCase{288, 762, 1270, 1, 288, 0, 0, 288, 1800, 3000},   // the smallest custom size
                    PaperCase{304, 2159, 3556, 1, 288, 0, 0, 304, 5100, 8400},  // the largest
                    // Every code the user interface gives a custom size is one.
                    PaperCase{305, 2100, 2970, 1, 288, 0, 0, 305, 4960, 7015},
                    PaperCase{351, 1500, 2000, 1, 288, 0, 0, 351, 3543, 4724},
                    PaperCase{352, 2100, 2970, 1, 9, 0, 0, 0, 0, 0},
                    // A custom size the printer cannot take prints on A4.
                    PaperCase{288, 0, 0, 1, 9, 0, 0, 0, 0, 0},
                    PaperCase{290, 2100, 4000, 1, 9, 0, 0, 0, 0, 0},
                    PaperCase{290, 700, 2970, 1, 9, 0, 0, 0, 0, 0},
                    PaperCase{290, -2100, 2970, 1, 9, 0, 0, 0, 0, 0}));

// Single settings: an edit of the user interface's DEVMODE and the values
// that must come out at their offsets.
struct Expect {
    size_t offset;
    int width;  // 1, 2 or 4 bytes
    long value;
};
struct FieldCase {
    const char* name;
    std::function<void(ByteImage&)> edit;
    std::vector<Expect> expected;
};
void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

long ReadAt(const ByteImage& image, const Expect& e) {
    return e.width == 1 ? long(image.GetU8(e.offset)) : e.width == 2 ? long(image.GetI16(e.offset)) : image.GetI32(e.offset);
}

class RendConvertField : public testing::TestWithParam<FieldCase> {};

TEST_P(RendConvertField, WritesTheMappedValue) {
    ByteImage input = UiDefaultDevmode();
    GetParam().edit(input);
    const Converted out = Convert(input);
    ASSERT_EQ(out.result, TRUE);
    for (const Expect& e : GetParam().expected) EXPECT_EQ(ReadAt(out.image, e), e.value) << "offset " << e.offset;
}

auto Public16(size_t offset, int value) {
    return [=](ByteImage& in) { in.I16(offset, value); };
}
auto Private16(size_t offset, int value) {
    return [=](ByteImage& in) { in.I16(P + offset, value); };
}
auto Grey(int level) {
    return [=](ByteImage& in) {
        in.I16(P + ui::Watermark + ui::wm::Type, 1).I16(P + ui::Watermark + ui::wm::Grey, level);
    };
}

const FieldCase kFields[] = {
    {"quality 1200", [](ByteImage& in) { in.I16(dm::PrintQuality, 1200).I16(dm::YResolution, 1200); },
     {{dm::PrintQuality, 2, 600}, {dm::YResolution, 2, 600}, {R + 13620, 4, 1}, {R + 2916, 1, 0}, {R + 14676, 1, 0}}},
    {"quality 600", Public16(dm::PrintQuality, 600),
     {{dm::PrintQuality, 2, 600}, {dm::YResolution, 2, 600}, {R + 13620, 4, 0}}},
    {"y resolution 1200 alone", Public16(dm::YResolution, 1200),
     {{dm::PrintQuality, 2, 600}, {dm::YResolution, 2, 1200}, {R + 13620, 4, 0}}},
    {"quality -4", Public16(dm::PrintQuality, -4), {{dm::PrintQuality, 2, -4}, {R + 13620, 4, 0}}},
    {"media 2", [](ByteImage& in) { in.I32(dm::MediaType, 2); }, {{R + 552, 2, 5}}},
    {"media 257", [](ByteImage& in) { in.I32(dm::MediaType, 257); }, {{R + 552, 2, 1}}},
    {"media 259", [](ByteImage& in) { in.I32(dm::MediaType, 259); }, {{R + 552, 2, 3}}},
    {"media 263", [](ByteImage& in) { in.I32(dm::MediaType, 263); }, {{R + 552, 2, 4}}},
    {"media 260", [](ByteImage& in) { in.I32(dm::MediaType, 260); }, {{R + 552, 2, 0}}},
    {"source 1", Public16(dm::DefaultSource, 1), {{R + 4, 2, 2}}},
    {"source 4", Public16(dm::DefaultSource, 4), {{R + 4, 2, 1}}},
    {"source 2", Public16(dm::DefaultSource, 2), {{R + 4, 2, 0}}},
    {"page order 1", Private16(ui::PageOrder, 1), {{R + 105, 1, 1}}},
    {"page order 2", Private16(ui::PageOrder, 2), {{R + 105, 1, 0}}},
    {"page order 3", Private16(ui::PageOrder, 3), {{R + 105, 1, 1}}},
    {"page order 5", Private16(ui::PageOrder, 5), {{R + 105, 1, 3}}},
    {"page order 6", Private16(ui::PageOrder, 6), {{R + 105, 1, 0}}},
    {"16-up", Private16(ui::MultipleUp, 16), {{R + 104, 1, 16}, {R + 1880, 1, 0}, {R + 540, 1, 1}}},
    {"22-up", Private16(ui::MultipleUp, 22), {{R + 104, 1, 22}, {R + 1880, 1, 1}, {R + 540, 1, 0}, {R + 542, 2, 100}}},
    {"scale 24", Private16(ui::ScaleCopy, 24), {{R + 540, 1, 0}, {R + 542, 2, 0}}},
    {"scale 25", Private16(ui::ScaleCopy, 25), {{R + 540, 1, 1}, {R + 542, 2, 25}}},
    {"scale 400", Private16(ui::ScaleCopy, 400), {{R + 540, 1, 1}, {R + 542, 2, 400}}},
    {"scale 401", Private16(ui::ScaleCopy, 401), {{R + 540, 1, 0}, {R + 542, 2, 0}}},
    {"turned landscape", [](ByteImage& in) { in.I16(dm::Orientation, 2).I16(P + ui::Rotate180, 1); },
     {{R + 1881, 1, 1}, {R + 550, 1, 2}}},
    {"rotate 2 is not turning", Private16(ui::Rotate180, 2), {{R + 1881, 1, 0}}},
    {"density light", Private16(ui::Thickness, 0), {{R + 13616, 2, 0}}},
    {"density 5", Private16(ui::Thickness, 5), {{R + 13616, 2, 1}}},
    {"toner saving 2 keeps heavy", [](ByteImage& in) { in.I16(P + ui::Thickness, 2).I16(P + ui::TonerSavingMode, 2); },
     {{R + 13616, 2, 2}}},
    {"A5 long edge", [](ByteImage& in) { in.I16(dm::PaperSize, 11).I16(P + ui::FeedOrient, 2); },
     {{R + 1888, 1, 1}, {R + 1889, 1, 1}}},
    {"A5 short edge", Public16(dm::PaperSize, 11), {{R + 1888, 1, 0}, {R + 1889, 1, 0}}},
    {"A4 long edge", Private16(ui::FeedOrient, 2), {{R + 1888, 1, 0}, {R + 1889, 1, 0}}},
    {"font size 49", Private16(ui::SoftFontSize, 49), {{R + 13602, 2, 95}}},
    {"font size 50", Private16(ui::SoftFontSize, 50), {{R + 13602, 2, 50}}},
    {"font size 240", Private16(ui::SoftFontSize, 240), {{R + 13602, 2, 240}}},
    {"font size 241", Private16(ui::SoftFontSize, 241), {{R + 13602, 2, 95}}},
    {"grey 0", Grey(0), {{W + 1048, 4, 0xC6C6C6}, {W + 1052, 4, 0xC6C6C6}}},
    {"grey 1", Grey(1), {{W + 1048, 4, 0xA1A1A1}}},
    {"grey 2", Grey(2), {{W + 1048, 4, 0x7C7C7C}}},
    {"grey 4", Grey(4), {{W + 1048, 4, 0x323232}}},
    {"grey 7", Grey(7), {{W + 1048, 4, 0x7C7C7C}, {W + 1052, 4, 0x7C7C7C}}},
    {"grey -1", Grey(-1), {{W + 1048, 4, 0x7C7C7C}}},
    {"text watermark centred", Grey(1), {{W + 0, 2, 1}, {W + 1132, 2, 5}, {W + 1148, 4, 0}, {W + 1152, 4, 0}}},
    {"text watermark at x and y",
     [](ByteImage& in) {
         const size_t w = P + ui::Watermark;
         in.I16(w + ui::wm::Type, 1).I16(w + ui::wm::Position, 1).I16(w + ui::wm::X, -30).I16(w + ui::wm::Y, 120);
     },
     {{W + 1132, 2, 10}, {W + 1148, 4, -30}, {W + 1152, 4, 120}}},
    {"bold and italic 2 are not set",
     [](ByteImage& in) {
         const size_t w = P + ui::Watermark;
         in.I16(w + ui::wm::Type, 1).I16(w + ui::wm::Bold, 2).I16(w + ui::wm::Italic, 2);
     },
     {{W + 1140, 1, 0}, {W + 1141, 1, 0}}},
    {"italic", [](ByteImage& in) {
         in.I16(P + ui::Watermark + ui::wm::Type, 1).I16(P + ui::Watermark + ui::wm::Italic, 1);
     },
     {{W + 1140, 1, 1}, {W + 1141, 1, 0}}},
    {"bitmap without fade",
     [](ByteImage& in) {
         in.I16(P + ui::Watermark + ui::wm::Type, 2).I16(P + ui::FirstPageOnly, 1);
     },
     {{W + 0, 2, 1}, {W + 1136, 1, 1}, {W + 1142, 1, 0}, {W + 1122, 2, 100}, {W + 1048, 4, 0}, {R + 6, 1, 1}}},
    {"watermark type 3 writes nothing",
     [](ByteImage& in) { in.I16(P + ui::Watermark + ui::wm::Type, 3).I16(P + ui::FirstPageOnly, 1); },
     {{W + 0, 2, 0}, {W + 1122, 2, 0}, {W + 1132, 2, 0}, {R + 6, 1, 0}}},
};

INSTANTIATE_TEST_SUITE_P(All, RendConvertField, testing::ValuesIn(kFields));

// Texts that do not end inside their record fields are cut, and nothing
// is written past the block's fields.
TEST(RendConvert, UnterminatedWatermarkTextsAreCut) {
    ByteImage input = UiDefaultDevmode();
    const size_t w = P + ui::Watermark;
    input.I16(w + ui::wm::Type, 1).I16(w + ui::wm::Size, 72);
    input.Wide(w + ui::wm::Text, std::u16string(65, u'T')).Wide(w + ui::wm::Face, std::u16string(32, u'F'));
    Converted out = Convert(input);
    ASSERT_EQ(out.result, TRUE);
    ByteImage expectedText(kRendSize);
    expectedText.Wide(W + 524, std::u16string(64, u'T'));
    for (size_t i = 0; i < 262; ++i) EXPECT_EQ(out.image.GetI16(W + 524 + 2 * i), expectedText.GetI16(W + 524 + 2 * i));
    for (size_t i = 0; i < 261; ++i) EXPECT_EQ(out.image.GetI16(W + 2 + 2 * i), i < 64 ? u'T' : 0);
    for (size_t i = 0; i < 32; ++i) EXPECT_EQ(out.image.GetI16(W + 1058 + 2 * i), i < 31 ? u'F' : 0) << i;
    EXPECT_EQ(out.image.GetI16(W + 1122), 72);

    input.I16(w + ui::wm::Type, 2).Wide(w + ui::wm::Path, std::u16string(260, u'p'));
    out = Convert(input);
    ASSERT_EQ(out.result, TRUE);
    for (size_t i = 0; i < 262; ++i) EXPECT_EQ(out.image.GetI16(W + 524 + 2 * i), i < 259 ? u'p' : 0) << i;
}

}  // namespace
}  // namespace tam::test
