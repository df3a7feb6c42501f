// N-up: the order in which pages fill a sheet, the grid and cell scale of
// every N-up value, and the origin and rotation of every cell in every page
// order, for A4 and Letter at 600 dpi and A4 at 1200 dpi.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "pcl6/gdi/layout.h"
#include "pdl/pcl6/gdi/layout_fixture.h"
#include "support/page_box.h"

namespace tam::test {
namespace {

// ---- Page order ----

// The cells of a sheet in page order, as "column row" pairs, written out
// from the orders' meaning: 0 across then down from the top left, 1 down
// then across, 2 across from the top right, 3 down from the top right, 4
// across from the bottom left, 5 up then across, 6 up from the bottom
// right, 7 across from the bottom right. Two-cell sheets read order 1 as
// order 2 on a landscape sheet and as order 4 on a portrait one.
struct OrderTable {
    int columns;
    int rows;
    int orientation;  // 0: the same for both orientations
    int order;
    const char* cells;
};
const OrderTable kOrders[] = {
    {2, 2, 0, 0, "00 10 01 11"},
    {2, 2, 0, 1, "00 01 10 11"},
    {2, 2, 0, 2, "10 00 11 01"},
    {2, 2, 0, 3, "10 11 00 01"},
    {2, 2, 0, 4, "01 11 00 10"},
    {2, 2, 0, 5, "01 00 11 10"},
    {2, 2, 0, 6, "11 10 01 00"},
    {2, 2, 0, 7, "11 01 10 00"},
    {4, 2, 0, 0, "00 10 20 30 01 11 21 31"},
    {4, 2, 0, 1, "00 01 10 11 20 21 30 31"},
    {4, 2, 0, 2, "30 20 10 00 31 21 11 01"},
    {4, 2, 0, 3, "30 31 20 21 10 11 00 01"},
    {4, 2, 0, 4, "01 11 21 31 00 10 20 30"},
    {4, 2, 0, 5, "01 00 11 10 21 20 31 30"},
    {4, 2, 0, 6, "31 30 21 20 11 10 01 00"},
    {4, 2, 0, 7, "31 21 11 01 30 20 10 00"},
    {2, 4, 0, 0, "00 10 01 11 02 12 03 13"},
    {2, 4, 0, 1, "00 01 02 03 10 11 12 13"},
    {2, 4, 0, 2, "10 00 11 01 12 02 13 03"},
    {2, 4, 0, 3, "10 11 12 13 00 01 02 03"},
    {2, 4, 0, 4, "03 13 02 12 01 11 00 10"},
    {2, 4, 0, 5, "03 02 01 00 13 12 11 10"},
    {2, 4, 0, 6, "13 12 11 10 03 02 01 00"},
    {2, 4, 0, 7, "13 03 12 02 11 01 10 00"},
    {4, 4, 0, 0, "00 10 20 30 01 11 21 31 02 12 22 32 03 13 23 33"},
    {4, 4, 0, 1, "00 01 02 03 10 11 12 13 20 21 22 23 30 31 32 33"},
    {4, 4, 0, 2, "30 20 10 00 31 21 11 01 32 22 12 02 33 23 13 03"},
    {4, 4, 0, 3, "30 31 32 33 20 21 22 23 10 11 12 13 00 01 02 03"},
    {4, 4, 0, 4, "03 13 23 33 02 12 22 32 01 11 21 31 00 10 20 30"},
    {4, 4, 0, 5, "03 02 01 00 13 12 11 10 23 22 21 20 33 32 31 30"},
    {4, 4, 0, 6, "33 32 31 30 23 22 21 20 13 12 11 10 03 02 01 00"},
    {4, 4, 0, 7, "33 23 13 03 32 22 12 02 31 21 11 01 30 20 10 00"},
    {8, 4, 0, 0, "00 10 20 30 40 50 60 70 01 11 21 31 41 51 61 71 02 12 22 32 42 52 62 72 03 13 23 33 43 53 63 73"},
    {8, 4, 0, 7, "73 63 53 43 33 23 13 03 72 62 52 42 32 22 12 02 71 61 51 41 31 21 11 01 70 60 50 40 30 20 10 00"},
    {2, 1, 0, 0, "00 10"},
    {2, 1, 2, 1, "10 00"},  // order 2 on a landscape sheet
    {2, 1, 1, 1, "00 10"},  // order 4 on a portrait one
    {2, 1, 0, 2, "10 00"},
    {2, 1, 0, 3, "10 00"},
    {2, 1, 0, 4, "00 10"},
    {2, 1, 0, 5, "00 10"},
    {2, 1, 0, 6, "10 00"},
    {2, 1, 0, 7, "10 00"},
    {1, 2, 0, 0, "00 01"},
    {1, 2, 2, 1, "00 01"},
    {1, 2, 1, 1, "01 00"},
    {1, 2, 0, 2, "00 01"},
    {1, 2, 0, 3, "00 01"},
    {1, 2, 0, 4, "01 00"},
    {1, 2, 0, 5, "01 00"},
    {1, 2, 0, 6, "01 00"},
    {1, 2, 0, 7, "01 00"},
    {1, 1, 0, 3, "00"},
};

struct Cell {
    int column;
    int row;
};

std::vector<Cell> ParseCells(const char* text) {
    std::vector<Cell> cells;
    for (const char* p = text; p[0] && p[1]; p += p[2] ? 3 : 2) cells.push_back({p[0] - '0', p[1] - '0'});
    return cells;
}

// The hand-written cells of a grid in an order and sheet orientation.
std::vector<Cell> ExpectedCells(int columns, int rows, int orientation, int order) {
    if (columns * rows == 1) return {{0, 0}};  // one cell in every order
    for (const OrderTable& t : kOrders)
        if (t.columns == columns && t.rows == rows && t.order == order &&
            (t.orientation == 0 || t.orientation == orientation))
            return ParseCells(t.cells);
    ADD_FAILURE() << "no order table for " << columns << " x " << rows << " order " << order;
    return {};
}

class CellOrder : public testing::TestWithParam<OrderTable> {};

TEST_P(CellOrder, PlacesEveryPageOfTheSheet) {
    const OrderTable& t = GetParam();
    const std::vector<Cell> cells = ParseCells(t.cells);
    ASSERT_EQ(int(cells.size()), t.columns * t.rows);
    for (int orientation : {1, 2}) {
        if (t.orientation && t.orientation != orientation) continue;
        for (int i = 0; i < int(cells.size()); ++i) {
            int c = -1, k = -1;
            Layout_CellPosition(t.order, orientation, i, t.columns, t.rows, &c, &k);
            EXPECT_EQ(c, cells[i].column) << "page " << i << " orientation " << orientation;
            EXPECT_EQ(k, cells[i].row) << "page " << i << " orientation " << orientation;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, CellOrder, testing::ValuesIn(kOrders));

TEST(CellOrder, UnknownOrderAndEmptyGridGiveTheFirstCell) {
    struct Case {
        int order, index, columns, rows;
    } cases[] = {{8, 3, 2, 2}, {-1, 1, 2, 2}, {0, 3, 0, 2}, {1, 3, 2, 0}, {0, -1, 2, 2}};
    for (const Case& t : cases) {
        int c = -1, k = -1;
        Layout_CellPosition(t.order, 1, t.index, t.columns, t.rows, &c, &k);
        EXPECT_EQ(c, 0);
        EXPECT_EQ(k, 0);
    }
}

// ---- Grid, cell scale and cell origins of every N-up value ----

// One N-up layout from the first page: the grid, the sheet (turned against
// the page for 2 x 1 and 4 x 2 grids), the cell scale, the origin of the
// first cell the printer's page holds, and the step from one cell to the
// next along the sheet's columns and rows. Origins are D + the cell's
// corner; a cell turned by 270 or 90 degrees adds the page's extent scaled
// (trunc(6816 x 4768 / 6816) = 4768 on A4). A turned sheet lies across the
// printer's page: at 270 degrees its columns run down the page and its
// rows from the right edge leftwards; at 90 its columns run up the page
// and its rows rightwards. The 8-up portrait cells move along the sheet's
// long side by trunc((Ws / 4 - Hs x scale) / 2): 8 on A4, 17 on A4 at 1200
// dpi; on Letter that comes out at -7, which would push the page out of
// the printable area, and the page stays at its cell's corner.
struct NupLayout {
    LayoutPaper paper;
    int pagesPerSheet;
    int columns, rows;
    int sheetOrientation;
    int turned;
    int sheetWidth, sheetHeight;
    double scale;
    int x0, y0, stepX, stepY;
    int rotation;
    int sheetSetting = 0;  // the N-up sheet orientation setting
};

std::ostream& operator<<(std::ostream& os, const NupLayout& t) {
    return os << t.paper.name << " " << t.pagesPerSheet << "-up, sheet setting " << t.sheetSetting;
}

const NupLayout kLayouts[] = {
    // One page per sheet: the printable corner, unscaled.
    {kA4Portrait, 1, 1, 1, 1, 0, 4960, 7008, 1.0, 96, 96, 0, 0, 0},
    {kLetterLandscape, 1, 1, 1, 2, 0, 6600, 5100, 1.0, 96, 96, 0, 0, 0},
    {kA4Landscape1200, 1, 1, 1, 2, 0, 14016, 9920, 1.0, 192, 192, 0, 0, 0},
    // A4, 600 dpi: printable 4768 x 6816.
    {kA4Portrait, 2, 2, 1, 2, 1, 7008, 4960, 4768.0 / 6816, 96 + 4768, 96, 3408, 0, 270},
    {kA4Landscape, 2, 1, 2, 1, 1, 4960, 7008, 4768.0 / 6816, 96, 96 + 4768, 0, 3408, 90},
    {kA4Portrait, 4, 2, 2, 1, 0, 4960, 7008, 0.5, 96, 96, 2384, 3408, 0},
    {kA4Landscape, 4, 2, 2, 2, 0, 7008, 4960, 0.5, 96, 96, 3408, 2384, 0},
    {kA4Portrait, 8, 4, 2, 2, 1, 7008, 4960, 4768.0 / 13632, 96 + 2384, 96 + 8, 1704, 2384, 270},
    {kA4Landscape, 8, 2, 4, 1, 1, 4960, 7008, 4768.0 / 13632, 96, 96 + 2384, 2384, 1704, 90},
    {kA4Portrait, 16, 4, 4, 1, 0, 4960, 7008, 0.25, 96, 96, 1192, 1704, 0},
    {kA4Landscape, 16, 4, 4, 2, 0, 7008, 4960, 0.25, 96, 96, 1704, 1192, 0},
    // Letter, 600 dpi: printable 4908 x 6408; 6408 x 6408 / 9816 = 4183.
    {kLetterPortrait, 2, 2, 1, 2, 1, 6600, 5100, 6408.0 / 9816, 96 + 4183, 96, 3204, 0, 270},
    {kLetterLandscape, 2, 1, 2, 1, 1, 5100, 6600, 6408.0 / 9816, 96, 96 + 4183, 0, 3204, 90},
    {kLetterPortrait, 4, 2, 2, 1, 0, 5100, 6600, 0.5, 96, 96, 2454, 3204, 0},
    {kLetterLandscape, 4, 2, 2, 2, 0, 6600, 5100, 0.5, 96, 96, 3204, 2454, 0},
    {kLetterPortrait, 8, 4, 2, 2, 1, 6600, 5100, 6408.0 / 19632, 96 + 2091, 96, 1602, 2454, 270},
    {kLetterLandscape, 8, 2, 4, 1, 1, 5100, 6600, 6408.0 / 19632, 96, 96 + 2091, 2454, 1602, 90},
    {kLetterPortrait, 16, 4, 4, 1, 0, 5100, 6600, 0.25, 96, 96, 1227, 1602, 0},
    {kLetterLandscape, 16, 4, 4, 2, 0, 6600, 5100, 0.25, 96, 96, 1602, 1227, 0},
    // A4, 1200 dpi: D = 192, printable 9536 x 13632.
    {kA4Portrait1200, 2, 2, 1, 2, 1, 14016, 9920, 9536.0 / 13632, 192 + 9536, 192, 6816, 0, 270},
    {kA4Landscape1200, 2, 1, 2, 1, 1, 9920, 14016, 9536.0 / 13632, 192, 192 + 9536, 0, 6816, 90},
    {kA4Portrait1200, 4, 2, 2, 1, 0, 9920, 14016, 0.5, 192, 192, 4768, 6816, 0},
    {kA4Landscape1200, 4, 2, 2, 2, 0, 14016, 9920, 0.5, 192, 192, 6816, 4768, 0},
    {kA4Portrait1200, 8, 4, 2, 2, 1, 14016, 9920, 9536.0 / 27264, 192 + 4768, 192 + 17, 3408, 4768, 270},
    {kA4Landscape1200, 8, 2, 4, 1, 1, 9920, 14016, 9536.0 / 27264, 192, 192 + 4768, 4768, 3408, 90},
    {kA4Portrait1200, 16, 4, 4, 1, 0, 9920, 14016, 0.25, 192, 192, 2384, 3408, 0},
    {kA4Landscape1200, 16, 4, 4, 2, 0, 14016, 9920, 0.25, 192, 192, 3408, 2384, 0},
    // The sheet kept in the first page's orientation (setting 1 for
    // portrait pages, 2 for landscape ones): upright pages, the larger
    // count along the sheet's long side, each page centred across the
    // cell it fills one way. A4 portrait 2-up: cells 4768 x 3408, the page
    // 2384 x 3408, (4768 - 2384) / 2 = 1192 in.
    {kA4Portrait, 2, 1, 2, 1, 0, 4960, 7008, 0.5, 96 + 1192, 96, 4768, 3408, 0, 1},
    {kA4Landscape, 2, 2, 1, 2, 0, 7008, 4960, 0.5, 96, 96 + 1192, 3408, 4768, 0, 2},
    // 8-up: cells 2384 x 1704 with pages 1192 x 1704; on the landscape
    // sheet cells 1704 x 2384 with pages 1704 x 1192.
    {kA4Portrait, 8, 2, 4, 1, 0, 4960, 7008, 0.25, 96 + 596, 96, 2384, 1704, 0, 1},
    {kA4Landscape, 8, 4, 2, 2, 0, 7008, 4960, 0.25, 96, 96 + 596, 1704, 2384, 0, 2},
    // Letter 2-up: cells 4908 x 3204, pages 2454 x 3204.
    {kLetterPortrait, 2, 1, 2, 1, 0, 5100, 6600, 0.5, 96 + 1227, 96, 4908, 3204, 0, 1},
    {kA4Portrait1200, 2, 1, 2, 1, 0, 9920, 14016, 0.5, 192 + 2384, 192, 9536, 6816, 0, 1},
    // A setting for the other orientation, or one the layout does not
    // know, leaves the turned sheet.
    {kA4Landscape, 2, 1, 2, 1, 1, 4960, 7008, 4768.0 / 6816, 96, 96 + 4768, 0, 3408, 90, 1},
    {kA4Portrait, 2, 2, 1, 2, 1, 7008, 4960, 4768.0 / 6816, 96 + 4768, 96, 3408, 0, 270, 2},
    {kA4Portrait, 8, 4, 2, 2, 1, 7008, 4960, 4768.0 / 13632, 96 + 2384, 96 + 8, 1704, 2384, 270, 3},
};

class NupLayoutTable : public testing::TestWithParam<NupLayout> {
protected:
    LayoutPdev StartJob(int order) {
        const NupLayout& t = GetParam();
        LayoutPdev pdev(t.paper);
        pdev.Settings([&](RendPrivate& p) {
            p.PagesPerSheet = BYTE(t.pagesPerSheet);
            p.NupOrder = BYTE(order);
            p.NupSheetOrientation = BYTE(t.sheetSetting);
        });
        Layout_StartJob(pdev.get());
        return pdev;
    }
};

TEST_P(NupLayoutTable, GridSheetAndScale) {
    const NupLayout& t = GetParam();
    LayoutPdev pdev = StartJob(0);
    const LayoutState& st = pdev.layout();
    EXPECT_EQ(st.NupColumns, t.columns);
    EXPECT_EQ(st.NupRows, t.rows);
    EXPECT_EQ(st.SheetOrientation, t.sheetOrientation);
    EXPECT_EQ(st.NupSheetTurned, t.turned);
    EXPECT_EQ(st.SheetGeometry.Width, t.sheetWidth);
    EXPECT_EQ(st.SheetGeometry.Height, t.sheetHeight);
    EXPECT_EQ(st.FirstPageOrientation, t.paper.orientation);
    EXPECT_DOUBLE_EQ(st.ShiftScale, t.scale);
    EXPECT_DOUBLE_EQ(st.ShiftScaleFront, t.scale);
    EXPECT_DOUBLE_EQ(st.ShiftScaleBack, 1.0);  // no duplex shift
    EXPECT_DOUBLE_EQ(st.ScaleX, 1.0);
    EXPECT_DOUBLE_EQ(st.ScaleY, 1.0);
    double x = 0, y = 0;
    Layout_PageScale(pdev.get(), &x, &y);
    EXPECT_DOUBLE_EQ(x, t.scale);
    EXPECT_DOUBLE_EQ(y, t.scale);
}

TEST_P(NupLayoutTable, EveryCellInEveryOrder) {
    const NupLayout& t = GetParam();
    for (int order = 0; order <= 7; ++order) {
        LayoutPdev pdev = StartJob(order);
        const std::vector<Cell> cells = ExpectedCells(t.columns, t.rows, t.sheetOrientation, order);
        ASSERT_EQ(int(cells.size()), t.columns * t.rows);
        for (int i = 0; i < int(cells.size()); ++i) {
            pdev.AtPage(i + 1, i + 1);
            const LayoutPdev::Placed placed = pdev.Transform(i + 1);
            SCOPED_TRACE("order " + std::to_string(order) + " page " + std::to_string(i + 1));
            const int c = cells[i].column, k = cells[i].row;
            if (t.rotation == 270) {
                EXPECT_EQ(placed.x, t.x0 + t.stepY * (t.rows - 1 - k));
                EXPECT_EQ(placed.y, t.y0 + t.stepX * c);
            } else if (t.rotation == 90) {
                EXPECT_EQ(placed.x, t.x0 + t.stepY * k);
                EXPECT_EQ(placed.y, t.y0 + t.stepX * (t.columns - 1 - c));
            } else {
                EXPECT_EQ(placed.x, t.x0 + t.stepX * c);
                EXPECT_EQ(placed.y, t.y0 + t.stepY * k);
            }
            EXPECT_EQ(placed.rotation, t.rotation);
            EXPECT_EQ(pdev.layout().PageRotation, t.rotation);
        }
    }
}

// Independent of the table: every page of a sheet, drawn at its origin,
// rotation and scale, lies inside the printable area of the page the
// printer is given (the first page's paper and orientation), and no two
// pages of a sheet overlap. Rotation 90 turns the page's x axis up the
// printer's page and 270 down it, so a page of printable extent w x h
// covers [x, x + h] x [y - w, y] at 90 and [x - h, x] x [y, y + w] at 270.
TEST_P(NupLayoutTable, EveryPageLiesOnThePrintersPageWithoutOverlap) {
    const NupLayout& t = GetParam();
    const int factor = t.paper.factor + 1;
    const int D = 96 * factor;
    // The first page's printable extent in its own orientation.
    const bool landscape = t.paper.orientation == 2;
    const int portraitWidth = (t.paper.paper == DMPAPER_A4 ? 4960 : 5100) * factor;
    const int portraitHeight = (t.paper.paper == DMPAPER_A4 ? 7008 : 6600) * factor;
    const int pageWidth = (landscape ? portraitHeight : portraitWidth) - 2 * D;
    const int pageHeight = (landscape ? portraitWidth : portraitHeight) - 2 * D;
    const double w = pageWidth * t.scale, h = pageHeight * t.scale;
    for (int order = 0; order <= 7; ++order) {
        LayoutPdev pdev = StartJob(order);
        std::vector<PageBox> boxes;
        for (int i = 0; i < t.columns * t.rows; ++i) {
            pdev.AtPage(i + 1, i + 1);
            const LayoutPdev::Placed p = pdev.Transform(i + 1);
            const PageBox b = PlacedPageBox(p.x, p.y, p.rotation, 1.0, 1.0, w, h);
            SCOPED_TRACE("order " + std::to_string(order) + " page " + std::to_string(i + 1));
            ASSERT_TRUE(p.rotation == 0 || p.rotation == 90 || p.rotation == 270) << p.rotation;
            // One unit of slack for the truncations.
            EXPECT_GE(b.left, D - 1);
            EXPECT_GE(b.top, D - 1);
            EXPECT_LE(b.right, D + pageWidth + 1);
            EXPECT_LE(b.bottom, D + pageHeight + 1);
            for (const PageBox& other : boxes) EXPECT_FALSE(Overlap(b, other)) << "overlaps an earlier page";
            boxes.push_back(b);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, NupLayoutTable, testing::ValuesIn(kLayouts));

// ---- Grids the user interface does not offer, borders, duplex shifts ----

TEST(NupGrid, OtherCountsGiveOneCellAndUnitScales) {
    for (int pagesPerSheet : {0, 3, 6, 22}) {
        LayoutPdev pdev(kA4Portrait);
        pdev.Settings([&](RendPrivate& p) { p.PagesPerSheet = BYTE(pagesPerSheet); });
        Layout_StartJob(pdev.get());
        EXPECT_EQ(pdev.layout().NupColumns, 1) << pagesPerSheet;
        EXPECT_EQ(pdev.layout().NupRows, 1);
        EXPECT_EQ(pdev.layout().NupSheetTurned, 0);
        EXPECT_DOUBLE_EQ(pdev.layout().ShiftScale, 1.0);
        EXPECT_DOUBLE_EQ(pdev.layout().ShiftScaleBack, 1.0);
    }
}

TEST(NupGrid, ThirtyTwoUpIsEightByFourOnATurnedSheetOrFourByEightOnAKeptOne) {
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([](RendPrivate& p) { p.PagesPerSheet = 32; });
    Layout_StartJob(pdev.get());
    EXPECT_EQ(pdev.layout().NupColumns, 8);
    EXPECT_EQ(pdev.layout().NupRows, 4);
    EXPECT_EQ(pdev.layout().NupSheetTurned, 1);
    // min(6816 / (4768 x 8), 4768 / (6816 x 4))
    EXPECT_DOUBLE_EQ(pdev.layout().ShiftScale, 4768.0 / 27264);

    // Kept portrait, 4 x 8 upright cells of 1192 x 852: min(1192 / 4768,
    // 852 / 6816); the page (596 x 852) is centred across by 298.
    LayoutPdev kept(kA4Portrait);
    kept.Settings([](RendPrivate& p) {
        p.PagesPerSheet = 32;
        p.NupSheetOrientation = 1;
    });
    Layout_StartJob(kept.get());
    EXPECT_EQ(kept.layout().NupColumns, 4);
    EXPECT_EQ(kept.layout().NupRows, 8);
    EXPECT_EQ(kept.layout().NupSheetTurned, 0);
    EXPECT_EQ(kept.layout().SheetOrientation, 1);
    EXPECT_DOUBLE_EQ(kept.layout().ShiftScale, 0.125);
    kept.AtPage(32, 32);
    const LayoutPdev::Placed last = kept.Transform(32);
    EXPECT_EQ(last.rotation, 0);
    EXPECT_EQ(last.x, 96 + 3 * 1192 + 298);
    EXPECT_EQ(last.y, 96 + 7 * 852);
}

TEST(NupGrid, PageBordersTakeRoomAndMoveTheCell) {
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([](RendPrivate& p) {
        p.PagesPerSheet = 4;
        p.PageBorderMode = 0x4;
    });
    Layout_StartJob(pdev.get());
    // (factor + 1) x (2 + 4) x 12 = 72 more on each page extent.
    EXPECT_DOUBLE_EQ(pdev.layout().ShiftScale, 4768.0 / (4840 * 2));
    pdev.AtPage(4, 4);
    const LayoutPdev::Placed placed = pdev.Transform(4);
    EXPECT_EQ(placed.x, 96 + 2384 + 6);
    EXPECT_EQ(placed.y, 96 + 3408 + 6);
}

TEST(NupGrid, LegalTwoUpCentresThePagesInTheirHalves) {
    // A sheet of 5100 x 8400: v = 5100 x 5100 / 8400 = 3096 < 4200, so the
    // page moves by (4200 - 3096) / 2 = 552 along the long side.
    const LayoutPaper legalPortrait{"Legal portrait", DMPAPER_LEGAL, 1, 0};
    LayoutPdev portrait(legalPortrait);
    portrait.Settings([](RendPrivate& p) { p.PagesPerSheet = 2; });
    Layout_StartJob(portrait.get());
    ASSERT_EQ(portrait.layout().SheetGeometry.Width, 8400);
    // Printable 4908 x 8208: the cell scale is 4908 / 8208, and the turned
    // page adds 8208 x 4908 / 8208 = 4908.
    ASSERT_DOUBLE_EQ(portrait.layout().ShiftScale, 4908.0 / 8208);
    // The sheet lies across the portrait page the printer is given, its
    // long side down the page: the centring moves the page down.
    const int extent = 4908;
    const LayoutPdev::Placed across = portrait.Transform(1);
    EXPECT_EQ(across.x, 96 + extent);
    EXPECT_EQ(across.y, 96 + 552);

    const LayoutPaper legalLandscape{"Legal landscape", DMPAPER_LEGAL, 2, 0};
    LayoutPdev landscape(legalLandscape);
    landscape.Settings([](RendPrivate& p) { p.PagesPerSheet = 2; });
    Layout_StartJob(landscape.get());
    ASSERT_EQ(landscape.layout().SheetGeometry.Height, 8400);
    // Turned by 90 degrees, the portrait sheet's rows run rightwards
    // across the landscape page.
    const LayoutPdev::Placed down = landscape.Transform(2);
    EXPECT_EQ(down.x, 96 + 4104 + 552);
    EXPECT_EQ(down.y, 96 + extent);
}

struct DuplexShiftCase {
    int front;
    int back;
    double frontScale;
    double backScale;
};
// 4-up A4 with duplex and image shift toward the top (direction 1): each
// side's shift less D comes off the sheet's printable height.
const DuplexShiftCase kDuplexShifts[] = {
    {100, 400, 6812.0 / 13632, 6512.0 / 13632},  // 4 and 304 off the height
    {400, 400, 6512.0 / 13632, 1.0},              // equal shifts: no back scale
    {50, 96, 0.5, 0.5},                           // neither exceeds D
};

class NupDuplexShift : public testing::TestWithParam<DuplexShiftCase> {};

TEST_P(NupDuplexShift, FrontAndBackScales) {
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([](RendPrivate& p) {
        p.PagesPerSheet = 4;
        p.DuplexBinding = 1;
        p.ImageShiftDirection = 1;
        p.FrontShift = UINT16(GetParam().front);
        p.BackShift = UINT16(GetParam().back);
    });
    Layout_StartJob(pdev.get());
    EXPECT_DOUBLE_EQ(pdev.layout().ShiftScaleFront, GetParam().frontScale);
    EXPECT_DOUBLE_EQ(pdev.layout().ShiftScale, GetParam().frontScale);
    EXPECT_DOUBLE_EQ(pdev.layout().ShiftScaleBack, GetParam().backScale);
}

INSTANTIATE_TEST_SUITE_P(All, NupDuplexShift, testing::ValuesIn(kDuplexShifts));

// With the shift fitted, every grid leaves the shift its room and shares it
// over the cells as they lie on the printer's page: in every direction
// each page stays inside the printable area and apart from the others,
// turned sheets (2-up, 8-up) included.
TEST(NupShiftFit, EveryPageStaysOnThePrintersPage) {
    for (const LayoutPaper& paper : {kA4Portrait, kA4Landscape}) {
        const bool landscape = paper.orientation == 2;
        const int pageWidth = (landscape ? 7008 : 4960) - 192, pageHeight = (landscape ? 4960 : 7008) - 192;
        for (int pagesPerSheet : {2, 4, 8, 16})
            for (int direction = 1; direction <= 8; ++direction) {
                SCOPED_TRACE(std::string(paper.name) + ", " + std::to_string(pagesPerSheet) + "-up, direction " +
                             std::to_string(direction));
                LayoutPdev pdev(paper);
                pdev.Settings([&](RendPrivate& p) {
                    p.PagesPerSheet = BYTE(pagesPerSheet);
                    p.ImageShiftDirection = UINT16(direction);
                    p.ShiftFit = 1;
                    p.FrontShift = 400;  // 304 beyond the margin
                });
                Layout_StartJob(pdev.get());
                double sx = 0, sy = 0;
                Layout_PageScale(pdev.get(), &sx, &sy);
                std::vector<PageBox> boxes;
                for (int i = 0; i < pagesPerSheet; ++i) {
                    pdev.AtPage(i + 1, i + 1);
                    const LayoutPdev::Placed p = pdev.Transform(i + 1);
                    const PageBox b = PlacedPageBox(p.x, p.y, p.rotation, sx, sy, pageWidth, pageHeight);
                    SCOPED_TRACE("page " + std::to_string(i + 1) + " covers " + Describe(b));
                    EXPECT_GE(b.left, 96 - 1);
                    EXPECT_GE(b.top, 96 - 1);
                    EXPECT_LE(b.right, 96 + pageWidth + 1);
                    EXPECT_LE(b.bottom, 96 + pageHeight + 1);
                    for (const PageBox& other : boxes) EXPECT_FALSE(Overlap(b, other)) << "overlaps an earlier page";
                    boxes.push_back(b);
                }
            }
    }
}

TEST(NupGutter, ReducesTheSideOfTheDirection) {
    LayoutPdev pdev(kA4Portrait);
    pdev.Settings([](RendPrivate& p) {
        p.ImageShiftDirection = 5;
        p.FrontShift = 300;
        p.BackShift = 500;
        p.DuplexBinding = 2;
    });
    struct Case {
        int direction, orientation;
        BOOL back;
        int width, height;
    } cases[] = {
        {5, 1, FALSE, 1000 - 204, 2000}, {5, 2, FALSE, 1000, 2000 - 204}, {1, 1, FALSE, 1000, 2000 - 204},
        {4, 2, FALSE, 1000 - 204, 2000}, {8, 1, TRUE, 1000 - 404, 2000},  {9, 1, FALSE, 1000, 2000},
        {0, 1, FALSE, 1000, 2000},
    };
    for (const Case& t : cases) {
        pdev.Settings([&](RendPrivate& p) { p.ImageShiftDirection = UINT16(t.direction); });
        int width = 1000, height = 2000;
        Layout_ReduceForGutter(pdev.get(), t.orientation, &width, &height, t.back);
        EXPECT_EQ(width, t.width) << t.direction << " " << t.orientation;
        EXPECT_EQ(height, t.height) << t.direction << " " << t.orientation;
    }
    // Only at 100 percent, or with the user's scaling and N-up.
    pdev.Settings([](RendPrivate& p) {
        p.ImageShiftDirection = 5;
        p.ScalePercent = 90;
    });
    int width = 1000, height = 2000;
    Layout_ReduceForGutter(pdev.get(), 1, &width, &height, FALSE);
    EXPECT_EQ(width, 1000);
    pdev.Settings([](RendPrivate& p) {
        p.ScaleOn = 1;
        p.PagesPerSheet = 2;
    });
    Layout_ReduceForGutter(pdev.get(), 1, &width, &height, FALSE);
    EXPECT_EQ(width, 1000 - 204);
}

// ---- A page of another size later in the job ----

TEST(NupRecompute, OnePagePerSheetResetsTheCellScales) {
    LayoutPdev pdev(kA4Portrait);
    pdev.layout().ShiftScale = 0.3;
    pdev.layout().ShiftScaleFront = 0.3;
    pdev.layout().ShiftScaleBack = 0.2;
    Layout_RecomputeNup(pdev.get());
    EXPECT_DOUBLE_EQ(pdev.layout().ShiftScale, 1.0);
    EXPECT_DOUBLE_EQ(pdev.layout().ShiftScaleFront, 1.0);
    EXPECT_DOUBLE_EQ(pdev.layout().ShiftScaleBack, 1.0);
}

struct RecomputeCase {
    LayoutPaper first;
    int pagesPerSheet;
    int laterPaper;
    int direction;     // image shift up (1) or right (5) with duplex; 0 none
    int turned;        // the first page turned the sheet
    double front;
    double back;       // 1 without a back scale of its own
};
// A Letter page (printable 4908 x 6408) on the A4 sheet the first page set
// up goes into the same cells on the same sheet, which stays turned where
// it was: a 2 x 1 grid of a landscape first page runs down its portrait
// sheet (4768 x 6816), so the Letter pages fit 6816 / 2 down and 4768
// across. With duplex and shifts of 300 and 500 dots (204 and 404 beyond
// D), each side's room comes off the sheet along the shift.
const RecomputeCase kRecomputes[] = {
    {kA4Portrait, 4, DMPAPER_LETTER, 0, 0, 4768.0 / 9816, 1.0},
    {kA4Portrait, 2, DMPAPER_LETTER, 0, 1, 6816.0 / 9816, 1.0},
    {kA4Landscape, 2, DMPAPER_LETTER, 0, 1, 6816.0 / 9816, 1.0},
    {kA4Portrait, 16, DMPAPER_LETTER, 0, 0, 4768.0 / 19632, 1.0},
    // Up on a portrait first page's landscape sheet: its height (across
    // the printer's page) loses the room; only the back's 404 leave the
    // page less than 6816 / 2 across.
    {kA4Portrait, 2, DMPAPER_LETTER, 1, 1, 6816.0 / 9816, (4768.0 - 404) / 6408},
    // Right on a landscape first page's portrait sheet: its height, which
    // lies across the printer's landscape page.
    {kA4Landscape, 2, DMPAPER_LETTER, 5, 1, (6816.0 - 204) / 9816, (6816.0 - 404) / 9816},
    // Up on the same sheet: its width, down the printer's page.
    {kA4Landscape, 8, DMPAPER_LETTER, 1, 1, 6816.0 / 19632, (4768.0 - 404) / 12816},
};

class NupRecompute : public testing::TestWithParam<RecomputeCase> {};

TEST_P(NupRecompute, FitsThePageToTheFirstPagesCells) {
    const RecomputeCase& t = GetParam();
    LayoutPdev pdev(t.first);
    pdev.Settings([&](RendPrivate& p) {
        p.PagesPerSheet = BYTE(t.pagesPerSheet);
        if (t.direction) {
            p.DuplexBinding = 2;
            p.ImageShiftDirection = UINT16(t.direction);
            p.FrontShift = 300;
            p.BackShift = 500;
        }
    });
    Layout_StartJob(pdev.get());
    const LayoutState before = pdev.layout();
    // The first page of the second sheet (a back side) is the Letter page.
    pdev.TurnPage(t.laterPaper, t.first.orientation);
    pdev.AtPage(t.pagesPerSheet + 1, 1);
    Layout_RecomputeNup(pdev.get());
    const LayoutState& st = pdev.layout();
    EXPECT_DOUBLE_EQ(st.ShiftScaleFront, t.front);
    EXPECT_DOUBLE_EQ(st.ShiftScaleBack, t.back);
    EXPECT_DOUBLE_EQ(st.ShiftScale, t.direction ? t.back : t.front);
    EXPECT_EQ(st.NupSheetTurned, t.turned);
    EXPECT_EQ(st.NupColumns, before.NupColumns);
    EXPECT_EQ(st.NupRows, before.NupRows);
    EXPECT_EQ(st.SheetOrientation, before.SheetOrientation);
    EXPECT_EQ(st.SheetGeometry.Width, before.SheetGeometry.Width);
    EXPECT_EQ(st.SheetGeometry.Height, before.SheetGeometry.Height);
    // The front page of the next sheet takes the front scale again.
    pdev.AtPage(2 * t.pagesPerSheet + 1, 1);
    Layout_RecomputeNup(pdev.get());
    EXPECT_DOUBLE_EQ(st.ShiftScale, t.front);
}

INSTANTIATE_TEST_SUITE_P(All, NupRecompute, testing::ValuesIn(kRecomputes));

}  // namespace
}  // namespace tam::test
