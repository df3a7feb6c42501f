// Job and page control: the document callbacks of the engine, job start,
// page start with its prologue, page end and sheet completion, and the end
// of the job (jobctrl.h has the model).
#include <windows.h>
#include <winddi.h>
#include <winspool.h>
#include <strsafe.h>

#include <cstring>

#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pagemedia.h"
#include "pcl6/gdi/path.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/pjl.h"
#include "pcl6/gdi/spool.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

namespace {

// Font identifiers of a job start here.
constexpr UINT16 kFirstFontId = 100;

// The fonts downloaded so far leave the printer (a RemoveFont each) and the
// cache, whose identifiers start again at the first.
void DropFonts(PDEV* pdev) {
    FontCach_RemoveAll(pdev);
    FontCach_Reset(pdev);
    FontCach_SetFirstId(pdev, kFirstFontId);
}
// Page-border mode bits of the settings.
constexpr INT32 kPageBorders = 0x4;
constexpr INT32 kCellGrid = 0x8;
// Frames and grids are drawn in mode 2 (one cell) and 3 (every cell).
constexpr int kFrameOneCell = 2;
constexpr int kFrameAllCells = 3;
// The routing bits of a job whose sheets are kept for replay or form work.
constexpr UINT32 kKeptSheets = OUTF_FORM_RECORD | OUTF_FORM_MERGE | OUTF_COLLATE_REPLAY | OUTF_REVERSE |
                               OUTF_POSTER | OUTF_MANUAL_DUPLEX | OUTF_BOOKLET;
// The settings' own mark of kept sheets (SheetKeepFlags); its further value
// (SheetKeepValue) keeps them when nonzero.
constexpr BYTE kSheetKeepBit = 0x1;

JobState& State(PDEV* pdev) { return pdev->Job.State; }

using layout::PagesPerSheet;

// The cells of a sheet: N-up columns times rows, at least 1.
int CellsPerSheet(const PDEV* pdev) {
    const LayoutState& layout = pdev->Job.State.Layout;
    const int cells = layout.NupColumns * layout.NupRows;
    return cells > 0 ? cells : 1;
}

// The printer's port ("FILE:" prints to a file) and its bidirectional
// attribute. A printer that cannot be read counts as neither.
void NotePrinterPort(PDEV* pdev) {
    JobStartRecord& start = State(pdev).Start;
    start.PrintToFile = FALSE;
    start.Bidirectional = FALSE;
    LPBYTE block = Registry_GetHL(pdev->SpoolerPrinter, 2);
    if (!block) return;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(block);
    if (info->pPortName) {
        char port[8] = {};
        Util_WideToAnsi(port, info->pPortName, sizeof(port));
        start.PrintToFile = std::memcmp(port, "FILE:", 6) == 0;
    }
    start.Bidirectional = (info->Attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI) != 0;
    Util_GlobalFree(nullptr, block);
}

// The frame that borders and grids are drawn in: the default transform with
// the origin at the printable area's corner, unturned and unscaled.
void WriteFrameTransform(PDEV* pdev) {
    const int corner = (Settings_ResolutionStep(pdev) + 1) * 96;
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_DEFAULT_CTM);
    Pxl_SetPageOrigin(pdev, corner, corner);
    Pxl_SetPageRotation(pdev, 0);
    Pxl_SetPageScale(pdev, FALSE);
}

// Manual duplex with one page per sheet: whether the current page falls on
// the front of a sheet, after the pages stored so far.
bool ManualDuplexFrontSide(const PDEV* pdev) {
    const SpoolState& spool = pdev->Job.State.Spool;
    const int stored = spool.PageTable ? spool.PageTableCount - 1 : 0;
    return Spool_IsFrontSide(spool.PageTable, stored, Pxl_MediaPaperCode(pdev)) != FALSE;
}

// Sets the 180-degree decision to the rotation rule's answer, inverted
// (with BackSideFlip) when `invert` holds.
void SetPageTurn(JobState& state, BOOL answer, bool invert) {
    state.PageTurnBase = answer;
    state.PageTurn = state.PageTurnSaved = invert ? !answer : answer;
    state.BackSideFlip = invert ? 1 : 0;
}

