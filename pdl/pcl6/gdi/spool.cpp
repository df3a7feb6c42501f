// The temporary spool file, its page table and the replay of stored pages
// (see spool.h for the page marks a replay cuts at).
//
// The replay never holds a page in memory: stored ranges are copied from
// the file in 4096-byte pieces through the output buffer, the page marks
// are found by a streaming search, and only the 14 bytes of a page's
// origin and rotation are read on their own.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/pjl.h"
#include "pcl6/gdi/spoolfile.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

namespace {

// The page marks (spool.h).
constexpr BYTE kOriginMark[3] = {0xF8, 0x2A, 0x75};
constexpr BYTE kRotationMark[3] = {0xF8, 0x29, 0x76};
// PageCopies (uint16) and EndPage: the last bytes of every stored page.
constexpr DWORD kPageEnd = 6;
// From the origin's sint16_xy tag to the origin mark.
constexpr DWORD kOriginLead = 5;
// Origin and rotation: D3 x x y y F8 2A 75 C3 a a F8 29 76.
constexpr DWORD kTransformBytes = 14;
// The origin alone: D3 x x y y F8 2A 75.
constexpr DWORD kOriginBytes = 8;
// Each growth of the page table adds room for this many entries.
constexpr INT32 kTableGrowth = 2;

// Operators and attributes of the poster marks that the encoder has no
// other use for.
constexpr BYTE kOpSetClipToPage = 0x69;
constexpr BYTE kOpSetLineCap = 0x71;
constexpr BYTE kOpSetLineJoin = 0x72;
constexpr BYTE kAttrLineCapStyle = 0x47;
constexpr BYTE kAttrLineJoinStyle = 0x48;
constexpr BYTE kRoundCapOrJoin = 1;
constexpr BYTE kRopSourceCopy = 240;

// The routing bits that mean "the job's bytes go to a file" for the
// length of a page entry.
constexpr UINT32 kFileRouting = OUTF_TO_SPOOL_FILE | OUTF_FORM_MERGE | OUTF_COLLATE_REPLAY;
// The bits whose replay needs the spool file.
constexpr UINT32 kNeedsFile =
    OUTF_FORM_MERGE | OUTF_COLLATE_REPLAY | OUTF_REVERSE | OUTF_POSTER | OUTF_MANUAL_DUPLEX | OUTF_BOOKLET;
// With none of these the job goes straight to the printer.
constexpr UINT32 kKeepsPages = OUTF_FORM_RECORD | kNeedsFile;

SpoolState& Spool(PDEV* pdev) { return pdev->Job.State.Spool; }
const RendDevmode& JobSettings(const PDEV* pdev) { return pdev->Job.JobDevmode; }
bool OutputFailed(const PDEV* pdev) { return (pdev->Job.JobFlags & JOBF_OUTPUT_ERROR) != 0; }
bool HasFile(const SpoolState& spool) {
    return spool.SpoolFileHandle && spool.SpoolFileHandle != INVALID_HANDLE_VALUE;
}

// The booklet's grouping: 0 the whole document, 1 groups of the given
// number of sheets (4 pages a sheet), 2 groups of up to 200 pages; any
// other value is taken as 0.
int BookletGroupMode(const RendDevmode& settings) {
    const int mode = settings.priv.BookletGrouping;
    return mode >= 0 && mode <= 2 ? mode : 0;
}
int BookletSheetsPerGroup(const RendDevmode& settings) {
    return settings.priv.BookletGroupSheets ? settings.priv.BookletGroupSheets : 1;
}

LPCSTR FailureText(SpoolFailure reason) {
    switch (reason) {
    case SPOOL_FAIL_FILE_WRITE: return "a write to the spool file failed";
    case SPOOL_FAIL_FILE_READ: return "a stored page could not be read back whole";
    case SPOOL_FAIL_PAGE_MARK: return "a stored page lacks its page marks";
    case SPOOL_FAIL_PAGE_TABLE: return "the page table could not grow";
    case SPOOL_FAIL_SHEET_PLAN: return "the sheet plan could not be allocated";
    case SPOOL_FAIL_FILE_SIZE: return "the spool file grew past 4 GiB";
    default: return "unknown failure";
    }
}

// ---- Reading the file ----

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

// Where a stored page's origin and rotation lie, and what they hold.
struct PageMarks {
    DWORD transform = 0;  // file position of the origin's D3
    INT16 x = 0;
    INT16 y = 0;
    INT16 angle = 0;
};

INT16 Le16(const BYTE* at) { return INT16(UINT16(at[0] | (at[1] << 8))); }

// ---- Writing to the printer ----

// The replay writes its own bytes and the stored ranges straight to the
// printer. Each step answers false once the job cannot go on: the printer
// refused a write (the job's output error) or the job failed here.
struct Replay {
    PDEV* pdev;
    HANDLE file;

