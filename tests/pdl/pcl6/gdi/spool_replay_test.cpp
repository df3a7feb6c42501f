// The page order of replayed jobs: collated copies, reverse order, manual
// duplex, booklet imposition and poster tiles, over jobs of 1 to 9 pages.
// The expected orders are written out from the replay rules: a side is the
// page it carries, "-" a blank side; booklet sides show their two places
// as "first,second".
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "pcl6/gdi/layout.h"
#include "support/page_box.h"
#include "spool_fixture.h"

namespace tam::test {
namespace {

class SpoolReplay : public SpoolTest {
protected:
    // The booklet sides as "first,second" by the half of the sheet each
    // page was placed on.
    std::string BookletOrder(const PDEV* pdev) const {
        // The second place is the sheet's right half, from its middle on; a
        // page turned by 180 degrees has its origin at its far corner,
        // inside its half too.
        const int64_t secondPlace = pdev->Job.State.Layout.SheetGeometry.Width / 2;
        std::string text;
        for (const PrintedSide& side : Sides()) {
            std::string places[2] = {"-", "-"};
            for (const auto& placed : side.pages)
                places[placed.originX >= secondPlace ? 1 : 0] = std::to_string(placed.page);
            if (!text.empty()) text += ' ';
            text += places[0] + "," + places[1];
        }
        return text;
    }
};

struct OrderCase {
    int pages;
    const char* order;
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.pages << " pages: " << c.order; }

// ---- Collated copies and reverse order ----

struct CopiesCase {
    int copies;
    bool reverse;
    int pages;
    const char* order;
};

const CopiesCase kCopies[] = {
    {2, false, 1, "1 1"},
    {2, false, 2, "1 2 1 2"},
    {2, false, 3, "1 2 3 1 2 3"},
    {2, false, 4, "1 2 3 4 1 2 3 4"},
    {2, false, 5, "1 2 3 4 5 1 2 3 4 5"},
    {2, false, 6, "1 2 3 4 5 6 1 2 3 4 5 6"},
    {2, false, 7, "1 2 3 4 5 6 7 1 2 3 4 5 6 7"},
    {2, false, 8, "1 2 3 4 5 6 7 8 1 2 3 4 5 6 7 8"},
    {2, false, 9, "1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9"},
    {3, false, 2, "1 2 1 2 1 2"},
    {3, false, 3, "1 2 3 1 2 3 1 2 3"},
    {1, true, 1, "1"},
    {1, true, 2, "2 1"},
    {1, true, 3, "3 2 1"},
    {1, true, 4, "4 3 2 1"},
    {1, true, 5, "5 4 3 2 1"},
    {1, true, 6, "6 5 4 3 2 1"},
    {1, true, 7, "7 6 5 4 3 2 1"},
    {1, true, 8, "8 7 6 5 4 3 2 1"},
    {1, true, 9, "9 8 7 6 5 4 3 2 1"},
    {2, true, 3, "3 2 1 3 2 1"},
    {3, true, 2, "2 1 2 1 2 1"},
};

void PrintTo(const CopiesCase& c, std::ostream* os) {
    *os << c.copies << " copies" << (c.reverse ? ", reverse, " : ", ") << c.pages << " pages: " << c.order;
}

class CopiesAndReverse : public SpoolReplay, public testing::WithParamInterface<CopiesCase> {};

TEST_P(CopiesAndReverse, PagesComeBackInOrder) {
    const CopiesCase& c = GetParam();
    PDEV* pdev = EnableWith([&](RendDevmode& settings) {
        settings.pub.dmCopies = SHORT(c.copies);
        settings.pub.dmCollate = DMCOLLATE_TRUE;
        settings.priv.OppositeOrder = c.reverse ? 1 : 0;
    });
    ASSERT_NE(pdev, nullptr);
    const EndResult end = PrintJob(pdev, c.pages);
    EXPECT_TRUE(end.ended) << end.error;
    EXPECT_EQ(Order(), c.order);
    // Each sheet asks the printer for one copy: the copies are the replay's.
    const job::DecodedJob decoded = Decoded();
    for (const job::Operator* endPage : decoded.Find("EndPage")) EXPECT_EQ(endPage->Int("PageCopies"), 1);
    EXPECT_EQ(decoded.Count("BeginSession"), 1u);
    EXPECT_EQ(decoded.Count("EndSession"), 1u);
    EXPECT_TRUE(SpoolFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, CopiesAndReverse, testing::ValuesIn(kCopies));

// Reverse order on a printer that turns the sheets over itself: the sheets
// come last first, each front before back, so that every page keeps its
// sheet; the fronts (odd pages) carry the front-side mark.
const OrderCase kReverseDuplex[] = {
    {1, "1"}, {2, "1 2"}, {3, "3 1 2"}, {4, "3 4 1 2"}, {5, "5 3 4 1 2"}, {6, "5 6 3 4 1 2"},
};

class ReverseDuplex : public SpoolReplay, public testing::WithParamInterface<OrderCase> {};

TEST_P(ReverseDuplex, SheetsComeLastFirstWithTheirOwnPages) {
    const OrderCase& c = GetParam();
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.OppositeOrder = 1;
        settings.priv.DuplexBinding = 2;
    });
    ASSERT_NE(pdev, nullptr);
    const EndResult end = PrintJob(pdev, c.pages);
    EXPECT_TRUE(end.ended) << end.error;
    EXPECT_EQ(Order(), c.order);
    const job::DecodedJob decoded = Decoded();
    const std::vector<PrintedSide> sides = Sides();
    const auto pages = decoded.Pages();
    ASSERT_EQ(pages.size(), sides.size());
    for (size_t i = 0; i < sides.size(); ++i) {
        ASSERT_EQ(sides[i].pages.size(), 1u);
        const job::Attribute* side = decoded.ops[pages[i].first].Find("DuplexPageSide");
        EXPECT_EQ(side != nullptr, sides[i].pages[0].page % 2 == 1) << "page " << sides[i].pages[0].page;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ReverseDuplex, testing::ValuesIn(kReverseDuplex));

// ---- Collation switched on by a repeated document start ----

// The first start had uncollated copies (the printer makes them); the
// settings then ask for collated ones (as a ResetDC does) and the document
// is started again: from then on the pages go to the spool file and are
// replayed as the copies, behind the pages printed before the switch. A
// further start is the engine playing the document again for a copy that
// the job makes itself: it writes nothing.
class CollationSwitch : public SpoolReplay {
protected:
    PDEV* Enabled() {
        return EnableWith([](RendDevmode& settings) {
            settings.pub.dmCopies = 3;
            settings.pub.dmCollate = DMCOLLATE_FALSE;
        });
    }
    bool StartAgain() { return DrvStartDoc(surface(), const_cast<LPWSTR>(u"replay test"), jobId()) != FALSE; }
    std::vector<int64_t> PageCopies() const {
        const job::DecodedJob decoded = Decoded();
        std::vector<int64_t> copies;
        for (const job::Operator* op : decoded.Find("EndPage")) copies.push_back(op->Int("PageCopies").value_or(-1));
        return copies;
    }
};

TEST_F(CollationSwitch, ThePagesFromTheSwitchOnAreReplayedAsTheCopies) {
    PDEV* pdev = Enabled();
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    ASSERT_TRUE(PrintPage(pdev, 2));
    const SpoolState& spool = pdev->Job.State.Spool;
    EXPECT_EQ(spool.OutputFlags, UINT32(OUTF_TO_PRINTER));

    pdev->Devmode.pub.dmCollate = DMCOLLATE_TRUE;
    ASSERT_TRUE(StartAgain());
    EXPECT_EQ(spool.OutputFlags, UINT32(OUTF_COLLATE_REPLAY | OUTF_TO_SPOOL_FILE));
    EXPECT_EQ(SpoolFiles().size(), 1u);
    // The table starts again: the header went out already.
    EXPECT_EQ(spool.PageTableCount, 1);
    EXPECT_TRUE(spool.HeaderSent);
    ASSERT_TRUE(PrintPage(pdev, 3));
    ASSERT_TRUE(PrintPage(pdev, 4));
    EXPECT_EQ(spool.PageTable[1].Offset, 0);

    // The engine plays the document again for a further copy.
    ASSERT_TRUE(StartAgain());
    EXPECT_TRUE(pdev->Job.JobFlags & JOBF_ENGINE_COPY);
    for (int page = 0; page < 4; ++page) {
        EXPECT_TRUE(DrvStartPage(surface()));
        EXPECT_TRUE(DrvSendPage(surface()));
    }
    const EndResult end = EndJob();
    EXPECT_TRUE(end.ended) << end.error;

    EXPECT_EQ(Order(), "1 2 3 4 3 4 3 4");
    // The printer made the uncollated copies of the first pages; the replay
    // makes the collated ones.
    EXPECT_EQ(PageCopies(), (std::vector<int64_t>{3, 3, 1, 1, 1, 1, 1, 1}));
    const job::DecodedJob decoded = Decoded();
    EXPECT_EQ(decoded.Count("BeginSession"), 1u);
    EXPECT_EQ(decoded.Count("EndSession"), 1u);
    EXPECT_TRUE(SpoolFiles().empty());
}

TEST_F(CollationSwitch, ASwitchWithoutLaterPagesStillEndsTheJob) {
    PDEV* pdev = Enabled();
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    pdev->Devmode.pub.dmCollate = DMCOLLATE_TRUE;
    ASSERT_TRUE(StartAgain());
    EXPECT_TRUE(EndJob().ended);
    EXPECT_EQ(Order(), "1");
    const job::DecodedJob decoded = Decoded();  // whole: its session and PJL job end
    EXPECT_EQ(decoded.Count("EndSession"), 1u);
    EXPECT_TRUE(SpoolFiles().empty());
}

TEST_F(CollationSwitch, AnNupSheetBegunBeforeTheSwitchIsEnded) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.pub.dmCopies = 2;
        settings.pub.dmCollate = DMCOLLATE_FALSE;
        settings.priv.PagesPerSheet = 2;
    });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    pdev->Devmode.pub.dmCollate = DMCOLLATE_TRUE;
    ASSERT_TRUE(StartAgain());
    ASSERT_TRUE(PrintPage(pdev, 2));
    ASSERT_TRUE(PrintPage(pdev, 3));
    EXPECT_TRUE(EndJob().ended);
    EXPECT_EQ(Order(), "1 2+3 2+3");
    EXPECT_EQ(PageCopies(), (std::vector<int64_t>{2, 1, 1}));
}

