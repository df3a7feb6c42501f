// ResetDCW on a printer DC of the driver: the engine enables a new PDEV,
// lets the driver carry the job over (DrvResetPDEV) and disables the old
// PDEV. A document cannot be started yet, so the running job is set up on
// the PDEV as job control sets it up.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "dc_fixture.h"
#include "print_fixture.h"
#include "support/page_box.h"

namespace tam::test {
namespace {

using TamrendReset = TamrendDcTest;

// A job as job control opens it, with the block it allocates.
void StartJob(PDEV* pdev) {
    pdev->Job.State.PrinterHandle = pdev->SpoolerPrinter;
    pdev->Job.State.PrinterHandleCopy = pdev->SpoolerPrinter;
    pdev->Job.State.JobId = 4;
    pdev->Job.JobFlags = JOBF_JOB_OPEN | JOBF_PAGE_OPEN;
    std::memcpy(&pdev->Job.JobDevmode, &pdev->Devmode, sizeof(RendDevmode));
    lstrcpyW(pdev->Job.State.DocumentName, u"Quarterly report");
    pdev->Job.JobControlBlock = GlobalAlloc(GPTR, 512);
    ASSERT_NE(pdev->Job.JobControlBlock, nullptr);
    std::memset(pdev->Job.JobControlBlock, 0x6B, 512);
}

TEST_F(TamrendReset, NewSettingsReachTheDevice) {
    const size_t before = w32::LiveGlobalBlocks();
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr);
    PDEV* first = PdevOf(dc);
    const HPALETTE firstPalette = first->Palette;
    UiDevmode landscape = Settings();
    landscape.pub.dmOrientation = 2;
    w32::ClearDdiCallLog();
    ASSERT_EQ(ResetDCW(dc, &landscape.pub), dc) << GetLastError();
    EXPECT_EQ(EngineCalls(), (std::vector<std::string>{"DrvEnablePDEV", "DrvResetPDEV", "DrvDisableSurface",
                                                       "DrvDisablePDEV", "DrvCompletePDEV", "DrvEnableSurface"}));
    EXPECT_NE(PdevOf(dc), first);
    EXPECT_EQ(PdevOf(dc)->Orientation, 2);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 6816);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 4768);
    EXPECT_EQ(w32::LookupPalette(firstPalette), nullptr);
    ASSERT_TRUE(Delete(dc));
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);
}

TEST_F(TamrendReset, RefusedSettingsKeepTheOldPdev) {
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr);
    PDEV* pdev = PdevOf(dc);
    const size_t before = w32::LiveGlobalBlocks();
    std::vector<BYTE> bytes(220, 0);
    UiDevmode settings = Settings();
    std::memcpy(bytes.data(), &settings.pub, 220);
    reinterpret_cast<DEVMODEW*>(bytes.data())->dmDriverExtra = 0;
    SetLastError(0);
    EXPECT_EQ(ResetDCW(dc, reinterpret_cast<DEVMODEW*>(bytes.data())), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(PdevOf(dc), pdev);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4768);
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);
}

// Mid-document, with more copies: the job moves to the new PDEV with its
// block and is marked as changed; the old PDEV is disabled without freeing
// what the new one uses, and nothing is freed twice or left behind.
TEST_F(TamrendReset, RunningJobMovesWithItsBlock) {
    const size_t before = w32::LiveGlobalBlocks();
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr);
    PDEV* first = PdevOf(dc);
    StartJob(first);
    LPVOID block = first->Job.JobControlBlock;
    const size_t running = w32::LiveGlobalBlocks();

    UiDevmode copies = Settings();
    copies.pub.dmCopies = 3;
    ASSERT_EQ(ResetDCW(dc, &copies.pub), dc) << GetLastError();
    PDEV* second = PdevOf(dc);
    ASSERT_NE(second, first);
    EXPECT_EQ(second->Job.JobControlBlock, block);
    EXPECT_EQ(static_cast<BYTE*>(block)[511], 0x6B);
    EXPECT_EQ(second->Job.JobFlags, DWORD(JOBF_JOB_OPEN | JOBF_PAGE_OPEN | JOBF_SETTINGS_CHANGED));
    EXPECT_EQ(second->Job.State.JobId, 4u);
    EXPECT_EQ(std::u16string(second->Job.State.DocumentName), u"Quarterly report");
    EXPECT_EQ(second->Devmode.pub.dmCopies, 3);
    // The job's own copy of the settings is the one it started with.
    EXPECT_EQ(second->Job.JobDevmode.pub.dmCopies, 1);
    EXPECT_EQ(w32::LiveGlobalBlocks(), running);

    ASSERT_TRUE(Delete(dc));
    EXPECT_EQ(w32::LiveGlobalBlocks(), before);
}

// A change the job need not react to: the job takes the new settings as its own.
TEST_F(TamrendReset, RunningJobTakesSettingsThatDoNotMatterToIt) {
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr);
    StartJob(PdevOf(dc));
    UiDevmode scaled = Settings();
    scaled.pub.dmScale = 80;
    ASSERT_EQ(ResetDCW(dc, &scaled.pub), dc) << GetLastError();
    PDEV* pdev = PdevOf(dc);
    EXPECT_EQ(pdev->Job.JobFlags & JOBF_SETTINGS_CHANGED, 0u);
    EXPECT_EQ(pdev->Job.JobDevmode.pub.dmScale, 80);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 480);
    // Two resets in a row hand the job on again.
    UiDevmode again = Settings();
    again.pub.dmScale = 90;
    LPVOID block = pdev->Job.JobControlBlock;
    ASSERT_EQ(ResetDCW(dc, &again.pub), dc) << GetLastError();
    EXPECT_EQ(PdevOf(dc)->Job.JobControlBlock, block);
    EXPECT_EQ(PdevOf(dc)->Job.JobDevmode.pub.dmScale, 90);
}