// The 180-degree decision of page `page` of the job, for a page of the
// PDEV's orientation; `firstOfLayout`: the page is the first one the job's
// layout places (the job's first page, or the first after a reset laid the
// job out anew), which an N-up job decides for.
void DecidePageTurn(PDEV* pdev, int page, bool firstOfLayout) {
    JobState& state = State(pdev);
    const RendDevmode& job = Job_Settings(pdev);
    const int perSheet = PagesPerSheet(job);
    const int mode = job.priv.DuplexBinding;
    const BOOL answer = Job_RotationApplies(pdev);
    if (perSheet < 2 || firstOfLayout || (Settings_IsManualDuplex(job) && page % perSheet == 1)) {
        // Duplex mode 4 turns the front sides against the back sides.
        const bool front = perSheet > 1 ? ((page - 1) / perSheet) % 2 == 0 : page % 2 == 1;
        SetPageTurn(state, answer, mode == 4 && front);
    }
    if (job.priv.BookletOn) {
        state.PageTurn = 0;
    } else if (perSheet == 1 && Settings_IsManualDuplex(job)) {
        // The sides of a manual duplex job follow its papers.
        SetPageTurn(state, answer, mode == 4 && ManualDuplexFrontSide(pdev));
    }
}

// A later page of the job: the side's cell scale, the page scale, and the
// layout again when the page's size differs from the first page's.
void UpdateLayout(PDEV* pdev) {
    JobState& state = State(pdev);
    LayoutState& layout = state.Layout;
    const RendPrivate& job = Job_Settings(pdev).priv;
    const int perSheet = PagesPerSheet(Job_Settings(pdev));
    if (job.DuplexBinding != 0 && job.ImageShiftDirection != 0 && job.FrontShift != job.BackShift)
        layout.ShiftScale =
            ((state.PageCounter - 1) / perSheet) % 2 == 1 ? layout.ShiftScaleBack : layout.ShiftScaleFront;
    Layout_ComputeScale(pdev);

    int width = pdev->Geometry.Width;
    int height = pdev->Geometry.Height;
    if (pdev->Orientation != layout.FirstPageOrientation) {
        const int keep = width;
        width = height;
        height = keep;
    }
    if (width != layout.FirstPageGeometry.Width || height != layout.FirstPageGeometry.Height)
        state.PageSizeChanged = 1;
    if (state.PageSizeChanged) {
        if (perSheet > 1) Layout_RecomputeNup(pdev);
        if (job.BookletOn) Layout_ComputeBookletScale(pdev, FALSE, &pdev->Geometry);
    }
}

// The Win32 error of a job whose output failed.
DWORD FailureError(const PDEV* pdev) {
    const DWORD error = pdev->Job.State.Spool.FailureError;
    return error ? error : ERROR_WRITE_FAULT;
}

// A job whose output failed says so once on the debugger output; a spool
// file failure has said it already.
void ReportOutputFailure(PDEV* pdev) {
    JobState& state = State(pdev);
    if (state.FailureReported || state.Spool.FailureReason != SPOOL_FAIL_NONE) return;
    state.FailureReported = TRUE;
    // The line names the document's first 255 bytes, so that it always
    // fits its buffer whole; the formatter is bounded by the buffer all the
    // same.
    char name[256];
    Util_WideToAnsi(name, state.DocumentName, sizeof(name));
    char text[1024];
    StringCchPrintfA(text, sizeof(text),
                     "Tamrend: job %u \"%s\": the printer took only part of the output; the rest of the job is "
                     "dropped\n",
                     unsigned(state.JobId), name);
    OutputDebugStringA(text);
}

// Refuses a callback because the job's output has failed.
BOOL RefuseForOutputError(PDEV* pdev) {
    ReportOutputFailure(pdev);
    SetLastError(FailureError(pdev));
    return FALSE;
}

// Whether the engine is playing a collated copy again that the job makes
// itself (the PDEV is checked first).
bool PlayingEngineCopy(PDEV* pdev, int callType) {
    return Job_CheckPdev(pdev, FALSE, callType) && (pdev->Job.JobFlags & JOBF_ENGINE_COPY);
}

}  // namespace

void Job_FreeJobState(PDEV* pdev) {
    if (!pdev) return;
    Spool_CloseFiles(pdev);
    Brush_ResetPatterns(pdev);
    Pen_FreeDash(pdev);
    FontCach_Reset(pdev);
    HANDLE& form = pdev->Job.State.Forms.FormWriteHandle;
    if (form && form != INVALID_HANDLE_VALUE) CloseHandle(form);
    form = nullptr;
    if (pdev->Job.JobControlBlock) {
        GlobalFree(pdev->Job.JobControlBlock);
        pdev->Job.JobControlBlock = nullptr;
    }
}