// A job that keeps its pages in the file already stored them with the
// printer's uncollated copies: a replay would multiply them, so the switch
// is refused and the job prints as it was set up, its copies the printer's.
TEST_F(CollationSwitch, IsRefusedForAJobThatKeepsItsPagesAlready) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.pub.dmCopies = 3;
        settings.pub.dmCollate = DMCOLLATE_FALSE;
        settings.priv.OppositeOrder = 1;
    });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    ASSERT_TRUE(PrintPage(pdev, 2));
    pdev->Devmode.pub.dmCollate = DMCOLLATE_TRUE;
    ASSERT_TRUE(StartAgain());
    EXPECT_EQ(pdev->Job.State.Spool.OutputFlags, UINT32(OUTF_REVERSE | OUTF_TO_SPOOL_FILE));
    ASSERT_TRUE(PrintPage(pdev, 3));
    EXPECT_TRUE(EndJob().ended);
    EXPECT_EQ(Order(), "3 2 1");
    EXPECT_EQ(PageCopies(), (std::vector<int64_t>{3, 3, 3}));
}

// Without a spool file the switch is dropped: the job goes on to the
// printer, once.
TEST_F(CollationSwitch, WithoutItsFileTheJobGoesOnToThePrinter) {
    PDEV* pdev = Enabled();
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    const std::u16string missing = u"C:\\Missing\\Temp";
    machine().SetEnvironment(u"TMP", &missing);
    pdev->Devmode.pub.dmCollate = DMCOLLATE_TRUE;
    ASSERT_TRUE(StartAgain());
    EXPECT_EQ(pdev->Job.State.Spool.OutputFlags, UINT32(OUTF_TO_PRINTER));
    EXPECT_FALSE(pdev->Job.JobFlags & JOBF_ENGINE_COPY);
    ASSERT_TRUE(PrintPage(pdev, 2));
    EXPECT_TRUE(EndJob().ended);
    EXPECT_EQ(Order(), "1 2");
}

