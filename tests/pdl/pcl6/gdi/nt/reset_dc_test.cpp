// ResetDCW on a printer DC of the driver: the engine enables a new PDEV,
// lets the driver carry the job over (DrvResetPDEV) and disables the old
// PDEV. A document cannot be started yet, so the running job is set up on
// the PDEV as job control sets it up.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "dc_fixture.h"

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

}  // namespace
}  // namespace tam::test