BOOL Job_IsOutputError(PDEV* pdev) { return pdev && (pdev->Job.JobFlags & JOBF_OUTPUT_ERROR) ? 1 : 0; }

HANDLE Job_StartDoc(PDEV* pdev, LPCWSTR documentName, HANDLE printer, int mode) {
    if (!pdev) return JOB_NO_PRINTER_HANDLE;
    PdevJob& job = pdev->Job;
    // What an earlier job left is released, then the job state starts
    // empty; the handles, the job ids, the document name, the check flags
    // and DrvStartDoc's notes stay.
    Job_FreeJobState(pdev);
    JobState& state = job.State;
    const JobState kept = state;
    const UINT32 flags = job.JobFlags;
    const UINT32 signature = job.Signature;
    const UINT32 lastWord = job.LastWord;
    std::memset(&job, 0, sizeof(job));
    state.Start = kept.Start;
    state.PrinterHandle = kept.PrinterHandle;
    state.PrinterHandleCopy = kept.PrinterHandleCopy;
    state.EscapePrinterHandle = kept.EscapePrinterHandle;
    state.JobId = kept.JobId;
    state.JobIdCopy = kept.JobIdCopy;
    state.PdevCheckFlags = kept.PdevCheckFlags;
    std::memcpy(state.DocumentName, kept.DocumentName, sizeof(state.DocumentName));
    job.JobFlags = flags;
    job.Signature = signature;
    job.LastWord = lastWord;

    if (mode & JOB_START_SET_HANDLES) {
        state.PrinterHandle = state.PrinterHandleCopy = state.EscapePrinterHandle = printer;
        if (!printer) {
            Dbg_Print("could not open a spooler page!");
            return JOB_NO_PRINTER_HANDLE;
        }
        job.JobFlags = 0;
        if (documentName)
            lstrcpynW(state.DocumentName, documentName, JOB_DOCUMENT_NAME_CHARS);
        else
            state.DocumentName[0] = 0;
    }

    job.JobFlags |= JOBF_JOB_OPEN;
    std::memcpy(&job.JobDevmode, &pdev->Devmode, sizeof(RendDevmode));
    Job_OpenFiles(pdev);
    FontCach_SetFirstId(pdev, kFirstFontId);

    // A document named "*.PDF" (exactly so) is marked.
    const int length = lstrlenW(state.DocumentName);
    if (length > 4 && std::memcmp(state.DocumentName + length - 4, u".PDF", 4 * sizeof(WCHAR)) == 0)
        job.JobFlags |= JOBF_PDF_DOCUMENT;
    return state.PrinterHandle;
}

void Job_TakeSettings(PDEV* pdev) {
    if (!pdev) return;
    RendDevmode& job = pdev->Job.JobDevmode;
    // Whether the job is a booklet chose its routing at job start: its
    // pages go to the spool file for the folded sheets, or they do not.
    const BYTE booklet = job.priv.BookletOn;
    std::memcpy(&job, &pdev->Devmode, sizeof(RendDevmode));
    job.priv.BookletOn = booklet;
    if (pdev->Job.State.Spool.ManualDuplexDropped) job.priv.DuplexBinding = 0;
}

void Job_RestartLayout(PDEV* pdev) {
    if (!pdev || !(pdev->Job.JobFlags & JOBF_JOB_OPEN)) return;
    JobState& state = State(pdev);
    Layout_StartJob(pdev);
    state.PageSizeChanged = 0;
    DecidePageTurn(pdev, state.PageCounter + 1, true);
}

BOOL Job_StartPage(PDEV* pdev) {
    if (!pdev) return FALSE;
    if (pdev->Job.JobFlags & JOBF_PAGE_STARTED) return TRUE;
    pdev->Job.JobFlags |= JOBF_PAGE_STARTED;
    JobState& state = State(pdev);

    Gx_ResetCache(pdev);
    ++state.SheetPageCount;
    ++state.PageCounter;

    if (state.PageCounter == 1) {
        // The job's layout, from its first page and the settings as they
        // are now.
        Job_TakeSettings(pdev);
        Layout_StartJob(pdev);
    } else {
        UpdateLayout(pdev);
    }
    DecidePageTurn(pdev, state.PageCounter, state.PageCounter == 1);

    if (state.SheetPageCount == 1) {
        ++state.SheetCounter;
        state.Start.SheetStartTime = GetTickCount();
        pdev->Job.JobFlags &= ~JOBF_CHECK_REPORTED;
        // The BeginPage of each front side names the printer's duplex
        // binding; the back sides follow it.
        state.DuplexAttributes = (state.SheetCounter % 2 == 1) ? 1 : 0;
    }
    return Job_BeginPage(pdev);
}

