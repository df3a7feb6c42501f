// Page scale: the user's scaling, the fit to another paper (an override or
// the country's paper standing in for an unknown one), poster enlargement,
// the image-shift fit, and the scale pair the page prologue writes.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>

#include "pcl6/gdi/layout.h"
#include "pdl/pcl6/gdi/layout_fixture.h"
#include "support/machine_fixture.h"

namespace tam::test {
namespace {

struct ScaleCase {
    const char* name;
    LayoutPaper paper;
    int scaleOn;
    int percent;
    int poster;      // -1: off, else the poster size
    int override;    // paper override, 0 for none
    int pagesPerSheet;
    int booklet;
    double scale;
};

std::ostream& operator<<(std::ostream& os, const ScaleCase& t) { return os << t.name; }

// A4 printable 4768 x 6816, Letter 4908 x 6408.
const ScaleCase kScales[] = {
    {"unscaled", kA4Portrait, 0, 100, -1, 0, 1, 0, 1.0},
    {"25 percent", kA4Portrait, 1, 25, -1, 0, 1, 0, 0.25},
    {"50 percent", kLetterLandscape, 1, 50, -1, 0, 1, 0, 0.5},
    {"150 percent", kA4Portrait1200, 1, 150, -1, 0, 1, 0, 1.5},
    {"400 percent", kA4Portrait, 1, 400, -1, 0, 1, 0, 4.0},
    {"percentage without the flag", kA4Portrait, 0, 150, -1, 0, 1, 0, 1.0},
    {"N-up ignores scaling", kA4Portrait, 1, 150, -1, 0, 4, 0, 1.0},
    {"booklet ignores scaling", kA4Portrait, 1, 150, -1, 0, 1, 1, 1.0},
    {"poster 2 x 2", kA4Portrait, 0, 100, 0, 0, 1, 0, 2.0},
    {"poster 3 x 3", kA4Portrait, 0, 100, 1, 0, 1, 0, 3.0},
    {"poster 4 x 4", kLetterPortrait, 0, 100, 2, 0, 1, 0, 4.0},
    {"poster of an unknown size", kLetterPortrait, 0, 100, 7, 0, 1, 0, 2.0},
    {"poster with the user's scaling", kA4Portrait, 1, 80, 1, 0, 1, 0, 0.8},
    {"poster with N-up", kA4Portrait, 0, 100, 1, 0, 2, 0, 1.0},
    // Fit to another paper: min(sheet / page) over both extents.
    {"A4 onto Letter", kA4Portrait, 0, 100, -1, DMPAPER_LETTER, 1, 0, 6408.0 / 6816},
    {"Letter onto A4", kLetterPortrait, 0, 100, -1, DMPAPER_A4, 1, 0, 4768.0 / 4908},
    {"A4 onto Letter, landscape", kA4Landscape, 0, 100, -1, DMPAPER_LETTER, 1, 0, 6408.0 / 6816},
    {"A4 onto Letter at 1200 dpi", kA4Portrait1200, 0, 100, -1, DMPAPER_LETTER, 1, 0, 12816.0 / 13632},
    {"fit enlarged for a poster", kA4Portrait, 0, 100, 0, DMPAPER_LETTER, 1, 0, 2 * 6408.0 / 6816},
    {"override of the job's own paper", kA4Portrait, 0, 100, -1, DMPAPER_A4, 1, 0, 1.0},
    {"override with the user's scaling", kA4Portrait, 1, 70, -1, DMPAPER_LETTER, 1, 0, 0.7},
};

class PageScale : public testing::TestWithParam<ScaleCase> {};

TEST_P(PageScale, ScaleXAndScaleY) {
    const ScaleCase& t = GetParam();
    LayoutPdev pdev(t.paper);
    pdev.Settings([&](RendPrivate& p) {
        p.ScaleOn = BYTE(t.scaleOn);
        p.ScalePercent = INT16(t.percent);
        p.PaperOverride = INT16(t.override);
        p.PagesPerSheet = BYTE(t.pagesPerSheet);
        p.BookletOn = BYTE(t.booklet);
        if (t.poster >= 0) {
            p.PosterOn = 1;  // poster on
            p.PosterSize = UINT16(t.poster);
        }
    });
    Layout_StartJob(pdev.get());
    EXPECT_DOUBLE_EQ(pdev.layout().ScaleX, t.scale);
    EXPECT_DOUBLE_EQ(pdev.layout().ScaleY, t.scale);
}

INSTANTIATE_TEST_SUITE_P(All, PageScale, testing::ValuesIn(kScales));

TEST(PosterSettings, SizeGivesTilesPerSide) {
    LayoutPdev pdev(kA4Portrait);
    const RendDevmode& job = pdev->Job.JobDevmode;
    EXPECT_FALSE(Layout_PosterOn(job));
    const int tiles[] = {2, 3, 4, 2};
    for (int size = 0; size < 4; ++size) {
        pdev.Settings([&](RendPrivate& p) {
            p.PosterOn = 1;
            p.PosterSize = UINT16(size);
        });
        EXPECT_TRUE(Layout_PosterOn(job));
        EXPECT_EQ(Layout_PosterSize(job), size);
        EXPECT_EQ(Layout_PosterTiles(job), tiles[size]) << size;
    }
}

TEST(SheetGeometry, TakesTheOverridePaperInThePagesOrientation) {
    LayoutPdev pdev(kA4Landscape);
    pdev.Settings([](RendPrivate& p) { p.PaperOverride = DMPAPER_LETTER; });
    Layout_TakeSheetGeometry(pdev.get());
    const LayoutState& st = pdev.layout();
    EXPECT_EQ(st.SheetGeometry.Width, 6600);
    EXPECT_EQ(st.SheetGeometry.Height, 5100);
    EXPECT_EQ(st.SheetGeometry.Left, 96);
    EXPECT_EQ(st.SheetOrientation, 2);
    EXPECT_EQ(st.FirstPageGeometry.Width, 7008);
    EXPECT_EQ(st.FirstPageGeometry.Height, 4960);
    EXPECT_EQ(st.FirstPageOrientation, 2);
    EXPECT_EQ(st.SubstitutedPaper, 0);
}

TEST(SheetGeometry, AnUnknownOverrideKeepsTheJobsPaper) {
    LayoutPdev pdev(kLetterPortrait);
    pdev.Settings([](RendPrivate& p) { p.PaperOverride = 3; });  // not a paper of the model
    Layout_TakeSheetGeometry(pdev.get());
    EXPECT_EQ(pdev.layout().SheetGeometry.Width, 5100);
    EXPECT_EQ(pdev.layout().SheetGeometry.Height, 6600);
}

// A job paper the model does not know was replaced by the country's paper
// at job start: the page (here A3, 7015 x 9921) is fitted to it.
struct SubstituteCase {
    int country;
    int paper;
    int sheetWidth;
    double scale;
};
const SubstituteCase kSubstitutes[] = {
    {49, DMPAPER_A4, 4960, 4768.0 / 6823},      // A4: min(4768 / 6823, 6816 / 9729)
    {1, DMPAPER_LETTER, 5100, 6408.0 / 9729},   // Letter: min(4908 / 6823, 6408 / 9729)
};

class PaperSubstitute : public MachineTest, public testing::WithParamInterface<SubstituteCase> {};

TEST_P(PaperSubstitute, FitsThePageToTheCountrysPaper) {
    machine().MutableSettings().country = GetParam().country;
    LayoutPdev pdev(kA4Portrait);
    pdev->Job.JobDevmode.pub.dmPaperSize = 3;  // not a paper of the model
    pdev->Geometry = PageGeometry{7015, 9921, 96, 96, 96, 96};
    Layout_StartJob(pdev.get());
    EXPECT_EQ(pdev.layout().SubstitutedPaper, GetParam().paper);
    EXPECT_EQ(pdev.layout().SheetGeometry.Width, GetParam().sheetWidth);
    EXPECT_DOUBLE_EQ(pdev.layout().ScaleX, GetParam().scale);
    EXPECT_DOUBLE_EQ(pdev.layout().ScaleY, GetParam().scale);
}

INSTANTIATE_TEST_SUITE_P(All, PaperSubstitute, testing::ValuesIn(kSubstitutes));

TEST(FitRatio, DegeneratePapersGiveOne) {
    LayoutPdev pdev(kA4Portrait);
    Layout_TakeSheetGeometry(pdev.get());
    // A page no larger than its unprintable margins has no printable extent.
    pdev->Geometry = PageGeometry{192, 7008, 96, 96, 96, 96};
    EXPECT_DOUBLE_EQ(Layout_FitRatio(pdev.get()), 1.0);
    pdev->Geometry = PageGeometry{100, 50, 96, 96, 96, 96};
    EXPECT_DOUBLE_EQ(Layout_FitRatio(pdev.get()), 1.0);
    // A sheet with none.
    pdev->Geometry = PageGeometry{4960, 7008, 96, 96, 96, 96};
    pdev.layout().SheetGeometry = PageGeometry{};
    EXPECT_DOUBLE_EQ(Layout_FitRatio(pdev.get()), 1.0);
    EXPECT_DOUBLE_EQ(Layout_FitRatio(nullptr), 1.0);
}

// ---- Image-shift fit ----

struct ShiftFitCase {
    const char* name;
    int direction;
    int front;
    int back;
    int duplex;
    int page;
    double sx;
    double sy;
};

std::ostream& operator<<(std::ostream& os, const ShiftFitCase& t) { return os << t.name; }

// A4 portrait, printable 4768 x 6816; a shift of 300 dots is 204 beyond D.
const ShiftFitCase kShiftFits[] = {
    // Toward the top: 6612 / 4768 (13867) is below 6816 / 4768 (14295).
    {"top", 1, 300, 0, 0, 1, 1.0, 6612.0 / 6816},
    // Toward the left: 4564 / 6816 (6696) is below 4768 / 6816 (6995).
    {"left", 5, 300, 0, 0, 1, 4564.0 / 4768, 1.0},
    {"back side takes the back amount", 1, 300, 500, 1, 2, 1.0, 6412.0 / 6816},
    {"front side of a duplex job", 1, 300, 500, 1, 3, 1.0, 6612.0 / 6816},
    {"a shift within D still fits", 1, 50, 0, 0, 1, 1.0, 1.0},
    {"direction above 8", 9, 300, 0, 0, 1, 1.0, 1.0},
    {"no direction", 0, 300, 0, 0, 1, 1.0, 1.0},
    {"no shift", 1, 0, 0, 0, 1, 1.0, 1.0},
};

class ShiftFit : public testing::TestWithParam<ShiftFitCase> {};

TEST_P(ShiftFit, ShrinksTheShiftedSide) {
    const ShiftFitCase& t = GetParam();
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([&](RendPrivate& p) {
        p.ImageShiftDirection = UINT16(t.direction);
        p.ShiftFit = 1;
        p.FrontShift = UINT16(t.front);
        p.BackShift = UINT16(t.back);
        p.DuplexBinding = BYTE(t.duplex);
    });
    Layout_StartJob(pdev.get());
    pdev.AtPage(t.page, 1);
    double sx = 0, sy = 0;
    Layout_ShiftFitScale(pdev.get(), &sx, &sy);
    EXPECT_DOUBLE_EQ(sx, t.sx);
    EXPECT_DOUBLE_EQ(sy, t.sy);
    // The page scale takes the smaller factor for both axes.
    double x = 0, y = 0;
    Layout_PageScale(pdev.get(), &x, &y);
    EXPECT_DOUBLE_EQ(x, t.sx < t.sy ? t.sx : t.sy);
    EXPECT_DOUBLE_EQ(y, x);
}

INSTANTIATE_TEST_SUITE_P(All, ShiftFit, testing::ValuesIn(kShiftFits));

TEST(ShiftFit, OnlyForOneUnscaledPagePerSheetWithTheFitByte) {
    struct Case {
        const char* name;
        void (*change)(RendPrivate&);
    } cases[] = {
        {"N-up", [](RendPrivate& p) { p.PagesPerSheet = 2; }},
        {"90 percent", [](RendPrivate& p) { p.ScalePercent = 90; }},
        {"user scaling", [](RendPrivate& p) { p.ScaleOn = 1; }},
        {"no fit byte", [](RendPrivate& p) { p.ShiftFit = 0; }},
    };
    for (const Case& t : cases) {
        LayoutPdev pdev(kA4Portrait);
        pdev.Settings([](RendPrivate& p) {
            p.ImageShiftDirection = 1;
            p.ShiftFit = 1;
            p.FrontShift = 300;
        });
        pdev.Settings(t.change);
        Layout_StartJob(pdev.get());
        double sx = 0, sy = 0;
        Layout_ShiftFitScale(pdev.get(), &sx, &sy);
        EXPECT_DOUBLE_EQ(sx, 1.0) << t.name;
        EXPECT_DOUBLE_EQ(sy, 1.0) << t.name;
    }
}

TEST(PageScalePair, MultipliesScaleBookletFitAndCell) {
    LayoutPdev pdev(kA4Portrait);
    LayoutState& st = pdev.layout();
    st.ScaleX = 1.5;
    st.ScaleY = 2.0;
    st.BookletScale = 0.5;
    st.ShiftScale = 0.25;
    double x = 0, y = 0;
    Layout_PageScale(pdev.get(), &x, &y);
    EXPECT_DOUBLE_EQ(x, 1.5 * 0.5 * 0.25);
    EXPECT_DOUBLE_EQ(y, 2.0 * 0.5 * 0.25);
}

}  // namespace
}  // namespace tam::test
