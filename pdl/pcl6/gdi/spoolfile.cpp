// The temporary spool file and its page table: job start decides where
// the job's bytes go and creates the file; each sheet (and the job header
// and tail) closes a range of the stream as a page entry; the end of the
// job or a disabled PDEV closes and deletes the file. The replay of the
// stored pages is spoolreplay.cpp's.
#include <windows.h>
#include <strsafe.h>

#include <cstring>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pagemedia.h"
#include "pcl6/gdi/spoolshared.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

using namespace spool;

namespace {

// The page table starts with room for two entries (the job header and
// one sheet) and doubles when it is full, so that a job of n pages copies
// fewer than 2n entries in all while it grows.
constexpr INT32 kFirstTableCapacity = 2;
// The largest table the counting allocator's 32-bit sizes can hold.
constexpr ULONGLONG kLargestTableBytes = 0xFFFFFFFFull;

LPCSTR FailureText(SpoolFailure reason) {
    switch (reason) {
    case SPOOL_FAIL_FILE_WRITE: return "a write to the spool file failed";
    case SPOOL_FAIL_FILE_READ: return "a stored page could not be read back whole";
    case SPOOL_FAIL_PAGE_MARK: return "a stored page lacks its page marks";
    case SPOOL_FAIL_PAGE_TABLE: return "the page table could not grow";
    case SPOOL_FAIL_SHEET_PLAN: return "the sheet plan could not be allocated";
    case SPOOL_FAIL_FILE_SIZE: return "the spool file grew past 4 GiB";
    case SPOOL_FAIL_FORM_WRITE: return "a write to the overlay form file failed";
    default: return "unknown failure";
    }
}

}  // namespace

void Spool_FailJob(PDEV* pdev, SpoolFailure reason, DWORD error) {
    if (!pdev) return;
    SpoolState& spool = State(pdev);
    pdev->Job.JobFlags |= JOBF_OUTPUT_ERROR;
    if (spool.FailureReason != SPOOL_FAIL_NONE) return;
    spool.FailureReason = reason;
    spool.FailureError = error ? error : DWORD(ERROR_GEN_FAILURE);
    // The document's first 255 bytes, so that the line always fits its
    // buffer whole; the formatter is bounded by the buffer all the same.
    char document[256];
    Util_WideToAnsi(document, pdev->Job.State.DocumentName, sizeof(document));
    char text[1024];
    StringCchPrintfA(text, sizeof(text), "Tamrend: job '%s' ended: %s (error %lu)\n", document, FailureText(reason),
                     DWORD(spool.FailureError));
    OutputDebugStringA(text);
}

BOOL Spool_CreateFile(PDEV* pdev) {
    if (!pdev) return FALSE;
    SpoolState& spool = State(pdev);
    if (HasFile(spool)) {
        spool.OutputFlags |= OUTF_TO_SPOOL_FILE;
        return TRUE;
    }
    WCHAR name[MAX_PATH] = {};
    HANDLE file = INVALID_HANDLE_VALUE;
    if (Util_GetTempFileName(u"vardo", name)) {
        // The name is reserved by an empty file; the spool file replaces it.
        DeleteFileW(name);
        file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        char ansi[MAX_PATH];
        Util_WideToAnsi(ansi, name, sizeof(ansi));
        Dbg_Print("Could not create temp file :'%s'\n", ansi);
        spool.OutputFlags &= ~kNeedsFile;
        return FALSE;
    }
    lstrcpynW(spool.SpoolFileName, name, MAX_PATH);
    spool.SpoolFileHandle = file;
    spool.OutputFlags |= OUTF_TO_SPOOL_FILE;
    return TRUE;
}