    bool Fail(SpoolFailure reason, DWORD error) {
        Spool_FailJob(pdev, reason, error);
        return false;
    }

    // Prepared bytes; whatever the buffer holds goes first.
    bool Send(const void* bytes, DWORD length) {
        Spool_Flush(pdev);
        return !OutputFailed(pdev) && Spool_WritePrinter(pdev, bytes, length);
    }

    bool Copy(DWORD offset, DWORD length) {
        Spool_Flush(pdev);
        if (OutputFailed(pdev)) return false;
        if (Spool_CopyFromFile(pdev, file, offset, length)) return true;
        // The printer's refusal is the job's output error already; anything
        // else is the file's.
        if (!OutputFailed(pdev)) Fail(SPOOL_FAIL_FILE_READ, GetLastError());
        return false;
    }

    const SpoolPageEntry& Entry(int index) const { return Spool(pdev).PageTable[index]; }
    DWORD Start(int index) const { return DWORD(Entry(index).Offset); }
    DWORD End(int index) const { return DWORD(Entry(index).Offset) + DWORD(Entry(index).Length); }

    bool CopyEntry(int index) { return Copy(Start(index), DWORD(Entry(index).Length)); }

    // The page's last 6 bytes: PageCopies and EndPage.
    bool CopyPageEnd(int index) {
        if (DWORD(Entry(index).Length) < kPageEnd) return Fail(SPOOL_FAIL_PAGE_MARK, ERROR_INVALID_DATA);
        return Copy(End(index) - kPageEnd, kPageEnd);
    }

