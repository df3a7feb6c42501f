// Where N-up pages land, checked geometrically from the printed job alone:
// documents whose pages change orientation (through ResetDC, as an
// application turns a page) printed 2, 4, 8 and 16 to a sheet on A4. Each
// page, drawn at the origin, rotation and scale written in front of it,
// must lie inside the printable area of the printer's page as the sheet's
// BeginPage sets it up, and no two pages of a sheet may overlap.
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

// A4 at 600 dpi and its unprintable margin.
constexpr double kA4Width = 4960, kA4Height = 7008, kMargin = 96;

struct MixedCase {
    int pagesPerSheet;
    const char* orientations;  // one letter a page: P portrait, L landscape
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
    std::vector<short> orientations;
    for (const char* p = c.orientations; *p; ++p) orientations.push_back(*p == 'L' ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    settings.pub.dmOrientation = orientations.front();
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const Printed printed = PrintMixed(dc, settings, orientations);
    ASSERT_GT(printed.endDoc, 0) << printed.endDocError;
    const job::DecodedJob decoded = Decode(printed.jobId);
    const std::vector<Sheet> sheets = Sheets(decoded);

    size_t page = 0;
    for (size_t s = 0; s < sheets.size(); ++s) {
        SCOPED_TRACE("sheet " + std::to_string(s + 1));
        // Orientation 0 and 2 portrait, 1 and 3 landscape (turned over).
        const bool landscapeSheet = sheets[s].begin->Int("Orientation").value_or(0) % 2 == 1;
        const double width = landscapeSheet ? kA4Height : kA4Width;
        const double height = landscapeSheet ? kA4Width : kA4Height;
        std::vector<PageBox> boxes;
        for (const Placement& p : sheets[s].placements) {
            ASSERT_LT(page, orientations.size());
            const bool landscapePage = orientations[page] == DMORIENT_LANDSCAPE;
            const double w = (landscapePage ? kA4Height : kA4Width) - 2 * kMargin;
            const double h = (landscapePage ? kA4Width : kA4Height) - 2 * kMargin;
            const PageBox b = PlacedPageBox(double(p.originX), double(p.originY), p.angle, p.scaleX, p.scaleY, w, h);
            SCOPED_TRACE("page " + std::to_string(++page) + " at (" + std::to_string(p.originX) + ", " +
                         std::to_string(p.originY) + ") angle " + std::to_string(p.angle) + " covers " + Describe(b));
            // One unit of slack for the truncations.
            EXPECT_GE(b.left, kMargin - 1);
            EXPECT_GE(b.top, kMargin - 1);
            EXPECT_LE(b.right, width - kMargin + 1);
            EXPECT_LE(b.bottom, height - kMargin + 1);
            for (const PageBox& other : boxes) EXPECT_FALSE(Overlap(b, other)) << "overlaps an earlier page of its sheet";
            boxes.push_back(b);
        }
    }
    EXPECT_EQ(page, orientations.size());
}

INSTANTIATE_TEST_SUITE_P(Documents, NupPlacement, testing::ValuesIn(kMixed));

}  // namespace
}  // namespace tam::test
