// The replay of a stored job at its end: the job header, the stored pages
// in the order and number the job needs (collated copies, reverse order;
// manual duplex, booklet and poster have their own sources), the job tail.
// Also the reader and writer of stored pages that every replay uses.
#include <windows.h>

#include <cstring>

#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pjl.h"
#include "pcl6/gdi/spoolshared.h"
#include "pcl6/intrface/util.h"

namespace spool {
namespace {

BOOL ReadAt(HANDLE file, DWORD offset, BYTE* bytes, DWORD length) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    DWORD got = 0;
    if (!SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) || !ReadFile(file, bytes, length, &got, nullptr))
        return FALSE;
    if (got != length) {
        SetLastError(ERROR_HANDLE_EOF);
        return FALSE;
    }
    return TRUE;
}

INT16 Le16(const BYTE* at) { return INT16(UINT16(at[0] | (at[1] << 8))); }

}  // namespace

bool Replay::Fail(SpoolFailure reason, DWORD error) {
    Spool_FailJob(pdev, reason, error);
    return false;
}

bool Replay::Send(const void* bytes, DWORD length) {
    Spool_Flush(pdev);
    return !Job_IsOutputError(pdev) && Spool_WritePrinter(pdev, bytes, length);
}

bool Replay::Copy(DWORD offset, DWORD length) {
    Spool_Flush(pdev);
    if (Job_IsOutputError(pdev)) return false;
    if (Spool_CopyFromFile(pdev, file, offset, length)) return true;
    // The printer's refusal is the job's output error already; anything
    // else is the file's.
    if (!Job_IsOutputError(pdev)) Fail(SPOOL_FAIL_FILE_READ, GetLastError());
    return false;
}

bool Replay::CopyPageEnd(int index) {
    if (DWORD(Entry(index).Length) < kPageEnd) return Fail(SPOOL_FAIL_PAGE_MARK, ERROR_INVALID_DATA);
    return Copy(End(index) - kPageEnd, kPageEnd);
}

bool Replay::FindMarks(int index, PageMarks* marks) {
    Spool_Flush(pdev);
    if (Job_IsOutputError(pdev)) return false;
    DWORD mark = 0;
    if (!Spool_FindPattern(pdev, file, Start(index), kOriginMark, sizeof(kOriginMark), &mark) ||
        mark < Start(index) + kOriginLead || mark - kOriginLead + kTransformBytes + kPageEnd > End(index))
        return Fail(SPOOL_FAIL_PAGE_MARK, ERROR_INVALID_DATA);
    BYTE bytes[kTransformBytes];
    const DWORD transform = mark - kOriginLead;
    if (!ReadAt(file, transform, bytes, kTransformBytes)) return Fail(SPOOL_FAIL_FILE_READ, GetLastError());
    if (bytes[0] != PXL_TAG_SINT16_XY || bytes[8] != PXL_TAG_SINT16 ||
        std::memcmp(bytes + 11, kRotationMark, sizeof(kRotationMark)) != 0)
        return Fail(SPOOL_FAIL_PAGE_MARK, ERROR_INVALID_DATA);
    marks->transform = transform;
    marks->x = Le16(bytes + 1);
    marks->y = Le16(bytes + 3);
    marks->angle = Le16(bytes + 9);
    return true;
}

bool Replay::HeaderLength(int index, DWORD* length) {
    const SpoolPageEntry& entry = Entry(index);
    if (entry.BeginPageLength > 0 && entry.BeginPageLength < entry.Length) {
        *length = DWORD(entry.BeginPageLength);
        return true;
    }
    PageMarks marks;
    if (!FindMarks(index, &marks)) return false;
    if (marks.transform < Start(index) + 1) return Fail(SPOOL_FAIL_PAGE_MARK, ERROR_INVALID_DATA);
    *length = marks.transform - 1 - Start(index);
    return true;
}

bool Replay::BlankPage(int index) {
    DWORD header = 0;
    return HeaderLength(index, &header) && Copy(Start(index), header) && CopyPageEnd(index);
}

void WriteOrigin(BYTE* out, int x, int y) {
    out[0] = PXL_TAG_SINT16_XY;
    out[1] = BYTE(x);
    out[2] = BYTE(UINT16(x) >> 8);
    out[3] = BYTE(y);
    out[4] = BYTE(UINT16(y) >> 8);
    std::memcpy(out + 5, kOriginMark, sizeof(kOriginMark));
}

void WriteTransform(BYTE* out, int x, int y, int angle) {
    WriteOrigin(out, x, y);
    out[8] = PXL_TAG_SINT16;
    out[9] = BYTE(angle);
    out[10] = BYTE(UINT16(angle) >> 8);
    std::memcpy(out + 11, kRotationMark, sizeof(kRotationMark));
}

}  // namespace spool

using namespace spool;

