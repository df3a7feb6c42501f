// The model description: paper lists, page geometry, the default settings
// and the forms folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <set>
#include <string>

#include "machine/unicode.h"
#include "pcl6/intrface/xmodel.h"
#include "settings_image.h"
#include "support/machine_fixture.h"

namespace tam::test {
namespace {

constexpr size_t R = 220;

TEST(Xmodel, PaperListsHoldTheModelsPapers) {
    const std::set<int> model = {142, 66,  8,   79,  9,   13,  11,  70,  28,  37,  20,  27,  1,   5,
                                 14,  7,   45,  143, 245, 250, 246, 252, 243, 241, 242, 34,  276, 277,
                                 278, 279, 280, 6,   43,  82,  31,  144, 145, 146, 147, 150, 148, 149};
    const std::set<int> notPrintable = {142, 66, 8, 79, 45, 143};
    for (int code = -2; code <= 400; ++code) {
        const bool custom = code >= 288 && code <= 307;
        EXPECT_EQ(Xmodel_IsModelPaper(code), custom || model.count(code) ? TRUE : FALSE) << code;
        EXPECT_EQ(Xmodel_IsPrintablePaper(code), custom || (model.count(code) && !notPrintable.count(code)) ? TRUE : FALSE)
            << code;
    }
}

TEST(Xmodel, PrintableIndexCountsCustomSizesAfterTheList) {
    EXPECT_EQ(Xmodel_PrintableIndex(g_XmodelPrintablePapers, XMODEL_PRINTABLE_COUNT, 9), 0);
    EXPECT_EQ(Xmodel_PrintableIndex(g_XmodelPrintablePapers, XMODEL_PRINTABLE_COUNT, 1), 7);
    EXPECT_EQ(Xmodel_PrintableIndex(g_XmodelPrintablePapers, XMODEL_PRINTABLE_COUNT, 149), 35);
    EXPECT_EQ(Xmodel_PrintableIndex(g_XmodelPrintablePapers, XMODEL_PRINTABLE_COUNT, 8), -1);
    EXPECT_EQ(Xmodel_PrintableIndex(g_XmodelPrintablePapers, XMODEL_PRINTABLE_COUNT, 288), 36);
    EXPECT_EQ(Xmodel_PrintableIndex(g_XmodelPrintablePapers, XMODEL_PRINTABLE_COUNT, 300), 48);
}

// Settings for a lookup: portrait or landscape, the resolution step, and
// optionally a margin table.
RendDevmode GeometrySettings(int orientation, int step) {
    RendDevmode settings{};
    settings.pub.dmOrientation = SHORT(orientation);
    settings.pub.dmPaperSize = 9;
    settings.priv.ColorAdjust.ResolutionStep = BYTE(step);
    return settings;
}

struct GeometryCase {
    int code, orientation, step;
    PaperGeometry expected;
};
void PrintTo(const GeometryCase& c, std::ostream* os) {
    *os << "paper " << c.code << " orientation " << c.orientation << " step " << c.step;
}
class XmodelGeometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(XmodelGeometry, SizeAndMarginsInDeviceDots) {
    const GeometryCase& c = GetParam();
    RendDevmode settings = GeometrySettings(c.orientation, c.step);
    settings.priv.CustomSizes[0].CustomPaperWidth600 = 3543;
    settings.priv.CustomSizes[0].CustomPaperLength600 = 4724;
    settings.priv.CustomSizes[19].CustomPaperWidth600 = 0x10000 + 2000;  // read as its low 16 bits
    settings.priv.CustomSizes[19].CustomPaperLength600 = 3000;
    PaperGeometry out{};
    ASSERT_EQ(Xmodel_Lookup(&out, &settings, c.code, FALSE), TRUE);
    EXPECT_EQ(BytesOf(out), BytesOf(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    All, XmodelGeometry,
    testing::Values(GeometryCase{9, 1, 0, {4960, 7008, 96, 96, 96, 96}},
                    GeometryCase{9, 1, 1, {9920, 14016, 192, 192, 192, 192}},
                    GeometryCase{9, 2, 0, {7008, 4960, 96, 96, 96, 96}},
                    GeometryCase{1, 1, 0, {5100, 6600, 96, 96, 96, 96}},
                    GeometryCase{142, 2, 0, {19866, 14031, 96, 96, 96, 96}},
                    GeometryCase{149, 1, 0, {5102, 6543, 96, 96, 96, 96}},
                    GeometryCase{288, 1, 0, {3543, 4724, 96, 96, 96, 96}},
                    GeometryCase{288, 2, 1, {9448, 7086, 192, 192, 192, 192}},
                    GeometryCase{307, 1, 0, {2000, 3000, 96, 96, 96, 96}}));

TEST(Xmodel, UnknownPaperOrOrientationLeavesTheOutput) {
    const PaperGeometry before{1, 2, 3, 4, 5, 6};
    for (int code : {0, 2, 287, 308, 400, -9}) {
        RendDevmode settings = GeometrySettings(1, 0);
        PaperGeometry out = before;
        EXPECT_EQ(Xmodel_Lookup(&out, &settings, code, FALSE), FALSE) << code;
        EXPECT_EQ(BytesOf(out), BytesOf(before)) << code;
    }
    for (int orientation : {0, 3, -1}) {
        RendDevmode settings = GeometrySettings(orientation, 0);
        PaperGeometry out = before;
        EXPECT_EQ(Xmodel_Lookup(&out, &settings, 9, FALSE), FALSE) << orientation;
        EXPECT_EQ(BytesOf(out), BytesOf(before)) << orientation;
    }
    RendDevmode settings = GeometrySettings(1, 0);
    PaperGeometry out{};
    EXPECT_EQ(Xmodel_Lookup(nullptr, &settings, 9, FALSE), FALSE);
    EXPECT_EQ(Xmodel_Lookup(&out, nullptr, 9, FALSE), FALSE);
}

TEST(Xmodel, MarginTableTurnsWithTheOrientation) {
    RendDevmode settings = GeometrySettings(1, 1);
    settings.priv.MarginsFlag = 1;
    settings.priv.MarginTable[4] = {{100, 200, 50, 300}};   // A4 is the model's fifth paper
    settings.priv.MarginTable[42] = {{120, 130, 140, 150}}; // custom code 288
    settings.priv.CustomSizes[0].CustomPaperWidth600 = 3000;
    settings.priv.CustomSizes[0].CustomPaperLength600 = 4000;
    PaperGeometry out{};
    ASSERT_EQ(Xmodel_Lookup(&out, &settings, 9, FALSE), TRUE);
    EXPECT_EQ(BytesOf(out), BytesOf(PaperGeometry{9920, 14016, 200, 400, 192, 600}));  // 50 raised to 96
    settings.pub.dmOrientation = 2;
    ASSERT_EQ(Xmodel_Lookup(&out, &settings, 9, FALSE), TRUE);
    EXPECT_EQ(BytesOf(out), BytesOf(PaperGeometry{14016, 9920, 600, 200, 400, 192}));
    ASSERT_EQ(Xmodel_Lookup(&out, &settings, 288, FALSE), TRUE);
    EXPECT_EQ(BytesOf(out), BytesOf(PaperGeometry{8000, 6000, 300, 240, 260, 280}));

    // Another paper than the settings' keeps the margins it was given.
    settings.pub.dmOrientation = 1;
    out = PaperGeometry{0, 0, 11, 22, 33, 44};
    ASSERT_EQ(Xmodel_Lookup(&out, &settings, 1, TRUE), TRUE);
    EXPECT_EQ(BytesOf(out), BytesOf(PaperGeometry{10200, 13200, 11, 22, 33, 44}));
    ASSERT_EQ(Xmodel_Lookup(&out, &settings, 9, TRUE), TRUE);
    EXPECT_EQ(BytesOf(out), BytesOf(PaperGeometry{9920, 14016, 200, 400, 192, 600}));
}

TEST(Xmodel, CustomSizesBeyondTheMarginTableTakeTheSmallestMargins) {
    RendDevmode settings = GeometrySettings(1, 0);
    settings.priv.MarginsFlag = 1;
    for (auto& entry : settings.priv.MarginTable) entry = {{500, 500, 500, 500}};
    for (auto& size : settings.priv.CustomSizes) size = {3000, 4000, {}};
    PaperGeometry out{};
    ASSERT_EQ(Xmodel_Lookup(&out, &settings, 288 + 6, FALSE), TRUE);  // the last size with a table entry
    EXPECT_EQ(BytesOf(out), BytesOf(PaperGeometry{3000, 4000, 500, 500, 500, 500}));
    for (int code : {288 + 7, 307}) {
        ASSERT_EQ(Xmodel_Lookup(&out, &settings, code, FALSE), TRUE);
        EXPECT_EQ(BytesOf(out), BytesOf(PaperGeometry{3000, 4000, 96, 96, 96, 96})) << code;
    }
}

struct CountryCase {
    DWORD country;
    bool a4;
};
class RendDefaults : public MachineTest, public testing::WithParamInterface<CountryCase> {};

TEST_P(RendDefaults, ExactBytesForTheCountry) {
    machine().MutableSettings().country = GetParam().country;
    machine().MutableSettings().userName = u"Mei";
    ByteImage actual(14900);
    std::fill(actual.bytes().begin(), actual.bytes().end(), BYTE(0xEE));
    ASSERT_EQ(Ui_DefaultSettings(reinterpret_cast<RendDevmode*>(actual.data()), u"Korvan KP-2200 on Office"), TRUE);
    EXPECT_TRUE(SameBytes(actual.bytes(), ExpectedDefaults(GetParam().a4, u"Korvan KP-2200 on Office", u"Mei",
                                                           u"C:\\Users\\Public\\Brevant\\Form\\")
                                              .bytes()));
}

INSTANTIATE_TEST_SUITE_P(All, RendDefaults,
                         testing::Values(CountryCase{1, false}, CountryCase{52, false}, CountryCase{44, true},
                                         CountryCase{86, true}));

using RendDefaultsMore = MachineTest;

TEST_F(RendDefaultsMore, DeviceNameIsCutAndUserNameToo) {
    machine().MutableSettings().country = 49;
    machine().MutableSettings().userName = std::u16string(40, u'u');
    RendDevmode settings;
    ASSERT_EQ(Ui_DefaultSettings(&settings, std::u16string(40, u'd').c_str()), TRUE);
    EXPECT_EQ(std::u16string(settings.pub.dmDeviceName), std::u16string(31, u'd'));
    EXPECT_EQ(std::u16string(settings.priv.Info.UserName), std::u16string(31, u'u'));

    ASSERT_EQ(Ui_DefaultSettings(&settings, nullptr), TRUE);
    EXPECT_EQ(settings.pub.dmDeviceName[0], 0);
    EXPECT_EQ(Ui_DefaultSettings(nullptr, u"x"), FALSE);
}

TEST_F(RendDefaultsMore, FormsFolderOfOlderSystemsIsUnderAllUsers) {
    machine().MutableSettings().osMajor = 5;
    machine().MutableSettings().osMinor = 1;
    RendDevmode settings{};
    ASSERT_EQ(Util_GetFormsFolder(&settings), TRUE);
    EXPECT_EQ(std::u16string(settings.priv.FormsFolder), u"C:\\ProgramData\\Documents\\Brevant\\Form\\");
    EXPECT_EQ(std::u16string(settings.priv.FormsFolderCopy), u"C:\\ProgramData\\Documents\\Brevant\\Form\\");
}

TEST_F(RendDefaultsMore, FormsFolderFollowsThePublicFolder) {
    machine().SetEnvironment(u"PUBLIC", nullptr);
    std::u16string other = u"D:\\Shared";
    machine().SetEnvironment(u"PUBLIC", &other);
    RendDevmode settings{};
    ASSERT_EQ(Util_GetFormsFolder(&settings), TRUE);
    EXPECT_EQ(std::u16string(settings.priv.FormsFolder), u"D:\\Shared\\Brevant\\Form\\");
}

TEST_F(RendDefaultsMore, FormsFolderWithoutItsBaseIsEmpty) {
    machine().SetEnvironment(u"PUBLIC", nullptr);
    RendDevmode settings{};
    settings.priv.FormsFolder[0] = u'x';
    EXPECT_EQ(Util_GetFormsFolder(&settings), FALSE);
    EXPECT_EQ(settings.priv.FormsFolder[0], 0);
    EXPECT_EQ(settings.priv.FormsFolderCopy[0], 0);
}

// The two folder fields keep their places and sizes: a long path is cut
// inside each field and never reaches the field after it or the
// resolution step behind the second.
TEST_F(RendDefaultsMore, LongFormsFolderIsCutInsideBothFields) {
    for (size_t baseLength : {240u, 241u, 242u, 300u, 2000u}) {
        std::u16string base = u"C:\\" + std::u16string(baseLength - 3, u'b');
        machine().SetEnvironment(u"PUBLIC", &base);
        ByteImage image(14900);
        std::fill(image.bytes().begin(), image.bytes().end(), BYTE(0x77));
        auto* settings = reinterpret_cast<RendDevmode*>(image.data());
        ASSERT_EQ(Util_GetFormsFolder(settings), TRUE) << baseLength;
        const std::u16string whole = base + u"\\Brevant\\Form\\";
        const std::u16string kept = whole.substr(0, 255);
        for (size_t field : {R + 1892, R + 2404}) {
            for (size_t i = 0; i < 256; ++i)
                ASSERT_EQ(image.GetI16(field + 2 * i), i < kept.size() ? kept[i] : 0) << baseLength << " at " << i;
        }
        EXPECT_EQ(image.GetU8(R + 1891), 0x77u);
        EXPECT_EQ(image.GetU8(R + 2916), 0x77u) << "the resolution step";
    }
}

}  // namespace
}  // namespace tam::test