BOOL Job_BeginPage(PDEV* pdev) {
    if (!pdev) return FALSE;
    if (pdev->Job.JobFlags & JOBF_PROLOGUE_WRITTEN) return TRUE;
    pdev->Job.JobFlags |= JOBF_PROLOGUE_WRITTEN;
    JobState& state = State(pdev);

    if (state.SheetPageCount <= 1) {
        if (Settings_IsManualDuplex(Job_Settings(pdev))) {
            // The sides are sent in another order at the end of the job,
            // each pass with a session of its own: the header entry stays
            // empty.
            if (!(pdev->Job.JobFlags & JOBF_SESSION_BEGUN)) {
                Spool_AddHeaderEntry(pdev);
                pdev->Job.JobFlags |= JOBF_SESSION_BEGUN;
            }
        } else {
            Pxl_BeginSession(pdev);
        }
        Spool_CountSheet(pdev);
        Pxl_BeginPageMedia(pdev);
    }

    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_DEFAULT_CTM);
    INT16 x = 0, y = 0;
    const INT16 rotation = Layout_PageTransform(pdev, &x, &y, state.SheetPageCount);
    Pxl_SetPageOrigin(pdev, x, y);
    Pxl_SetPageRotation(pdev, rotation);
    Pxl_SetPageScale(pdev, TRUE);
    Gx_SetColorSpace(pdev, GX_SPACE_JOB);
    return Job_IsOutputError(pdev) ? FALSE : TRUE;
}

void Job_SendPage(PDEV* pdev, BOOL endPage) {
    if (!pdev) return;
    JobState& state = State(pdev);
    if (!endPage) {
        if (state.Output.OutBufferFill && Job_CheckPdev(pdev, TRUE, PDEVCALL_SENDPAGE)) Job_SendPage(pdev, TRUE);
        if (pdev->Job.JobFlags & JOBF_PAGE_STARTED) {
            if (state.SheetPageCount) --state.SheetPageCount;
            pdev->Job.JobFlags &= ~JOBF_PAGE_STARTED;
        }
        Spool_DiscardBuffer(pdev);
        return;
    }

    // An empty page still has its prologue.
    if (!(pdev->Job.JobFlags & JOBF_PROLOGUE_WRITTEN)) Job_BeginPage(pdev);
    pdev->Job.JobFlags &= ~(JOBF_PAGE_STARTED | JOBF_PROLOGUE_WRITTEN);

    const RendDevmode& job = Job_Settings(pdev);
    const int perSheet = PagesPerSheet(job);
    if (perSheet > 1 && (job.priv.PageBorderMode & kPageBorders)) {
        // The frame of the page's cell; with the every-cell setting, the
        // frames of every cell placed on the sheet so far.
        WriteFrameTransform(pdev);
        const int first = job.priv.AllCellBorders ? 1 : state.SheetPageCount;
        for (int cell = first; cell <= state.SheetPageCount; ++cell)
            Layout_DrawCellFrame(pdev, kFrameOneCell, cell);
    }
    if (perSheet == 1 || state.SheetPageCount % CellsPerSheet(pdev) == 0) Job_CompleteSheet(pdev);
    Spool_Flush(pdev);
}

void Job_CompleteSheet(PDEV* pdev) {
    if (!pdev) return;
    JobState& state = State(pdev);
    const RendDevmode& job = Job_Settings(pdev);
    const bool keptBySettings = (job.priv.SheetKeepFlags & kSheetKeepBit) || job.priv.SheetKeepValue;
    if ((state.Spool.OutputFlags & kKeptSheets) || keptBySettings) {
        // Each stored sheet must carry the fonts and patterns it uses: the
        // next sheet downloads and defines them again.
        DropFonts(pdev);
        Brush_ResetPatterns(pdev);
    }
    Spool_Flush(pdev);
    if (PagesPerSheet(job) > 1 && (job.priv.PageBorderMode & kCellGrid) && CellsPerSheet(pdev) > 1) {
        WriteFrameTransform(pdev);
        Layout_DrawCellFrame(pdev, kFrameAllCells, 0);
    }
    const int copies = job.pub.dmCollate == DMCOLLATE_TRUE ? 1 : job.pub.dmCopies;
    Pxl_EndPage(pdev, copies);
    state.SheetPageCount = 0;
    Spool_EndSheet(pdev, TRUE);
}

