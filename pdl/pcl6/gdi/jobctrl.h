// Job and page control: the PDEV check every callback makes first, the
// carry-over of a running job when the engine resets a PDEV, and the
// document callbacks.
#pragma once
#include <windows.h>
#include <winddi.h>

struct PDEV;

// The call numbers the callbacks pass to Job_CheckPdev. A bad PDEV is
// reported for every call but PDEVCALL_BITBLT; a missing job for every call
// but 5 and 6.
enum PdevCall : int {
    PDEVCALL_STARTDOC = 0,
    PDEVCALL_BITBLT = 3,
    PDEVCALL_STRETCHBLT = 4,
    PDEVCALL_COPYBITS = 7,
    PDEVCALL_REALIZEBRUSH = 8,
    PDEVCALL_STARTPAGE = 11,
    PDEVCALL_ENDDOC = 12,
    PDEVCALL_SENDPAGE = 13,
    PDEVCALL_STROKEPATH = 14,
    PDEVCALL_FILLPATH = 15,
    PDEVCALL_STROKEANDFILLPATH = 16,
    PDEVCALL_COMPLETEPDEV = 20,
    PDEVCALL_DISABLEPDEV = 21,
    PDEVCALL_ENABLESURFACE = 22,
    PDEVCALL_DISABLESURFACE = 23,
    PDEVCALL_RESETPDEV = 24,
};

// Records a PDEV as live from its allocation until it is freed; only a
// registered PDEV passes the check.
void Pdev_Register(PDEV* pdev);
void Pdev_Unregister(PDEV* pdev);

// Whether `pdev` is a live PDEV (registered, with its signature) and, with
// `requireJob`, has a job open (its WritePrinter handle set). A failure is
// written to the debug print: "Not my device!" (not for PDEVCALL_BITBLT) or,
// once per PDEV, "Job not opened!" (not for call types 5 and 6).
BOOL Job_CheckPdev(PDEV* pdev, BOOL requireJob, int callType);

// DrvResetPDEV's work: moves the job state of `oldPdev` into `newPdev`. FALSE,
// with nothing moved, when the old PDEV's orientation is neither 1 nor 2.
// The new PDEV takes over everything the job owns (the job-control block,
// files, page table, font cache); the old one keeps none of it, only its
// signature, so that it can still be disabled. When a running job's settings
// changed in a way that matters to it (N-up, scale, paper, overlay form,
// watermark, copies, collation), JOBF_SETTINGS_CHANGED is set.
BOOL Job_ResetPdev(PDEV* newPdev, PDEV* oldPdev);

// Frees what the job state of a PDEV owns (the job-control block); the PDEV
// itself stays.
void Job_FreeJobState(PDEV* pdev);

// 1 when the job's output error is set.
BOOL Job_IsOutputError(PDEV* pdev);

// The page prologue of the current page; TRUE at once when it is written
// already. The output sink calls it when a page's drawing reaches the
// stream before its prologue.
BOOL Job_BeginPage(PDEV* pdev);

BOOL APIENTRY DrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
BOOL APIENTRY DrvStartPage(SURFOBJ* pso);
BOOL APIENTRY DrvSendPage(SURFOBJ* pso);
BOOL APIENTRY DrvEndDoc(SURFOBJ* pso, FLONG fl);
