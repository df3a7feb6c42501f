// The temporary spool file and the replay of stored pages.
//
// A job whose pages cannot go to the printer in the order and number the
// application draws them (collated copies made by the driver, reverse
// order, poster tiles, booklet imposition, manual duplex, an overlay form
// to merge) writes its byte stream to a temporary file, with an index of
// page entries (the page table, spoolfile.h). At the end of the job the
// stored pages are read back and sent in the order the job needs; a page
// whose placement changes is cut at its page marks:
//   origin   D3 x x y y F8 2A 75   (SetPageOrigin)
//   rotation C3 a a F8 29 76       (SetPageRotation), right behind it
//   end      C1 n n F8 31 44       (PageCopies and EndPage), the page's last 6 bytes
// The 14 bytes from the origin's D3 to the rotation mark are what a
// replay replaces.
//
// Failures never leave a job with pages silently missing, nor a form
// recorded broken: a spool-file or form-file write that fails, a short read
// or a missing page mark during the replay and a page table or sheet plan
// that cannot be allocated end the job
// (Spool_FailJob): its output error is set, so nothing more is written,
// the failure goes to the debugger output, and Spool_ReplayJob answers
// FALSE with the last error saying why.
#pragma once
#include <windows.h>

struct PDEV;

// Why a job failed (SpoolState::FailureReason).
enum SpoolFailure : DWORD {
    SPOOL_FAIL_NONE = 0,
    SPOOL_FAIL_FILE_WRITE = 1,   // a block did not reach the spool file
    SPOOL_FAIL_FILE_READ = 2,    // a stored range could not be read back whole
    SPOOL_FAIL_PAGE_MARK = 3,    // a stored page lacks its origin or rotation mark
    SPOOL_FAIL_PAGE_TABLE = 4,   // the page table could not grow
    SPOOL_FAIL_SHEET_PLAN = 5,   // the sheet plan of a replay could not be allocated
    SPOOL_FAIL_FILE_SIZE = 6,    // the spool file would pass the 4 GiB its page table can address
    SPOOL_FAIL_FORM_WRITE = 7,   // a block did not reach the overlay form file being recorded
};

// Job start: zeroes the sink and the spool-file state (releasing a file or
// page table still held), sets the buffer's capacity, decides the routing
// word from the job's settings (collate by replay, reverse order, poster,
// manual duplex, booklet; the printer only when none of them applies) and
// creates the spool file when a replay needs one. A file that cannot be
// created drops the reordering (the pages then print as drawn, once). FALSE
// only without a PDEV.
BOOL Job_OpenFiles(PDEV* pdev);

// Creates the temporary spool file ("vardo" in the temporary folder) when
// none is open and routes the job's bytes into it (OUTF_TO_SPOOL_FILE); the
// caller clears OUTF_TO_PRINTER. When it cannot be created, "Could not
// create temp file" goes to the debug print and the replay bits (collate,
// reverse, poster, manual duplex, booklet, form merge) are cleared: FALSE.
// A repeated DrvStartDoc that switches to collation by replay calls it.
BOOL Spool_CreateFile(PDEV* pdev);

// A job that went straight to the printer switches to collation by replay
// in mid-job (a repeated DrvStartDoc): from now on its bytes go
// to the spool file, which is created, and the page table starts again, so
// that only what follows is replayed as collated copies. The entries so far
// counted bytes that the printer has already taken, and a replay from them
// would copy the wrong ranges of the file; they are dropped. Entry 0 stays
// the job header (its length as it was, so that the job still counts as
// one with pages and ends its session) but is marked sent (HeaderSent): the
// file holds none of it and the replay skips it. The buffer must be empty
// and no page open. FALSE, with the job going on to the printer as before,
// when the file cannot be created (the replay bits are then cleared).
BOOL Spool_SwitchToReplay(PDEV* pdev, int copies);

// Closes the current range of the stream as a page entry: its length (the
// bytes written since the last entry, plus the pending ones when the job
// goes to the printer only), the header length and user-interface part
// recorded for it, the page's size and printable margins, orientation and
// paper code. The next entry starts right behind it. FALSE when the table
// cannot grow (the job fails).
BOOL Spool_AddPageEntry(PDEV* pdev);
// Closes the job header's range (PJL header and session start) as entry 0:
// the buffer is flushed first when the job goes to a file.
BOOL Spool_AddHeaderEntry(PDEV* pdev);
// The end of a sheet: flushes the buffer and, with `addEntry`, records the
// sheet as a page entry; a form recorded without a spool file is written
// to again (OUTF_TO_FORM_FILE).
BOOL Spool_EndSheet(PDEV* pdev, BOOL addEntry);
// Counts a sheet for the form recorder: from the second sheet on a form
// recorded without a spool file stops taking the job's bytes.
void Spool_CountSheet(PDEV* pdev);

// The end of the job: closes the job tail (end of session and PJL end of
// job) as the last entry, sends the stored pages in the order the job
// needs, then closes and deletes the spool file and frees the page table.
// TRUE when pages were stored and sent. FALSE when no page was stored (the
// files are closed all the same) or when the job failed (Spool_FailJob):
// then the job's output error is set and the last error is the failure's.
BOOL Spool_ReplayJob(PDEV* pdev);

// Manual duplex with one page a sheet: whether a page of paper `paper`
// that follows stored entries 1 to `stored` of `table` falls on the front
// of its sheet. The pages are walked by paper: a sheet holds two pages of
// one paper, and a paper change after an odd count leaves the last sheet's
// back blank, so the new paper starts on a front.
BOOL Spool_IsFrontSide(const SpoolPageEntry* table, int stored, int paper);
// The poster tiles of page-table entry `entry`, row by row: each tile is
// the page with its origin moved so that the tile's part of the enlarged
// page falls on the sheet. FALSE when a page mark is missing or writing
// failed.
BOOL Spool_ReplayPoster(PDEV* pdev, HANDLE file, int entry, BOOL mergeForm);
// The stored pages imposed as a booklet, `copies` times. FALSE when
// writing or reading failed or a page mark is missing.
BOOL Spool_ReplayPages(PDEV* pdev, HANDLE file, int copies);
// Writes the poster cut marks straight to the printer: dashed lines in the
// middle third of each side of the printable area.
BOOL Spool_DrawPosterMarks(PDEV* pdev, int entry);

// Closes and deletes the spool file and frees the page table and the sheet
// plan, whatever state the job is in (an aborted job, a PDEV disabled with
// a job open).
void Spool_CloseFiles(PDEV* pdev);

// Ends the job because of `reason`: the job's output error is set, so that
// nothing more is written; the first failure is kept in the spool state
// (with the Win32 error `error`) and written to the debugger output.
void Spool_FailJob(PDEV* pdev, SpoolFailure reason, DWORD error);
