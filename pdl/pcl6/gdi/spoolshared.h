// What the sources of the temporary spool file share (private to them):
// the page marks a replay cuts at, the routing bits that need the file, and
// the replay's reader and writer of stored pages.
//
//   spoolfile.cpp     the file and its page table, job start and end of a sheet
//   spoolreplay.cpp   the replay: job header, pages in order and copies, tail
//   spoolduplex.cpp   manual duplex: the sheet plan and its two passes
//   spoolbooklet.cpp  booklet imposition and its sides
//   spoolposter.cpp   poster tiles and cut marks
//
// The replay never holds a page in memory: stored ranges are copied from
// the file in 4096-byte fragments through the output buffer, the page marks
// are found by a streaming search, and only the 14 bytes of a page's
// origin and rotation are read on their own.
#pragma once
#include <windows.h>

#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/spoolfile.h"

namespace spool {

// The page marks (spool.h).
inline constexpr BYTE kOriginMark[3] = {0xF8, 0x2A, 0x75};
inline constexpr BYTE kRotationMark[3] = {0xF8, 0x29, 0x76};
// PageCopies (uint16) and EndPage: the last bytes of every stored page.
inline constexpr DWORD kPageEnd = 6;
// From the origin's sint16_xy tag to the origin mark.
inline constexpr DWORD kOriginLead = 5;
// Origin and rotation: D3 x x y y F8 2A 75 C3 a a F8 29 76.
inline constexpr DWORD kTransformBytes = 14;
// The origin alone: D3 x x y y F8 2A 75.
inline constexpr DWORD kOriginBytes = 8;

// The routing bits that mean "the job's bytes go to a file" for the
// length of a page entry.
inline constexpr UINT32 kFileRouting = OUTF_TO_SPOOL_FILE | OUTF_FORM_MERGE | OUTF_COLLATE_REPLAY;
// The bits whose replay needs the spool file.
inline constexpr UINT32 kNeedsFile =
    OUTF_FORM_MERGE | OUTF_COLLATE_REPLAY | OUTF_REVERSE | OUTF_POSTER | OUTF_MANUAL_DUPLEX | OUTF_BOOKLET;
// With none of these the job goes straight to the printer.
inline constexpr UINT32 kKeepsPages = OUTF_FORM_RECORD | kNeedsFile;

inline SpoolState& State(PDEV* pdev) { return pdev->Job.State.Spool; }
inline bool HasFile(const SpoolState& spool) {
    return spool.SpoolFileHandle && spool.SpoolFileHandle != INVALID_HANDLE_VALUE;
}

// Where a stored page's origin and rotation lie, and what they hold.
struct PageMarks {
    DWORD transform = 0;  // file position of the origin's D3
    INT16 x = 0;
    INT16 y = 0;
    INT16 angle = 0;
};

// The replay writes its own bytes and the stored ranges straight to the
// printer. Each step answers false once the job cannot go on: the printer
// refused a write (the job's output error) or the job failed here.
struct Replay {
    PDEV* pdev;
    HANDLE file;

    bool Fail(SpoolFailure reason, DWORD error);
    // Prepared bytes; whatever the buffer holds goes first.
    bool Send(const void* bytes, DWORD length);
    // A range of the file.
    bool Copy(DWORD offset, DWORD length);

    const SpoolPageEntry& Entry(int index) const { return pdev->Job.State.Spool.PageTable[index]; }
    DWORD Start(int index) const { return DWORD(Entry(index).Offset); }
    DWORD End(int index) const { return DWORD(Entry(index).Offset) + DWORD(Entry(index).Length); }

    bool CopyEntry(int index) { return Copy(Start(index), DWORD(Entry(index).Length)); }
    // The page's last 6 bytes: PageCopies and EndPage.
    bool CopyPageEnd(int index);
    // Finds and checks the origin and rotation of stored page `index`: the
    // first origin mark inside the page, with its sint16_xy in front and the
    // rotation right behind it, all before the page's last 6 bytes.
    bool FindMarks(int index, PageMarks* marks);
    // The length of a stored page's BeginPage sequence: as recorded, or up
    // to the SetPageDefaultCTM in front of its origin.
    bool HeaderLength(int index, DWORD* length);
    // An empty page on the media of stored page `index`: its BeginPage
    // sequence and its last 6 bytes.
    bool BlankPage(int index);
    // A stored page as it was; a form being merged comes with the overlay
    // forms, which no job of this build records or merges.
    bool Page(int index) { return CopyEntry(index); }
};

// The 8 bytes of SetPageOrigin's attribute and mark; the 14 of the origin
// and rotation.
void WriteOrigin(BYTE* out, int x, int y);
void WriteTransform(BYTE* out, int x, int y, int angle);

// ---- Manual duplex (spoolduplex.cpp) ----

// The sheet plan of a manual-duplex job of `pages` stored pages: the pages
// in order, counted per run of one paper code; when the paper changes after
// an odd count the back of the run's last sheet stays blank. Even positions
// are fronts, odd ones backs. Gives the number of sheets; with `plan`, fills
// plan[0 .. sheets) with the fronts and plan[sheets .. 2 sheets) with the
// backs (-1 for a blank side).
int PlanSheets(const SpoolPageEntry* table, int pages, INT32* plan);
// Every back side, last sheet first, once per copy; then every front side,
// first sheet first, once per copy. A blank side is an empty page on the
// media of its sheet's front page. `firstOnly`: one side per pass (a form
// is being recorded).
bool SendManualDuplex(Replay& replay, const INT32* plan, int sheets, int copies, bool firstOnly);

}  // namespace spool
