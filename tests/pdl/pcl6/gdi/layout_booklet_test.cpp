// Booklet: the reduction that puts a page on half a turned sheet, the
// halves' places, the gutter, the print position on a half, and the origin
// and rotation the booklet replay gives each stored page.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <vector>

#include "pcl6/gdi/layout.h"
#include "pdl/pcl6/gdi/layout_fixture.h"

namespace tam::test {
namespace {

struct BookletScaleCase {
    const char* name;
    LayoutPaper paper;
    int firstGutter, secondGutter, gutterWidth;
    int sheetWidth, sheetHeight, sheetOrientation;
    int columns, rows;
    double scale;
};

std::ostream& operator<<(std::ostream& os, const BookletScaleCase& t) { return os << t.name; }

// A portrait job prints on a landscape sheet, two pages side by side; a
// landscape job on a portrait sheet, one page above the other. The scale
// is the smaller of (page width - 2D) / (sheet width - 2D) and (page height
// - G) / (2 (sheet height - 2D)) for a portrait job (page height / (sheet
// height - 2D) and (page width - 2D - G) / (2 (sheet width - 2D)) for a
// landscape one), held to the page's fit to its half.
const BookletScaleCase kBookletScales[] = {
    // min(4768 / 6816, 7008 / 9536); the half fit is the same 4768 / 6816.
    {"A4 portrait", kA4Portrait, 0, 0, 0, 7008, 4960, 2, 2, 1, 4768.0 / 6816},
    {"A4 portrait, 1200 dpi", kA4Portrait1200, 0, 0, 0, 14016, 9920, 2, 2, 1, 9536.0 / 13632},
    // The gutter of both flags (200) narrows the halves to 3308 / 4768.
    {"A4 portrait, gutter", kA4Portrait, 1, 1, 100, 7008, 4960, 2, 2, 1, 3308.0 / 4768},
    // min(4908 / 6408, 6600 / 9816) = 0.672 would make the page 3300 wide on
    // a half of 3204: the half's 3204 / 4908 holds.
    {"Letter portrait", kLetterPortrait, 0, 0, 0, 6600, 5100, 2, 2, 1, 3204.0 / 4908},
    {"Letter portrait, gutter", kLetterPortrait, 1, 1, 100, 6600, 5100, 2, 2, 1, 3104.0 / 4908},
    // The first flag alone leaves the same room: the halves move apart.
    {"Letter portrait, first flag only", kLetterPortrait, 1, 0, 100, 6600, 5100, 2, 2, 1, 3104.0 / 4908},
    // min(4960 / 6816, 6816 / 9536) = 0.715 would make the page 4872 wide on
    // 4768: the page's fit 4768 / 6816 holds.
    {"A4 landscape", kA4Landscape, 0, 0, 0, 4960, 7008, 1, 1, 2, 4768.0 / 6816},
    // min(4960 / 6816, 6616 / 9536), which fits its half.
    {"A4 landscape, gutter", kA4Landscape, 1, 1, 100, 4960, 7008, 1, 1, 2, 6616.0 / 9536},
};

class BookletScale : public testing::TestWithParam<BookletScaleCase> {};

TEST_P(BookletScale, TurnsTheSheetAndScalesThePage) {
    const BookletScaleCase& t = GetParam();
    LayoutPdev pdev(t.paper);
    pdev.Settings([&](RendPrivate& p) {
        p.BookletOn = 1;
        p.FirstGutterFlag = t.firstGutter;
        p.SecondGutterFlag = t.secondGutter;
        p.GutterWidth = t.gutterWidth;
    });
    Layout_StartJob(pdev.get());
    const LayoutState& st = pdev.layout();
    EXPECT_EQ(st.SheetGeometry.Width, t.sheetWidth);
    EXPECT_EQ(st.SheetGeometry.Height, t.sheetHeight);
    EXPECT_EQ(st.SheetOrientation, t.sheetOrientation);
    EXPECT_EQ(st.BookletColumns, t.columns);
    EXPECT_EQ(st.BookletRows, t.rows);
    EXPECT_DOUBLE_EQ(st.BookletScale, t.scale);
    EXPECT_DOUBLE_EQ(st.ScaleX, 1.0);  // booklet pages are not scaled otherwise
    double x = 0, y = 0;
    Layout_PageScale(pdev.get(), &x, &y);
    EXPECT_DOUBLE_EQ(x, t.scale);

    // A second turn of the sheet keeps it turned.
    Layout_ComputeBookletScale(pdev.get(), TRUE, &pdev->Geometry);
    EXPECT_EQ(st.SheetGeometry.Width, t.sheetWidth);
    EXPECT_DOUBLE_EQ(st.BookletScale, t.scale);
}

INSTANTIATE_TEST_SUITE_P(All, BookletScale, testing::ValuesIn(kBookletScales));

TEST(BookletScale, OffGivesOneAndKeepsTheSheet) {
    LayoutPdev pdev(kA4Portrait);
    pdev.layout().BookletScale = 0.3;
    Layout_StartJob(pdev.get());
    EXPECT_DOUBLE_EQ(pdev.layout().BookletScale, 1.0);
    EXPECT_EQ(pdev.layout().SheetGeometry.Width, 4960);
    EXPECT_EQ(pdev.layout().SheetOrientation, 1);
}

// ---- Places ----

struct PlaceCase {
    int order, orientation, index, columns, rows;
    int column, row;
};
const PlaceCase kPlaces[] = {
    // Two places: order 0 left to right, order 1 right to left; a portrait
    // sheet reads them top to bottom.
    {0, 2, 0, 2, 1, 0, 0}, {0, 2, 1, 2, 1, 1, 0}, {1, 2, 0, 2, 1, 1, 0}, {1, 2, 1, 2, 1, 0, 0},
    {0, 1, 1, 1, 2, 0, 1}, {1, 1, 0, 2, 1, 0, 1}, {1, 1, 1, 1, 2, 0, 0}, {2, 2, 1, 2, 1, 0, 0},
    // Four places.
    {0, 2, 0, 2, 2, 0, 0}, {0, 2, 1, 2, 2, 1, 0}, {0, 2, 2, 2, 2, 0, 1}, {0, 2, 3, 2, 2, 1, 1},
    {1, 2, 0, 2, 2, 1, 0}, {1, 2, 1, 2, 2, 0, 0}, {1, 2, 2, 2, 2, 1, 1}, {1, 2, 3, 2, 2, 0, 1},
    {3, 2, 3, 2, 2, 0, 0},
    // No grid.
    {0, 2, 1, 0, 0, 0, 0},
};

class BookletPlace : public testing::TestWithParam<PlaceCase> {};

TEST_P(BookletPlace, ColumnAndRow) {
    const PlaceCase& t = GetParam();
    int c = -1, k = -1;
    Layout_BookletPlacePosition(t.order, t.orientation, t.index, t.columns, t.rows, &c, &k);
    EXPECT_EQ(c, t.column);
    EXPECT_EQ(k, t.row);
}

INSTANTIATE_TEST_SUITE_P(All, BookletPlace, testing::ValuesIn(kPlaces));

TEST(BookletGutter, AcrossForSideBySideHalvesDownForStackedOnes) {
    LayoutPdev portrait(kA4Portrait);
    portrait.Settings([](RendPrivate& p) {
        p.BookletOn = 1;
        p.GutterWidth = 100;
    });
    Layout_StartJob(portrait.get());
    INT32 across = 5, down = 7;
    Layout_BookletGutter(portrait.get(), &across, &down);
    EXPECT_EQ(across, 0);  // no first gutter flag
    EXPECT_EQ(down, 0);
    portrait.Settings([](RendPrivate& p) { p.FirstGutterFlag = 1; });
    across = 5, down = 7;
    Layout_BookletGutter(portrait.get(), &across, &down);
    EXPECT_EQ(across, 100);
    EXPECT_EQ(down, 7);  // not set: the caller's value

    LayoutPdev landscape(kA4Landscape);
    landscape.Settings([](RendPrivate& p) {
        p.BookletOn = 1;
        p.FirstGutterFlag = 1;
        p.GutterWidth = 100;
    });
    Layout_StartJob(landscape.get());
    across = 5, down = 7;
    Layout_BookletGutter(landscape.get(), &across, &down);
    EXPECT_EQ(across, 5);
    EXPECT_EQ(down, 100);
}

// ---- Print position on a half ----

struct HalfPositionCase {
    const char* name;
    int order;
    BOOL front;
    int index;
    int duplex;
    int position;
    int gutter;
    int dx, dy;
};

std::ostream& operator<<(std::ostream& os, const HalfPositionCase& t) { return os << t.name; }

// A4 portrait job at a booklet scale of 0.6: the half leaves 6816 - 4768 x 2
// x 0.6 = 1094 across (547 a page) and 4768 - 0.6 x 6816 = 678 down.
// Positions: 1 right, 2 bottom, 3 bottom right, 4 centre.
const HalfPositionCase kHalfPositions[] = {
    {"order 0, front, even page", 0, TRUE, 2, 0, 1, 0, 547, 0},
    {"order 0, front, odd page mirrors", 0, TRUE, 1, 0, 1, 0, 0, 0},
    {"order 0, manual duplex keeps", 0, TRUE, 1, 3, 1, 0, 547, 0},
    {"order 0, back, even page mirrors and turns", 0, FALSE, 2, 0, 1, 0, 0, 678},
    {"order 0, back, odd page turns", 0, FALSE, 1, 0, 1, 0, 547, 678},
    {"order 0, back, bottom gives nothing", 0, FALSE, 1, 0, 2, 0, 0, 0},
    {"order 0, back, mirrored to bottom", 0, FALSE, 2, 0, 3, 0, 0, 0},
    {"order 1, front, even page mirrors", 1, TRUE, 2, 0, 1, 0, 0, 0},
    {"order 1, front, odd page", 1, TRUE, 1, 0, 1, 0, 547, 0},
    {"order 1, back, odd page", 1, FALSE, 1, 0, 2, 0, 547, 0},
    {"order 1, back, even page", 1, FALSE, 2, 0, 2, 0, 0, 0},
    {"centre", 0, TRUE, 1, 0, 4, 0, 273, 339},
    {"other order", 2, FALSE, 2, 0, 1, 0, 547, 0},
    {"gutter narrows the half", 0, TRUE, 2, 0, 1, 100, 447, 0},
    {"top left", 0, TRUE, 2, 0, 0, 0, 0, 0},
};

class BookletHalfPosition : public testing::TestWithParam<HalfPositionCase> {};

TEST_P(BookletHalfPosition, MovesThePageOnItsHalf) {
    const HalfPositionCase& t = GetParam();
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([&](RendPrivate& p) {
        p.BookletOn = 1;
        p.BookletOrder = t.order;
        p.DuplexBinding = BYTE(t.duplex);
        p.PrintPosition = UINT16(t.position);
        p.FirstGutterFlag = t.gutter ? 1 : 0;
        p.SecondGutterFlag = t.gutter ? 1 : 0;
        p.GutterWidth = t.gutter;
    });
    Layout_StartJob(pdev.get());
    pdev.layout().BookletScale = 0.6;
    INT32 dx = -1, dy = -1;
    Layout_BookletPrintPosition(pdev.get(), 2, 1, t.front, 4960, 7008, t.index, &dx, &dy);
    EXPECT_EQ(dx, t.dx);
    EXPECT_EQ(dy, t.dy);
}

INSTANTIATE_TEST_SUITE_P(All, BookletHalfPosition, testing::ValuesIn(kHalfPositions));

// ---- Cell transform of the booklet replay ----

SpoolPageEntry StoredPage(int width, int height, int orientation) {
    SpoolPageEntry entry{};
    entry.PageSize = INT32(UINT32(width) | UINT32(height) << 16);
    entry.PrintableTopLeft = INT32(96u | 96u << 16);
    entry.PrintableBottomRight = INT32(96u | 96u << 16);
    entry.Orientation = UINT8(orientation);
    return entry;
}

class BookletReplay : public testing::Test {
protected:
    // Entry 0 stands for the job header; the pages follow.
    LayoutPdev Start(const LayoutPaper& paper, std::vector<SpoolPageEntry> pages,
                     void (*settings)(RendPrivate&) = nullptr) {
        LayoutPdev pdev(paper);
        pdev.Settings([](RendPrivate& p) { p.BookletOn = 1; });
        if (settings) pdev.Settings(settings);
        Layout_StartJob(pdev.get());
        table_ = {SpoolPageEntry{}};
        table_.insert(table_.end(), pages.begin(), pages.end());
        pdev.job().Spool.PageTable = table_.data();
        pdev.job().Spool.PageTableCount = INT32(table_.size());
        return pdev;
    }

