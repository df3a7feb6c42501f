// Documents and pages on a printer device: the driver's DrvStartDoc,
// DrvStartPage, DrvSendPage and DrvEndDoc in the order Windows calls them,
// the escapes, and collated copies.
//
// GDI (gdi32) keeps the spooler's side: it starts the spooler job on the
// device's printer handle (the handle the driver was given at DrvEnablePDEV
// and writes its output to) and hands the job id to StartDocument; it ends
// or aborts the job after EndDocument. The engine keeps the driver's side:
//
//   StartDocument   DrvStartDoc(pso, name, job id)
//   StartDocPage    DrvStartPage(pso)
//   SendDocPage     DrvSendPage(pso)
//   EndDocument     (the further copies, see below) DrvEndDoc(pso, 0), or
//                   DrvEndDoc(pso, ED_ABORTDOC) without any further copy
//
// A device reset (ResetPrinterDevice) between pages keeps the document: the
// driver moves it to the new PDEV in DrvResetPDEV and the later pages go to
// the new surface; DrvStartDoc is not called again.
//
// Callbacks a driver does not have are skipped as if they had succeeded, as
// the engine does on Windows (a driver that needs nothing at page start
// leaves out DrvStartPage). When a callback fails the call reports the last
// error the driver set, or ERROR_GEN_FAILURE when it set none.
//
// Collated copies. On Windows the spooler's print processor plays a job
// again for each further copy when the settings ask for collated copies: it
// starts the document on the driver again (DrvStartDoc on the same PDEV with
// the same job id) and plays every page once more, and the driver's
// "document started again" path decides what to do with it. The engine does
// the same for the raw jobs it prints: when the settings in force at
// StartDocument ask for collated copies, it records what the document sends
// to the driver and, at EndDocument, plays the record once for each further
// copy before the one DrvEndDoc. The settings ask for collated copies when
// the DEVMODE's dmFields has DM_COPIES and DM_COLLATE, dmCopies is above 1
// and dmCollate is DMCOLLATE_TRUE; dmCopies is the number of copies in all.
// No settings, a record too short to hold dmCollate, or any other value
// gives one copy and no record.
//
// The record holds, in order, each page start and page end, each escape the
// document sent (with its input; QUERYESCSUPPORT only asks and is left out)
// and each device reset with its settings. Escape inputs and settings lie
// in one byte store, so the record grows with the document and nothing is
// copied twice. A further copy plays:
//   DrvStartDoc(pso, name, job id), then, when the device's settings differ
//   from those the document started with, a device reset back to them (the
//   page's own settings, as the print processor resets the device for each
//   page), then the recorded calls in order. Replayed escapes get a
//   scratch output buffer of the recorded size; their answers are dropped.
// A failure while playing a copy stops the copies: the engine ends the
// driver's document with ED_ABORTDOC, and EndDocument says the document was
// aborted, so that GDI aborts the spooler job.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <vector>

#include "win32k/engine.h"

namespace w32 {

struct EngineDocument {
    enum class EventKind : BYTE { StartPage, SendPage, Escape, DrawEscape, Reset };
    // One recorded call. Escapes: `code` and `outputSize`, the input at
    // data[offset, offset + size); resets: the settings there.
    struct Event {
        EventKind kind;
        ULONG code = 0;
        ULONG outputSize = 0;
        size_t offset = 0;
        ULONG size = 0;
    };

    DWORD jobId = 0;
    bool named = false;             // the caller gave a name
    std::vector<WCHAR> name;        // with its terminator; the driver may keep the pointer while the document lives
    bool pageOpen = false;          // between a page start and its end
    unsigned copies = 1;            // collated copies in all; above 1: the document is recorded
    std::vector<BYTE> startSettings;  // the settings the document started with
    std::vector<Event> events;
    std::vector<BYTE> data;
    bool replaying = false;  // a further copy is being played: nothing is recorded
};

// DrvStartDoc with the spooler's job id; `name` may be null. Fails with
// ERROR_INVALID_HANDLE on a device without a surface (an information
// context, or a reset that lost its PDEV) and ERROR_INVALID_PRINTER_STATE
// when a document is open already.
bool StartDocument(PrinterDevice& device, LPCWSTR name, DWORD jobId);
// DrvStartPage; ERROR_SPL_NO_STARTDOC without a document,
// ERROR_INVALID_PRINTER_STATE with a page open.
bool StartDocPage(PrinterDevice& device);
// DrvSendPage; ERROR_SPL_NO_STARTDOC without a document,
// ERROR_INVALID_PRINTER_STATE without a page open. The page is ended
// whatever the driver answers.
bool SendDocPage(PrinterDevice& device);

enum class DocumentEnd {
    Ended,    // DrvEndDoc(0) took it
    Refused,  // DrvEndDoc(0) answered FALSE (last error set); the document is over all the same
    Aborted,  // aborted (ED_ABORTDOC asked, or a further copy failed, or no PDEV was left); last error set
              // when it was not asked for
    NoDocument,  // nothing was open: ERROR_SPL_NO_STARTDOC
};
// Ends the document: plays the further collated copies and calls
// DrvEndDoc(pso, 0); when `abort`, DrvEndDoc(pso, ED_ABORTDOC) only. An
// open page is dropped, not sent.
DocumentEnd EndDocument(PrinterDevice& device, bool abort);

// DrvEscape with copies of the caller's buffers, as the engine on Windows
// passes them: the driver gets its own copy of the input (what it writes
// there never comes back) and an output buffer that starts as a copy of the
// caller's and whose `outputSize` bytes are copied back. A size of 0 gives
// the driver a null buffer. An information context has no surface: the
// driver gets a SURFOBJ that only names its PDEV (dhpdev, hdev, the page
// size). Gives false (ERROR_INVALID_HANDLE) without a PDEV; `result` is the
// driver's answer, 0 when it has no DrvEscape.
bool DeviceEscape(PrinterDevice& device, ULONG code, ULONG inputSize, const void* input, ULONG outputSize,
                  void* output, ULONG& result);
// DrvDrawEscape with a copy of the input. The engine keeps no clip regions
// yet, so a DC is unclipped: the driver gets no clip object (null, which in
// the DDI means no clipping) and the whole surface as the bounds.
bool DeviceDrawEscape(PrinterDevice& device, ULONG code, ULONG inputSize, const void* input, ULONG& result);

// Called by ResetPrinterDevice after a reset: a document being recorded
// notes the new settings, so that its further copies reset the device at
// the same place.
void NoteDeviceReset(PrinterDevice& device);

}  // namespace w32