// ---- Manual duplex ----

// Every back side, last sheet first, then every front side, first sheet
// first; an odd last page leaves its sheet's back blank.
const OrderCase kManualDuplex[] = {
    {1, "- 1"},
    {2, "2 1"},
    {3, "- 2 1 3"},
    {4, "4 2 1 3"},
    {5, "- 4 2 1 3 5"},
    {6, "6 4 2 1 3 5"},
    {7, "- 6 4 2 1 3 5 7"},
    {8, "8 6 4 2 1 3 5 7"},
    {9, "- 8 6 4 2 1 3 5 7 9"},
};

struct ManualDuplexCase {
    int mode;
    OrderCase order;
};

std::vector<ManualDuplexCase> ManualDuplexCases() {
    std::vector<ManualDuplexCase> cases;
    for (int mode : {3, 4})
        for (const OrderCase& order : kManualDuplex) cases.push_back({mode, order});
    return cases;
}

void PrintTo(const ManualDuplexCase& c, std::ostream* os) {
    *os << "mode " << c.mode << ", " << c.order.pages << " pages: " << c.order.order;
}

class ManualDuplex : public SpoolReplay, public testing::WithParamInterface<ManualDuplexCase> {};

TEST_P(ManualDuplex, BacksLastSheetFirstThenFronts) {
    const ManualDuplexCase& c = GetParam();
    PDEV* pdev = EnableWith([&](RendDevmode& settings) { settings.priv.DuplexBinding = BYTE(c.mode); });
    ASSERT_NE(pdev, nullptr);
    const EndResult end = PrintJob(pdev, c.order.pages);
    EXPECT_TRUE(end.ended) << end.error;
    EXPECT_EQ(Order(), c.order.order);
    // The session is begun once, at the replay, in front of every side.
    const job::DecodedJob decoded = Decoded();
    EXPECT_EQ(decoded.Count("BeginSession"), 1u);
    ASSERT_FALSE(decoded.Find("BeginPage").empty());
    EXPECT_LT(decoded.First("BeginSession")->offset, decoded.First("BeginPage")->offset);
    EXPECT_TRUE(SpoolFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, ManualDuplex, testing::ValuesIn(ManualDuplexCases()));

TEST_F(SpoolReplay, ManualDuplexRepeatsEachPassPerCopy) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.DuplexBinding = 3;
        settings.pub.dmCopies = 2;
        settings.pub.dmCollate = DMCOLLATE_TRUE;
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(PrintJob(pdev, 4).ended);
    EXPECT_EQ(Order(), "4 2 4 2 1 3 1 3");
}

