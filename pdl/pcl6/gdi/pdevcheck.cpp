// The PDEV check. A pointer the engine hands back is a live PDEV only when
// this module made it and has not freed it yet: live PDEVs are registered
// from their allocation until they are freed, so a stale or foreign pointer
// is refused without being read. A registered PDEV must also carry its
// signature, which enabling writes once the settings are in place.
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/rendutil.h"

namespace {

// Device contexts of several threads may enable and disable PDEVs at once.
std::mutex gLivePdevsLock;
std::vector<const PDEV*> gLivePdevs;

bool IsRegistered(const PDEV* pdev) {
    std::lock_guard lock(gLivePdevsLock);
    return std::find(gLivePdevs.begin(), gLivePdevs.end(), pdev) != gLivePdevs.end();
}

// The two halves of the PDEV's address, as the debug lines show them.
DWORD AddressHigh(const PDEV* pdev) { return DWORD(reinterpret_cast<ULONG_PTR>(pdev) >> 32); }
DWORD AddressLow(const PDEV* pdev) { return DWORD(reinterpret_cast<ULONG_PTR>(pdev)); }

}  // namespace

void Pdev_Register(PDEV* pdev) {
    if (!pdev) return;
    std::lock_guard lock(gLivePdevsLock);
    if (std::find(gLivePdevs.begin(), gLivePdevs.end(), pdev) == gLivePdevs.end()) gLivePdevs.push_back(pdev);
}

void Pdev_Unregister(PDEV* pdev) {
    std::lock_guard lock(gLivePdevsLock);
    gLivePdevs.erase(std::remove(gLivePdevs.begin(), gLivePdevs.end(), pdev), gLivePdevs.end());
}

BOOL Job_CheckPdev(PDEV* pdev, BOOL requireJob, int callType) {
    if (!pdev || !IsRegistered(pdev) || pdev->Job.Signature != PDEV_SIGNATURE) {
        if (callType != PDEVCALL_BITBLT)
            Dbg_Print("PDEV:%04X:%04X, jobType:%d, Not my device!\n", AddressHigh(pdev), AddressLow(pdev), callType);
        return FALSE;
    }
    if (!requireJob) return TRUE;
    // A collated copy the job makes itself: the engine's second playing of
    // the document is refused quietly, so that it writes nothing.
    if (pdev->Job.JobFlags & JOBF_ENGINE_COPY) return FALSE;
    if (pdev->Job.State.PrinterHandle) return TRUE;
    if (pdev->Job.State.PdevCheckFlags & PDEVCHECK_JOB_NOT_OPEN_REPORTED) return FALSE;
    if (callType != 5 && callType != 6) {
        char name[256];
        Util_WideToAnsi(name, pdev->Job.State.DocumentName, sizeof(name));
        Dbg_Print("%s\nPDEV:%04X:%04X, jobType:%d, Job not opened!\n", name, AddressHigh(pdev), AddressLow(pdev),
                  callType);
        pdev->Job.State.PdevCheckFlags |= PDEVCHECK_JOB_NOT_OPEN_REPORTED;
    }
    return FALSE;
}
