// Documents and pages on printer DCs: StartDocW, StartPage, EndPage, EndDoc
// and AbortDoc.
//
// GDI keeps the spooler's side of a document, on the DC's printer handle
// (the handle the driver was given at DrvEnablePDEV and writes its output
// to with WritePrinter); the engine keeps the driver's side
// (win32k/document.h):
//
//   StartDocW  StartDocPrinterW (the document name, lpszOutput as the file
//              to print to), then DrvStartDoc with the job's id; the job is
//              aborted again when the driver refuses. Answers the job id.
//   StartPage  StartPagePrinter (the job counts the page), then DrvStartPage
//   EndPage    DrvSendPage, then EndPagePrinter
//   EndDoc     EndPage for a page still open, then the engine's end of the
//              document (the further collated copies, DrvEndDoc(pso, 0)),
//              then EndDocPrinter; AbortPrinter instead when the engine had
//              to abort the document (a copy failed, the DC lost its PDEV)
//   AbortDoc   DrvEndDoc(pso, ED_ABORTDOC), then AbortPrinter
// DeleteDC aborts a document still open, and ResetDCW between pages keeps
// it going on the new PDEV (dc.cpp).
//
// The job's page count is the document's pages as the program printed
// them; collated copies the engine plays again are not counted again.
//
// The data type a program asks for (lpszDatatype) is a wish that GDI may
// ignore: the driver renders in the program's process and its output is
// raw, so the job is always "RAW". fwType (banding hints) is ignored too.
//
// Failures answer SP_ERROR with the last error: ERROR_INVALID_HANDLE for a
// handle that is no printer DC, an information context, or a DC that lost
// its PDEV in a failed reset; ERROR_INVALID_PARAMETER for a missing
// DOCINFOW or one shorter than its older form (cbSize, lpszDocName,
// lpszOutput); ERROR_SPL_NO_STARTDOC when no document is open;
// ERROR_INVALID_PRINTER_STATE for a call out of order (StartDocW with a
// document open, StartPage with a page open, EndPage without one);
// otherwise the spooler's error or the driver's.
//
// The driver's user interface hears of documents and pages through its
// DrvDocumentEvent at the places marked DOCUMENT EVENT HOOK.
#include <windows.h>
#include <winspool.h>

#include "gdi32/dc.h"
#include "win32k/document.h"

using w32::gdi::DeviceContext;
using w32::gdi::DocumentState;

namespace {

constexpr char16_t kRawDatatype[] = u"RAW";

int Failed(DWORD error) {
    SetLastError(error);
    return SP_ERROR;
}

// The printer DC of `hdc`; null for a handle that is no DC, a memory DC or
// an information context.
std::shared_ptr<DeviceContext> DocumentDC(HDC hdc) {
    auto dc = w32::gdi::LookupDC(hdc);
    return dc && dc->device && !dc->informationContext ? dc : nullptr;
}

// The page's end on a DC with a page open; SP_ERROR when the driver or the
// spooler failed, the page is over all the same.
int SendPage(DeviceContext& dc) {
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_ENDPAGE goes to the driver's UI here,
    // before the page is sent, so that what it draws lands on the page.
    dc.document = DocumentState::Open;
    const bool sent = w32::SendDocPage(*dc.device);
    const DWORD error = GetLastError();
    const bool counted = EndPagePrinter(dc.device->printer);
    if (!sent) return Failed(error);
    return counted ? 1 : SP_ERROR;
}

}  // namespace

namespace w32::gdi {

bool AbortOpenDocument(DeviceContext& dc) {
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_ABORTDOC goes to the driver's UI here.
    EndDocument(*dc.device, true);
    dc.document = DocumentState::None;
    dc.jobId = 0;
    return AbortPrinter(dc.device->printer);
}

}  // namespace w32::gdi