    // Finds and checks the origin and rotation of stored page `index`: the
    // first origin mark inside the page, with its sint16_xy in front and the
    // rotation right behind it, all before the page's last 6 bytes.
    bool FindMarks(int index, PageMarks* marks) {
        Spool_Flush(pdev);
        if (OutputFailed(pdev)) return false;
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

    // The length of a stored page's BeginPage sequence: as recorded, or up
    // to the SetPageDefaultCTM in front of its origin.
    bool HeaderLength(int index, DWORD* length) {
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

    // An empty page on the media of stored page `index`: its BeginPage
    // sequence and its last 6 bytes.
    bool BlankPage(int index) {
        DWORD header = 0;
        return HeaderLength(index, &header) && Copy(Start(index), header) && CopyPageEnd(index);
    }

    // A stored page as it was; a form being merged comes with the overlay
    // forms, which no job of this build records or merges.
    bool Page(int index) { return CopyEntry(index); }
};

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

// ---- Manual duplex ----

// The sheet plan of a manual-duplex job of `pages` stored pages: the pages
// in order, counted per run of one paper code; when the paper changes after
// an odd count the back of the run's last sheet stays blank. Even positions
// are fronts, odd ones backs. Gives the number of sheets; with `plan`, fills
// plan[0 .. sheets) with the fronts and plan[sheets .. 2 sheets) with the
// backs (-1 for a blank side).
int PlanSheets(const SpoolPageEntry* table, int pages, INT32* plan) {
    int sides = 0;
    int run = 0;
    INT16 paper = 0;
    // The sides in order; written once the number of sheets is known.
    auto place = [&](int page, int sheets) {
        if (plan) {
            const int sheet = sides / 2;
            plan[sides % 2 ? sheets + sheet : sheet] = page;
        }
        ++sides;
    };
    const int sheets = plan ? PlanSheets(table, pages, nullptr) : 0;
    if (plan)
        for (int i = 0; i < 2 * sheets; ++i) plan[i] = -1;
    for (int page = 1; page <= pages; ++page) {
        const INT16 code = table[page].PaperSize;
        if (page > 1 && code != paper) {
            if (run % 2) place(-1, sheets);
            run = 0;
        }
        paper = code;
        place(page, sheets);
        ++run;
    }
    return (sides + 1) / 2;
}

// ---- Booklet ----

// One side of a booklet sheet: the pages (numbers within the group, 0 for
// an empty place) on its two places.
struct BookletSide {
    int place[2];
};
struct BookletSheet {
    BookletSide front;
    BookletSide back;
};

// The imposition of a group of M pages (numbers 1 to M within the group):
// s = 2 puts pages 1 and 2 on a sheet of their own (page 1 on the front,
// page 2 on the back, each in the second place), e = 1 puts page M alone in
// the first place of a further sheet, and the b = M - s - e pages left are
// folded into sheets of four places.
struct Imposition {
    int M, s, e, b, h, f, slots, z, w;

    explicit Imposition(int pages) : M(pages) {
        s = M >= 4 && M % 4 != 0 ? 2 : 0;
        e = s == 2 && M % 4 == 3 ? 1 : 0;
        b = M - s - e;
        h = 2 * (b / 4);
        if (b % 4 != 0 || b < 4) h = 2 * (b / 4) + b % 4 - 1;
        f = b - h;
        slots = (b + 1) / 2;
        if (slots % 2) ++slots;
        if (slots < 2) slots = 2;
        z = b % 4 == 0 ? 1 : 0;
        w = b != 1 ? 1 : 0;
    }

    int Sheets() const { return s / 2 + e + slots / 2; }

    // Sheet k of the group, in the order they are sent.
    BookletSheet Sheet(int k) const {
        if (s == 2 && k == 0) return BookletSheet{{{0, 1}}, {{0, 2}}};
        k -= s / 2;
        if (e == 1 && k == 0) return BookletSheet{{{M, 0}}, {{0, 0}}};
        k -= e;
        const int j = 2 * k;
        BookletSheet sheet{{{0, 0}}, {{0, 0}}};
        if (h != 0) {
            sheet.back.place[1] = j + s + 2;
            if (h > 1) sheet.back.place[0] = M - j - e - z;
        }
        if (f != 0) {
            sheet.front.place[1] = j + s + 1;
            if (z == 1)
                sheet.front.place[0] = M - e - j;
            else
                sheet.front.place[0] = j == 0 ? 0 : M - w - e - j + 2;
        }
        return sheet;
    }
};

// A booklet group: its first entry (less 1) and its number of pages.
struct BookletGroup {
    int base;
    int pages;
};

bool SendBookletSide(Replay& replay, const BookletGroup& group, const BookletSide& side, BOOL front) {
    PDEV* pdev = replay.pdev;
    bool opened = false;  // a page of this side is sent (its BeginPage with it)
    for (int place = 1; place <= 2; ++place) {
        const int number = side.place[place - 1];
        if (number <= 0 || number > group.pages) continue;
        const int entry = group.base + number;
        PageMarks marks;
        if (!replay.FindMarks(entry, &marks)) return false;
        // A page joining the side leaves its BeginPage off; the first place
        // leaves its end off so that the second page joins the same side.
        DWORD from = replay.Start(entry);
        if (opened) {
            DWORD header = 0;
            if (!replay.HeaderLength(entry, &header)) return false;
            from += header;
        }
        INT16 x = 0, y = 0;
        const INT16 angle = Layout_BookletCellTransform(pdev, &x, &y, place, entry, front);
        BYTE transform[kTransformBytes];
        WriteTransform(transform, x, y, angle);
        const bool joined = place == 1 && side.place[1] > 0 && side.place[1] <= group.pages;
        const DWORD rest = marks.transform + kTransformBytes;
        const DWORD end = replay.End(entry) - (joined ? kPageEnd : 0);
        if (marks.transform < from || !replay.Copy(from, marks.transform - from) ||
            !replay.Send(transform, sizeof(transform)) || !replay.Copy(rest, end - rest))
            return false;
        opened = true;
    }
    // A side without any page is an empty page on the first page's media.
    return opened || replay.BlankPage(1);
}

}  // namespace

// ---- The file and the page table ----

void Spool_FailJob(PDEV* pdev, SpoolFailure reason, DWORD error) {
    if (!pdev) return;
    SpoolState& spool = Spool(pdev);
    pdev->Job.JobFlags |= JOBF_OUTPUT_ERROR;
    if (spool.FailureReason != SPOOL_FAIL_NONE) return;
    spool.FailureReason = reason;
    spool.FailureError = error ? error : DWORD(ERROR_GEN_FAILURE);
    char document[256];
    Util_WideToAnsi(document, pdev->Job.State.DocumentName, sizeof(document));
    char text[512];
    wsprintfA(text, "Tamrend: job '%s' ended: %s (error %lu)\n", document, FailureText(reason),
              static_cast<unsigned long>(spool.FailureError));
    OutputDebugStringA(text);
}

BOOL Spool_CreateFile(PDEV* pdev) {
    if (!pdev) return FALSE;
    SpoolState& spool = Spool(pdev);
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

    SpoolState& spool = Spool(pdev);
    const RendDevmode& job = JobSettings(pdev);
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
    // they are drawn, rather than not at all. Manual duplex cannot send its
    // sides in two passes then: the job is one-sided, so that it begins its
    // session at the first page as any other job does.
    if ((flags & kNeedsFile) && !Spool_CreateFile(pdev)) {
        spool.OutputFlags |= OUTF_TO_PRINTER;
        if (flags & OUTF_MANUAL_DUPLEX) {
            spool.ManualDuplexDropped = TRUE;
            pdev->Job.JobDevmode.priv.DuplexBinding = 0;
        }
    }
    return TRUE;
}

BOOL Spool_AddPageEntry(PDEV* pdev) {
    if (!pdev) return FALSE;
    SpoolState& spool = Spool(pdev);
    if (spool.PageTableCount + 1 >= spool.PageTableCapacity) {
        const INT32 capacity = spool.PageTableCapacity + kTableGrowth;
        auto* grown = static_cast<SpoolPageEntry*>(Util_GlobalAlloc(nullptr, DWORD(capacity) * sizeof(SpoolPageEntry)));
        if (!grown) {
            Spool_FailJob(pdev, SPOOL_FAIL_PAGE_TABLE, GetLastError());
            return FALSE;
        }
        if (spool.PageTable) {
            std::memcpy(grown, spool.PageTable, size_t(spool.PageTableCapacity) * sizeof(SpoolPageEntry));
            Util_GlobalFree(nullptr, spool.PageTable);
        }
        spool.PageTable = grown;
        spool.PageTableCapacity = capacity;
    }

    OutputBufferState& sink = pdev->Job.State.Output;
    const RendDevmode& job = JobSettings(pdev);
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
    entry.PaperSize = job.priv.PaperOverride ? job.priv.PaperOverride : job.pub.dmPaperSize;

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
    sink.PageBytes = 0;
    spool.HeaderLength = 0;
    spool.PartOffset = 0;
    spool.PartLength = 0;
    return TRUE;
}

BOOL Spool_AddHeaderEntry(PDEV* pdev) {
    if (!pdev) return FALSE;
    if (Spool(pdev).OutputFlags & kFileRouting) Spool_Flush(pdev);
    return Spool_AddPageEntry(pdev);
}

BOOL Spool_EndSheet(PDEV* pdev, BOOL addEntry) {
    if (!pdev) return FALSE;
    Spool_Flush(pdev);
    if (!addEntry) return TRUE;
    const BOOL added = Spool_AddPageEntry(pdev);
    SpoolState& spool = Spool(pdev);
    if (spool.OutputFlags & OUTF_FORM_NO_SPOOL) spool.OutputFlags |= OUTF_TO_FORM_FILE;
    return added;
}

void Spool_CountSheet(PDEV* pdev) {
    if (!pdev) return;
    SpoolState& spool = Spool(pdev);
    ++spool.FormSheetCount;
    if (spool.FormSheetCount >= 2 && (spool.OutputFlags & OUTF_FORM_NO_SPOOL))
        spool.OutputFlags &= ~OUTF_TO_FORM_FILE;
}

void Spool_CloseFiles(PDEV* pdev) {
    if (!pdev) return;
    SpoolState& spool = Spool(pdev);
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

// ---- Replay ----

BOOL Spool_DrawPosterMarks(PDEV* pdev, int entry) {
    if (!pdev) return FALSE;
    const SpoolState& spool = Spool(pdev);
    if (!spool.PageTable || entry < 0 || entry >= spool.PageTableCount) return FALSE;
    const SpoolPageEntry& stored = spool.PageTable[entry];
    const RendDevmode& job = JobSettings(pdev);
    const int r = Layout_ResFactor(job) + 1;
    const int W = INT16(stored.PageSize & 0xFFFF);
    const int H = INT16(UINT32(stored.PageSize) >> 16);

    Spool_Flush(pdev);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_DEFAULT_CTM);
    Pxl_WriteAttrXY(pdev, 96 * r, 96 * r, PXL_ATTR_PAGE_ORIGIN, PXL_TYPE_SINT16_XY);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_ORIGIN);
    Pxl_WriteRealXYAttr(pdev, 1.0f, 1.0f, PXL_ATTR_PAGE_SCALE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_SCALE);
    Pxl_WriteOperator(pdev, kOpSetClipToPage);
    Pxl_WriteAttr(pdev, 1, PXL_ATTR_PEN_WIDTH, PXL_TYPE_UINT16);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PEN_WIDTH);
    Pxl_WriteAttr(pdev, kRoundCapOrJoin, kAttrLineJoinStyle, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, kOpSetLineJoin);
    Pxl_WriteAttr(pdev, kRoundCapOrJoin, kAttrLineCapStyle, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, kOpSetLineCap);
    // A dash of 40 units drawn, 10 left out.
    const BYTE dash[4] = {40, 0, 10, 0};
    Pxl_WriteArrayHeader(pdev, PXL_TAG_SINT16_ARRAY, 2);
    Spool_Write(pdev, dash, sizeof(dash));
    const BYTE dashId[2] = {PXL_TAG_ATTR_UBYTE, PXL_ATTR_LINE_DASH_STYLE};
    Spool_Write(pdev, dashId, sizeof(dashId));
    Pxl_WriteOperator(pdev, PXL_OP_SET_LINE_DASH);
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_NULL_BRUSH, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_BRUSH_SOURCE);
    Pxl_WriteAttr(pdev, kRopSourceCopy, PXL_ATTR_ROP3, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_ROP);
    if (job.pub.dmColor == DMCOLOR_COLOR)
        Pxl_WriteRgbColor(pdev, RGB(0, 0, 0));
    else
        Pxl_WriteAttr(pdev, 0, PXL_ATTR_GRAY_LEVEL, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PEN_SOURCE);

    // Three strokes on each side, in the middle of it: two ticks 240 units
    // long across the edge band, 120 units either side of the side's
    // middle, and the stroke between them along the edge. Coordinates are
    // from the printable area's corner; the far bands lie as far inside the
    // far edges as the near ones inside the near edges.
    const int nearIn = 5 * r + 5, nearOut = 240 + 5 * r + 5;
    const int farXIn = W - 197 * r, farXOut = W - 197 * r - 240;
    const int farYIn = H - 197 * r, farYOut = H - 197 * r - 240;
    const int midX = W / 2, midY = H / 2;
    struct Stroke {
        int x0, y0, x1, y1;
    };
    const Stroke strokes[12] = {
        // left side
        {nearIn, midY - 120, nearOut, midY - 120}, {nearIn, midY + 120, nearOut, midY + 120},
        {nearIn, midY - 120, nearIn, midY + 120},
        // right side
        {farXIn, midY - 120, farXOut, midY - 120}, {farXIn, midY + 120, farXOut, midY + 120},
        {farXIn, midY - 120, farXIn, midY + 120},
        // top side
        {midX - 120, nearIn, midX - 120, nearOut}, {midX + 120, nearIn, midX + 120, nearOut},
        {midX - 120, nearIn, midX + 120, nearIn},
        // bottom side
        {midX - 120, farYIn, midX - 120, farYOut}, {midX + 120, farYIn, midX + 120, farYOut},
        {midX - 120, farYIn, midX + 120, farYIn},
    };
    for (const Stroke& stroke : strokes) {
        Pxl_NewPath(pdev);
        Pxl_SetCursor(pdev, stroke.x0, stroke.y0);
        const POINTS end = {SHORT(stroke.x1), SHORT(stroke.y1)};
        Pxl_WriteAbsPolyline(pdev, &end, 1, PXL_OP_LINE_PATH);
        Pxl_WriteOperator(pdev, PXL_OP_PAINT_PATH);
    }
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_DEFAULT_CTM);
    Pxl_WriteAttrXY(pdev, 0, 0, PXL_ATTR_PAGE_ORIGIN, PXL_TYPE_SINT16_XY);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_ORIGIN);
    Pxl_WriteRealXYAttr(pdev, 1.0f, 1.0f, PXL_ATTR_PAGE_SCALE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_SCALE);
    Spool_Flush(pdev);
    return !OutputFailed(pdev);
}

