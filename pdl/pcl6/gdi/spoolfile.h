// The temporary spool file: a job whose pages must be reordered, paired or
// repeated is written to a file with an index of page entries and replayed
// at its end.
#pragma once
#include <windows.h>

// OutputFlags: where the job's bytes go and how stored pages are replayed.
#define OUTF_FORM_RECORD 0x00000001      // an overlay form is being recorded
#define OUTF_FORM_MERGE 0x00000002       // an overlay form is merged into the pages
#define OUTF_COLLATE_REPLAY 0x00000004   // collated copies made by replaying the pages
#define OUTF_REVERSE 0x00000008          // pages replayed in reverse order
#define OUTF_TO_PRINTER 0x00000020       // bytes go to WritePrinter
#define OUTF_TO_SPOOL_FILE 0x00000100    // bytes go to the temporary spool file
#define OUTF_POSTER 0x00000400           // poster tiles replayed from the file
#define OUTF_FORM_NO_SPOOL 0x00001000    // recording a form without a spool file
#define OUTF_TO_FORM_FILE 0x00002000     // bytes go to the form file being recorded
#define OUTF_MANUAL_DUPLEX 0x00004000    // sides replayed for manual duplex
#define OUTF_BOOKLET 0x00008000          // sheets imposed as a booklet

// One stored range of the spool file (36 bytes, little-endian).
#pragma pack(push, 1)
struct SpoolPageEntry {
    INT32 Offset;          // file offset of the range's first byte
    INT32 Length;          // bytes
    INT32 BeginPageLength; // bytes of the range's BeginPage sequence
    INT32 PartOffset;      // output offset of the user interface's page part
    INT32 PartLength;
    INT32 PageSize;        // width (low 16 bits) and height (high), device units
    INT32 PrintableTopLeft;      // left (low) and top (high)
    INT32 PrintableBottomRight;  // right (low) and bottom (high)
    UINT8 Orientation;     // 1 portrait, 2 landscape
    UINT8 reserved33;
    INT16 PaperSize;       // the job's paper code, or the page's override
};
#pragma pack(pop)
static_assert(sizeof(SpoolPageEntry) == 36);
static_assert(offsetof(SpoolPageEntry, Orientation) == 32);
static_assert(offsetof(SpoolPageEntry, PaperSize) == 34);

// The PDEV's spool-file state (part of the job state). The file handle and
// the page table belong to the job.
struct SpoolState {
    UINT32 OutputFlags;               // OUTF_*
    INT32 CopiesToReplay;
    WCHAR SpoolFileName[MAX_PATH];
    HANDLE SpoolFileHandle;           // null when no file is open
    SpoolPageEntry* PageTable;        // entry 0 the job header, the last one the job tail
    INT32 PageTableCount;
    INT32 PageTableCapacity;
    // Recorded for the page entry being written: the length of its
    // BeginPage sequence and the user interface's page part.
    INT32 HeaderLength;
    INT32 PartOffset;
    INT32 PartLength;
    INT32 FormSheetCount;             // sheets counted for the form recorder
    INT32* SheetPlan;                 // manual duplex: fronts, then backs (page numbers, -1 blank)
    DWORD FailureReason;              // SpoolFailure: why the job failed; 0 while it runs
    DWORD FailureError;               // the Win32 error of that failure
    // Manual duplex was asked for but the file could not be made: the job
    // prints its pages as drawn, one-sided (Job_TakeSettings).
    BOOL ManualDuplexDropped;
    // Entry 0 stands for a job header that went straight to the printer
    // before the job switched to collation by replay (Spool_SwitchToReplay):
    // the file holds none of it and the replay sends none of it.
    BOOL HeaderSent;
};

#include "pcl6/gdi/spool.h"