TEST_F(SpoolReplay, ManualDuplexStartsANewSheetWhenThePaperChangesAfterAnOddCount) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) { settings.priv.DuplexBinding = 3; });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    for (int page = 1; page <= 3; ++page) ASSERT_TRUE(PrintPage(pdev, page));
    ASSERT_TRUE(PrintPage(pdev, 4, [](PDEV* p) { p->Job.JobDevmode.pub.dmPaperSize = DMPAPER_LETTER; }));
    EXPECT_TRUE(EndJob().ended);
    // Fronts 1, 3, 4 and backs 2, blank, blank; a blank back is an empty
    // page on its front's paper.
    EXPECT_EQ(Order(), "- - 2 1 3 4");
    const std::vector<PrintedSide> sides = Sides();
    ASSERT_EQ(sides.size(), 6u);
    EXPECT_EQ(sides[0].media, "LETTER");
    EXPECT_EQ(sides[1].media, "A4");
    EXPECT_EQ(sides[5].media, "LETTER");
}

// ---- Booklet ----

// Printer duplex: each sheet's front, then its back. A group whose page
// count is not a multiple of 4 starts with pages 1 and 2 on a sheet of
// their own; one of 4k + 3 pages puts its last page alone on the next.
const OrderCase kBooklet[] = {
    {1, "-,1 -,-"},
    {2, "-,1 -,2"},
    {3, "-,1 3,2"},
    {4, "4,1 3,2"},
    {5, "-,1 -,2 -,3 5,4"},
    {6, "-,1 -,2 6,3 5,4"},
    {7, "-,1 -,2 7,- -,- 6,3 5,4"},
    {8, "8,1 7,2 6,3 5,4"},
    {9, "-,1 -,2 -,3 9,4 8,5 7,6"},
};

// Manual duplex: the backs from the last sheet to the first, then the
// fronts from the first to the last.
const OrderCase kManualBooklet[] = {
    {1, "-,- -,1"},
    {2, "-,2 -,1"},
    {3, "3,2 -,1"},
    {4, "3,2 4,1"},
    {5, "5,4 -,2 -,1 -,3"},
    {6, "5,4 -,2 -,1 6,3"},
    {7, "5,4 -,- -,2 -,1 7,- 6,3"},
    {8, "5,4 7,2 8,1 6,3"},
    {9, "7,6 9,4 -,2 -,1 -,3 8,5"},
};

