// Whole jobs: documents printed through GDI on "Korvan Laser" and decoded.
// The expected pages, media, page transforms and PJL values are worked out
// here by hand from the driver's rules for the paper and settings each test
// chooses (A4 is 4960 x 7008 dots at 600 dpi with margins of 96 dots).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "machine/debuglog.h"
#include "print_fixture.h"

namespace tam::test {
namespace {

// A4 in device dots and its unprintable margin.
constexpr int kA4Width = 4960;
constexpr int kA4Height = 7008;
constexpr int kMargin = 96;

struct MediaCase {
    const char* name;
    void (*edit)(UiDevmode&);
    int pages;
    // PJL header values.
    const char* pjlCopies;
    const char* pjlDuplex;
    const char* pjlBinding;
    const char* pjlPaper;
    // Every sheet's BeginPage.
    int orientation;
    int source;
    const char* type;
    const char* size;           // MediaSize; null: CustomMediaSize below
    double customWidth;         // tenths of a millimetre
    double customHeight;
    int duplexMode;             // DuplexPageMode on the front sides; -1: none anywhere
    int copies;                 // PageCopies of every EndPage
};

void PrintTo(const MediaCase& c, std::ostream* os) { *os << c.name; }

void Defaults(UiDevmode&) {}
void Landscape(UiDevmode& s) { s.pub.dmOrientation = DMORIENT_LANDSCAPE; }
void Letter(UiDevmode& s) { s.pub.dmPaperSize = DMPAPER_LETTER; }
// A custom paper of 200 x 250 mm: 4724 x 5905 dots, which are 2000.0 and
// 2500.0 tenths of a millimetre again.
void Custom(UiDevmode& s) {
    s.pub.dmPaperSize = 300;
    s.pub.dmPaperWidth = 2000;
    s.pub.dmPaperLength = 2500;
}
void A5LongEdgeFirst(UiDevmode& s) {
    s.pub.dmPaperSize = DMPAPER_A5;
    s.priv.FeedOrient = 2;
}
void ManualFeedTransparency(UiDevmode& s) {
    s.pub.dmDefaultSource = DMBIN_MANUAL;
    s.pub.dmMediaType = DMMEDIA_TRANSPARENCY;
}
void UncollatedCopies(UiDevmode& s) {
    s.pub.dmCopies = 3;
    s.pub.dmCollate = DMCOLLATE_FALSE;
}
void DuplexLongEdge(UiDevmode& s) { s.pub.dmDuplex = DMDUP_VERTICAL; }
void DuplexShortEdge(UiDevmode& s) { s.pub.dmDuplex = DMDUP_HORIZONTAL; }
// The turn of portrait pages by 180 degrees: BeginPage names a reversed
// portrait page.
void TurnedPortrait(UiDevmode& s) { s.priv.Rotate180 = 1; }

const MediaCase kMediaCases[] = {
    {"OnePage", Defaults, 1, "1", "OFF", "LONGEDGE", "A4", 0, 1, "PLAIN", "A4", 0, 0, -1, 1},
    {"ManyPages", Defaults, 4, "1", "OFF", "LONGEDGE", "A4", 0, 1, "PLAIN", "A4", 0, 0, -1, 1},
    {"LandscapePage", Landscape, 2, "1", "OFF", "LONGEDGE", "A4", 1, 1, "PLAIN", "A4", 0, 0, -1, 1},
    {"Letter", Letter, 1, "1", "OFF", "LONGEDGE", "LETTER", 0, 1, "PLAIN", "LETTER", 0, 0, -1, 1},
    {"CustomPaper", Custom, 2, "1", "OFF", "LONGEDGE", "CUSTOM", 0, 1, "PLAIN", nullptr, 2000, 2500, -1, 1},
    {"A5FedLongEdgeFirst", A5LongEdgeFirst, 1, "1", "OFF", "LONGEDGE", "A5L", 0, 1, "PLAIN", "A5L", 0, 0, -1, 1},
    {"ManualFeedTransparency", ManualFeedTransparency, 1, "1", "OFF", "LONGEDGE", "A4", 0, 2, "TRANSPARENCY",
     "A4", 0, 0, -1, 1},
    {"UncollatedCopies", UncollatedCopies, 2, "3", "OFF", "LONGEDGE", "A4", 0, 1, "PLAIN", "A4", 0, 0, -1, 3},
    {"DuplexLongEdge", DuplexLongEdge, 3, "1", "ON", "LONGEDGE", "A4", 0, 1, "PLAIN", "A4", 0, 0, 1, 1},
    {"DuplexShortEdge", DuplexShortEdge, 3, "1", "ON", "SHORTEDGE", "A4", 0, 1, "PLAIN", "A4", 0, 0, 0, 1},
    {"TurnedPortrait", TurnedPortrait, 1, "1", "OFF", "LONGEDGE", "A4", 2, 1, "PLAIN", "A4", 0, 0, -1, 1},
};

class MediaJob : public PrintTest, public testing::WithParamInterface<MediaCase> {};

TEST_P(MediaJob, EachPageIsASheetWithTheSettingsMedia) {
    const MediaCase& c = GetParam();
    UiDevmode settings = Settings();
    c.edit(settings);
    const Printed printed = Print(settings, c.pages);
    ASSERT_GT(printed.endDoc, 0) << printed.endDocError;
    const auto info = w32::FindJob(printed.jobId);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->state, w32::JobState::Printed);
    EXPECT_EQ(info->pages, DWORD(c.pages));