namespace {

// The stored entry sent in place `place` (from 1) of a copy of `pages`
// stored pages. In reverse order the last page comes first; with printer
// duplex (`sheetPairs`) the pages go in sheets of two, the last sheet first
// and each sheet front before back, so that every page keeps its own
// sheet. A last sheet without a back gives pages + 1 for its back place:
// nothing is sent there.
int ReplayEntry(int place, int pages, bool reverse, bool sheetPairs) {
    if (!reverse) return place;
    if (!sheetPairs) return pages + 1 - place;
    const int sheets = (pages + 1) / 2;
    const int sheet = sheets - 1 - (place - 1) / 2;
    return 2 * sheet + (place - 1) % 2 + 1;
}

// Sends the stored job: its header, the pages in the order the job needs,
// its tail.
void ReplayStoredPages(PDEV* pdev) {
    SpoolState& spool = State(pdev);
    const int count = spool.PageTableCount;
    const int pages = count - 2;
    const RendDevmode& job = Job_Settings(pdev);
    const UINT32 flags = spool.OutputFlags;
    const bool manualDuplex = flags & OUTF_MANUAL_DUPLEX;
    const bool booklet = flags & OUTF_BOOKLET;
    const bool recordingForm = flags & OUTF_FORM_RECORD;

    // The sheet plan of manual duplex.
    int sheets = 0;
    if (manualDuplex && !booklet) {
        sheets = PlanSheets(spool.PageTable, pages, nullptr);
        spool.SheetPlan = static_cast<INT32*>(Util_GlobalAlloc(nullptr, DWORD(2 * sheets) * sizeof(INT32)));
        if (!spool.SheetPlan) {
            Spool_FailJob(pdev, SPOOL_FAIL_SHEET_PLAN, GetLastError());
            return;
        }
        PlanSheets(spool.PageTable, pages, spool.SheetPlan);
    }

    // The copies are the replay's when the job collates by replay: from its
    // start, or since a repeated DrvStartDoc switched it. The current
    // settings are not asked again: after a reset that changed them in
    // mid-job they would multiply the printer's uncollated copies of the
    // pages stored before it, or drop the copies of a job that stored its
    // sheets with one copy each.
    int copies = 1;
    if (flags & OUTF_COLLATE_REPLAY) copies = job.pub.dmCopies > 1 ? job.pub.dmCopies : 1;

    // From here on every byte goes straight to the printer.
    spool.OutputFlags = (spool.OutputFlags & ~(OUTF_TO_SPOOL_FILE | OUTF_TO_FORM_FILE)) | OUTF_TO_PRINTER;
    Replay replay{pdev, spool.SpoolFileHandle};

    // The job header: a manual-duplex job begins its session only now.
    if (manualDuplex) {
        const UINT32 begun = pdev->Job.JobFlags & JOBF_SESSION_BEGUN;
        pdev->Job.JobFlags &= ~JOBF_SESSION_BEGUN;
        Pxl_BeginSession(pdev);
        Spool_Flush(pdev);
        pdev->Job.JobFlags |= begun;
        if (Job_IsOutputError(pdev)) return;
    } else if (!spool.HeaderSent && !replay.CopyEntry(0)) {
        // (A header sent before a switch to collation by replay is not in
        // the file: the printer has it.)
        return;
    }

    bool ok = true;
    if (booklet) {
        ok = Spool_ReplayPages(pdev, replay.file, copies) != FALSE;
    } else if (manualDuplex) {
        ok = SendManualDuplex(replay, spool.SheetPlan, sheets, copies, recordingForm);
    } else {
        const bool reverse = flags & OUTF_REVERSE;
        const bool poster = flags & OUTF_POSTER;
        const bool sheetPairs = !poster && Settings_IsPrinterDuplex(job);
        const int places = reverse && sheetPairs ? (pages + 1) / 2 * 2 : pages;
        for (int copy = 0; ok && copy < copies; ++copy)
            for (int i = 1; ok && i <= places; ++i) {
                const int entry = ReplayEntry(i, pages, reverse, sheetPairs);
                if (entry > pages) continue;
                ok = poster ? Spool_ReplayPoster(pdev, replay.file, entry, flags & OUTF_FORM_MERGE) != FALSE
                            : replay.Page(entry);
                if (recordingForm) break;
            }
    }
    if (ok) replay.CopyEntry(count - 1);
}

}  // namespace

BOOL Spool_ReplayJob(PDEV* pdev) {
    if (!pdev) return FALSE;
    SpoolState& spool = State(pdev);
    // (A job that switched to collation by replay after its header went out
    // has its tail to send even when no page followed the switch.)
    const bool stored = spool.PageTable && ((spool.PageTableCount >= 2 && spool.PageTable[1].Length > 0) ||
                                            (spool.HeaderSent && spool.PageTableCount >= 1));
    if (stored) {
        // The job tail: end of session and PJL end of job.
        Spool_Flush(pdev);
        if (Spool_AddPageEntry(pdev) && HasFile(spool) && (spool.OutputFlags & OUTF_TO_SPOOL_FILE) &&
            !Job_IsOutputError(pdev))
            ReplayStoredPages(pdev);
    }
    Spool_CloseFiles(pdev);
    if (spool.FailureReason != SPOOL_FAIL_NONE) {
        SetLastError(spool.FailureError);
        return FALSE;
    }
    return stored ? TRUE : FALSE;
}