// A document that changes its pages per sheet between two pages through
// ResetDCW: the sheet the old layout began ends with the pages it holds, and
// the later pages are laid out on sheets of the new layout. Checked from
// the job alone: the pages each sheet carries, their scale, and each page,
// drawn where its transform puts it, inside the printable area of its
// sheet and apart from the other pages of the sheet.
struct GridSwitch {
    int before;  // pages per sheet, and the pages printed with it
    int pagesBefore;
    int after;
    int pagesAfter;
    std::vector<size_t> sheets;  // pages on each sheet
    std::vector<double> scales;  // their scale
};

void PrintTo(const GridSwitch& c, std::ostream* os) {
    *os << c.pagesBefore << " pages " << c.before << "-up, then " << c.pagesAfter << " pages " << c.after << "-up";
}

// A4 at 600 dpi, its unprintable margin, and the scale of a page in a cell
// of a two-up sheet (turned to landscape): the smaller of 6816 / (2 x 4768)
// and 4768 / 6816.
constexpr double kA4Width = 4960, kA4Height = 7008, kMargin = 96;
constexpr double kTwoUpScale = 4768.0 / 6816.0;

const GridSwitch kGridSwitches[] = {
    {1, 2, 4, 4, {1, 1, 4}, {1, 1, 0.5}},
    {1, 2, 4, 6, {1, 1, 4, 2}, {1, 1, 0.5, 0.5}},
    {4, 3, 1, 2, {3, 1, 1}, {0.5, 1, 1}},
    {1, 1, 2, 3, {1, 2, 1}, {1, kTwoUpScale, kTwoUpScale}},
    {4, 2, 2, 2, {2, 2}, {0.5, kTwoUpScale}},
    {2, 4, 4, 4, {2, 2, 4}, {kTwoUpScale, kTwoUpScale, 0.5}},
};

class GridChange : public PrintTest, public testing::WithParamInterface<GridSwitch> {};

TEST_P(GridChange, LaterPagesTakeTheNewLayout) {
    const GridSwitch& c = GetParam();
    UiDevmode settings = Settings();
    settings.pub.dmPaperSize = DMPAPER_A4;
    settings.priv.MultipleUp = INT16(c.before);
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const DWORD jobId = StartDocument(dc);
    ASSERT_NE(jobId, 0u) << GetLastError();
    for (int page = 0; page < c.pagesBefore; ++page) {
        ASSERT_GT(StartPage(dc), 0) << GetLastError();
        ASSERT_GT(EndPage(dc), 0) << GetLastError();
    }
    UiDevmode changed = settings;
    changed.priv.MultipleUp = INT16(c.after);
    ASSERT_EQ(ResetDCW(dc, &changed.pub), dc) << GetLastError();
    for (int page = 0; page < c.pagesAfter; ++page) {
        ASSERT_GT(StartPage(dc), 0) << GetLastError();
        ASSERT_GT(EndPage(dc), 0) << GetLastError();
    }
    ASSERT_GT(EndDoc(dc), 0) << GetLastError();

    const job::DecodedJob decoded = Decode(jobId);
    ExpectJobFrame(decoded);
    const std::vector<Sheet> sheets = Sheets(decoded);
    ASSERT_EQ(sheets.size(), c.sheets.size());
    for (size_t s = 0; s < sheets.size(); ++s) {
        SCOPED_TRACE("sheet " + std::to_string(s + 1));
        EXPECT_EQ(sheets[s].begin->Text("MediaSize"), "A4");
        ASSERT_EQ(sheets[s].placements.size(), c.sheets[s]);
        const bool landscapeSheet = sheets[s].begin->Int("Orientation").value_or(0) % 2 == 1;
        const double width = landscapeSheet ? kA4Height : kA4Width;
        const double height = landscapeSheet ? kA4Width : kA4Height;
        std::vector<PageBox> boxes;
        for (const Placement& p : sheets[s].placements) {
            EXPECT_EQ(p.scaleX, double(float(c.scales[s])));
            EXPECT_EQ(p.scaleY, double(float(c.scales[s])));
            const PageBox b = PlacedPageBox(double(p.originX), double(p.originY), p.angle, p.scaleX, p.scaleY,
                                            kA4Width - 2 * kMargin, kA4Height - 2 * kMargin);
            SCOPED_TRACE("page at (" + std::to_string(p.originX) + ", " + std::to_string(p.originY) + ") angle " +
                         std::to_string(p.angle) + " covers " + Describe(b));
            EXPECT_GE(b.left, kMargin - 1);
            EXPECT_GE(b.top, kMargin - 1);
            EXPECT_LE(b.right, width - kMargin + 1);
            EXPECT_LE(b.bottom, height - kMargin + 1);
            for (const PageBox& other : boxes) EXPECT_FALSE(Overlap(b, other)) << "overlaps an earlier page";
            boxes.push_back(b);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, GridChange, testing::ValuesIn(kGridSwitches));

}  // namespace
}  // namespace tam::test