BOOL Job_EndDoc(PDEV* pdev, int mode) {
    if (!pdev) return FALSE;
    JobState& state = State(pdev);
    const RendDevmode& job = Job_Settings(pdev);
    const SpoolState& spool = state.Spool;
    const bool hasPages =
        spool.PageTable && spool.PageTableCount > 0 && (Settings_IsManualDuplex(job) || spool.PageTable[0].Length > 0);

    Job_SendPage(pdev, FALSE);
    if (state.SheetPageCount > 0 && hasPages) Job_CompleteSheet(pdev);
    if (hasPages) DropFonts(pdev);
    if (hasPages) {
        // The stream closes what it opened: the data source, then the
        // session, then the PJL job.
        Pxl_CloseDataSource(pdev);
        Pjl_WriteEndOfJob(pdev);
    }
    Spool_Flush(pdev);
    Spool_ReplayJob(pdev);

    const bool failed = (pdev->Job.JobFlags & JOBF_OUTPUT_ERROR) && mode != JOB_END_ABORT;
    const DWORD error = FailureError(pdev);
    if (failed) ReportOutputFailure(pdev);

    // The job is over, whatever it left: the next document on this device
    // context starts a new one.
    Job_FreeJobState(pdev);
    pdev->Job.JobFlags = 0;
    state.PrinterHandle = nullptr;
    state.PrinterHandleCopy = nullptr;
    if (failed) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

namespace {

// A repeated DrvStartDoc switches the job to collation by replay when the
// settings now ask for collated copies
// (dmCollate 1, unlike at the first start, and dmCopies above 1) and the job
// does not make them already. A job recording a form leaves its copies to
// the engine, as at its start.
bool AsksForCollationByReplay(const PDEV* pdev) {
    const RendDevmode& current = pdev->Devmode;
    const JobState& state = pdev->Job.State;
    return current.pub.dmCollate == DMCOLLATE_TRUE && current.pub.dmCollate != state.Start.Collate &&
           current.pub.dmCopies > 1 && current.priv.OverlayMode != 2 &&
           !(state.Spool.OutputFlags & OUTF_COLLATE_REPLAY);
}

// The switch. It happens in mid-job, after the job header and the earlier
// sheets went to the printer, whose page entries counted bytes the file
// does not hold: the page table starts again (Spool_SwitchToReplay), so that
// the pages from the switch on, and only they, are replayed as collated
// copies, behind the pages printed before it. It is refused (the job goes
// on as it was set up) while a page is open, whose bytes would be split
// between the printer and the file, and for a job that keeps its pages in
// the file already (reverse order, poster, booklet, manual duplex): its
// earlier pages are stored with the printer's uncollated copies, which a
// replay would multiply.
void SwitchToCollationByReplay(PDEV* pdev) {
    JobState& state = State(pdev);
    if (pdev->Job.JobFlags & JOBF_PAGE_STARTED) return;
    if (!(state.Spool.OutputFlags & OUTF_TO_PRINTER) || (state.Spool.OutputFlags & OUTF_TO_SPOOL_FILE)) return;
    // A sheet begun by the pages so far is ended: a copy starts on a sheet
    // of its own.
    if (state.SheetPageCount > 0) Job_CompleteSheet(pdev);
    // The fonts the printer holds so far are removed there: the stored
    // sheets download their own under the same names.
    DropFonts(pdev);
    Spool_Flush(pdev);
    const RendDevmode& current = pdev->Devmode;
    if (!Spool_SwitchToReplay(pdev, current.pub.dmCopies)) return;  // no file: the job prints as it did
    // The stored sheets ask the printer for one copy each and the replay
    // makes the job's copies; each stored sheet carries its own fonts and
    // patterns.
    pdev->Job.JobDevmode.pub.dmCopies = current.pub.dmCopies;
    pdev->Job.JobDevmode.pub.dmCollate = DMCOLLATE_TRUE;
    Brush_ResetPatterns(pdev);
}

}  // namespace

BOOL APIENTRY DrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
    const DWORD now = GetTickCount();
    PDEV* pdev = SurfacePdev(pso);
    if (!Job_CheckPdev(pdev, FALSE, PDEVCALL_STARTDOC)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    JobState& state = State(pdev);

    if (pdev->Job.JobFlags & JOBF_JOB_OPEN) {
        // The document started again. Settings that now ask for collated
        // copies switch the job to making them by replay; from then on its
        // pages go to the spool file. Otherwise the engine plays the
        // document once more for a further collated copy: a job that
        // replays its pages for its copies makes that copy itself, so the
        // engine's playing writes nothing; else the engine's pages print.
        if (AsksForCollationByReplay(pdev))
            SwitchToCollationByReplay(pdev);
        else if (state.Spool.OutputFlags & OUTF_COLLATE_REPLAY)
            pdev->Job.JobFlags |= JOBF_ENGINE_COPY;
        return TRUE;
    }

    NotePrinterPort(pdev);
    state.Start.StartTime = now;
    state.Start.RenderTime = 0;
    state.JobId = dwJobId;
    state.JobIdCopy = dwJobId;
    RendDevmode& current = pdev->Devmode;
    state.Start.DuplexMode = current.priv.DuplexBinding;
    state.Start.Collate = current.pub.dmCollate;
    state.Start.DuplexCleared = FALSE;
    if (current.priv.OverlayMode == 2 && current.priv.DuplexBinding != 0) {
        // A form is recorded from one side of a sheet.
        current.priv.DuplexBinding = 0;
        state.Start.DuplexCleared = TRUE;
    }

    // The document's name, or the PDEV's own when none is given.
    WCHAR name[JOB_DOCUMENT_NAME_CHARS];
    lstrcpynW(name, pwszDocName ? pwszDocName : state.DocumentName, JOB_DOCUMENT_NAME_CHARS);
    const int mode = (pdev->Job.JobFlags & JOBF_SETTINGS_CHANGED) ? 0 : JOB_START_SET_HANDLES;
    if (Job_StartDoc(pdev, name, pdev->SpoolerPrinter, mode) == JOB_NO_PRINTER_HANDLE) {
        if (state.Start.DuplexCleared) current.priv.DuplexBinding = state.Start.DuplexMode;
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL APIENTRY DrvStartPage(SURFOBJ* pso) {
    PDEV* pdev = SurfacePdev(pso);
    if (PlayingEngineCopy(pdev, PDEVCALL_STARTPAGE)) return TRUE;
    if (!Job_CheckPdev(pdev, TRUE, PDEVCALL_STARTPAGE)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (Job_IsOutputError(pdev)) return RefuseForOutputError(pdev);
    Job_StartPage(pdev);
    pdev->Job.JobFlags |= JOBF_PAGE_OPEN;
    return TRUE;
}

BOOL APIENTRY DrvSendPage(SURFOBJ* pso) {
    PDEV* pdev = SurfacePdev(pso);
    if (PlayingEngineCopy(pdev, PDEVCALL_SENDPAGE)) return TRUE;
    if (!Job_CheckPdev(pdev, TRUE, PDEVCALL_SENDPAGE)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Job_SendPage(pdev, TRUE);
    pdev->Job.JobFlags &= ~JOBF_PAGE_OPEN;
    return TRUE;
}

BOOL APIENTRY DrvEndDoc(SURFOBJ* pso, FLONG fl) {
    PDEV* pdev = SurfacePdev(pso);
    if (fl != 0 && fl != ED_ABORTDOC) {
        Dbg_Print("Error in DrvEndDoc\n");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The engine's copies are over.
    if (Job_CheckPdev(pdev, FALSE, PDEVCALL_ENDDOC)) pdev->Job.JobFlags &= ~JOBF_ENGINE_COPY;
    if (!Job_CheckPdev(pdev, TRUE, PDEVCALL_ENDDOC)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // An aborted job writes nothing more.
    if (fl == ED_ABORTDOC) pdev->Job.JobFlags |= JOBF_OUTPUT_ERROR;
    if (!(pdev->Job.JobFlags & JOBF_JOB_OPEN)) return TRUE;

    JobState& state = State(pdev);
    const JobStartRecord start = state.Start;
    const BOOL ended = Job_EndDoc(pdev, fl == ED_ABORTDOC ? JOB_END_ABORT : JOB_END_NORMAL);
    const DWORD error = GetLastError();
    state.PageCounter = 0;
    if (start.DuplexCleared && pdev->Devmode.priv.DuplexBinding == 0)
        pdev->Devmode.priv.DuplexBinding = start.DuplexMode;

    const DWORD now = GetTickCount();
    Dbg_Print("Return to AP Time = %d, ", int(now - start.RenderTime - start.StartTime));
    Dbg_Print("Render Time = %ld, ", LONG(start.RenderTime));
    Dbg_Print("Job Time = %ld\r\n", LONG(now - start.StartTime));
    if (!ended) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