    const job::DecodedJob decoded = Decode(printed.jobId);
    ExpectJobFrame(decoded);
    EXPECT_EQ(decoded.PjlValue("COPIES"), c.pjlCopies);
    EXPECT_EQ(decoded.PjlValue("DUPLEX"), c.pjlDuplex);
    EXPECT_EQ(decoded.PjlValue("BINDING"), c.pjlBinding);
    EXPECT_EQ(decoded.PjlValue("PAPER"), c.pjlPaper);

    const std::vector<Sheet> sheets = Sheets(decoded);
    ASSERT_EQ(sheets.size(), size_t(c.pages));
    for (size_t i = 0; i < sheets.size(); ++i) {
        SCOPED_TRACE("sheet " + std::to_string(i + 1));
        const job::Operator& begin = *sheets[i].begin;
        EXPECT_EQ(begin.Int("Orientation"), c.orientation);
        EXPECT_EQ(begin.Int("MediaSource"), c.source);
        EXPECT_EQ(begin.Text("MediaType"), c.type);
        if (c.size) {
            EXPECT_EQ(begin.Text("MediaSize"), c.size);
            EXPECT_FALSE(begin.Has("CustomMediaSize"));
        } else {
            EXPECT_FALSE(begin.Has("MediaSize"));
            EXPECT_EQ(begin.Number("CustomMediaSize", 0), c.customWidth);
            EXPECT_EQ(begin.Number("CustomMediaSize", 1), c.customHeight);
            EXPECT_EQ(begin.Int("CustomMediaSizeUnits"), 2);  // tenths of a millimetre
        }
        // The binding rides on the front sides, the first of each pair.
        if (c.duplexMode >= 0 && i % 2 == 0) {
            EXPECT_EQ(begin.Int("DuplexPageMode"), c.duplexMode);
            EXPECT_EQ(begin.Int("DuplexPageSide"), 0);
        } else {
            EXPECT_FALSE(begin.Has("DuplexPageMode"));
            EXPECT_FALSE(begin.Has("DuplexPageSide"));
        }
        // One page, unscaled, at the printable area's corner.
        ASSERT_EQ(sheets[i].placements.size(), 1u);
        const Placement& p = sheets[i].placements[0];
        EXPECT_EQ(p.originX, kMargin);
        EXPECT_EQ(p.originY, kMargin);
        EXPECT_EQ(p.angle, 0);
        EXPECT_EQ(p.scaleX, 1.0);
        EXPECT_EQ(p.scaleY, 1.0);
        EXPECT_EQ(sheets[i].copies, c.copies);
    }
    EXPECT_EQ(StartDocCalls(), 1);
}

INSTANTIATE_TEST_SUITE_P(Settings, MediaJob, testing::ValuesIn(kMediaCases),
                         [](const auto& info) { return std::string(info.param.name); });

using WholeJob = PrintTest;

// Two pages per sheet of A4 portrait: the sheet is turned to landscape
// (6816 x 4768 printable), each cell half of it. The cell scale is the
// smaller of 6816 / (2 x 4768) and 4768 / 6816; each page is turned by 270
// degrees, its origin moved across by its turned height, and the second
// cell lies (7008 - 192) / 2 = 3408 further on. Three pages make two
// sheets, the second completed by EndDoc.
TEST_F(WholeJob, TwoPagesPerSheet) {
    UiDevmode settings = Settings();
    settings.priv.MultipleUp = 2;
    const Printed printed = Print(settings, 3);
    ASSERT_GT(printed.endDoc, 0) << printed.endDocError;
    const job::DecodedJob decoded = Decode(printed.jobId);
    ExpectJobFrame(decoded);

    const double scale = std::min(6816.0 / (2 * 4768.0), 4768.0 / 6816.0);
    const int turned = int(6816 * scale);
    const std::vector<Sheet> sheets = Sheets(decoded);
    ASSERT_EQ(sheets.size(), 2u);
    ASSERT_EQ(sheets[0].placements.size(), 2u);
    ASSERT_EQ(sheets[1].placements.size(), 1u);
    const int cellStep = (kA4Height - 2 * kMargin) / 2;
    // The landscape sheet lies across the portrait page the printer is
    // given: its halves run down the page, each page turned by 270 degrees
    // with its top along the page's right edge.
    const int expectedY[] = {kMargin, kMargin + cellStep, kMargin};
    int page = 0;
    for (const Sheet& sheet : sheets) {
        EXPECT_EQ(sheet.begin->Text("MediaSize"), "A4");
        EXPECT_EQ(sheet.begin->Int("Orientation"), 0);
        EXPECT_EQ(sheet.copies, 1);
        for (const Placement& p : sheet.placements) {
            SCOPED_TRACE("page " + std::to_string(page + 1));
            EXPECT_EQ(p.originX, kMargin + turned);
            EXPECT_EQ(p.originY, expectedY[page]);
            EXPECT_EQ(p.angle, 270);
            EXPECT_EQ(p.scaleX, double(float(scale)));
            EXPECT_EQ(p.scaleY, double(float(scale)));
            ++page;
        }
    }
}

// Four pages per sheet: a 2 x 2 grid on the upright sheet, cells of
// (4960 - 192) / 2 = 2384 by (7008 - 192) / 2 = 3408, each page at half size.
TEST_F(WholeJob, FourPagesPerSheet) {
    UiDevmode settings = Settings();
    settings.priv.MultipleUp = 4;
    const Printed printed = Print(settings, 4);
    ASSERT_GT(printed.endDoc, 0) << printed.endDocError;
    const job::DecodedJob decoded = Decode(printed.jobId);
    ExpectJobFrame(decoded);
    const std::vector<Sheet> sheets = Sheets(decoded);
    ASSERT_EQ(sheets.size(), 1u);
    ASSERT_EQ(sheets[0].placements.size(), 4u);
    const int cellWidth = (kA4Width - 2 * kMargin) / 2;
    const int cellHeight = (kA4Height - 2 * kMargin) / 2;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const Placement& p = sheets[0].placements[size_t(i)];
        EXPECT_EQ(p.originX, kMargin + cellWidth * (i % 2));
        EXPECT_EQ(p.originY, kMargin + cellHeight * (i / 2));
        EXPECT_EQ(p.angle, 0);
        EXPECT_EQ(p.scaleX, 0.5);
        EXPECT_EQ(p.scaleY, 0.5);
    }
}