BOOL Job_OpenFiles(PDEV* pdev) {
    if (!pdev) return FALSE;
    Spool_CloseFiles(pdev);
    std::memset(&pdev->Job.State.Output, 0, sizeof(pdev->Job.State.Output));
    std::memset(&pdev->Job.State.Spool, 0, sizeof(pdev->Job.State.Spool));
    pdev->Job.State.Output.OutBufferSize = OUTBUF_SIZE;

    SpoolState& spool = State(pdev);
    const RendDevmode& job = Job_Settings(pdev);
    UINT32 flags = 0;
    // A job that records an overlay form sends its pages once (the replay
    // makes no copies of it), so its copies are left to the engine.
    if (job.pub.dmCopies > 1 && job.pub.dmCollate == DMCOLLATE_TRUE && job.priv.OverlayMode != 2) {
        flags |= OUTF_COLLATE_REPLAY;
        spool.CopiesToReplay = job.pub.dmCopies;
    }
    if (job.priv.OppositeOrder) flags |= OUTF_REVERSE;
    if (Layout_PosterOn(job)) flags |= OUTF_POSTER;
    if (Settings_IsManualDuplex(job)) flags |= OUTF_MANUAL_DUPLEX;
    if (job.priv.BookletOn) flags |= OUTF_BOOKLET;
    if (!(flags & kKeepsPages)) {
        flags |= OUTF_TO_PRINTER;
        spool.CopiesToReplay -= 1;
    }
    spool.OutputFlags = flags;
    // Without its file a job that wanted its pages reordered prints them as
    // they are drawn, rather than not at all: a job that prints nothing
    // while its end reports success is a fault no one sees. Manual duplex
    // cannot send its sides in two passes then: the job is one-sided, so
    // that it begins its session at the first page as any other job does.
    if ((flags & kNeedsFile) && !Spool_CreateFile(pdev)) {
        spool.OutputFlags |= OUTF_TO_PRINTER;
        if (flags & OUTF_MANUAL_DUPLEX) {
            spool.ManualDuplexDropped = TRUE;
            pdev->Job.JobDevmode.priv.DuplexBinding = 0;
        }
    }
    return TRUE;
}

namespace {

// The counts of the range an entry will record start again: its bytes, its
// BeginPage block and its user-interface part.
void StartNextRange(PDEV* pdev) {
    SpoolState& spool = State(pdev);
    pdev->Job.State.Output.PageBytes = 0;
    spool.HeaderLength = 0;
    spool.PartOffset = 0;
    spool.PartLength = 0;
}

}  // namespace

BOOL Spool_SwitchToReplay(PDEV* pdev, int copies) {
    if (!pdev) return FALSE;
    SpoolState& spool = State(pdev);
    spool.OutputFlags |= OUTF_COLLATE_REPLAY;
    spool.CopiesToReplay = copies;
    if (!Spool_CreateFile(pdev)) return FALSE;
    spool.OutputFlags &= ~OUTF_TO_PRINTER;
    if (!spool.PageTable || spool.PageTableCount == 0) return TRUE;  // nothing has gone out yet

    // The job header went out: entry 0 keeps it, marked sent, and the next
    // range starts at the beginning of the new file.
    const SpoolPageEntry header = spool.PageTable[0];
    spool.PageTableCount = 1;
    spool.PageTable[0] = header;
    spool.PageTable[1] = SpoolPageEntry{};
    spool.HeaderSent = TRUE;
    StartNextRange(pdev);
    return TRUE;
}