namespace {

// Sends SetPageOrigin (x, y). An origin beyond the operator's 16 bits (the
// far tiles of a large poster at 1200 dpi lie more than 32767 dots back)
// goes as several steps that add up, each moving the origin on from the
// last, instead of wrapping round to the other side of the page.
bool SendOrigin(Replay& replay, long long x, long long y) {
    const long long largest = std::max(x < 0 ? -x : x, y < 0 ? -y : y);
    const long long steps = largest <= 32767 ? 1 : (largest + 32766) / 32767;
    long long sentX = 0, sentY = 0;
    for (long long step = 1; step <= steps; ++step) {
        const long long nextX = x * step / steps, nextY = y * step / steps;
        BYTE origin[kOriginBytes];
        WriteOrigin(origin, int(nextX - sentX), int(nextY - sentY));
        if (!replay.Send(origin, sizeof(origin))) return false;
        sentX = nextX;
        sentY = nextY;
    }
    return true;
}

}  // namespace

BOOL Spool_ReplayPoster(PDEV* pdev, HANDLE file, int entry, BOOL mergeForm) {
    if (!pdev || !file) return FALSE;
    const SpoolState& spool = Spool(pdev);
    if (!spool.PageTable || entry < 1 || entry >= spool.PageTableCount) return FALSE;
    Replay replay{pdev, file};
    PageMarks marks;
    if (!replay.FindMarks(entry, &marks)) return FALSE;
    (void)mergeForm;  // no job of this build records or merges an overlay form

    const RendDevmode& job = JobSettings(pdev);
    const SpoolPageEntry& stored = spool.PageTable[entry];
    const int size = Layout_PosterSize(job);
    const int n = Layout_PosterTiles(job);
    const int percent = size >= 0 && size <= 2 ? job.priv.ScalePercent : 100;
    const bool shrunk = job.priv.ScaleOn == 1 && percent < 100;
    const bool marksOn = job.priv.PosterCutMarks != 0;
    const int I = 96 * (Layout_ResFactor(job) + 1);
    const int W = INT16(stored.PageSize & 0xFFFF);
    const int H = INT16(UINT32(stored.PageSize) >> 16);
    const int X = INT16(stored.PrintableTopLeft & 0xFFFF);
    const int Y = INT16(UINT32(stored.PrintableTopLeft) >> 16);
    double sx = 1.0, sy = 1.0;
    Layout_PageScale(pdev, &sx, &sy);
    // Each tile shows one printable extent of the enlarged page.
    const int stepX = W - 2 * I, stepY = H - 2 * I;

    const DWORD start = replay.Start(entry);
    const DWORD behindOrigin = marks.transform + kOriginBytes;
    const DWORD bodyEnd = replay.End(entry) - (marksOn ? kPageEnd : 0);
    // A page whose transform turns it by 180 degrees lies with its far
    // corner at the stored origin: its tiles are counted from 1 and the
    // origins taken back from there by the tiles beyond, so that the first
    // tile still holds the page's top left corner. (One page a sheet is
    // turned by its BeginPage orientation instead, which turns the printer's
    // whole coordinate system: its tiles are cut as those of an upright page.)
    const bool turned = marks.angle == 180;
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column) {
            // A page shrunk below its sheet lies on one tile; the others are empty.
            const bool firstTile = turned ? row == n - 1 && column == n - 1 : row == 0 && column == 0;
            if (shrunk && !firstTile) {
                static const BYTE kGreySpace[5] = {PXL_TAG_UBYTE, 1, PXL_TAG_ATTR_UBYTE, PXL_ATTR_COLOR_SPACE,
                                                   PXL_OP_SET_COLOR_SPACE};
                if (!replay.Copy(start, marks.transform - start) || !replay.Send(kGreySpace, sizeof(kGreySpace)))
                    return FALSE;
                if (marksOn && !Spool_DrawPosterMarks(pdev, entry)) return FALSE;
                if (!replay.CopyPageEnd(entry)) return FALSE;
                continue;
            }
            int x, y;
            if (!turned) {
                x = layout::Trunc(I + (X - I) * sx - double(stepX) * column);
                y = layout::Trunc(I + (Y - I) * sy - double(stepY) * row);
            } else {
                x = marks.x - stepX * (n - 1 - column);
                y = marks.y - stepY * (n - 1 - row);
            }
            if (!replay.Copy(start, marks.transform - start) || !SendOrigin(replay, x, y) ||
                !replay.Copy(behindOrigin, bodyEnd - behindOrigin))
                return FALSE;
            if (marksOn && (!Spool_DrawPosterMarks(pdev, entry) || !replay.CopyPageEnd(entry))) return FALSE;
        }
    }
    return TRUE;
}

