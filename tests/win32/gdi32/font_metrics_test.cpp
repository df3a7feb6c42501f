// GetTextMetricsW and GetTextExtentPoint32W against FreeType: for DejaVu
// Sans and the face that "Arial" maps to, at 8, 11 and 72 points on a 96 dpi
// memory DC and on the 600 dpi printer DC and information context of the
// test driver, the cell is the OS/2 Windows ascent and descent scaled to
// the em and rounded, and a string reaches as far as its hinted advances add up.
#include <tuple>

#include "win32/gdi32/font_fixture.h"

using namespace tam::test;

namespace {

struct Face {
    const char16_t* name;  // what the program asks for
    const char* hostFile;  // the file the mapper gives it
    const char* label;
};
const Face kFaces[] = {{u"DejaVu Sans", kDejaVuSans, "DejaVuSans"}, {u"Arial", kLiberationSans, "Arial"}};

const std::u16string kText = u"Hamburgefonstiv, WAVE 0123!";

class FontMetrics : public FontTest, public testing::WithParamInterface<std::tuple<Face, int, DcKind>> {};

TEST_P(FontMetrics, MatchFreeType) {
    const auto [face, points, kind] = GetParam();
    HDC dc = MakeDC(kind);
    const LONG em = LONG(std::lround(points * Dpi(kind) / 72.0));  // the em a program asks for: -MulDiv(pt, dpi, 72)
    Use(dc, face.name, -em);
    const FtFace ft(face.hostFile, FT_UInt(em));

    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm)) << GetLastError();
    EXPECT_EQ(tm.tmAscent, ft.Ascent());
    EXPECT_EQ(tm.tmDescent, ft.Descent());
    EXPECT_EQ(tm.tmHeight, ft.Ascent() + ft.Descent());
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - em);
    EXPECT_EQ(tm.tmAveCharWidth, ft.Scaled(ft.Os2().xAvgCharWidth));
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    EXPECT_EQ(tm.tmDigitizedAspectX, Dpi(kind));
    EXPECT_EQ(tm.tmDigitizedAspectY, Dpi(kind));
    EXPECT_EQ(tm.tmItalic, 0);
    EXPECT_EQ(tm.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR | TMPF_FIXED_PITCH),
              TMPF_TRUETYPE | TMPF_VECTOR | TMPF_FIXED_PITCH);  // the bit set means variable pitch
    EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);

    SIZE size{-1, -1};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, kText.data(), int(kText.size()), &size)) << GetLastError();
    EXPECT_EQ(size.cx, ft.Extent(kText));
    EXPECT_EQ(size.cy, tm.tmHeight);
}

INSTANTIATE_TEST_SUITE_P(All, FontMetrics,
                         testing::Combine(testing::ValuesIn(kFaces), testing::Values(8, 11, 72),
                                          testing::Values(DcKind::Memory, DcKind::Printer, DcKind::Information)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + "_" +
                                    std::to_string(std::get<1>(info.param)) + "pt_" +
                                    DcKindName(std::get<2>(info.param));
                         });

using FontMetricsScale = FontTest;

// With two device pixels to a logical unit the font is realised at twice
// the em, and the metrics and extents come back halved.
TEST_F(FontMetricsScale, LogicalUnitsOfAScaledMapping) {
    HDC dc = MakeDC(DcKind::Memory);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, 2, 2, nullptr);
    Use(dc, u"DejaVu Sans", -20);
    const FtFace ft(kDejaVuSans, 40);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(tm.tmAscent, std::lround(ft.Ascent() / 2.0));
    EXPECT_EQ(tm.tmDescent, std::lround(ft.Descent() / 2.0));
    EXPECT_EQ(tm.tmAveCharWidth, std::lround(ft.Scaled(ft.Os2().xAvgCharWidth) / 2.0));
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, kText.data(), int(kText.size()), &size));
    EXPECT_EQ(size.cx, std::lround(ft.Extent(kText) / 2.0));
    EXPECT_EQ(size.cy, tm.tmHeight);
}

}  // namespace
