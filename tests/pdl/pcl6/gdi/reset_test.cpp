// The carry-over of a running job when the engine resets a PDEV: which
// changes of the settings matter to the job, and that the job state moves
// with everything it owns, so that disabling the old PDEV frees nothing the
// new one uses.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>

#include "pcl6/gdi/jobctrl.h"
#include "pdev_fixture.h"

namespace tam::test {
namespace {

class ResetPdev : public PdevTest {
protected:
    // Two PDEVs of the same settings, the old one with a running job.
    void SetUp() override {
        PdevTest::SetUp();
        ByteImage settings = UiSettings();
        old_ = Enable(settings);
        fresh_ = Enable(settings);
        ASSERT_NE(old_, nullptr);
        ASSERT_NE(fresh_, nullptr);
        StartJob(old_);
    }

    // A job as job control opens it: handles, flags, the job's copy of the
    // settings and the block job control allocates.
    static void StartJob(PDEV* pdev) {
        pdev->Job.State.PrinterHandle = reinterpret_cast<HANDLE>(0x40);
        pdev->Job.State.PrinterHandleCopy = pdev->Job.State.PrinterHandle;
        pdev->Job.State.JobId = 17;
        pdev->Job.JobFlags = JOBF_JOB_OPEN | JOBF_PAGE_OPEN;
        std::memcpy(&pdev->Job.JobDevmode, &pdev->Devmode, sizeof(RendDevmode));
        lstrcpyW(pdev->Job.State.DocumentName, u"report");
        pdev->Job.JobControlBlock = GlobalAlloc(GPTR, 256);
        ASSERT_NE(pdev->Job.JobControlBlock, nullptr);
        std::memset(pdev->Job.JobControlBlock, 0x3C, 256);
        pdev->Job.FontCache.PendingFont = pdev;
        pdev->Job.State.PageCounter = 3;
    }

