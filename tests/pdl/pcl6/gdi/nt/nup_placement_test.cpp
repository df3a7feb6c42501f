// Where N-up pages land, checked geometrically from the printed job alone:
// documents whose pages change orientation or paper (through ResetDC, as an
// application turns a page or picks another paper for it) printed 2, 4, 8
// and 16 to a sheet on A4. Each page, drawn at the origin, rotation and
// scale written in front of it, must lie inside the printable area of the
// printer's page as the sheet's BeginPage sets it up, no two pages of a
// sheet may overlap, and each page fills its cell one way.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "print_fixture.h"
#include "support/page_box.h"

namespace tam::test {
namespace {

// A4 and Letter at 600 dpi and their unprintable margin.
constexpr double kA4Width = 4960, kA4Height = 7008, kLetterWidth = 5100, kLetterHeight = 6600, kMargin = 96;

struct MixedCase {
    int pagesPerSheet;
    const char* orientations;  // one letter a page: P portrait, L landscape; p and l on Letter
    int rotate180 = 0;         // the layout page's 180-degree rule: 1 landscape, 2 portrait, 3 every page
    int duplex = DMDUP_SIMPLEX;
};

void PrintTo(const MixedCase& c, std::ostream* os) {
    *os << c.pagesPerSheet << "-up " << c.orientations << ", rule " << c.rotate180 << ", duplex " << c.duplex;
}

const MixedCase kMixed[] = {
    {2, "PP"},
    {2, "LL"},
    {2, "PLLP"},
    {2, "LPPL"},
    {2, "PPLP"},
    {4, "PLPL"},
    {4, "LPLP"},
    {4, "LPPP"},
    {4, "PPPPLPPL"},
    {8, "PLPLPLPL"},
    {8, "LPLPLPLP"},
    {8, "PPPPPPPPLLPP"},
    {16, "PLLPPLLPPLLPPLLP"},
    // Pages turned by 180 degrees, and back sides of two-sided sheets.
    {2, "PLLPPLLP", 1},
    {2, "LPPLLPPL", 3},
    {2, "PLLPPLLP", 0, DMDUP_VERTICAL},
    {2, "LPPLLPPL", 2, DMDUP_HORIZONTAL},
    {4, "PLPLLPLP", 3, DMDUP_VERTICAL},
    {8, "PLPLPLPLLPLPLPLP", 2, DMDUP_VERTICAL},
    // A page of another paper later in the job goes into the first page's
    // cells, on its sheet (turned for 2 and 8 up).
    {2, "PPppPPpp"},
    {2, "LLllLLll", 0, DMDUP_VERTICAL},
    {2, "PPlpPPpl", 1},
    {4, "PPPPpplp"},
    {8, "LLLLLLLLllllllllllllllll"},
    {8, "PPPPPPPPpppppppplplplplp", 3, DMDUP_VERTICAL},
    {16, "LLLLLLLLLLLLLLLLllllllllllllllll"},
};

class NupPlacement : public PrintTest, public testing::WithParamInterface<MixedCase> {};

TEST_P(NupPlacement, EveryPageLiesOnItsSheetApartFromTheOthers) {
    const MixedCase& c = GetParam();
    UiDevmode settings = Settings();
    settings.pub.dmPaperSize = DMPAPER_A4;
    settings.priv.MultipleUp = BYTE(c.pagesPerSheet);
    settings.priv.PageOrder = c.pagesPerSheet == 2 ? 0 : 2;
    settings.priv.Rotate180 = INT16(c.rotate180);
    settings.pub.dmDuplex = SHORT(c.duplex);
    struct Page {
        short paper, orientation;
        double width, height;  // printable extent
    };
    std::vector<Page> pages;
    for (const char* p = c.orientations; *p; ++p) {
        const bool letter = *p == 'p' || *p == 'l';
        const bool landscape = *p == 'L' || *p == 'l';
        double width = (letter ? kLetterWidth : kA4Width) - 2 * kMargin;
        double height = (letter ? kLetterHeight : kA4Height) - 2 * kMargin;
        if (landscape) std::swap(width, height);
        pages.push_back({short(letter ? DMPAPER_LETTER : DMPAPER_A4),
                         short(landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT), width, height});
    }
    settings.pub.dmOrientation = pages.front().orientation;
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    // Each page on its paper and in its orientation, set through ResetDCW
    // before it.
    Printed printed;
    printed.jobId = StartDocument(dc);
    ASSERT_NE(printed.jobId, 0u) << GetLastError();
    for (const Page& p : pages) {
        UiDevmode page = settings;
        page.pub.dmPaperSize = p.paper;
        page.pub.dmOrientation = p.orientation;
        EXPECT_NE(ResetDCW(dc, &page.pub), nullptr) << GetLastError();
        EXPECT_GT(StartPage(dc), 0) << GetLastError();
        EXPECT_GT(EndPage(dc), 0) << GetLastError();
    }
    printed.endDoc = EndDoc(dc);
    ASSERT_GT(printed.endDoc, 0) << GetLastError();
    const job::DecodedJob decoded = Decode(printed.jobId);
    const std::vector<Sheet> sheets = Sheets(decoded);

    // The grid's counts (2: 2 x 1, 4: 2 x 2, 8: 4 x 2, 16: 4 x 4), the
    // larger one along the printer's long side.
    int larger = 2, smaller = 1;
    if (c.pagesPerSheet == 4) smaller = 2;
    if (c.pagesPerSheet == 8) larger = 4, smaller = 2;
    if (c.pagesPerSheet == 16) larger = smaller = 4;
    size_t page = 0;
    for (size_t s = 0; s < sheets.size(); ++s) {
        SCOPED_TRACE("sheet " + std::to_string(s + 1));
        // Every sheet is the first page's paper. Orientation 0 and 2
        // portrait, 1 and 3 landscape (turned over).
        EXPECT_EQ(sheets[s].begin->Text("MediaSize").value_or(""),
                  pages.front().paper == DMPAPER_A4 ? "A4" : "LETTER");
        const bool landscapeSheet = sheets[s].begin->Int("Orientation").value_or(0) % 2 == 1;
        const double paperWidth = pages.front().paper == DMPAPER_A4 ? kA4Width : kLetterWidth;
        const double paperHeight = pages.front().paper == DMPAPER_A4 ? kA4Height : kLetterHeight;
        const double width = landscapeSheet ? paperHeight : paperWidth;
        const double height = landscapeSheet ? paperWidth : paperHeight;
        const double cellWidth = (width - 2 * kMargin) / (landscapeSheet ? larger : smaller);
        const double cellHeight = (height - 2 * kMargin) / (landscapeSheet ? smaller : larger);
        std::vector<PageBox> boxes;
        for (const Placement& p : sheets[s].placements) {
            ASSERT_LT(page, pages.size());
            const Page& kind = pages[page];
            const PageBox b = PlacedPageBox(double(p.originX), double(p.originY), p.angle, p.scaleX, p.scaleY,
                                            kind.width, kind.height);
            SCOPED_TRACE("page " + std::to_string(++page) + " at (" + std::to_string(p.originX) + ", " +
                         std::to_string(p.originY) + ") angle " + std::to_string(p.angle) + " covers " + Describe(b));
            // One unit of slack for the truncations.
            EXPECT_GE(b.left, kMargin - 1);
            EXPECT_GE(b.top, kMargin - 1);
            EXPECT_LE(b.right, width - kMargin + 1);
            EXPECT_LE(b.bottom, height - kMargin + 1);
            for (const PageBox& other : boxes) EXPECT_FALSE(Overlap(b, other)) << "overlaps an earlier page of its sheet";
            boxes.push_back(b);
            // As large as the cell lets it be.
            EXPECT_TRUE(b.right - b.left >= cellWidth - 2 || b.bottom - b.top >= cellHeight - 2)
                << "a page of " << b.right - b.left << " x " << b.bottom - b.top << " in a cell of " << cellWidth
                << " x " << cellHeight;
        }
    }
    EXPECT_EQ(page, pages.size());
}

INSTANTIATE_TEST_SUITE_P(Documents, NupPlacement, testing::ValuesIn(kMixed));

}  // namespace
}  // namespace tam::test
