// Job and page control: the PDEV check every callback makes first, the
// document callbacks, job start, page start and the page prologue, page
// end and sheet completion, the end of the job, and the carry-over of a
// running job when the engine resets a PDEV.
//
// A job's life: DrvStartDoc opens it (nothing is written yet); each page
// runs DrvStartPage (the prologue: the session on the job's first page,
// BeginPage with the media on the first page of each sheet, then the
// page transform) and DrvSendPage (the sheet ends when it is full);
// DrvEndDoc completes a partial sheet, ends the data source and the session,
// writes the PJL end of job, replays the pages that went to the temporary
// spool file and closes the job. The job is closed afterwards whatever
// happened, so the next document on the same device context starts anew.
//
// Collated copies are made once: when the job replays its stored pages for
// them (OUTF_COLLATE_REPLAY), the further copies that the engine plays
// through a repeated DrvStartDoc write nothing (JOBF_ENGINE_COPY);
// otherwise the engine's copies print as they come.
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
    PDEVCALL_TEXTOUT = 9,
    PDEVCALL_QUERYFONT = 10,
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
    PDEVCALL_GRADIENTFILL = 68,
    PDEVCALL_TRANSPARENTBLT = 74,
};

// Job_StartDoc modes.
#define JOB_START_SET_HANDLES 0x2  // take the printer handle and the document name, clear JobFlags
// Job_StartDoc's answer when there is no printer handle to write to.
#define JOB_NO_PRINTER_HANDLE (reinterpret_cast<HANDLE>(LONG_PTR(-2)))

// Job_EndDoc modes.
#define JOB_END_NORMAL 0
#define JOB_END_ABORT 1  // the job was aborted: its output error is set and no failure is reported

// Records a PDEV as live from its allocation until it is freed; only a
// registered PDEV passes the check.
void Pdev_Register(PDEV* pdev);
void Pdev_Unregister(PDEV* pdev);

// Whether `pdev` is a live PDEV (registered, with its signature) and, with
// `requireJob`, has a job open (its WritePrinter handle set) that is not
// being played again by the engine (JOBF_ENGINE_COPY: fails silently, so
// that the calls of such a copy write nothing). A failure is written to the
// debug print: "Not my device!" (not for PDEVCALL_BITBLT) or, once per
// PDEV, "Job not opened!" (not for call types 5 and 6).
BOOL Job_CheckPdev(PDEV* pdev, BOOL requireJob, int callType);

// DrvResetPDEV's work: moves the job state of `oldPdev` into `newPdev`. FALSE,
// with nothing moved, when the old PDEV's orientation is neither 1 nor 2.
// The new PDEV takes over everything the job owns (the job-control block,
// files, page table, font cache); the old one keeps none of it, only its
// signature, so that it can still be disabled. When a running job's settings
// changed in a way that matters to it (N-up, scale, paper, overlay form,
// watermark, copies, collation), JOBF_SETTINGS_CHANGED is set.
BOOL Job_ResetPdev(PDEV* newPdev, PDEV* oldPdev);

// Releases what the job state of a PDEV owns: the temporary spool file
// (closed and deleted), the page table and sheet plan, the form file being
// recorded, the job-control block, the defined patterns and the dash
// array. The PDEV itself stays. Disabling a PDEV with a job still open
// relies on it.
void Job_FreeJobState(PDEV* pdev);

// 1 when the job's output error is set.
BOOL Job_IsOutputError(PDEV* pdev);

// Job start: clears the job state (keeping the handles and the document
// name in mode 0), takes the printer handle and the document name (mode
// JOB_START_SET_HANDLES), opens the job, takes the job's copy of the
// settings and opens the job's files. The WritePrinter handle, or
// JOB_NO_PRINTER_HANDLE ("could not open a spooler page!" to the debug
// print) when there is none.
HANDLE Job_StartDoc(PDEV* pdev, LPCWSTR documentName, HANDLE printer, int mode);
// Takes the current settings as the job's copy again (the first page, a
// reset PDEV), keeping what the job's start decided: a job that dropped
// manual duplex stays one-sided, and a booklet stays a booklet (and a job
// that is none does not become one).
void Job_TakeSettings(PDEV* pdev);
// Lays a running job out anew from its next page, as from its first page:
// that page's orientation and paper become the first page's and the
// sheet's, the scale, the N-up grid and cell scale and the booklet scale are
// computed again from the job's copy of the settings, and the 180-degree
// decision is made for that page. A reset that changes the pages per sheet
// uses it, once the sheet the old layout began is complete.
void Job_RestartLayout(PDEV* pdev);
// Page start: counts the page, lays out the job at its first page (sheet,
// scale, N-up, booklet), makes the 180-degree decision, starts a sheet at
// its first page, and writes the page prologue. TRUE at once for a page
// started already.
BOOL Job_StartPage(PDEV* pdev);
// The page prologue of the current page; TRUE at once when it is written
// already. The output sink calls it when a page's drawing reaches the
// stream before its prologue. On the first page of a sheet: the session
// (once; with manual duplex only the empty job header entry, the session
// being begun when the sides are replayed), BeginPage with the media; then
// on every page SetPageDefaultCTM, the page origin, rotation and scale of
// the page layout, and the job's colour space. FALSE once the job's output
// has failed.
BOOL Job_BeginPage(PDEV* pdev);
// Page end (`endPage` TRUE): a page without a prologue gets one, N-up cell
// borders are drawn, the sheet is completed when it is full, the buffer is
// flushed. Abandon (`endPage` FALSE): pending bytes end the page as above;
// otherwise a started page is taken off the sheet and the buffer emptied.
void Job_SendPage(PDEV* pdev, BOOL endPage);
// The end of a sheet: the cell grid, PageCopies (the job's copies, 1 when
// they are collated) and EndPage, and the sheet's page entry.
void Job_CompleteSheet(PDEV* pdev);
// The end of the job: a partial sheet is completed, and a job with pages
// ends with CloseDataSource, EndSession and the PJL end of job; stored
// pages are replayed and the files closed; the job is closed (JobFlags and
// the handles cleared) in every case. TRUE when the job ended well (with or
// without pages, or aborted as asked); FALSE when its output failed (a
// short printer write, a spool-file failure), with the last error set and
// the failure reported on the debugger output.
BOOL Job_EndDoc(PDEV* pdev, int mode);

BOOL APIENTRY DrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
BOOL APIENTRY DrvStartPage(SURFOBJ* pso);
BOOL APIENTRY DrvSendPage(SURFOBJ* pso);
BOOL APIENTRY DrvEndDoc(SURFOBJ* pso, FLONG fl);
