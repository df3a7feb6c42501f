// What text output asks of the engine's font objects: the face name, the
// em in device pixels and its aspect, the printer's character angle and the
// bold and italic simulation written for a face that lacks them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "font_objects.h"
#include "job_fixture.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/nt/fontquery.h"

namespace tam::test {
namespace {

class FontQuery : public JobTest {
protected:
    // A font of an em of `em` pixels through a world transform.
    static std::unique_ptr<TestFontObject> Transformed(std::u16string face, LONG em, const XFORM& transform,
                                                       LONG escapement = 0, bool italic = false) {
        LOGFONTW logFont{};
        logFont.lfItalic = italic;
        logFont.lfHeight = -em;
        logFont.lfEscapement = logFont.lfOrientation = escapement;
        face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
        auto font = w32::RealizeFont(w32::MapFont(logFont),
                                     w32::FontRealizationRequest::FromLogFont(logFont, transform, true));
        return font ? std::make_unique<TestFontObject>(font) : nullptr;
    }
};

TEST(FontAngle, DirectionTurnedTheOtherWay) {
    const std::pair<int, int> table[] = {{0, 360}, {90, 270}, {180, 180}, {270, 90},
                                         {360, 0}, {361, 359}, {450, 270}, {720, 0}};
    for (const auto& [direction, angle] : table) EXPECT_EQ(Font_CharAngleOf(direction), angle) << direction;
}

TEST_F(FontQuery, NameSizeAndAngleOfRealFonts) {
    struct Case {
        const char* name;
        std::u16string face;
        LONG em;
        XFORM transform;
        LONG escapement;
        const char* faceName;
        LONG width, height;
        int angle;
    };
    const Case cases[] = {
        {"upright", u"Arial", 100, {1, 0, 0, 1, 0, 0}, 0, "Liberation Sans", 100, 100, 360},
        {"twice as wide", u"Arial", 100, {2, 0, 0, 1, 0, 0}, 0, "Liberation Sans", 200, 100, 360},
        {"turned up", u"Times New Roman", 80, {1, 0, 0, 1, 0, 0}, 900, "Liberation Serif", 80, 80, 90},
        {"turned down", u"DejaVu Sans", 64, {1, 0, 0, 1, 0, 0}, 2700, "DejaVu Sans", 64, 64, 270},
    };
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto font = Transformed(c.face, c.em, c.transform, c.escapement);
        ASSERT_NE(font, nullptr);
        char name[32];
        Font_GetName(name, font->get());
        EXPECT_STREQ(name, c.faceName);
        LONG width = -1, height = -1;
        Font_GetCharSize(pdev, font->get(), &width, &height);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(Font_GetCharAngle(pdev, font->get()), c.angle);
    }
}

TEST_F(FontQuery, MissingFontAnswersNothing) {
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    LONG width = -1, height = -1;
    Font_GetCharSize(pdev, nullptr, &width, &height);
    EXPECT_EQ(width, -1);
    EXPECT_EQ(height, -1);
    EXPECT_EQ(Font_GetCharAngle(pdev, nullptr), -1);
    char name[32] = "x";
    Font_GetName(name, nullptr);
    EXPECT_STREQ(name, "");
}

// The bold value comes first, then the shear; a face that has the style
// already is not simulated, and "no simulation" writes zeros.
TEST_F(FontQuery, SimulationOnlyForWhatTheFaceLacks) {
    struct Case {
        const char* name;
        std::u16string face;
        bool italic;
        FLONG simulations;
        BOOL noSimulation;
        const char* bytes;
    };
    const char* kZeros = "C5 00 00 00 00 F8 B1 7D D5 00 00 00 00 00 00 00 00 F8 A5 66";
    const Case cases[] = {
        {"bold and italic asked of a regular face", u"DejaVu Sans", false, FO_SIM_BOLD | FO_SIM_ITALIC, FALSE,
         "C5 8F C2 75 3C F8 B1 7D D5 E6 E8 A1 3E 00 00 00 00 F8 A5 66"},
        {"italic asked of an italic face", u"Arial", true, FO_SIM_ITALIC, FALSE, kZeros},
        {"none asked", u"DejaVu Sans", false, 0, FALSE, kZeros},
        {"no simulation", u"DejaVu Sans", false, FO_SIM_BOLD, TRUE, kZeros},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PDEV* pdev = StartJob();
        ASSERT_NE(pdev, nullptr);
        auto font = Transformed(c.face, 50, {1, 0, 0, 1, 0, 0}, 0, c.italic);
        ASSERT_NE(font, nullptr);
        font->get()->flFontType = (font->get()->flFontType & ~(FO_SIM_BOLD | FO_SIM_ITALIC)) | c.simulations;
        // The cache writes only changes: start from values of its own.
        Gx_SetCharBoldValue(pdev, 1.0);
        Gx_SetCharShear(pdev, 1.0, 0.0);
        TakeOutput(pdev);
        EXPECT_TRUE(Font_SetSimulation(pdev, font->get(), c.noSimulation));
        EXPECT_EQ(Out(pdev), HexText(Hex(c.bytes)));
    }
}

}  // namespace
}  // namespace tam::test
