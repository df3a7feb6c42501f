// The PDEV check: only a PDEV this module enabled and has not freed, with
// its signature, passes; one that must have a job needs its WritePrinter
// handle.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "pcl6/gdi/jobctrl.h"
#include "pdev_fixture.h"

namespace tam::test {
namespace {

using PdevCheck = PdevTest;

TEST_F(PdevCheck, LivePdevPassesWithoutJob) {
    ByteImage settings = UiSettings();
    PDEV* pdev = Enable(settings);
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(Job_CheckPdev(pdev, FALSE, PDEVCALL_STARTDOC));
    EXPECT_FALSE(Job_CheckPdev(pdev, TRUE, PDEVCALL_STARTPAGE));
    EXPECT_TRUE(pdev->Job.State.PdevCheckFlags & PDEVCHECK_JOB_NOT_OPEN_REPORTED);
    pdev->Job.State.PrinterHandle = reinterpret_cast<HANDLE>(0x40);
    EXPECT_TRUE(Job_CheckPdev(pdev, TRUE, PDEVCALL_STARTPAGE));
}

TEST_F(PdevCheck, ForeignStaleAndUnsignedPdevsFail) {
    EXPECT_FALSE(Job_CheckPdev(nullptr, FALSE, PDEVCALL_STARTDOC));

    // A record that looks like a PDEV but was never enabled.
    auto stranger = std::make_unique<PDEV>();
    stranger->Job.Signature = PDEV_SIGNATURE;
    stranger->Job.State.PrinterHandle = reinterpret_cast<HANDLE>(0x40);
    EXPECT_FALSE(Job_CheckPdev(stranger.get(), FALSE, PDEVCALL_STARTDOC));
    EXPECT_FALSE(Job_CheckPdev(stranger.get(), TRUE, PDEVCALL_BITBLT));

    ByteImage settings = UiSettings();
    PDEV* pdev = Enable(settings);
    ASSERT_NE(pdev, nullptr);
    pdev->Job.Signature = 0x7a7a7a7b;
    EXPECT_FALSE(Job_CheckPdev(pdev, FALSE, PDEVCALL_STARTDOC));
    pdev->Job.Signature = PDEV_SIGNATURE;
    EXPECT_TRUE(Job_CheckPdev(pdev, FALSE, PDEVCALL_STARTDOC));

    // Once disabled, the pointer is refused without being read (the
    // address sanitizer would report a read of the freed block).
    Disable(pdev);
    EXPECT_FALSE(Job_CheckPdev(pdev, FALSE, PDEVCALL_STARTDOC));
    DrvDisablePDEV(AsDhpdev(pdev));  // a second disable is refused, not a second free
    DrvDisableSurface(AsDhpdev(pdev));
    EXPECT_EQ(DrvEnableSurface(AsDhpdev(pdev)), nullptr);
}

}  // namespace
}  // namespace tam::test