    static LayoutPdev::Placed Place(LayoutPdev& pdev, int place, int entry, BOOL front) {
        LayoutPdev::Placed placed;
        placed.rotation = Layout_BookletCellTransform(pdev.get(), &placed.x, &placed.y, place, entry, front);
        return placed;
    }

    std::vector<SpoolPageEntry> table_;
};

const SpoolPageEntry kA4PortraitPage = StoredPage(4960, 7008, 1);
const SpoolPageEntry kA4LandscapePage = StoredPage(7008, 4960, 2);
const SpoolPageEntry kLetterPortraitPage = StoredPage(5100, 6600, 1);

// A4 portrait job: sheet 7008 x 4960, halves 3408 apart, booklet scale
// 4768 / 6816 (a page turned by 180 degrees adds 3335 and 4768). A page
// leaves trunc(6816 - 4768 x 2 x 4768 / 6816) / 2 = 72 of its half free
// across; print position 0 puts it against the fold, so the left half's
// page of an odd entry moves right by 72 on a front side (booklet order 0).
TEST_F(BookletReplay, FrontSidePlacesTheHalvesUpright) {
    LayoutPdev pdev = Start(kA4Portrait, {kA4PortraitPage, kA4PortraitPage});
    LayoutPdev::Placed placed = Place(pdev, 1, 1, TRUE);
    EXPECT_EQ(placed.x, 96 + 72);
    EXPECT_EQ(placed.y, 96);
    EXPECT_EQ(placed.rotation, 0);
    EXPECT_EQ(pdev.job().PageTurn, 0);
    placed = Place(pdev, 2, 2, TRUE);
    EXPECT_EQ(placed.x, 96 + 3408);
    EXPECT_EQ(placed.y, 96);
    EXPECT_EQ(placed.rotation, 0);
}

TEST_F(BookletReplay, BackSideOfPrinterDuplexIsTurned) {
    LayoutPdev pdev = Start(kA4Portrait, {kA4PortraitPage, kA4PortraitPage});
    LayoutPdev::Placed placed = Place(pdev, 1, 1, FALSE);
    EXPECT_EQ(pdev.job().PageTurn, 1);
    EXPECT_EQ(placed.x, 96 + 3335);
    EXPECT_EQ(placed.y, 96 + 4768);
    EXPECT_EQ(placed.rotation, 180);
    EXPECT_EQ(pdev.layout().PageRotation, 180);

    // A rule that turns portrait pages turns the front instead.
    pdev.Settings([](RendPrivate& p) { p.Rotate180Mode = 2; });
    placed = Place(pdev, 2, 2, TRUE);
    EXPECT_EQ(placed.x, 96 + 3408 + 3335);
    EXPECT_EQ(placed.rotation, 180);
    placed = Place(pdev, 2, 2, FALSE);  // an even entry on a back side: position 3
    EXPECT_EQ(placed.x, 96 + 3408 + 72);
    EXPECT_EQ(placed.rotation, 0);

    // Manual duplex turns by the rule alone.
    pdev.Settings([](RendPrivate& p) {
        p.Rotate180Mode = 0;
        p.DuplexBinding = 3;
    });
    placed = Place(pdev, 1, 1, FALSE);
    EXPECT_EQ(placed.rotation, 0);
    EXPECT_EQ(pdev.job().PageTurn, 0);
}

TEST_F(BookletReplay, PagesTurnedAgainstTheJobLieAcrossTheirHalf) {
    LayoutPdev pdev = Start(kA4Portrait, {kA4LandscapePage});
    LayoutPdev::Placed placed = Place(pdev, 1, 1, TRUE);
    EXPECT_EQ(placed.x, 96 + 3335 + 72);
    EXPECT_EQ(placed.y, 96);
    EXPECT_EQ(placed.rotation, 270);

    // A landscape job: a portrait sheet with halves 3408 apart downward.
    LayoutPdev landscape = Start(kA4Landscape, {kA4PortraitPage, kA4PortraitPage});
    placed = Place(landscape, 2, 2, TRUE);
    EXPECT_EQ(placed.x, 96);
    EXPECT_EQ(placed.y, 96 + 3408 + 3335);
    EXPECT_EQ(placed.rotation, 90);
}

TEST_F(BookletReplay, NoPlaceKeepsThePageRotation) {
    LayoutPdev pdev = Start(kA4Portrait, {kA4PortraitPage});
    pdev.layout().PageRotation = 90;
    const LayoutPdev::Placed placed = Place(pdev, 0, 1, FALSE);
    EXPECT_EQ(placed.x, 96);
    EXPECT_EQ(placed.y, 96);
    EXPECT_EQ(placed.rotation, 0);
    EXPECT_EQ(pdev.layout().PageRotation, 90);
}

TEST_F(BookletReplay, EntryOutsideThePageTableGivesTheMarginOrigin) {
    LayoutPdev pdev = Start(kA4Portrait1200, {kA4PortraitPage});
    for (int entry : {-1, 2, 1000}) {
        const LayoutPdev::Placed placed = Place(pdev, 1, entry, TRUE);
        EXPECT_EQ(placed.x, 192) << entry;
        EXPECT_EQ(placed.y, 192);
        EXPECT_EQ(placed.rotation, 0);
    }
    pdev.job().Spool.PageTable = nullptr;
    EXPECT_EQ(Place(pdev, 1, 1, TRUE).x, 192);
}

// A gutter of 100 moves the halves apart from the fold: the pages shrink
// to leave 200 in it (scale 3308 / 4768 on A4), the first half stays at
// its edge and the second moves by 100, so neither leaves the printable
// area. The second flag (the gutter on one side) places them alike.
TEST_F(BookletReplay, GutterMovesTheHalvesApartWithinTheSheet) {
    void (*const gutters[])(RendPrivate&) = {
        [](RendPrivate& p) {
            p.FirstGutterFlag = 1;
            p.GutterWidth = 100;
        },
        [](RendPrivate& p) {
            p.FirstGutterFlag = 1;
            p.SecondGutterFlag = 1;
            p.GutterWidth = 100;
        },
    };
    for (auto* gutter : gutters) {
        SCOPED_TRACE(gutter == gutters[0] ? "first flag" : "both flags");
        LayoutPdev portrait = Start(kA4Portrait, {kA4PortraitPage, kA4PortraitPage}, gutter);
        EXPECT_DOUBLE_EQ(portrait.layout().BookletScale, 3308.0 / 4768);
        EXPECT_EQ(Place(portrait, 1, 1, TRUE).x, 96);
        EXPECT_EQ(Place(portrait, 2, 2, TRUE).x, 96 + 3408 + 100);

        // Stacked halves move down.
        LayoutPdev landscape = Start(kA4Landscape, {kA4LandscapePage, kA4LandscapePage}, gutter);
        EXPECT_EQ(Place(landscape, 1, 1, TRUE).y, 96);
        EXPECT_EQ(Place(landscape, 2, 2, TRUE).y, 96 + 3408 + 100);
    }
}

TEST_F(BookletReplay, APageOfAnotherSizeGetsItsOwnScale) {
    LayoutPdev pdev = Start(kA4Portrait, {kLetterPortraitPage, kLetterPortraitPage, kA4PortraitPage});
    pdev.job().PageSizeChanged = 1;
    // Letter on the A4 booklet sheet: min(4908 / 6816, 6600 / 9536), which
    // fits the half (3408 / 4908).
    Place(pdev, 1, 1, TRUE);
    EXPECT_DOUBLE_EQ(pdev.layout().BookletScale, 6600.0 / 9536);
    // The same size again keeps the scale it finds.
    pdev.layout().BookletScale = 0.5;
    Place(pdev, 2, 2, TRUE);
    EXPECT_DOUBLE_EQ(pdev.layout().BookletScale, 0.5);
    // Another size computes it again.
    Place(pdev, 1, 3, TRUE);
    EXPECT_DOUBLE_EQ(pdev.layout().BookletScale, 4768.0 / 6816);
    // A new process has placed nothing yet.
    pdev.layout().BookletScale = 0.5;
    Layout_ResetProcessState();
    Place(pdev, 1, 3, TRUE);
    EXPECT_DOUBLE_EQ(pdev.layout().BookletScale, 4768.0 / 6816);
}

}  // namespace
}  // namespace tam::test