int WINAPI StartDocW(HDC hdc, const DOCINFOW* lpdi) {
    auto dc = DocumentDC(hdc);
    if (!dc) return Failed(ERROR_INVALID_HANDLE);
    if (!lpdi || lpdi->cbSize < int(offsetof(DOCINFOW, lpszDatatype))) return Failed(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(w32::EngineLock());
    if (dc->document != DocumentState::None) return Failed(ERROR_INVALID_PRINTER_STATE);
    if (!dc->device->SurfaceObject()) return Failed(ERROR_INVALID_HANDLE);

    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_STARTDOCPRE goes to the driver's UI here.
    DOC_INFO_1W info{const_cast<LPWSTR>(lpdi->lpszDocName), const_cast<LPWSTR>(lpdi->lpszOutput),
                     const_cast<LPWSTR>(kRawDatatype)};
    const HANDLE printer = dc->device->printer;
    const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    if (!job) return SP_ERROR;
    if (!w32::StartDocument(*dc->device, lpdi->lpszDocName, job)) {
        const DWORD error = GetLastError();
        AbortPrinter(printer);
        return Failed(error);
    }
    dc->document = DocumentState::Open;
    dc->jobId = job;
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_STARTDOCPOST.
    return int(job);
}

int WINAPI StartPage(HDC hdc) {
    auto dc = DocumentDC(hdc);
    if (!dc) return Failed(ERROR_INVALID_HANDLE);
    std::lock_guard lock(w32::EngineLock());
    if (dc->document == DocumentState::None) return Failed(ERROR_SPL_NO_STARTDOC);
    if (dc->document == DocumentState::PageOpen) return Failed(ERROR_INVALID_PRINTER_STATE);
    if (!dc->device->SurfaceObject()) return Failed(ERROR_INVALID_HANDLE);
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_STARTPAGE goes to the driver's UI here.
    if (!StartPagePrinter(dc->device->printer)) return SP_ERROR;
    if (!w32::StartDocPage(*dc->device)) return SP_ERROR;
    dc->document = DocumentState::PageOpen;
    return 1;
}

int WINAPI EndPage(HDC hdc) {
    auto dc = DocumentDC(hdc);
    if (!dc) return Failed(ERROR_INVALID_HANDLE);
    std::lock_guard lock(w32::EngineLock());
    if (dc->document == DocumentState::None) return Failed(ERROR_SPL_NO_STARTDOC);
    if (dc->document != DocumentState::PageOpen) return Failed(ERROR_INVALID_PRINTER_STATE);
    return SendPage(*dc);
}

int WINAPI EndDoc(HDC hdc) {
    auto dc = DocumentDC(hdc);
    if (!dc) return Failed(ERROR_INVALID_HANDLE);
    std::lock_guard lock(w32::EngineLock());
    if (dc->document == DocumentState::None) return Failed(ERROR_SPL_NO_STARTDOC);
    DWORD error = ERROR_SUCCESS;
    // A page still open is ended as EndPage would, so that it prints.
    if (dc->document == DocumentState::PageOpen && SendPage(*dc) == SP_ERROR) error = GetLastError();

    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_ENDDOCPRE goes to the driver's UI here.
    const HANDLE printer = dc->device->printer;
    const w32::DocumentEnd end = w32::EndDocument(*dc->device, false);
    dc->document = DocumentState::None;
    dc->jobId = 0;
    if (end != w32::DocumentEnd::Ended && end != w32::DocumentEnd::Refused) {
        error = GetLastError();
        AbortPrinter(printer);
        return Failed(error);
    }
    if (end == w32::DocumentEnd::Refused) error = GetLastError();
    if (!EndDocPrinter(printer)) return SP_ERROR;
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_ENDDOCPOST.
    return error ? Failed(error) : 1;
}

int WINAPI AbortDoc(HDC hdc) {
    auto dc = DocumentDC(hdc);
    if (!dc) return Failed(ERROR_INVALID_HANDLE);
    std::lock_guard lock(w32::EngineLock());
    if (dc->document == DocumentState::None) return Failed(ERROR_SPL_NO_STARTDOC);
    return w32::gdi::AbortOpenDocument(*dc) ? 1 : SP_ERROR;
}