BOOL Spool_ReplayPages(PDEV* pdev, HANDLE file, int copies) {
    if (!pdev || !file) return FALSE;
    const SpoolState& spool = Spool(pdev);
    const int pages = spool.PageTableCount - 2;
    if (!spool.PageTable || pages < 1) return FALSE;
    const RendDevmode& job = JobSettings(pdev);
    int G = pages;
    switch (BookletGroupMode(job)) {
    case 1: G = 4 * BookletSheetsPerGroup(job); break;
    case 2: G = pages < 200 ? pages : 200; break;
    default: break;
    }
    const int groups = (pages + G - 1) / G;
    auto group = [&](int index) {
        const int base = index * G;
        return BookletGroup{base, pages - base < G ? pages - base : G};
    };
    Replay replay{pdev, file};
    if (job.priv.DuplexBinding < 3) {
        // Printer duplex: each sheet's front, then its back.
        for (int copy = 0; copy < copies; ++copy)
            for (int g = 0; g < groups; ++g) {
                const BookletGroup current = group(g);
                const Imposition imposition(current.pages);
                for (int k = 0; k < imposition.Sheets(); ++k) {
                    const BookletSheet sheet = imposition.Sheet(k);
                    if (!SendBookletSide(replay, current, sheet.front, TRUE) ||
                        !SendBookletSide(replay, current, sheet.back, FALSE))
                        return FALSE;
                }
            }
        return TRUE;
    }
    // Manual duplex: the backs from the last sheet to the first, then, with
    // the stack turned over, the fronts from the first to the last; each
    // pass once per copy.
    for (int copy = 0; copy < copies; ++copy)
        for (int g = groups - 1; g >= 0; --g) {
            const BookletGroup current = group(g);
            const Imposition imposition(current.pages);
            for (int k = imposition.Sheets() - 1; k >= 0; --k)
                if (!SendBookletSide(replay, current, imposition.Sheet(k).back, FALSE)) return FALSE;
        }
    for (int copy = 0; copy < copies; ++copy)
        for (int g = 0; g < groups; ++g) {
            const BookletGroup current = group(g);
            const Imposition imposition(current.pages);
            for (int k = 0; k < imposition.Sheets(); ++k)
                if (!SendBookletSide(replay, current, imposition.Sheet(k).front, TRUE)) return FALSE;
        }
    return TRUE;
}

