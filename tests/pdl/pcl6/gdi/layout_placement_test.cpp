// Where replayed pages land, checked geometrically from the printed job
// alone (each page's origin, rotation and scale as written): every booklet
// page inside the printable area of its sheet, the two pages of a side
// apart; the poster tiles of a page, each a printer's page as its BeginPage
// sets it up, showing all of the enlarged page, each part once.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "spool_fixture.h"
#include "support/page_box.h"

namespace tam::test {
namespace {

// A job's paper and resolution as the settings give them to the enable.
struct JobPaper {
    const char* name;
    int paper;        // DMPAPER_*
    int orientation;  // 1 portrait, 2 landscape
    int dpi;          // 600 or 1200
};

// A paper at the job's resolution with its unprintable margin: portrait,
// or turned by an odd BeginPage orientation (landscape, or landscape
// turned by 180 degrees).
struct PrinterPage {
    int width, height, margin;
};

PrinterPage PrinterPageOf(const JobPaper& paper, int64_t orientation) {
    const int factor = paper.dpi / 600;
    int width = (paper.paper == DMPAPER_A4 ? 4960 : 5100) * factor;
    int height = (paper.paper == DMPAPER_A4 ? 7008 : 6600) * factor;
    if (orientation % 2 == 1) std::swap(width, height);
    return {width, height, 96 * factor};
}

PageBox PlacedBox(const PrintedSide::Placed& p, double w, double h) {
    return PlacedPageBox(double(p.originX), double(p.originY), p.angle, p.scaleX, p.scaleY, w, h);
}

std::string Describe(const PrintedSide::Placed& p, const PageBox& b) {
    return "page " + std::to_string(p.page) + " at (" + std::to_string(p.originX) + ", " + std::to_string(p.originY) +
           ") angle " + std::to_string(p.angle) + " scale " + std::to_string(p.scaleX) + " covers " + Describe(b);
}

class Placement : public SpoolTest {
protected:
    // A PDEV of the paper, orientation and resolution, with its private
    // settings changed by `edit`.
    PDEV* EnablePaper(const JobPaper& paper, const std::function<void(RendPrivate&)>& edit) {
        ByteImage settings = UiSettings();
        settings.I16(dm::PaperSize, paper.paper).I16(dm::Orientation, paper.orientation);
        settings.I16(dm::YResolution, paper.dpi);
        PDEV* pdev = Enable(settings);
        EXPECT_NE(pdev, nullptr) << paper.name;
        if (pdev) edit(pdev->Devmode.priv);
        return pdev;
    }
};

// ---- Booklet ----

struct BookletPlacementCase {
    JobPaper paper;
    int duplex;    // duplex binding: below 3 the printer turns the sheet, 3 and 4 the user
    int rotate;    // the 180-degree rule
    int order;     // booklet order
    int position;  // print position on a half
    int gutter;    // gutter width, 0 for none
    int flags;     // gutter flags: 1 the first only, 3 both
    int pages;
};

void PrintTo(const BookletPlacementCase& c, std::ostream* os) {
    *os << c.paper.name << ", duplex " << c.duplex << ", rule " << c.rotate << ", order " << c.order
        << ", position " << c.position << ", gutter " << c.gutter << " flags " << c.flags << ", " << c.pages
        << " pages";
}

class BookletPlacement : public Placement, public testing::WithParamInterface<BookletPlacementCase> {};

// Every side of the booklet is the job's paper turned across the job's
// pages (a portrait job prints on a landscape sheet). Each page, drawn at
// the origin, rotation and scale written in front of it, lies inside the
// sheet's printable area, and the two pages of a side do not overlap.
TEST_P(BookletPlacement, EveryPageLiesOnTheSheetApartFromItsNeighbour) {
    const BookletPlacementCase& c = GetParam();
    PDEV* pdev = EnablePaper(c.paper, [&](RendPrivate& p) {
        p.BookletOn = 1;
        p.DuplexBinding = BYTE(c.duplex);
        p.Rotate180Mode = BYTE(c.rotate);
        p.BookletOrder = BYTE(c.order);
        p.PrintPosition = UINT16(c.position);
        p.FirstGutterFlag = c.flags & 1 ? 1 : 0;
        p.SecondGutterFlag = c.flags & 2 ? 1 : 0;
        p.GutterWidth = UINT16(c.gutter);
    });
    ASSERT_NE(pdev, nullptr);
    const EndResult end = PrintJob(pdev, c.pages);
    ASSERT_TRUE(end.ended) << end.error;
    const bool landscapeJob = c.paper.orientation == 2;
    // The pages are upright in the job's orientation; the sheet lies across them.
    const PrinterPage page = PrinterPageOf(c.paper, landscapeJob ? 1 : 0);
    const PrinterPage sheet = PrinterPageOf(c.paper, landscapeJob ? 0 : 1);
    const double w = page.width - 2 * page.margin, h = page.height - 2 * page.margin;
    const std::vector<PrintedSide> sides = Sides();
    ASSERT_FALSE(sides.empty());
    std::vector<int> seen;
    for (size_t s = 0; s < sides.size(); ++s) {
        const PrintedSide& side = sides[s];
        SCOPED_TRACE("side " + std::to_string(s));
        ASSERT_LE(side.pages.size(), 2u);
        // The printer is given the sheet (Orientation 1 landscape, 0
        // portrait; +2 turned over).
        EXPECT_EQ(side.orientation % 2, landscapeJob ? 0 : 1);
        std::vector<PageBox> boxes;
        for (const PrintedSide::Placed& p : side.pages) {
            seen.push_back(p.page);
            const PageBox b = PlacedBox(p, w, h);
            SCOPED_TRACE(Describe(p, b));
            EXPECT_TRUE(p.angle == 0 || p.angle == 180);
            EXPECT_GT(p.scaleX, 0.0);
            // One unit of slack for the truncations.
            EXPECT_GE(b.left, sheet.margin - 1);
            EXPECT_GE(b.top, sheet.margin - 1);
            EXPECT_LE(b.right, sheet.width - sheet.margin + 1);
            EXPECT_LE(b.bottom, sheet.height - sheet.margin + 1);
            for (const PageBox& other : boxes) EXPECT_FALSE(Overlap(b, other)) << "overlaps the other page of its side";
            boxes.push_back(b);
        }
    }
    // Each page of the job is printed once.
    std::sort(seen.begin(), seen.end());
    std::vector<int> all;
    for (int i = 1; i <= c.pages; ++i) all.push_back(i);
    EXPECT_EQ(seen, all);
}

constexpr JobPaper kPapers[] = {
    {"A4 portrait", DMPAPER_A4, 1, 600},
    {"A4 landscape", DMPAPER_A4, 2, 600},
    {"Letter portrait", DMPAPER_LETTER, 1, 600},
    {"Letter landscape", DMPAPER_LETTER, 2, 600},
    {"A4 portrait 1200 dpi", DMPAPER_A4, 1, 1200},
    {"A4 landscape 1200 dpi", DMPAPER_A4, 2, 1200},
    {"Letter portrait 1200 dpi", DMPAPER_LETTER, 1, 1200},
    {"Letter landscape 1200 dpi", DMPAPER_LETTER, 2, 1200},
};

std::vector<BookletPlacementCase> BookletPlacementCases() {
    // Printer duplex (0, 2) and manual duplex (3, 4), with and without the
    // rule that turns every page, both orders, every print position, a
    // gutter in the fold (with one flag or both), and groups with and
    // without lone pages.
    struct Variant {
        int duplex, rotate, order, position, gutter, flags, pages;
    };
    const Variant variants[] = {
        {0, 0, 0, 0, 0, 0, 8},   {2, 3, 1, 4, 0, 0, 7},   {3, 0, 1, 1, 100, 3, 8},
        {4, 3, 0, 3, 100, 3, 7}, {0, 3, 1, 2, 0, 0, 6},   {2, 0, 0, 0, 100, 1, 8},
    };
    std::vector<BookletPlacementCase> cases;
    for (const JobPaper& paper : kPapers)
        for (const Variant& v : variants)
            cases.push_back({paper, v.duplex, v.rotate, v.order, v.position, v.gutter, v.flags, v.pages});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Table, BookletPlacement, testing::ValuesIn(BookletPlacementCases()));

// ---- Poster ----

struct PosterPlacementCase {
    JobPaper paper;
    int size;    // the poster size setting: 2, 3 or 4 tiles a side
    int rotate;  // the 180-degree rule
};

void PrintTo(const PosterPlacementCase& c, std::ostream* os) {
    *os << c.paper.name << ", size " << c.size << ", rule " << c.rotate;
}

class PosterPlacement : public Placement, public testing::WithParamInterface<PosterPlacementCase> {};

// The tiles of a page, row by row, each a printer's page: tile (row,
// column) shows the part of the enlarged page that falls on its printable
// area. Along each axis those parts follow one another without a gap and
// without overlap (the tiles step by one printable extent), from the
// enlarged page's first edge to its last.
TEST_P(PosterPlacement, TilesShowTheEnlargedPageOnce) {
    const PosterPlacementCase& c = GetParam();
    PDEV* pdev = EnablePaper(c.paper, [&](RendPrivate& p) {
        p.PosterOn = 1;  // poster on
        p.PosterSize = UINT16(c.size);
        p.Rotate180Mode = BYTE(c.rotate);
        // The user interface's settings have the user's scaling on (at 100
        // percent), which keeps a poster page at its size: off, the page
        // is enlarged over its tiles.
        p.ScaleOn = 0;
    });
    ASSERT_NE(pdev, nullptr);
    const int n = c.size + 2;
    ASSERT_TRUE(PrintJob(pdev, 1).ended);
    const std::vector<PrintedSide> sides = Sides();
    ASSERT_EQ(sides.size(), size_t(n * n));
    const PrinterPage upright = PrinterPageOf(c.paper, c.paper.orientation == 2 ? 1 : 0);
    const double w = upright.width - 2 * upright.margin, h = upright.height - 2 * upright.margin;
    // The parts shown, in enlarged-page units from its corner: the columns'
    // spans across (from the first row) and the rows' spans down (from the
    // first column).
    std::vector<std::pair<double, double>> across, down;
    double enlargedWidth = 0, enlargedHeight = 0;
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column) {
            const PrintedSide& side = sides[size_t(row * n + column)];
            SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
            ASSERT_EQ(side.pages.size(), 1u);
            const PrintedSide::Placed& p = side.pages[0];
            ASSERT_EQ(p.angle, 0);
            const PrinterPage printer = PrinterPageOf(c.paper, side.orientation);
            const PageBox b = PlacedBox(p, w, h);
            SCOPED_TRACE(Describe(p, b));
            enlargedWidth = b.right - b.left;
            enlargedHeight = b.bottom - b.top;
            // The part of the enlarged page on the printable area.
            const double left = std::max(b.left, double(printer.margin)) - b.left;
            const double right = std::min(b.right, double(printer.width - printer.margin)) - b.left;
            const double top = std::max(b.top, double(printer.margin)) - b.top;
            const double bottom = std::min(b.bottom, double(printer.height - printer.margin)) - b.top;
            EXPECT_GT(right - left, 1) << "the tile shows nothing of the page across";
            EXPECT_GT(bottom - top, 1) << "the tile shows nothing of the page down";
            if (row == 0) across.push_back({left, right});
            if (column == 0) down.push_back({top, bottom});
            // Tiles of one column show the same span across, of one row the same span down.
            EXPECT_NEAR(left, across[size_t(column)].first, 1);
            EXPECT_NEAR(top, down[size_t(row)].first, 1);
        }
    // The enlarged page fills n printable extents of the printer's page.
    const PrinterPage printer = PrinterPageOf(c.paper, sides[0].orientation);
    EXPECT_NEAR(enlargedWidth, n * (printer.width - 2.0 * printer.margin), 1);
    EXPECT_NEAR(enlargedHeight, n * (printer.height - 2.0 * printer.margin), 1);
    auto covers = [](const std::vector<std::pair<double, double>>& spans, double extent, const char* axis) {
        SCOPED_TRACE(axis);
        EXPECT_LE(spans.front().first, 1);
        for (size_t i = 1; i < spans.size(); ++i) {
            EXPECT_NEAR(spans[i].first, spans[i - 1].second, 1) << "tile " << i << " does not meet tile " << i - 1;
        }
        EXPECT_GE(spans.back().second, extent - 1);
    };
    covers(across, enlargedWidth, "across");
    covers(down, enlargedHeight, "down");
}

// Every paper with 2, 3 and 4 tiles a side, 3 with every page turned by
// its media. At 1200 dpi the far tiles of 4 a side lie more than 32767
// dots back, beyond one 16-bit page origin.
std::vector<PosterPlacementCase> PosterPlacementCases() {
    std::vector<PosterPlacementCase> cases;
    for (const JobPaper& paper : kPapers)
        for (int size : {0, 1, 2}) cases.push_back({paper, size, size == 1 ? 3 : 0});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Table, PosterPlacement, testing::ValuesIn(PosterPlacementCases()));

}  // namespace
}  // namespace tam::test
