// Escapes on printer DCs.
//
// ExtEscape and DrawEscape hand the escape to the driver (DrvEscape,
// DrvDrawEscape) through the engine, which copies the buffers as Windows
// does (win32k/document.h): the driver works on its own copy of the input,
// and the output comes back into the caller's buffer. They work on
// information contexts too.
//
// Escape is the older form. GDI carries out the escapes that have become
// functions and hands the rest to the driver:
//   NEWFRAME           EndPage; with no page open StartPage first, so that
//                      each NEWFRAME gives a page
//   STARTDOC           StartDocW, named by the input: ANSI text of cjIn
//                      bytes, up to a NUL
//   ENDDOC, ABORTDOC   EndDoc, AbortDoc
//   GETPHYSPAGESIZE    a POINT: PHYSICALWIDTH, PHYSICALHEIGHT
//   GETPRINTINGOFFSET  a POINT: PHYSICALOFFSETX, PHYSICALOFFSETY
//   GETSCALINGFACTOR   a POINT: SCALINGFACTORX, SCALINGFACTORY
//   SETABORTPROC       abort procedures are not kept: ERROR_CALL_NOT_IMPLEMENTED
//   QUERYESCSUPPORT    1 for QUERYESCSUPPORT and each code above that GDI
//                      carries out, 0 for SETABORTPROC; the driver answers
//                      for every other code
//   anything else      DrvEscape with the input and no output buffer:
//                      Escape does not know the size of the caller's
//                      output, so escapes that answer in an output buffer
//                      need ExtEscape
//
// Results: above 0 done; 0 the escape is not implemented (the driver says
// so, or has no escape callback); below 0 an error with the last error:
// ERROR_INVALID_HANDLE for a handle that is no printer DC,
// ERROR_INVALID_PARAMETER for a negative size, a size without its buffer,
// or QUERYESCSUPPORT without the 16-bit code it asks about. What the
// document functions answer comes back as they answer it.
#include <windows.h>

#include <cstring>
#include <vector>

#include "gdi32/dc.h"
#include "win32k/document.h"

namespace {

int Failed(DWORD error) {
    SetLastError(error);
    return SP_ERROR;
}

bool BuffersValid(int code, int inputSize, const void* input, int outputSize, const void* output) {
    if (inputSize < 0 || outputSize < 0) return false;
    if ((inputSize && !input) || (outputSize && !output)) return false;
    return code != QUERYESCSUPPORT || inputSize >= int(sizeof(USHORT));
}

// The escapes Escape carries out itself, and what QUERYESCSUPPORT answers for them.
bool CarriedOutByGdi(int code, int& support) {
    switch (code) {
        case NEWFRAME:
        case ABORTDOC:
        case QUERYESCSUPPORT:
        case STARTDOC:
        case ENDDOC:
        case GETPHYSPAGESIZE:
        case GETPRINTINGOFFSET:
        case GETSCALINGFACTOR: support = 1; return true;
        case SETABORTPROC: support = 0; return true;
        default: return false;
    }
}

int PointOfCaps(HDC hdc, int xIndex, int yIndex, LPVOID output) {
    if (!output) return Failed(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(w32::EngineLock());
    const w32::PrinterDevice* device = w32::EngineDeviceOfDC(hdc);
    if (!device || !device->pdev) return Failed(ERROR_INVALID_HANDLE);
    const POINT point{GetDeviceCaps(hdc, xIndex), GetDeviceCaps(hdc, yIndex)};
    std::memcpy(output, &point, sizeof(point));
    return 1;
}

int LegacyStartDoc(HDC hdc, int inputSize, LPCSTR input) {
    const int length = input ? int(strnlen(input, size_t(inputSize))) : 0;
    std::vector<WCHAR> name(size_t(length) + 1, 0);
    if (length && !MultiByteToWideChar(CP_ACP, 0, input, length, name.data(), length)) return SP_ERROR;
    DOCINFOW info{int(sizeof(DOCINFOW)), input ? name.data() : nullptr, nullptr, nullptr, 0};
    return StartDocW(hdc, &info);
}

int NewFrame(HDC hdc) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (dc && dc->document == w32::gdi::DocumentState::Open && StartPage(hdc) == SP_ERROR) return SP_ERROR;
    return EndPage(hdc);
}

}  // namespace

int WINAPI ExtEscape(HDC hdc, int iEscape, int cjInput, LPCSTR lpInData, int cjOutput, LPSTR lpOutData) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc) return Failed(ERROR_INVALID_HANDLE);
    if (!BuffersValid(iEscape, cjInput, lpInData, cjOutput, lpOutData)) return Failed(ERROR_INVALID_PARAMETER);
    // A memory DC has no driver to take escapes: none is implemented there.
    if (!dc->device) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    ULONG result = 0;
    if (!w32::DeviceEscape(*dc->device, ULONG(iEscape), ULONG(cjInput), lpInData, ULONG(cjOutput), lpOutData, result))
        return SP_ERROR;
    return int(result);
}

int WINAPI DrawEscape(HDC hdc, int iEscape, int cjIn, LPCSTR lpIn) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc) return Failed(ERROR_INVALID_HANDLE);
    if (!BuffersValid(iEscape, cjIn, lpIn, 0, nullptr)) return Failed(ERROR_INVALID_PARAMETER);
    if (!dc->device) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    ULONG result = 0;
    if (!w32::DeviceDrawEscape(*dc->device, ULONG(iEscape), ULONG(cjIn), lpIn, result)) return SP_ERROR;
    return int(result);
}

int WINAPI Escape(HDC hdc, int iEscape, int cjIn, LPCSTR pvIn, LPVOID pvOut) {
    if (!w32::gdi::LookupDC(hdc)) return Failed(ERROR_INVALID_HANDLE);
    if (!BuffersValid(iEscape, cjIn, pvIn, 0, nullptr)) return Failed(ERROR_INVALID_PARAMETER);
    switch (iEscape) {
        case NEWFRAME: return NewFrame(hdc);
        case STARTDOC: return LegacyStartDoc(hdc, cjIn, pvIn);
        case ENDDOC: return EndDoc(hdc);
        case ABORTDOC: return AbortDoc(hdc);
        case GETPHYSPAGESIZE: return PointOfCaps(hdc, PHYSICALWIDTH, PHYSICALHEIGHT, pvOut);
        case GETPRINTINGOFFSET: return PointOfCaps(hdc, PHYSICALOFFSETX, PHYSICALOFFSETY, pvOut);
        case GETSCALINGFACTOR: return PointOfCaps(hdc, SCALINGFACTORX, SCALINGFACTORY, pvOut);
        case SETABORTPROC: return Failed(ERROR_CALL_NOT_IMPLEMENTED);
        case QUERYESCSUPPORT: {
            USHORT asked;
            std::memcpy(&asked, pvIn, sizeof(asked));
            if (int support; CarriedOutByGdi(asked, support)) return support;
            break;
        }
        default: break;
    }
    return ExtEscape(hdc, iEscape, cjIn, pvIn, 0, nullptr);
}