std::vector<int64_t> Orientations(const std::vector<Sheet>& sheets) {
    std::vector<int64_t> out;
    for (const Sheet& sheet : sheets) out.push_back(sheet.begin->Int("Orientation").value_or(-1));
    return out;
}

// Collated copies: the driver stores the pages in its spool file and sends
// them once per copy, each sheet with PageCopies 1, and tells the printer
// COPIES=1. The engine starts the document twice more to play the further
// copies; those plays print nothing, so the job holds three copies, not
// nine. Without collation the printer makes the copies of each sheet.
TEST_F(WholeJob, CollatedCopiesAreReplayedOnce) {
    struct Case {
        short collate;
        std::vector<int64_t> sheets;
        const char* pjlCopies;
        int pageCopies;
        int startDocs;
    };
    const Case cases[] = {
        {DMCOLLATE_TRUE, {0, 1, 0, 1, 0, 1}, "1", 1, 3},
        {DMCOLLATE_FALSE, {0, 1}, "3", 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.collate ? "collated" : "uncollated");
        w32::ClearDdiCallLog();
        UiDevmode settings = Settings();
        settings.pub.dmCopies = 3;
        settings.pub.dmCollate = c.collate;
        HDC dc = Create(settings);
        ASSERT_NE(dc, nullptr) << GetLastError();
        const Printed printed = PrintMixed(dc, settings, {DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE});
        ASSERT_GT(printed.endDoc, 0) << printed.endDocError;
        EXPECT_EQ(w32::FindJob(printed.jobId)->pages, 2u);
        const job::DecodedJob decoded = Decode(printed.jobId);
        ExpectJobFrame(decoded);
        EXPECT_EQ(decoded.PjlValue("COPIES"), c.pjlCopies);
        const std::vector<Sheet> sheets = Sheets(decoded);
        EXPECT_EQ(Orientations(sheets), c.sheets);
        for (const Sheet& sheet : sheets) EXPECT_EQ(sheet.copies, c.pageCopies);
        EXPECT_EQ(StartDocCalls(), c.startDocs);
        ASSERT_TRUE(Delete(dc));
    }
}