    PDEV* old_ = nullptr;
    PDEV* fresh_ = nullptr;
};

TEST_F(ResetPdev, JobMovesToTheNewPdevWithWhatItOwns) {
    LPVOID block = old_->Job.JobControlBlock;
    const HPALETTE freshPalette = fresh_->Palette;
    ASSERT_TRUE(DrvResetPDEV(AsDhpdev(old_), AsDhpdev(fresh_)));

    EXPECT_EQ(fresh_->Job.JobControlBlock, block);
    EXPECT_EQ(fresh_->Job.State.PrinterHandle, reinterpret_cast<HANDLE>(0x40));
    EXPECT_EQ(fresh_->Job.State.JobId, 17u);
    EXPECT_EQ(fresh_->Job.State.PageCounter, 3);
    EXPECT_EQ(std::u16string(fresh_->Job.State.DocumentName), u"report");
    EXPECT_EQ(fresh_->Job.JobFlags, DWORD(JOBF_JOB_OPEN | JOBF_PAGE_OPEN));
    EXPECT_EQ(fresh_->Job.FontCache.PendingFont, nullptr);
    EXPECT_EQ(fresh_->Job.Signature, PDEV_SIGNATURE);
    // What belongs to each PDEV itself stays.
    EXPECT_EQ(fresh_->Palette, freshPalette);

    // The old PDEV keeps no part of the job, but can still be disabled.
    EXPECT_EQ(old_->Job.JobControlBlock, nullptr);
    EXPECT_EQ(old_->Job.State.PrinterHandle, nullptr);
    EXPECT_EQ(old_->Job.JobFlags, 0u);
    EXPECT_TRUE(Job_CheckPdev(old_, FALSE, PDEVCALL_DISABLEPDEV));

    const size_t before = w32::LiveGlobalBlocks();
    Disable(old_);
    EXPECT_EQ(w32::LiveGlobalBlocks(), before - 2) << "the old PDEV and its driver record";
    EXPECT_EQ(static_cast<BYTE*>(fresh_->Job.JobControlBlock)[255], 0x3C);
    Disable(fresh_);
    EXPECT_EQ(w32::LiveGlobalBlocks(), before - 5) << "the new PDEV, its driver record and the job block";
}

TEST_F(ResetPdev, OrientationOutsidePortraitAndLandscapeIsRefused) {
    old_->Orientation = 0;
    LPVOID block = old_->Job.JobControlBlock;
    SetLastError(0);
    EXPECT_FALSE(DrvResetPDEV(AsDhpdev(old_), AsDhpdev(fresh_)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(old_->Job.JobControlBlock, block);
    EXPECT_EQ(fresh_->Job.JobControlBlock, nullptr);
    EXPECT_EQ(fresh_->Job.JobFlags, 0u);
}

TEST_F(ResetPdev, EitherPdevMustBeLive) {
    PDEV stranger{};
    stranger.Job.Signature = PDEV_SIGNATURE;
    stranger.Orientation = 1;
    EXPECT_FALSE(DrvResetPDEV(AsDhpdev(&stranger), AsDhpdev(fresh_)));
    EXPECT_FALSE(DrvResetPDEV(AsDhpdev(old_), AsDhpdev(&stranger)));
    EXPECT_NE(old_->Job.JobControlBlock, nullptr);
    EXPECT_EQ(stranger.Job.JobControlBlock, nullptr);
}

// A change of one private byte: whether it matters to the running job.
struct RangeCase {
    size_t offset;
    bool significant;
};
const RangeCase kRanges[] = {
    {99, false},   {100, true},   {107, true},   {108, false}, {539, false},  {540, true},
    {547, true},   {548, true},   {559, true},   {560, false}, {1889, false}, {1890, true},
    {2915, true},  {2916, false}, {3483, false}, {3484, true}, {6719, true},  {6720, false},
};

class ResetSignificance : public ResetPdev, public testing::WithParamInterface<RangeCase> {};

TEST_P(ResetSignificance, PrivateByte) {
    const RangeCase& c = GetParam();
    reinterpret_cast<BYTE*>(&fresh_->Devmode.priv)[c.offset] ^= 0x01;
    ASSERT_TRUE(DrvResetPDEV(AsDhpdev(old_), AsDhpdev(fresh_)));
    EXPECT_EQ((fresh_->Job.JobFlags & JOBF_SETTINGS_CHANGED) != 0, c.significant) << "offset " << c.offset;
    // Otherwise the job goes on with the new settings as its own.
    const RendDevmode& expected = c.significant ? old_->Devmode : fresh_->Devmode;
    EXPECT_EQ(std::memcmp(&fresh_->Job.JobDevmode, &expected, sizeof(RendDevmode)), 0);
}

INSTANTIATE_TEST_SUITE_P(Edges, ResetSignificance, testing::ValuesIn(kRanges),
                         [](const auto& info) { return "Offset" + std::to_string(info.param.offset); });

TEST_F(ResetPdev, CopiesAndCollation) {
    struct Case {
        const char* name;
        short copies, collate;
        BYTE pagesPerSheet;
        bool significant;
    };
    const Case cases[] = {
        {"copies", 3, 1, 1, true},
        {"collate", 1, 0, 1, true},
        {"collate with 2 pages a sheet", 1, 0, 2, false},
        {"nothing", 1, 1, 1, false},
    };
    for (const Case& c : cases) {
        ByteImage settings = UiSettings();
        PDEV* older = Enable(settings);
        PDEV* newer = Enable(settings);
        ASSERT_TRUE(older && newer);
        older->Devmode.pub.dmCollate = 1;
        StartJob(older);
        // Pages a sheet differ on both sides alike, so the N-up range stays equal.
        older->Devmode.priv.PagesPerSheet = newer->Devmode.priv.PagesPerSheet = c.pagesPerSheet;
        newer->Devmode.pub.dmCopies = c.copies;
        newer->Devmode.pub.dmCollate = c.collate;
        ASSERT_TRUE(DrvResetPDEV(AsDhpdev(older), AsDhpdev(newer))) << c.name;
        EXPECT_EQ((newer->Job.JobFlags & JOBF_SETTINGS_CHANGED) != 0, c.significant) << c.name;
        Disable(older);
        Disable(newer);
    }
}

// A new number of pages per sheet mid-document: the job takes the new sheet
// layout, and only it (the copies changed with it stay the job's), and lays
// itself out from the next page as from a first page: that page's
// orientation is the first page's, the grid and cell scale are the new
// ones, and its 180-degree turn is decided for it (rule 1 turns landscape
// pages).
TEST_F(ResetPdev, NewPagesPerSheetLaysTheJobOutAnew) {
    old_->Job.JobDevmode.priv.Rotate180Mode = 1;
    old_->Job.State.Layout.FirstPageOrientation = DMORIENT_PORTRAIT;
    old_->Job.State.PageSizeChanged = 1;
    fresh_->Orientation = DMORIENT_LANDSCAPE;
    std::swap(fresh_->Geometry.Width, fresh_->Geometry.Height);
    fresh_->Devmode.pub.dmOrientation = DMORIENT_LANDSCAPE;
    fresh_->Devmode.priv.PagesPerSheet = 4;
    fresh_->Devmode.priv.PageBorderMode = 0x4;
    fresh_->Devmode.priv.AllCellBorders = 1;
    fresh_->Devmode.pub.dmCopies = 3;
    ASSERT_TRUE(DrvResetPDEV(AsDhpdev(old_), AsDhpdev(fresh_)));

    const PdevJob& job = fresh_->Job;
    EXPECT_TRUE(job.JobFlags & JOBF_SETTINGS_CHANGED);
    EXPECT_EQ(job.JobDevmode.priv.PagesPerSheet, 4);
    EXPECT_EQ(job.JobDevmode.priv.PageBorderMode, 0x4);
    EXPECT_EQ(job.JobDevmode.priv.AllCellBorders, 1);
    EXPECT_EQ(job.JobDevmode.pub.dmCopies, 1);
    EXPECT_EQ(job.JobDevmode.pub.dmOrientation, DMORIENT_PORTRAIT);
    const LayoutState& layout = job.State.Layout;
    EXPECT_EQ(layout.FirstPageOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(layout.NupColumns * layout.NupRows, 4);
    EXPECT_GT(layout.ShiftScale, 0.0);
    EXPECT_LT(layout.ShiftScale, 0.6);
    EXPECT_EQ(job.State.PageSizeChanged, 0);
    EXPECT_EQ(job.State.PageTurn, 1);
    EXPECT_EQ(job.State.PageCounter, 3);
}

// Before the job's first page nothing is laid out yet: the first page
// takes the settings as they are then.
TEST_F(ResetPdev, NewPagesPerSheetBeforeTheFirstPageWaitsForIt) {
    old_->Job.State.PageCounter = 0;
    fresh_->Devmode.priv.PagesPerSheet = 4;
    ASSERT_TRUE(DrvResetPDEV(AsDhpdev(old_), AsDhpdev(fresh_)));
    EXPECT_EQ(fresh_->Job.JobDevmode.priv.PagesPerSheet, old_->Devmode.priv.PagesPerSheet);
    EXPECT_EQ(fresh_->Job.State.Layout.NupColumns, 0);
}

// Whether a job is a booklet chose where its pages go at job start: a reset
// neither makes a booklet of a job nor takes one back, whatever else of the
// settings the job takes; a booklet whose setting changed has its sheet and
// scale worked out again for the current page.
TEST_F(ResetPdev, BookletStaysAsTheJobStarted) {
    struct Case {
        const char* name;
        BYTE jobBooklet;
        BYTE newBooklet;
    };
    const Case cases[] = {{"booklet turned off", 1, 0}, {"booklet turned on", 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ByteImage settings = UiSettings();
        PDEV* older = Enable(settings);
        PDEV* newer = Enable(settings);
        ASSERT_TRUE(older && newer);
        older->Devmode.priv.BookletOn = c.jobBooklet;
        StartJob(older);
        newer->Devmode.priv.BookletOn = c.newBooklet;
        newer->Devmode.pub.dmScale = 80;
        ASSERT_TRUE(DrvResetPDEV(AsDhpdev(older), AsDhpdev(newer)));
        EXPECT_EQ(newer->Job.JobFlags & JOBF_SETTINGS_CHANGED, 0u);
        EXPECT_EQ(newer->Job.JobDevmode.priv.BookletOn, c.jobBooklet);
        // A booklet's sheet is taken again from the current page: the
        // portrait pages go side by side on a landscape sheet, reduced.
        const LayoutState& layout = newer->Job.State.Layout;
        if (c.jobBooklet) {
            EXPECT_EQ(layout.SheetOrientation, DMORIENT_LANDSCAPE);
            EXPECT_GT(layout.BookletScale, 0.5);
            EXPECT_LT(layout.BookletScale, 1.0);
        } else {
            EXPECT_EQ(layout.SheetOrientation, 0);
        }
        Disable(older);
        Disable(newer);
    }
}

TEST_F(ResetPdev, WithoutJobNothingIsJudged) {
    old_->Job.JobFlags = 0;
    fresh_->Devmode.pub.dmCopies = 9;
    ASSERT_TRUE(DrvResetPDEV(AsDhpdev(old_), AsDhpdev(fresh_)));
    EXPECT_EQ(fresh_->Job.JobFlags & JOBF_SETTINGS_CHANGED, 0u);
    EXPECT_NE(fresh_->Job.JobControlBlock, nullptr);
}

}  // namespace
}  // namespace tam::test