struct BookletCase {
    int duplexMode;
    OrderCase order;
};

std::vector<BookletCase> BookletCases() {
    std::vector<BookletCase> cases;
    for (const OrderCase& order : kBooklet) cases.push_back({0, order});
    for (const OrderCase& order : kManualBooklet) cases.push_back({3, order});
    return cases;
}

void PrintTo(const BookletCase& c, std::ostream* os) {
    *os << "duplex mode " << c.duplexMode << ", " << c.order.pages << " pages: " << c.order.order;
}

class Booklet : public SpoolReplay, public testing::WithParamInterface<BookletCase> {};

TEST_P(Booklet, PagesAreImposedTwoToASide) {
    const BookletCase& c = GetParam();
    PDEV* pdev = EnableWith([&](RendDevmode& settings) {
        settings.priv.BookletOn = 1;
        settings.priv.DuplexBinding = BYTE(c.duplexMode);
    });
    ASSERT_NE(pdev, nullptr);
    const EndResult end = PrintJob(pdev, c.order.pages);
    EXPECT_TRUE(end.ended) << end.error;
    EXPECT_EQ(BookletOrder(pdev), c.order.order);
    EXPECT_TRUE(SpoolFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, Booklet, testing::ValuesIn(BookletCases()));

TEST_F(SpoolReplay, BookletGroupsImposeEachGroupOnItsOwn) {
    // Groups of one sheet: four pages each, the last group the rest.
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.BookletOn = 1;
        settings.priv.BookletGrouping = 1;
        settings.priv.BookletGroupSheets = 1;
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(PrintJob(pdev, 9).ended);
    EXPECT_EQ(BookletOrder(pdev), "4,1 3,2 8,5 7,6 -,9 -,-");
}

TEST_F(SpoolReplay, BookletPagesTakeTheCellTransformOfTheirPlace) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) { settings.priv.BookletOn = 1; });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    for (int page = 1; page <= 4; ++page) ASSERT_TRUE(PrintPage(pdev, page));
    // The transforms of the four pages on their places, while the page
    // table holds them: pages 4 and 1 on the front, 3 and 2 on the back.
    struct Expected {
        int page, place;
        BOOL front;
        INT16 x = 0, y = 0;
    };
    Expected expected[] = {{4, 1, TRUE}, {1, 2, TRUE}, {3, 1, FALSE}, {2, 2, FALSE}};
    for (Expected& e : expected) Layout_BookletCellTransform(pdev, &e.x, &e.y, e.place, e.page, e.front);
    EXPECT_TRUE(EndJob().ended);

    const std::vector<PrintedSide> sides = Sides();
    ASSERT_EQ(sides.size(), 2u);
    for (size_t i = 0; i < 4; ++i) {
        const PrintedSide& side = sides[i / 2];
        ASSERT_EQ(side.pages.size(), 2u);
        const PrintedSide::Placed& placed = side.pages[i % 2];
        EXPECT_EQ(placed.page, expected[i].page);
        EXPECT_EQ(placed.originX, expected[i].x) << "page " << placed.page;
        EXPECT_EQ(placed.originY, expected[i].y) << "page " << placed.page;
    }
    // The two halves of a side lie apart, and the back's pages are turned.
    EXPECT_NE(expected[0].x, expected[1].x);
    EXPECT_EQ(sides[0].media, "A4");
    const job::DecodedJob decoded = Decoded();
    std::vector<int64_t> angles;
    for (const job::Operator* op : decoded.Find("SetPageRotation")) angles.push_back(op->Int("PageAngle").value_or(-1));
    EXPECT_EQ(angles, (std::vector<int64_t>{0, 0, 180, 180}));
}

// ---- Poster ----

// Each page is sent once per tile, its tiles row by row.
const OrderCase kPoster[] = {
    {1, "1 1 1 1"},
    {2, "1 1 1 1 2 2 2 2"},
    {3, "1 1 1 1 2 2 2 2 3 3 3 3"},
    {4, "1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4"},
    {5, "1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4 5 5 5 5"},
    {6, "1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4 5 5 5 5 6 6 6 6"},
    {7, "1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4 5 5 5 5 6 6 6 6 7 7 7 7"},
    {8, "1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4 5 5 5 5 6 6 6 6 7 7 7 7 8 8 8 8"},
    {9, "1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4 5 5 5 5 6 6 6 6 7 7 7 7 8 8 8 8 9 9 9 9"},
};