// Reverse order: the pages come back last first from the spool file.
TEST_F(WholeJob, ReverseOrder) {
    UiDevmode settings = Settings();
    settings.priv.OppositeSide = 1;
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const Printed printed = PrintMixed(dc, settings, {DMORIENT_PORTRAIT, DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE});
    ASSERT_GT(printed.endDoc, 0) << printed.endDocError;
    const job::DecodedJob decoded = Decode(printed.jobId);
    ExpectJobFrame(decoded);
    EXPECT_EQ(Orientations(Sheets(decoded)), (std::vector<int64_t>{1, 0, 0}));
}

// A document without pages writes nothing and leaves the job closed: the
// next document on the same device context prints as a job of its own.
// An aborted document writes nothing more, deletes its spool file, and
// leaves the device context ready too.
TEST_F(WholeJob, EmptyAndAbortedDocumentsLeaveTheDeviceReady) {
    UiDevmode settings = Settings();
    settings.pub.dmCopies = 2;
    settings.pub.dmCollate = DMCOLLATE_TRUE;  // the pages go to the spool file
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const std::vector<std::string> tempBefore = TempFiles();

    const Printed empty = PrintPages(dc, 0);
    EXPECT_GT(empty.endDoc, 0) << empty.endDocError;
    EXPECT_TRUE(JobBytes(empty.jobId).empty());

    const DWORD aborted = StartDocument(dc);
    ASSERT_NE(aborted, 0u) << GetLastError();
    ASSERT_GT(StartPage(dc), 0) << GetLastError();
    ASSERT_GT(EndPage(dc), 0) << GetLastError();
    EXPECT_GT(AbortDoc(dc), 0) << GetLastError();
    EXPECT_EQ(w32::FindJob(aborted)->state, w32::JobState::Deleted);
    EXPECT_EQ(TempFiles(), tempBefore);

    const Printed next = PrintPages(dc, 1);
    ASSERT_GT(next.endDoc, 0) << next.endDocError;
    const job::DecodedJob decoded = Decode(next.jobId);
    ExpectJobFrame(decoded);
    EXPECT_EQ(decoded.PageCount(), 2u);  // one page, two collated copies
    EXPECT_EQ(TempFiles(), tempBefore);
}

// The printer takes only part of a write: the job's output stops, the next
// StartPage fails with the write fault, EndDoc reports the failure, and the
// debugger output says so. The device context then prints normally again.
TEST_F(WholeJob, ShortPrinterWriteEndsTheJobWithAnError) {
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr) << GetLastError();
    w32::PrinterWriteBehaviour failing;
    failing.failNthWrite = 1;
    w32::SetPrinterWriteBehaviour(kKorvanLaser, failing);
    w32::DebugLogClear();

    const DWORD jobId = StartDocument(dc);
    ASSERT_NE(jobId, 0u) << GetLastError();
    ASSERT_GT(StartPage(dc), 0) << GetLastError();
    ASSERT_GT(EndPage(dc), 0) << GetLastError();  // the page's bytes went out here and failed
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(StartPage(dc), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_WRITE_FAULT));
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_WRITE_FAULT));
    EXPECT_TRUE(JobBytes(jobId).empty());
    const std::string log = w32::DebugLogText();
    EXPECT_NE(log.find("took only part of the output"), std::string::npos) << log;

    w32::ClearPrinterWriteBehaviours();
    const Printed next = PrintPages(dc, 1);
    ASSERT_GT(next.endDoc, 0) << next.endDocError;
    EXPECT_EQ(Decode(next.jobId).PageCount(), 1u);
}

}  // namespace
}  // namespace tam::test