namespace {

// Manual duplex: every back side, last sheet first, once per copy; then
// every front side, first sheet first, once per copy. A blank side is an
// empty page on the media of its sheet's front page.
bool SendManualDuplex(Replay& replay, const INT32* plan, int sheets, int copies, bool firstOnly) {
    auto side = [&](int page, int front) {
        if (page > 0) return replay.Page(page);
        return replay.BlankPage(front > 0 ? front : 1);
    };
    for (int copy = 0; copy < copies; ++copy)
        for (int k = sheets - 1; k >= 0; --k) {
            if (!side(plan[sheets + k], plan[k])) return false;
            if (firstOnly) break;
        }
    for (int copy = 0; copy < copies; ++copy)
        for (int k = 0; k < sheets; ++k) {
            if (!side(plan[k], plan[k])) return false;
            if (firstOnly) break;
        }
    return true;
}

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
    SpoolState& spool = Spool(pdev);
    const int count = spool.PageTableCount;
    const int pages = count - 2;
    const RendDevmode& job = JobSettings(pdev);
    const RendDevmode& current = pdev->Devmode;
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

    int copies = 1;
    if (current.pub.dmCopies >= 2 && current.pub.dmCollate == DMCOLLATE_TRUE && job.priv.OverlayMode != 2) {
        spool.OutputFlags |= OUTF_COLLATE_REPLAY;
        copies = job.pub.dmCopies > 1 ? job.pub.dmCopies : 1;
    }

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
        if (OutputFailed(pdev)) return;
    } else if (!replay.CopyEntry(0)) {
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
    SpoolState& spool = Spool(pdev);
    const bool stored = spool.PageTable && spool.PageTableCount >= 2 && spool.PageTable[1].Length > 0;
    if (stored) {
        // The job tail: end of session and PJL end of job.
        Spool_Flush(pdev);
        if (Spool_AddPageEntry(pdev) && HasFile(spool) && (spool.OutputFlags & OUTF_TO_SPOOL_FILE) &&
            !OutputFailed(pdev))
            ReplayStoredPages(pdev);
    }
    Spool_CloseFiles(pdev);
    if (spool.FailureReason != SPOOL_FAIL_NONE) {
        SetLastError(spool.FailureError);
        return FALSE;
    }
    return stored ? TRUE : FALSE;
}