class Poster : public SpoolReplay, public testing::WithParamInterface<OrderCase> {};

TEST_P(Poster, EachPageIsSentOncePerTile) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.PosterOn = 1;  // poster on
        settings.priv.PosterSize = 0;      // 2 x 2 tiles
    });
    ASSERT_NE(pdev, nullptr);
    const EndResult end = PrintJob(pdev, GetParam().pages);
    EXPECT_TRUE(end.ended) << end.error;
    EXPECT_EQ(Order(), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(Table, Poster, testing::ValuesIn(kPoster));

struct TileCase {
    int size;   // the poster size setting
    int tiles;  // tiles per side
};

void PrintTo(const TileCase& c, std::ostream* os) { *os << "size " << c.size << ": " << c.tiles << " tiles a side"; }

class PosterTiles : public SpoolReplay, public testing::WithParamInterface<TileCase> {};

// A4 at 600 dpi: 4960 x 7008 dots with margins of 96 (the unprintable unit):
// each tile shows one printable extent of the enlarged page, so the origin
// steps back by 4768 across and 6816 down; the first tile's origin is the
// page's own, 96 + (96 - 96) x n.
TEST_P(PosterTiles, TilesRowByRowEachWithItsOrigin) {
    const TileCase& c = GetParam();
    PDEV* pdev = EnableWith([&](RendDevmode& settings) {
        settings.priv.PosterOn = 1;
        settings.priv.PosterSize = UINT16(c.size);
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(PrintJob(pdev, 2).ended);
    const PageGeometry& sheet = pdev->Job.State.Layout.SheetGeometry;
    ASSERT_EQ(sheet.Width, 4960);
    ASSERT_EQ(sheet.Height, 7008);
    ASSERT_EQ(sheet.Left, 96);
    ASSERT_EQ(sheet.Top, 96);
    const std::vector<PrintedSide> sides = Sides();
    ASSERT_EQ(sides.size(), size_t(2 * c.tiles * c.tiles));
    size_t index = 0;
    for (int page = 1; page <= 2; ++page)
        for (int row = 0; row < c.tiles; ++row)
            for (int column = 0; column < c.tiles; ++column, ++index) {
                ASSERT_EQ(sides[index].pages.size(), 1u);
                const PrintedSide::Placed& tile = sides[index].pages[0];
                EXPECT_EQ(tile.page, page);
                EXPECT_EQ(tile.originX, 96 - 4768 * column) << "row " << row << " column " << column;
                EXPECT_EQ(tile.originY, 96 - 6816 * row) << "row " << row << " column " << column;
            }
}

INSTANTIATE_TEST_SUITE_P(Sizes, PosterTiles, testing::Values(TileCase{0, 2}, TileCase{1, 3}, TileCase{2, 4}));

// A page that the rotation rule turns by 180 degrees (one page a sheet: the
// printer turns it through its BeginPage orientation, the stored angle
// stays 0) has its tiles counted from the far edges: the far corner's tile
// first, the near corner's last.
TEST_F(SpoolReplay, PosterOfATurnedPageStartsAtItsFarCorner) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.PosterOn = 1;
        settings.priv.PosterSize = 0;
        settings.priv.Rotate180Mode = 3;  // every page turned
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(PrintJob(pdev, 1).ended);
    const job::DecodedJob decoded = Decoded();
    const std::vector<PrintedSide> sides = Sides();
    ASSERT_EQ(sides.size(), 4u);
    for (int tile = 0; tile < 4; ++tile) {
        ASSERT_EQ(sides[tile].pages.size(), 1u);
        EXPECT_EQ(sides[tile].pages[0].originX, 96 - 4768 * (1 - tile % 2)) << "tile " << tile;
        EXPECT_EQ(sides[tile].pages[0].originY, 96 - 6816 * (1 - tile / 2)) << "tile " << tile;
        EXPECT_EQ(sides[tile].pages[0].angle, 0);
    }
    for (const job::Operator* begin : decoded.Find("BeginPage")) EXPECT_EQ(begin->Int("Orientation"), 2);
}

// The areas of the page the tiles show, worked out by the placement oracle
// from the decoded job alone: each tile's placed page box cut to the
// printer's printable area, taken back into the page's own units. A
// turned page's tiles show the same areas as an upright page's, in the
// reverse order, and the tiles of either cover the page without overlap.
struct PosterAreaCase {
    const char* name;
    int size;     // poster size setting
    int tiles;    // tiles a side
    int percent;  // the user's scaling, 0: off (the poster's own n times)
    BYTE rule;    // the rotation rule that turns the portrait page
};

void PrintTo(const PosterAreaCase& c, std::ostream* os) { *os << c.name; }

class PosterAreas : public SpoolReplay, public testing::WithParamInterface<PosterAreaCase> {
protected:
    // The areas shown, tile by tile, for a page printed with rotation rule
    // `rule`.
    std::vector<PageBox> Areas(BYTE rule) {
        const PosterAreaCase& c = GetParam();
        PDEV* pdev = EnableWith([&](RendDevmode& settings) {
            settings.priv.PosterOn = 1;
            settings.priv.PosterSize = UINT16(c.size);
            settings.priv.Rotate180Mode = rule;
            if (c.percent) {
                settings.priv.ScaleOn = 1;
                settings.priv.ScalePercent = UINT16(c.percent);
            }
        });
        std::vector<PageBox> areas;
        if (!pdev) return areas;
        EXPECT_TRUE(PrintJob(pdev, 1).ended);
        const PageGeometry sheet = pdev->Job.State.Layout.SheetGeometry;
        const double I = 96;
        const double w = sheet.Width - sheet.Left - sheet.Right, h = sheet.Height - sheet.Top - sheet.Bottom;
        for (const PrintedSide& side : Sides()) {
            EXPECT_EQ(side.pages.size(), 1u);
            if (side.pages.size() != 1) continue;
            const PrintedSide::Placed& placed = side.pages[0];
            const PageBox box = PlacedPageBox(double(placed.originX), double(placed.originY), placed.angle,
                                              placed.scaleX, placed.scaleY, w, h);
            // What the printer prints of it, in the page's own units.
            const double left = std::max(box.left, I), right = std::min(box.right, sheet.Width - I);
            const double top = std::max(box.top, I), bottom = std::min(box.bottom, sheet.Height - I);
            areas.push_back({(left - placed.originX) / placed.scaleX, (top - placed.originY) / placed.scaleY,
                             (right - placed.originX) / placed.scaleX, (bottom - placed.originY) / placed.scaleY});
        }
        Disable(pdev);
        return areas;
    }
};

TEST_P(PosterAreas, TurnedTilesCoverTheAreasOfTheUprightOnes) {
    const PosterAreaCase& c = GetParam();
    const std::vector<PageBox> upright = Areas(0);
    const std::vector<PageBox> turned = Areas(c.rule);
    const size_t count = size_t(c.tiles * c.tiles);
    ASSERT_EQ(upright.size(), count);
    ASSERT_EQ(turned.size(), count);
    auto same = [](const PageBox& a, const PageBox& b) {
        return std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 && std::abs(a.right - b.right) <= 1 &&
               std::abs(a.bottom - b.bottom) <= 1;
    };
    for (size_t i = 0; i < count; ++i)
        EXPECT_TRUE(same(turned[i], upright[count - 1 - i]))
            << "turned tile " << i << " " << Describe(turned[i]) << " upright " << Describe(upright[count - 1 - i]);
    // The first turned tile holds the page's far corner, the last its near one.
    EXPECT_GE(turned.front().right, upright.back().right - 1);
    EXPECT_NEAR(turned.back().left, 0, 1);
    EXPECT_NEAR(turned.back().top, 0, 1);
    // No two tiles show the same part of the page, and together they show
    // as much of it as the upright tiles.
    double shown = 0, uprightShown = 0;
    for (size_t i = 0; i < count; ++i) {
        shown += (turned[i].right - turned[i].left) * (turned[i].bottom - turned[i].top);
        uprightShown += (upright[i].right - upright[i].left) * (upright[i].bottom - upright[i].top);
        for (size_t k = i + 1; k < count; ++k)
            EXPECT_FALSE(Overlap(turned[i], turned[k])) << Describe(turned[i]) << " " << Describe(turned[k]);
    }
    EXPECT_NEAR(shown, uprightShown, 4.0 * c.tiles * (4768 + 6816));
}

INSTANTIATE_TEST_SUITE_P(Cases, PosterAreas,
                         testing::Values(PosterAreaCase{"TwoByTwo", 0, 2, 0, 3}, PosterAreaCase{"ThreeByThree", 1, 3, 0, 3},
                                         PosterAreaCase{"FourByFour", 2, 4, 0, 2},
                                         PosterAreaCase{"TwoByTwoScaled250", 0, 2, 250, 3},
                                         PosterAreaCase{"ThreeByThreeScaled120", 1, 3, 120, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// The rule is asked for the orientation the page entry recorded: a rule
// that turns landscape pages leaves a portrait page upright.
TEST_F(SpoolReplay, PosterTurnsOnlyThePagesTheRuleTurns) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.PosterOn = 1;
        settings.priv.PosterSize = 0;
        settings.priv.Rotate180Mode = 1;  // landscape pages
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(PrintJob(pdev, 1).ended);
    const std::vector<PrintedSide> sides = Sides();
    ASSERT_EQ(sides.size(), 4u);
    EXPECT_EQ(sides[0].pages[0].originX, 96);
    EXPECT_EQ(sides[0].pages[0].originY, 96);
    EXPECT_EQ(sides[0].orientation, 0);
}

TEST_F(SpoolReplay, PosterOfATurnedPageShrunkBelowItsSheetFillsTheLastTile) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.PosterOn = 1;
        settings.priv.PosterSize = 0;
        settings.priv.ScaleOn = 1;
        settings.priv.ScalePercent = 50;
        settings.priv.Rotate180Mode = 3;
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(PrintJob(pdev, 1).ended);
    EXPECT_EQ(Order(), "- - - 1");
    const std::vector<PrintedSide> sides = Sides();
    ASSERT_EQ(sides.size(), 4u);
    ASSERT_EQ(sides[3].pages.size(), 1u);
    EXPECT_EQ(sides[3].pages[0].originX, 96);
    EXPECT_EQ(sides[3].pages[0].originY, 96);
}

TEST_F(SpoolReplay, PosterShrunkBelowItsSheetLeavesTheOtherTilesEmpty) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.PosterOn = 1;
        settings.priv.PosterSize = 0;
        settings.priv.ScaleOn = 1;
        settings.priv.ScalePercent = 50;
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(PrintJob(pdev, 1).ended);
    EXPECT_EQ(Order(), "1 - - -");
    // An empty tile keeps the page's BeginPage and only sets the colour space.
    const job::DecodedJob decoded = Decoded();
    const auto pages = decoded.Pages();
    ASSERT_EQ(pages.size(), 4u);
    std::vector<std::string> names;
    for (size_t i = pages[1].first; i <= pages[1].second; ++i) names.emplace_back(decoded.ops[i].name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"BeginPage", "PushGS", "SetPageDefaultCTM", "SetColorSpace", "EndPage"}));
}

