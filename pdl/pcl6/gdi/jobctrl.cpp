// Job and page control: the document callbacks and what a PDEV's job owns.
//
// Jobs are not printed yet: the document callbacks refuse with
// ERROR_NOT_SUPPORTED and write nothing, so that an application's StartDoc
// fails cleanly.
#include <windows.h>

#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/pdev.h"

void Job_FreeJobState(PDEV* pdev) {
    if (!pdev) return;
    if (pdev->Job.JobControlBlock) {
        GlobalFree(pdev->Job.JobControlBlock);
        pdev->Job.JobControlBlock = nullptr;
    }
}

BOOL Job_IsOutputError(PDEV* pdev) { return pdev && (pdev->Job.JobFlags & JOBF_OUTPUT_ERROR) ? 1 : 0; }

// Pages are not printed yet: the prologue is only marked as written, so that
// the output sink asks for it once per page, and the call is refused.
BOOL Job_BeginPage(PDEV* pdev) {
    if (!pdev) return FALSE;
    if (pdev->Job.JobFlags & JOBF_PROLOGUE_WRITTEN) return TRUE;
    pdev->Job.JobFlags |= JOBF_PROLOGUE_WRITTEN;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvStartDoc(SURFOBJ*, LPWSTR, DWORD) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvStartPage(SURFOBJ*) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvSendPage(SURFOBJ*) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvEndDoc(SURFOBJ*, FLONG) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
