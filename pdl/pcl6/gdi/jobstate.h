// The state of the job running on a PDEV: the spooler handles, the document,
// the output sink, the spool file, the layout and the page counters.
#pragma once
#include <windows.h>

#include "pcl6/gdi/forms.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/spoolfile.h"

// JobFlags: the PDEV's job state word.
#define JOBF_PAGE_STARTED 0x00000001      // Job_StartPage ran for the current page
#define JOBF_PROLOGUE_WRITTEN 0x00000002  // the page prologue is written
#define JOBF_JOB_OPEN 0x00000040          // between job start and job end
#define JOBF_OUTPUT_ERROR 0x00000080      // drop all further output of the job
#define JOBF_PAGE_OPEN 0x00001000         // between DrvStartPage and DrvSendPage
#define JOBF_UI_DRAWING 0x00002000        // the user interface DLL draws (its watermark)
#define JOBF_CHECK_REPORTED 0x00004000    // an internal check was reported on this sheet
#define JOBF_SESSION_BEGUN 0x00008000     // the PCL XL session is begun
#define JOBF_ENGINE_COPY 0x00010000       // the engine plays the document again for a collated copy that
                                          // the job makes itself: its pages and escapes write nothing
#define JOBF_PDF_DOCUMENT 0x00400000      // the document name ends in ".PDF"
#define JOBF_SETTINGS_CHANGED 0x00800000  // a reset changed settings that matter to the job
#define JOBF_RECORDING_PART 0x08000000    // a page part is being recorded

// PdevCheckFlags.
#define PDEVCHECK_JOB_NOT_OPEN_REPORTED 0x2

#define JOB_DOCUMENT_NAME_CHARS 1024

// What DrvStartDoc notes before the job state is cleared for a new job, and
// the times of the debug timing lines; job start keeps it.
struct JobStartRecord {
    DWORD StartTime;            // tick count at DrvStartDoc
    DWORD RenderTime;           // milliseconds the drawing code spent, added up by it
    DWORD SheetStartTime;       // tick count at the start of the current sheet
    BOOL PrintToFile;           // the printer's port is "FILE:"
    BOOL Bidirectional;         // the printer has PRINTER_ATTRIBUTE_ENABLE_BIDI
    BYTE DuplexMode;            // the settings' duplex mode at DrvStartDoc
    BYTE DuplexCleared;         // recording a form turned duplex off for the job; DrvEndDoc restores it
    SHORT Collate;              // the settings' dmCollate at DrvStartDoc
};

struct JobState {
    JobStartRecord Start;        // kept when job start clears the rest
    HANDLE PrinterHandle;        // the WritePrinter handle; set only while a job is open
    HANDLE PrinterHandleCopy;
    HANDLE EscapePrinterHandle;  // the slot escapes 6001 and 6002 read and write
    DWORD JobId;
    DWORD JobIdCopy;
    UINT32 PdevCheckFlags;       // PDEVCHECK_*
    WCHAR DocumentName[JOB_DOCUMENT_NAME_CHARS];
    OutputBufferState Output;
    SpoolState Spool;
    OverlayFormState Forms;
    LayoutState Layout;
    UINT16 PageCounter;          // pages started in the job
    UINT16 SheetPageCount;       // pages placed on the current sheet
    UINT16 SheetCounter;         // sheets started
    INT32 PageSizeChanged;       // a page's size differs from the first page's
    // The 180-degree decision of the current page.
    INT32 PageTurn;
    INT32 PageTurnSaved;
    INT32 PageTurnBase;
    INT32 BackSideFlip;
    // The page media of the sheet (BeginPage).
    UINT16 DuplexAttributes;     // 1: this sheet's BeginPage names the duplex binding (front sides)
    INT16 FirstPaper;            // the paper code of the job's first page
    BOOL FailureReported;        // the job's output failure went to the debugger output
};