TEST_F(SpoolReplay, PosterMarksAreDrawnOnEveryTile) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) {
        settings.priv.PosterOn = 1;
        settings.priv.PosterCutMarks = 1;  // cut marks
        settings.priv.PosterSize = 0;
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(PrintJob(pdev, 1).ended);
    EXPECT_EQ(Order(), "1 1 1 1");
    const job::DecodedJob decoded = Decoded();
    for (const auto& [first, last] : decoded.Pages()) {
        size_t strokes = 0, dashes = 0;
        bool markerBeforeMarks = false, sawMarker = false;
        for (size_t i = first; i <= last; ++i) {
            const job::Operator& op = decoded.ops[i];
            if (op.name == "SetCursor" && op.Int("Point", 1) == kMarkerBase) sawMarker = true;
            if (op.name == "SetLineDash") {
                ++dashes;
                markerBeforeMarks = sawMarker;
                const job::Attribute* style = op.Find("LineDashStyle");
                ASSERT_NE(style, nullptr);
                EXPECT_EQ(style->value.ints, (std::vector<int64_t>{40, 10}));
            }
            if (op.name == "PaintPath") ++strokes;
        }
        EXPECT_EQ(dashes, 1u);
        EXPECT_EQ(strokes, 12u);
        EXPECT_TRUE(markerBeforeMarks);  // the marks lie over the page
        EXPECT_EQ(decoded.ops[last].name, "EndPage");
    }
}

}  // namespace
}  // namespace tam::test