BOOL Spool_AddPageEntry(PDEV* pdev) {
    if (!pdev) return FALSE;
    SpoolState& spool = State(pdev);
    if (spool.PageTableCount + 1 >= spool.PageTableCapacity) {
        // Room for this entry and the next one's preset offset.
        const ULONGLONG capacity =
            spool.PageTableCapacity < kFirstTableCapacity ? kFirstTableCapacity : 2ull * spool.PageTableCapacity;
        const ULONGLONG bytes = capacity * sizeof(SpoolPageEntry);
        auto* grown = bytes <= kLargestTableBytes
                          ? static_cast<SpoolPageEntry*>(Util_GlobalAlloc(nullptr, DWORD(bytes)))
                          : nullptr;
        if (!grown) {
            Spool_FailJob(pdev, SPOOL_FAIL_PAGE_TABLE, bytes <= kLargestTableBytes ? GetLastError()
                                                                                    : DWORD(ERROR_NOT_ENOUGH_MEMORY));
            return FALSE;
        }
        if (spool.PageTable) {
            std::memcpy(grown, spool.PageTable, size_t(spool.PageTableCapacity) * sizeof(SpoolPageEntry));
            Util_GlobalFree(nullptr, spool.PageTable);
        }
        spool.PageTable = grown;
        spool.PageTableCapacity = INT32(capacity);
    }

    OutputBufferState& sink = pdev->Job.State.Output;
    const RendDevmode& job = Job_Settings(pdev);
    const LayoutState& layout = pdev->Job.State.Layout;
    SpoolPageEntry& entry = spool.PageTable[spool.PageTableCount];
    entry.Length = sink.PageBytes + ((spool.OutputFlags & kFileRouting) ? 0 : sink.OutBufferFill);
    entry.BeginPageLength = spool.HeaderLength;
    entry.PartOffset = spool.PartOffset;
    entry.PartLength = spool.PartLength;
    // A booklet places pages of their own size; every other job prints on
    // the sheet, with the page's margins when it was fitted to another paper.
    const PageGeometry& size = job.priv.BookletOn ? pdev->Geometry : layout.SheetGeometry;
    const bool otherPaper = job.priv.PaperOverride != 0 && job.priv.PaperOverride != job.pub.dmPaperSize;
    const PageGeometry& margins = job.priv.BookletOn || otherPaper ? pdev->Geometry : layout.SheetGeometry;
    entry.PageSize = INT32(UINT16(size.Width) | (UINT32(UINT16(size.Height)) << 16));
    entry.PrintableTopLeft = INT32(UINT16(margins.Left) | (UINT32(UINT16(margins.Top)) << 16));
    entry.PrintableBottomRight = INT32(UINT16(margins.Right) | (UINT32(UINT16(margins.Bottom)) << 16));
    entry.Orientation = UINT8(pdev->Orientation);
    // The paper the sheet asks the printer for (a manual-duplex plan pairs
    // sides of one paper).
    entry.PaperSize = INT16(Pxl_MediaPaperCode(pdev));

    // The next range starts right behind this one. Offsets are 32-bit and
    // read back unsigned, so a file that keeps its pages can hold 4 GiB;
    // past that its ranges could not be found again and the job ends. A job
    // that goes to the printer reads nothing back.
    const ULONGLONG next = ULONGLONG(DWORD(entry.Offset)) + ULONGLONG(DWORD(entry.Length));
    if (next > 0xFFFFFFFFull && (spool.OutputFlags & kFileRouting)) {
        Spool_FailJob(pdev, SPOOL_FAIL_FILE_SIZE, ERROR_FILE_TOO_LARGE);
        return FALSE;
    }
    ++spool.PageTableCount;
    spool.PageTable[spool.PageTableCount] = SpoolPageEntry{};
    spool.PageTable[spool.PageTableCount].Offset = INT32(DWORD(next));
    StartNextRange(pdev);
    return TRUE;
}

BOOL Spool_AddHeaderEntry(PDEV* pdev) {
    if (!pdev) return FALSE;
    if (State(pdev).OutputFlags & kFileRouting) Spool_Flush(pdev);
    return Spool_AddPageEntry(pdev);
}

BOOL Spool_EndSheet(PDEV* pdev, BOOL addEntry) {
    if (!pdev) return FALSE;
    Spool_Flush(pdev);
    if (!addEntry) return TRUE;
    const BOOL added = Spool_AddPageEntry(pdev);
    SpoolState& spool = State(pdev);
    if (spool.OutputFlags & OUTF_FORM_NO_SPOOL) spool.OutputFlags |= OUTF_TO_FORM_FILE;
    return added;
}

void Spool_CountSheet(PDEV* pdev) {
    if (!pdev) return;
    SpoolState& spool = State(pdev);
    ++spool.FormSheetCount;
    if (spool.FormSheetCount >= 2 && (spool.OutputFlags & OUTF_FORM_NO_SPOOL))
        spool.OutputFlags &= ~OUTF_TO_FORM_FILE;
}

void Spool_CloseFiles(PDEV* pdev) {
    if (!pdev) return;
    SpoolState& spool = State(pdev);
    if (spool.SheetPlan) {
        Util_GlobalFree(nullptr, spool.SheetPlan);
        spool.SheetPlan = nullptr;
    }
    if (HasFile(spool)) {
        CloseHandle(spool.SpoolFileHandle);
        DeleteFileW(spool.SpoolFileName);
    }
    spool.SpoolFileHandle = nullptr;
    spool.SpoolFileName[0] = 0;
    spool.OutputFlags &= ~OUTF_TO_SPOOL_FILE;
    HANDLE& form = pdev->Job.State.Forms.FormWriteHandle;
    if (form && form != INVALID_HANDLE_VALUE) CloseHandle(form);
    form = nullptr;
    if (spool.PageTable) Util_GlobalFree(nullptr, spool.PageTable);
    spool.PageTable = nullptr;
    spool.PageTableCount = 0;
    spool.PageTableCapacity = 0;
}
