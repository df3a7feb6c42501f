// The page transform beyond the plain cell placement: the cell turns for
// pages turned against the first page and for back sides, the user's
// scaling in the turns, the print-position adjustment, the move into a
// cell's corner, and the image shift of single pages, upright cells and
// turned cells. A4 at 600 dpi throughout: printable 4768 x 6816, D = 96.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>

#include "pcl6/gdi/layout.h"
#include "pdl/pcl6/gdi/layout_fixture.h"

namespace tam::test {
namespace {

LayoutPdev StartNup(const LayoutPaper& paper, int pagesPerSheet) {
    LayoutPdev pdev(paper);
    pdev.Settings([&](RendPrivate& p) { p.PagesPerSheet = BYTE(pagesPerSheet); });
    Layout_StartJob(pdev.get());
    return pdev;
}

TEST(PageTransform, SheetPageCountZeroPlacesNoCell) {
    LayoutPdev pdev = StartNup(kA4Portrait, 2);
    pdev.layout().PageRotation = 90;
    const LayoutPdev::Placed placed = pdev.Transform(0);
    EXPECT_EQ(placed.rotation, 0);
    EXPECT_EQ(placed.x, 96);
    EXPECT_EQ(placed.y, 96);
    EXPECT_EQ(pdev.layout().PageRotation, 90);
}

TEST(PageTransform, UserScalingAboveOneEnlargesMarginsButNotTurns) {
    LayoutPdev pdev = StartNup(kA4Portrait, 2);
    pdev.Settings([](RendPrivate& p) { p.ScaleOn = 1; });
    pdev.layout().ScaleX = 1.5;
    pdev.layout().ScaleY = 1.5;
    // Margins of 196: 100 beyond D, times 1.5 and the cell scale 4768 / 6816
    // gives 104; the printable 4568 x 6616 stays unscaled.
    pdev->Geometry = PageGeometry{4960, 7008, 196, 196, 196, 196};
    const LayoutPdev::Placed placed = pdev.Transform(1);
    // Turn 270T with sy lowered to 1.0: X += trunc(6616 x 4768 / 6816) - 104 + 104.
    EXPECT_EQ(placed.x, 96 + 104 + 4628);
    EXPECT_EQ(placed.y, 96 + 104);
    EXPECT_EQ(placed.rotation, 270);
}

// ---- Cell turns ----

struct TurnCase {
    const char* name;
    LayoutPaper first;
    int pagesPerSheet;
    int laterOrientation;  // 0: the first page's
    int sheetOrientation;  // 0: as the layout set it
    int pageTurn;
    int backSideFlip;
    int rule;
    int duplex;
    int page;
    int x, y, rotation;
};

std::ostream& operator<<(std::ostream& os, const TurnCase& t) { return os << t.name; }

// Rule a (4-up, a landscape page after a portrait first page) uses a later
// page with margins 96, 196, 296, 396 (left, top, right, bottom), turned to
// 196, 96, 396, 296: at the cell scale 0.5, l = 50, t = 0, r = 150, b = 100,
// and the printable 4368 x 6616 of the turned page.
const TurnCase kTurns[] = {
    {"a: same turn", kA4Portrait, 4, 2, 0, 0, 0, 0, 0, 1, 146, 96 + 3308 + 100, 90},
    {"a: other turn, portrait sheet", kA4Portrait, 4, 2, 0, 1, 0, 0, 0, 1, 146 + 2184 - 50 + 100, 96, 270},
    {"a: other turn, landscape sheet", kA4Portrait, 4, 2, 2, 1, 0, 0, 0, 1, 146 + 2184 - 50 + 150, 96, 270},
    {"a: other turn, flipped back side", kA4Portrait, 4, 2, 0, 1, 1, 0, 0, 1, 146, 96 + 3308 + 100, 90},
    {"a: same turn, flipped back side", kA4Portrait, 4, 2, 0, 0, 1, 0, 0, 1, 146 + 2184 - 50 + 150, 96, 270},
    // A portrait page after a landscape first page (plain margins).
    {"a: portrait page, same turn", kA4Landscape, 4, 1, 0, 0, 0, 0, 0, 1, 96 + 3408, 96, 270},
    {"a: portrait page, other turn", kA4Landscape, 4, 1, 0, 1, 0, 0, 0, 1, 96, 96 + 2384, 90},
    // Rule d: a page turned by 180 degrees on an odd sheet.
    {"d: turned page on an odd sheet", kA4Portrait, 4, 0, 0, 1, 0, 0, 0, 5, 96 + 2384, 96 + 3408, 180},
    {"d: turned page on an even sheet", kA4Portrait, 4, 0, 0, 1, 0, 0, 0, 1, 96, 96, 0},
    {"d: rule turns, flip mode, odd sheet", kA4Portrait, 4, 0, 0, 0, 0, 3, 4, 5, 96 + 2384, 96 + 3408, 180},
    {"d: rule turns, no flip mode", kA4Portrait, 4, 0, 0, 0, 0, 3, 0, 5, 96, 96, 0},
    // Rule b: turned sheets (2-up); the turned page's extents are 3335
    // (trunc(4768 x 4768 / 6816)) and 4768 (6816 x 4768 / 6816). The other
    // turn holds the sheet the other way round on the printer's page, so
    // its first cell is the far one (3408 on).
    {"b: portrait, other turn", kA4Portrait, 2, 0, 0, 1, 0, 0, 0, 1, 96, 96 + 3408 + 3335, 90},
    {"b: portrait, other turn, flip mode front", kA4Portrait, 2, 0, 0, 1, 0, 0, 4, 1, 96 + 4768, 96, 270},
    {"b: landscape, other turn", kA4Landscape, 2, 0, 0, 1, 0, 0, 0, 1, 96 + 3408 + 3335, 96, 270},
    {"b: landscape, flip mode front", kA4Landscape, 2, 0, 0, 1, 0, 0, 4, 1, 96, 96 + 4768, 90},
    // Rule c: a page turned against the first on a turned sheet. With the
    // sheet's turn set, the first page's kind would lie at 90 degrees on it:
    // the sheet lies that way round, its first cell the far one (3408 on).
    {"c: other turn", kA4Portrait, 2, 2, 0, 1, 0, 0, 0, 1, 96 + 4768, 96 + 3408 + 3335, 180},
    {"c: same turn", kA4Portrait, 2, 2, 0, 0, 0, 0, 0, 1, 96, 96, 0},
};

class CellTurn : public testing::TestWithParam<TurnCase> {};

TEST_P(CellTurn, OriginAndRotation) {
    const TurnCase& t = GetParam();
    LayoutPdev pdev = StartNup(t.first, t.pagesPerSheet);
    pdev.Settings([&](RendPrivate& p) {
        p.Rotate180Mode = BYTE(t.rule);
        p.DuplexBinding = BYTE(t.duplex);
    });
    if (t.laterOrientation) {
        pdev.TurnPage(DMPAPER_A4, t.laterOrientation);
        if (t.pagesPerSheet == 4 && t.laterOrientation == 2) pdev->Geometry = PageGeometry{7008, 4960, 96, 196, 296, 396};
    }
    if (t.sheetOrientation) pdev.layout().SheetOrientation = INT16(t.sheetOrientation);
    pdev.job().PageTurn = t.pageTurn;
    pdev.job().BackSideFlip = t.backSideFlip;
    pdev.AtPage(t.page, 1);
    const LayoutPdev::Placed placed = pdev.Transform(1);
    EXPECT_EQ(placed.x, t.x);
    EXPECT_EQ(placed.y, t.y);
    EXPECT_EQ(placed.rotation, t.rotation);
    EXPECT_EQ(pdev.layout().PageRotation, t.rotation);
}

INSTANTIATE_TEST_SUITE_P(All, CellTurn, testing::ValuesIn(kTurns));

// ---- Print-position adjustment ----

struct AdjustCase {
    const char* name;
    LayoutPaper first;
    int pagesPerSheet;
    int laterOrientation;  // 0: the first page's
    int page;
    int duplex;
    int rule;
    int pageTurn;
    int backSideFlip;
    int dx, dy;
};

std::ostream& operator<<(std::ostream& os, const AdjustCase& t) { return os << t.name; }

// Horizontal adjustment 100, vertical 50.
const AdjustCase kAdjusts[] = {
    {"front page", kA4Portrait, 1, 0, 1, 0, 0, 0, 0, 100, -50},
    {"page the rule turns", kA4Portrait, 1, 0, 1, 0, 3, 0, 0, -100, 50},
    {"back side, short edge", kA4Portrait, 1, 0, 2, 1, 0, 0, 0, 100, 50},
    {"back side, long edge", kA4Portrait, 1, 0, 2, 2, 0, 0, 0, -100, -50},
    {"back side, manual, landscape", kA4Landscape, 1, 0, 2, 3, 0, 0, 0, -100, -50},
    {"back side, flip mode, landscape", kA4Landscape, 1, 0, 2, 4, 0, 0, 0, 100, 50},
    {"simplex even page", kA4Portrait, 1, 0, 2, 0, 0, 0, 0, 100, -50},
    {"portrait page after landscape", kA4Landscape, 1, 1, 1, 0, 0, 0, 0, -50, -100},
    {"landscape page after portrait", kA4Portrait, 1, 2, 1, 0, 0, 0, 0, 50, 100},
    {"turned page on a back side", kA4Landscape, 1, 1, 2, 1, 0, 0, 0, -50, 100},
    // N-up: sheets counted from 1; 2-up A4 portrait has a landscape sheet.
    {"N-up front sheet", kA4Portrait, 2, 0, 1, 1, 0, 0, 0, 100, -50},
    {"N-up back sheet, short edge, landscape sheet", kA4Portrait, 2, 0, 3, 1, 0, 0, 0, -100, -50},
    {"N-up back sheet, long edge, landscape sheet", kA4Portrait, 2, 0, 3, 2, 0, 0, 0, 100, 50},
    {"N-up back sheet, short edge, portrait sheet", kA4Portrait, 4, 0, 5, 1, 0, 0, 0, 100, 50},
    {"N-up back sheet, flip mode, portrait sheet", kA4Portrait, 4, 0, 5, 4, 0, 0, 0, -100, -50},
    {"N-up turned sheet", kA4Portrait, 4, 0, 1, 0, 0, 1, 0, -100, 50},
    {"N-up flipped, rule turns every page", kA4Portrait, 4, 0, 1, 4, 3, 0, 1, -100, 50},
    {"N-up flipped, rule turns the first page", kA4Landscape, 4, 0, 1, 4, 1, 0, 1, -100, 50},
    {"N-up flipped, rule spares the first page", kA4Portrait, 4, 0, 1, 4, 1, 0, 1, 100, -50},
};

class PrintPositionAdjust : public testing::TestWithParam<AdjustCase> {};

TEST_P(PrintPositionAdjust, OffsetsAndFormValues) {
    const AdjustCase& t = GetParam();
    LayoutPdev pdev = StartNup(t.first, t.pagesPerSheet);
    pdev.Settings([&](RendPrivate& p) {
        p.PrintPositionAdjust = 1;
        p.AdjustX = 100;
        p.AdjustY = 50;
        p.DuplexBinding = BYTE(t.duplex);
        p.Rotate180Mode = BYTE(t.rule);
    });
    if (t.laterOrientation) pdev.TurnPage(DMPAPER_A4, t.laterOrientation);
    pdev.job().PageTurn = t.pageTurn;
    pdev.job().BackSideFlip = t.backSideFlip;
    pdev.AtPage(t.page, 1);
    INT32 dx = 0, dy = 0;
    Layout_PrintPositionOffsets(pdev.get(), &dx, &dy);
    EXPECT_EQ(dx, t.dx);
    EXPECT_EQ(dy, t.dy);

    // The transform moves its origin by them and hands them to the form
    // recorder negated.
    pdev.Settings([](RendPrivate& p) { p.PrintPositionAdjust = 0; });
    const LayoutPdev::Placed plain = pdev.Transform(1);
    EXPECT_EQ(Layout_FormWidth(), 0);
    EXPECT_EQ(Layout_FormHeight(), 0);
    pdev.Settings([](RendPrivate& p) { p.PrintPositionAdjust = 1; });
    const LayoutPdev::Placed moved = pdev.Transform(1);
    EXPECT_EQ(moved.x, plain.x + t.dx);
    EXPECT_EQ(moved.y, plain.y + t.dy);
    EXPECT_EQ(Layout_FormWidth(), -t.dx);
    EXPECT_EQ(Layout_FormHeight(), -t.dy);
}

INSTANTIATE_TEST_SUITE_P(All, PrintPositionAdjust, testing::ValuesIn(kAdjusts));

TEST(PrintPositionAdjust, FrontPageMovesByTheAdjustmentAndResetClearsFormValues) {
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([](RendPrivate& p) {
        p.PrintPositionAdjust = 1;
        p.AdjustX = 100;
        p.AdjustY = 50;
    });
    Layout_StartJob(pdev.get());
    const LayoutPdev::Placed placed = pdev.Transform(1);
    EXPECT_EQ(placed.x, 196);
    EXPECT_EQ(placed.y, 46);
    EXPECT_EQ(Layout_FormWidth(), -100);
    EXPECT_EQ(Layout_FormHeight(), 50);
    Layout_ResetProcessState();
    EXPECT_EQ(Layout_FormWidth(), 0);
    EXPECT_EQ(Layout_FormHeight(), 0);
    // Without the adjustment byte the values are not applied.
    pdev.Settings([](RendPrivate& p) { p.PrintPositionAdjust = 0; });
    EXPECT_EQ(pdev.Transform(1).x, 96);
}

// ---- Print position inside a cell ----

struct CellCornerCase {
    const char* name;
    int position;
    int pageTurnBase;
    int duplex;
    int jobPagesPerSheet;
    int borders;
    int dx, dy;
};

std::ostream& operator<<(std::ostream& os, const CellCornerCase& t) { return os << t.name; }

// The job's copy prints one page per sheet, the current settings four: a
// cell of 2384 x 3408 holds the page at 0.4 (1907 x 2726), leaving 477 x 682.
const CellCornerCase kCellCorners[] = {
    {"top left", 0, 0, 0, 1, 0, 0, 0},
    {"top right", 1, 0, 0, 1, 0, 477, 0},
    {"bottom left", 2, 0, 0, 1, 0, 0, 682},
    {"bottom right", 3, 0, 0, 1, 0, 477, 682},
    {"centre", 4, 0, 0, 1, 0, 238, 341},
    {"turned page mirrors top right", 1, 1, 0, 1, 0, 0, 682},
    {"turned page mirrors bottom right", 3, 1, 0, 1, 0, 0, 0},
    {"turned page keeps the centre", 4, 1, 0, 1, 0, 238, 341},
    {"front sheet of a long-edge job", 1, 0, 2, 1, 0, 477, 0},
    {"job copy with N-up", 3, 0, 0, 4, 0, 0, 0},
    // Borders add 72 to each page extent: 1936 x 2755 at 0.4.
    {"with page borders", 3, 0, 0, 1, 0x4, 448, 653},
    {"position out of range", 5, 0, 0, 1, 0, 0, 0},
};

class CellCorner : public testing::TestWithParam<CellCornerCase> {};

TEST_P(CellCorner, MovesThePageInItsCell) {
    const CellCornerCase& t = GetParam();
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([&](RendPrivate& p) {
        p.PrintPosition = UINT16(t.position);
        p.DuplexBinding = BYTE(t.duplex);
    });
    Layout_StartJob(pdev.get());
    pdev->Devmode.priv.PagesPerSheet = 4;
    pdev->Devmode.priv.PageBorderMode = t.borders;
    pdev->Job.JobDevmode.priv.PagesPerSheet = BYTE(t.jobPagesPerSheet);
    pdev.layout().NupColumns = 2;
    pdev.layout().NupRows = 2;
    pdev.layout().ShiftScale = 0.4;
    pdev.job().PageTurnBase = t.pageTurnBase;
    INT32 dx = -1, dy = -1;
    Layout_NupPrintPosition(pdev.get(), &dx, &dy);
    EXPECT_EQ(dx, t.dx);
    EXPECT_EQ(dy, t.dy);
    if (t.jobPagesPerSheet == 1) {
        const LayoutPdev::Placed placed = pdev.Transform(1);
        EXPECT_EQ(placed.x, 96 + t.dx);
        EXPECT_EQ(placed.y, 96 + t.dy);
    }
}

INSTANTIATE_TEST_SUITE_P(All, CellCorner, testing::ValuesIn(kCellCorners));

// ---- Image shift ----

struct DirectionCase {
    int raw;
    int pageTurn;
    int duplex;
    int page;
    int pagesPerSheet;
    int direction;
};
const DirectionCase kDirections[] = {
    {1, 0, 0, 1, 1, 1}, {1, 1, 0, 1, 1, 4},   // a page turned by 180 degrees
    {2, 0, 1, 2, 1, 3},                       // back side: an even page
    {6, 1, 2, 2, 1, 6},                       // both: mirrored twice
    {7, 0, 3, 4, 1, 6},                       // manual duplex too
    {5, 0, 1, 3, 2, 8},                       // N-up: sheet 1 is a back side
    {5, 0, 1, 2, 2, 5},                       // N-up: sheet 0 is a front side
    {5, 0, 0, 2, 1, 5},                       // simplex has no back sides
    {0, 1, 1, 2, 1, 0}, {9, 1, 1, 2, 1, 9},   // no direction, unknown direction
};

class ShiftDirection : public testing::TestWithParam<DirectionCase> {};

TEST_P(ShiftDirection, MirroredForTurnedPagesAndBackSides) {
    const DirectionCase& t = GetParam();
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([&](RendPrivate& p) {
        p.ImageShiftDirection = UINT16(t.raw);
        p.DuplexBinding = BYTE(t.duplex);
        p.PagesPerSheet = BYTE(t.pagesPerSheet);
    });
    pdev.job().PageTurn = t.pageTurn;
    pdev.AtPage(t.page, 1);
    EXPECT_EQ(Layout_ShiftDirection(pdev.get()), t.direction);
}

INSTANTIATE_TEST_SUITE_P(All, ShiftDirection, testing::ValuesIn(kDirections));

struct SingleShiftCase {
    const char* name;
    LayoutPaper paper;
    int direction;
    int front;
    int shiftFit;
    int duplex;
    int page;
    int x, y;
};

std::ostream& operator<<(std::ostream& os, const SingleShiftCase& t) { return os << t.name; }

// One page per sheet; a shift of 300 dots moves by 300 - D = 204.
const SingleShiftCase kSingleShifts[] = {
    {"portrait, down", kA4Portrait, 1, 300, 0, 0, 1, 96, 300},
    {"portrait, up", kA4Portrait, 2, 300, 0, 0, 1, 96, -108},
    {"portrait, right", kA4Portrait, 5, 300, 0, 0, 1, 300, 96},
    {"portrait, left", kA4Portrait, 7, 300, 0, 0, 1, -108, 96},
    {"landscape, left", kA4Landscape, 1, 300, 0, 0, 1, -108, 96},
    {"landscape, right", kA4Landscape, 2, 300, 0, 0, 1, 300, 96},
    {"landscape, down", kA4Landscape, 5, 300, 0, 0, 1, 96, 300},
    {"landscape, up", kA4Landscape, 8, 300, 0, 0, 1, 96, -108},
    // On an even page of a printer-duplex job direction 3 reads as 2, which
    // leaves a landscape page where it is.
    {"landscape back side of printer duplex", kA4Landscape, 3, 300, 0, 1, 2, 96, 96},
    // The shift fit at 100 percent cancels the shifts toward the origin.
    {"fit cancels up", kA4Portrait, 2, 300, 1, 0, 1, 96, 96},
    {"fit keeps down", kA4Portrait, 1, 300, 1, 0, 1, 96, 300},
    {"shift within D", kA4Portrait, 5, 96, 0, 0, 1, 96, 96},
    {"1200 dpi", kA4Portrait1200, 5, 300, 0, 0, 1, 192 + 600 - 192, 192},
};

class SingleShift : public testing::TestWithParam<SingleShiftCase> {};

TEST_P(SingleShift, MovesTheOrigin) {
    const SingleShiftCase& t = GetParam();
    LayoutPdev pdev(t.paper);
    pdev.Settings([&](RendPrivate& p) {
        p.ImageShiftDirection = UINT16(t.direction);
        p.FrontShift = UINT16(t.front);
        p.BackShift = UINT16(t.front);
        p.ShiftFit = BYTE(t.shiftFit);
        p.DuplexBinding = BYTE(t.duplex);
    });
    Layout_StartJob(pdev.get());
    pdev.AtPage(t.page, 1);
    const LayoutPdev::Placed placed = pdev.Transform(1);
    EXPECT_EQ(placed.x, t.x);
    EXPECT_EQ(placed.y, t.y);
    EXPECT_EQ(placed.rotation, 0);
}

INSTANTIATE_TEST_SUITE_P(All, SingleShift, testing::ValuesIn(kSingleShifts));

TEST(ShiftOffsets, AShiftWithinDClearsBothOutputs) {
    LayoutPdev pdev(kA4Portrait1200);
    pdev.Settings([](RendPrivate& p) {
        p.ImageShiftDirection = 5;
        p.FrontShift = 96;  // 192 device units: exactly D at 1200 dpi
    });
    Layout_StartJob(pdev.get());  // a portrait sheet: direction 5 moves x
    INT32 dx = 7, dy = 9;
    Layout_ShiftOffsets(pdev.get(), &dx, &dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    pdev.Settings([](RendPrivate& p) { p.FrontShift = 100; });
    dx = 0, dy = 9;
    Layout_ShiftOffsets(pdev.get(), &dx, &dy);
    EXPECT_EQ(dx, 8);
    EXPECT_EQ(dy, 9);  // only the named output is written
}

struct UprightCase {
    int direction;
    int shiftFit;
    int backSideFlip;
    int cell;  // 1..4 of a 2 x 2 sheet in order 0
    int dx, dy;
};
// 4-up A4 portrait, a shift of 204: with the fit byte it is shared out over
// the columns or rows, so that the sheet's cells stay on the sheet.
const UprightCase kUprights[] = {
    {5, 0, 0, 1, 204, 0},   {5, 0, 0, 2, 204, 0},   {7, 0, 0, 2, -204, 0},  {1, 0, 0, 3, 0, 204},
    {2, 0, 0, 3, 0, -204},  {5, 1, 0, 1, 204, 0},   {5, 1, 0, 2, 102, 0},   {5, 1, 1, 1, 102, 0},
    {5, 1, 1, 2, 204, 0},   {7, 1, 0, 1, 0, 0},     {7, 1, 0, 2, -102, 0},  {7, 1, 1, 1, -102, 0},
    {7, 1, 1, 2, 0, 0},     {1, 1, 0, 1, 0, 204},   {1, 1, 0, 3, 0, 102},   {1, 1, 1, 1, 0, 102},
    {1, 1, 1, 4, 0, 204},   {2, 1, 0, 1, 0, 0},     {2, 1, 0, 3, 0, -102},  {2, 1, 1, 1, 0, -102},
    {2, 1, 1, 4, 0, 0},
};

class UprightCellShift : public testing::TestWithParam<UprightCase> {};

TEST_P(UprightCellShift, MovesThePageAndSharesTheShift) {
    const UprightCase& t = GetParam();
    LayoutPdev pdev = StartNup(kA4Portrait, 4);
    pdev.Settings([&](RendPrivate& p) {
        p.ImageShiftDirection = UINT16(t.direction);
        p.FrontShift = 300;
        p.ShiftFit = BYTE(t.shiftFit);
    });
    pdev.job().BackSideFlip = t.backSideFlip;
    pdev.AtPage(t.cell, t.cell);
    INT16 x = 1000, y = 2000;
    Layout_NupShiftUpright(pdev.get(), &x, &y);
    EXPECT_EQ(x, 1000 + t.dx);
    EXPECT_EQ(y, 2000 + t.dy);
    // The transform applies it to the cell's origin.
    const int column = (t.cell - 1) % 2, row = (t.cell - 1) / 2;
    const LayoutPdev::Placed placed = pdev.Transform(t.cell);
    EXPECT_EQ(placed.x, 96 + 2384 * column + t.dx);
    EXPECT_EQ(placed.y, 96 + 3408 * row + t.dy);
}

INSTANTIATE_TEST_SUITE_P(All, UprightCellShift, testing::ValuesIn(kUprights));

TEST(TurnedCellShift, MovesTheTurnedPageTowardTheSheetsSide) {
    // 2-up A4 portrait: a landscape sheet, so the shift runs down (5) or up (7).
    LayoutPdev pdev = StartNup(kA4Portrait, 2);
    pdev.Settings([](RendPrivate& p) {
        p.ImageShiftDirection = 5;
        p.FrontShift = 300;
    });
    LayoutPdev::Placed placed = pdev.Transform(1);
    EXPECT_EQ(placed.rotation, 270);
    EXPECT_EQ(placed.x, 96 + 4768);
    EXPECT_EQ(placed.y, 96 + 204);
    INT32 nx = -1, ny = -1;
    Layout_NupShiftTurned(pdev.get(), 4864, 96, 270, &nx, &ny);
    EXPECT_EQ(nx, 0);  // left alone
    EXPECT_EQ(ny, 300);

    pdev.Settings([](RendPrivate& p) { p.ImageShiftDirection = 7; });
    placed = pdev.Transform(1);
    EXPECT_EQ(placed.y, 96 - 204);

    // The turned cell's shift takes its axis from the cell origin: a
    // print-position adjustment stays only on the other axis.
    pdev.Settings([](RendPrivate& p) {
        p.ImageShiftDirection = 5;
        p.PrintPositionAdjust = 1;
        p.AdjustX = 100;
        p.AdjustY = 50;
    });
    placed = pdev.Transform(1);
    EXPECT_EQ(placed.x, 96 + 4768 + 100);
    EXPECT_EQ(placed.y, 96 + 204);
}

}  // namespace
}  // namespace tam::test
