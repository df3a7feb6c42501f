// A printer graphics driver for the engine's and GDI's tests. Each entry
// point and callback writes a line "testrend <function> <what it was given>"
// to the debug log, which outlives the module, so that a test sees the calls
// even after the engine unloaded the driver.
//
// The machine's environment variable TAM_FAKEREND, read at every call,
// holds the test's wishes, words separated by spaces:
//   enabledriver-fails         DrvEnableDriver fails (error 119)
//   driverversion=N            the interface version DrvEnableDriver answers
//   kernelmode                 DrvQueryDriverInfo says the driver runs in the kernel
//   no-resetpdev               the callback table has no DrvResetPDEV
//   enablepdev-fails           DrvEnablePDEV fails (error ERROR_NOT_ENOUGH_MEMORY)
//   enablepdev-fails-silently  DrvEnablePDEV fails without setting an error
//   enablesurface-fails        DrvEnableSurface fails
//   bogus-surface              DrvEnableSurface answers a handle the engine never made
//   resetpdev-fails            DrvResetPDEV refuses (error ERROR_INVALID_DATA)
//   leak                       DrvDisableSurface and DrvDisablePDEV leave the surface and palette
//   bpp=N                      a device of N bits per pixel; 8 or fewer: with a palette
//   startdoc-fails             DrvStartDoc refuses (error ERROR_INVALID_DATA)
//   startdoc-again-fails       DrvStartDoc refuses a document already open (a further copy)
//   startpage-fails            DrvStartPage refuses without setting an error
//   sendpage-fails             DrvSendPage refuses (error ERROR_NOT_READY)
//
// Documents: like a printer driver, it writes its output to the spooler job
// with WritePrinter on the printer handle it was given at DrvEnablePDEV:
// "D" at DrvStartDoc, "P" at DrvStartPage, "S" at DrvSendPage, "E" at
// DrvEndDoc(0) and "A" at DrvEndDoc(ED_ABORTDOC). A failed write makes the
// callback fail with the spooler's error. DrvResetPDEV moves an open
// document to the new PDEV.
//
// Escapes (DrvEscape):
//   QUERYESCSUPPORT  1 for QUERYESCSUPPORT, PASSTHROUGH and kEchoEscape, else 0
//   PASSTHROUGH      the input is a 16-bit count and that many bytes, which
//                    go to the job; answers the count
//   kEchoEscape      writes each input byte plus 1 into the output (as many
//                    as both hold), then overwrites its input with 0xEE;
//                    answers the bytes written
//   others           0
// Each logs its code, the buffers' sizes and addresses (in=size@address)
// and the input as text. DrvDrawEscape logs the same with its clip object
// and bounds and answers 1 for QUERYESCSUPPORT asked about itself, else 0.
//
// Its GDIINFO: a 600 dpi A4 page (4768 x 6816 printable pixels, 201 x 288
// mm, paper 4960 x 7016 with the printable area at 96, 100); dmPrintQuality
// and dmYResolution, when the settings carry them, replace the resolutions.
#include <windows.h>
#include <winddi.h>
#include <winspool.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Wishes() {
    WCHAR buffer[512];
    DWORD length = GetEnvironmentVariableW(u"TAM_FAKEREND", buffer, 512);
    if (!length || length >= 512) return " ";
    std::string text = " ";
    for (DWORD i = 0; i < length; ++i) text += char(buffer[i]);
    return text + " ";
}

bool Wants(const char* word) { return Wishes().find(std::string(" ") + word + " ") != std::string::npos; }

bool Setting(const char* name, unsigned long& value) {
    std::string wishes = Wishes();
    size_t at = wishes.find(std::string(" ") + name + "=");
    if (at == std::string::npos) return false;
    value = std::strtoul(wishes.c_str() + at + std::strlen(name) + 2, nullptr, 0);
    return true;
}

void Log(const char* format, ...) {
    char line[600] = "testrend ";
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + 9, sizeof(line) - 11, format, args);
    va_end(args);
    std::strcat(line, "\n");
    OutputDebugStringA(line);
}

std::string Narrow(LPCWSTR text) {
    std::string out;
    for (; text && *text; ++text) out += char(*text);
    return text ? out : "(null)";
}

struct FakePdev {
    ULONG serial;
    HDEV hdev;
    HANDLE printer;
    ULONG width, height;
    HSURF surface;
    HPALETTE palette;
    ULONG dpi = 0;
    bool documentOpen = false;
};

// A private escape of the test driver.
constexpr ULONG kEchoEscape = 0x7001;

ULONG gNextSerial = 1;  // starts again at 1 each time the module is loaded

FakePdev* AsPdev(DHPDEV dhpdev) { return reinterpret_cast<FakePdev*>(dhpdev); }

std::string DescribeDevMode(const DEVMODEW* dm) {
    if (!dm) return "none";
    unsigned sum = 0;
    const BYTE* extra = reinterpret_cast<const BYTE*>(dm) + dm->dmSize;
    for (WORD i = 0; i < dm->dmDriverExtra; ++i) sum += extra[i];
    char text[160];
    std::snprintf(text, sizeof(text), "name=%s paper=%d copies=%d quality=%d extra=%u sum=%u",
                  Narrow(dm->dmDeviceName).c_str(), dm->dmPaperSize, dm->dmCopies, dm->dmPrintQuality,
                  unsigned(dm->dmDriverExtra), sum);
    return text;
}

GDIINFO MakeGdiInfo(const DEVMODEW* dm) {
    GDIINFO gdi{};
    gdi.ulVersion = GDI_DRIVER_VERSION;
    gdi.ulTechnology = DT_RASPRINTER;
    gdi.ulHorzSize = 201;
    gdi.ulVertSize = 288;
    gdi.ulHorzRes = 4768;
    gdi.ulVertRes = 6816;
    unsigned long bpp = 24;
    Setting("bpp", bpp);
    gdi.cBitsPixel = ULONG(bpp);
    gdi.cPlanes = 1;
    gdi.ulNumColors = 20;
    if (bpp <= 8) {
        gdi.ulNumColors = 1u << bpp;
        gdi.flRaster = RC_PALETTE;
        gdi.ulNumPalReg = 1u << bpp;
        gdi.ulDACRed = gdi.ulDACGreen = gdi.ulDACBlue = 6;
    }
    gdi.ulLogPixelsX = gdi.ulLogPixelsY = 600;
    if (dm && (dm->dmFields & DM_PRINTQUALITY) && dm->dmPrintQuality > 0)
        gdi.ulLogPixelsX = gdi.ulLogPixelsY = ULONG(dm->dmPrintQuality);
    if (dm && (dm->dmFields & DM_YRESOLUTION) && dm->dmYResolution > 0) gdi.ulLogPixelsY = ULONG(dm->dmYResolution);
    gdi.flTextCaps = 0x19F7;
    gdi.ulAspectX = 600;
    gdi.ulAspectY = 600;
    gdi.ulAspectXY = 848;
    gdi.xStyleStep = 1;
    gdi.yStyleStep = 1;
    gdi.denStyleStep = 12;
    gdi.ptlPhysOffset = {96, 100};
    gdi.szlPhysSize = {4960, 7016};
    gdi.ulHTPatternSize = HT_PATSIZE_8x8_M;
    gdi.ulHTOutputFormat = HT_FORMAT_24BPP;
    gdi.flHTFlags = HT_FLAG_HAS_BLACK_DYE;
    gdi.flShadeBlend = SB_GRAD_RECT | SB_GRAD_TRI;
    return gdi;
}

DHPDEV APIENTRY FakeEnablePDEV(DEVMODEW* pdm, LPWSTR pwszLogAddress, ULONG cPat, HSURF* phsurfPatterns, ULONG cjCaps,
                               ULONG* pdevcaps, ULONG cjDevInfo, DEVINFO* pdi, HDEV hdev, LPWSTR pwszDeviceName,
                               HANDLE hDriver) {
    char call[400];
    std::snprintf(call, sizeof(call),
                  "DrvEnablePDEV device=%s devmode=[%s] patterns=%lu caps=%lu devinfo=%lu logaddress=%s printer=%p "
                  "hdev=%p",
                  Narrow(pwszDeviceName).c_str(), DescribeDevMode(pdm).c_str(), (unsigned long)cPat,
                  (unsigned long)cjCaps, (unsigned long)cjDevInfo, pwszLogAddress ? "given" : "none", hDriver,
                  (void*)hdev);
    if (Wants("enablepdev-fails") || Wants("enablepdev-fails-silently")) {
        Log("%s -> failed", call);
        if (Wants("enablepdev-fails")) EngSetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    GDIINFO gdi = MakeGdiInfo(pdm);
    std::memcpy(pdevcaps, &gdi, std::min<size_t>(cjCaps, sizeof(gdi)));

    auto* pdev = new FakePdev{gNextSerial++, hdev, hDriver, gdi.ulHorzRes, gdi.ulVertRes, nullptr, nullptr};
    pdev->dpi = gdi.ulLogPixelsX;
    pdev->palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    DEVINFO dev{};
    dev.flGraphicsCaps = GCAPS_BEZIERS | GCAPS_GEOMETRICWIDE | GCAPS_ALTERNATEFILL | GCAPS_WINDINGFILL |
                         GCAPS_HALFTONE | GCAPS_OPAQUERECT;
    dev.lfDefaultFont.lfHeight = -79;
    dev.lfDefaultFont.lfWeight = FW_NORMAL;
    dev.lfDefaultFont.lfPitchAndFamily = FF_MODERN | FIXED_PITCH;
    std::memcpy(dev.lfDefaultFont.lfFaceName, u"Courier", 8 * sizeof(WCHAR));
    dev.lfAnsiVarFont = dev.lfAnsiFixFont = dev.lfDefaultFont;
    dev.cFonts = 2;
    dev.iDitherFormat = BMF_24BPP;
    dev.hpalDefault = pdev->palette;
    std::memcpy(pdi, &dev, std::min<size_t>(cjDevInfo, sizeof(dev)));
    for (ULONG i = 0; i < cPat; ++i) phsurfPatterns[i] = nullptr;
    Log("%s -> pdev %lu", call, (unsigned long)pdev->serial);
    return reinterpret_cast<DHPDEV>(pdev);
}

VOID APIENTRY FakeCompletePDEV(DHPDEV dhpdev, HDEV hdev) {
    AsPdev(dhpdev)->hdev = hdev;
    Log("DrvCompletePDEV pdev=%lu hdev=%p", (unsigned long)AsPdev(dhpdev)->serial, (void*)hdev);
}

BOOL APIENTRY FakeResetPDEV(DHPDEV dhpdevOld, DHPDEV dhpdevNew) {
    Log("DrvResetPDEV old=%lu new=%lu", (unsigned long)AsPdev(dhpdevOld)->serial,
        (unsigned long)AsPdev(dhpdevNew)->serial);
    if (Wants("resetpdev-fails")) {
        EngSetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    AsPdev(dhpdevNew)->documentOpen = AsPdev(dhpdevOld)->documentOpen;
    AsPdev(dhpdevOld)->documentOpen = false;
    return TRUE;
}

HSURF APIENTRY FakeEnableSurface(DHPDEV dhpdev) {
    FakePdev* pdev = AsPdev(dhpdev);
    if (Wants("enablesurface-fails")) {
        Log("DrvEnableSurface pdev=%lu -> failed", (unsigned long)pdev->serial);
        return nullptr;
    }
    if (Wants("bogus-surface")) {
        Log("DrvEnableSurface pdev=%lu -> bogus", (unsigned long)pdev->serial);
        return reinterpret_cast<HSURF>(0x5A5A);
    }
    SIZEL size{LONG(pdev->width), LONG(pdev->height)};
    pdev->surface = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(pdev), size, BMF_24BPP);
    BOOL associated = EngAssociateSurface(pdev->surface, pdev->hdev,
                                          HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_TEXTOUT | HOOK_STROKEPATH |
                                              HOOK_FILLPATH | HOOK_STROKEANDFILLPATH | HOOK_COPYBITS |
                                              HOOK_TRANSPARENTBLT | HOOK_GRADIENTFILL);
    Log("DrvEnableSurface pdev=%lu associated=%d", (unsigned long)pdev->serial, associated);
    return pdev->surface;
}

VOID APIENTRY FakeDisableSurface(DHPDEV dhpdev) {
    FakePdev* pdev = AsPdev(dhpdev);
    Log("DrvDisableSurface pdev=%lu", (unsigned long)pdev->serial);
    if (pdev->surface && !Wants("leak")) EngDeleteSurface(pdev->surface);
    pdev->surface = nullptr;
}

VOID APIENTRY FakeDisablePDEV(DHPDEV dhpdev) {
    FakePdev* pdev = AsPdev(dhpdev);
    Log("DrvDisablePDEV pdev=%lu", (unsigned long)pdev->serial);
    if (pdev->palette && !Wants("leak")) EngDeletePalette(pdev->palette);
    delete pdev;
}

// The PDEV of a surface the driver made.
FakePdev* PdevOf(SURFOBJ* pso) { return AsPdev(pso->dhpdev); }

// Output to the job, through the spooler handle given at DrvEnablePDEV.
bool Emit(FakePdev* pdev, const void* data, DWORD size) {
    DWORD written = 0;
    return WritePrinter(pdev->printer, const_cast<void*>(data), size, &written) && written == size;
}

BOOL APIENTRY FakeStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
    FakePdev* pdev = PdevOf(pso);
    const bool again = pdev->documentOpen;
    Log("DrvStartDoc pdev=%lu name=%s job=%lu again=%d", (unsigned long)pdev->serial, Narrow(pwszDocName).c_str(),
        (unsigned long)dwJobId, again);
    if (Wants("startdoc-fails") || (again && Wants("startdoc-again-fails"))) {
        EngSetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    pdev->documentOpen = true;
    return Emit(pdev, "D", 1);
}

BOOL APIENTRY FakeStartPage(SURFOBJ* pso) {
    FakePdev* pdev = PdevOf(pso);
    Log("DrvStartPage pdev=%lu dpi=%lu", (unsigned long)pdev->serial, (unsigned long)pdev->dpi);
    if (Wants("startpage-fails")) return FALSE;
    return Emit(pdev, "P", 1);
}

BOOL APIENTRY FakeSendPage(SURFOBJ* pso) {
    FakePdev* pdev = PdevOf(pso);
    Log("DrvSendPage pdev=%lu", (unsigned long)pdev->serial);
    if (Wants("sendpage-fails")) {
        EngSetLastError(ERROR_NOT_READY);
        return FALSE;
    }
    return Emit(pdev, "S", 1);
}

BOOL APIENTRY FakeEndDoc(SURFOBJ* pso, FLONG fl) {
    FakePdev* pdev = PdevOf(pso);
    Log("DrvEndDoc pdev=%lu flags=%lu", (unsigned long)pdev->serial, (unsigned long)fl);
    pdev->documentOpen = false;
    return Emit(pdev, (fl & ED_ABORTDOC) ? "A" : "E", 1);
}

std::string Text(const void* data, ULONG size) {
    std::string text;
    for (ULONG i = 0; data && i < size; ++i) {
        char c = static_cast<const char*>(data)[i];
        text += (c >= 0x20 && c < 0x7F) ? c : '.';
    }
    return text;
}

ULONG APIENTRY FakeEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
    FakePdev* pdev = PdevOf(pso);
    Log("DrvEscape pdev=%lu code=%lu in=%lu@%p out=%lu@%p text=%s", (unsigned long)pdev->serial,
        (unsigned long)iEsc, (unsigned long)cjIn, pvIn, (unsigned long)cjOut, pvOut, Text(pvIn, cjIn).c_str());
    switch (iEsc) {
        case QUERYESCSUPPORT: {
            if (!pvIn || cjIn < 2) return 0;
            USHORT asked;
            std::memcpy(&asked, pvIn, sizeof(asked));
            return asked == QUERYESCSUPPORT || asked == PASSTHROUGH || asked == kEchoEscape;
        }
        case PASSTHROUGH: {
            if (!pvIn || cjIn < 2) return 0;
            USHORT count;
            std::memcpy(&count, pvIn, sizeof(count));
            count = USHORT(std::min<ULONG>(count, cjIn - 2));
            return Emit(pdev, static_cast<BYTE*>(pvIn) + 2, count) ? count : 0;
        }
        case kEchoEscape: {
            ULONG n = std::min(cjIn, cjOut);
            for (ULONG i = 0; i < n; ++i) static_cast<BYTE*>(pvOut)[i] = BYTE(static_cast<BYTE*>(pvIn)[i] + 1);
            if (pvIn) std::memset(pvIn, 0xEE, cjIn);
            return n;
        }
        default: return 0;
    }
}

ULONG APIENTRY FakeDrawEscape(SURFOBJ* pso, ULONG iEsc, CLIPOBJ* pco, RECTL* prcl, ULONG cjIn, PVOID pvIn) {
    Log("DrvDrawEscape pdev=%lu code=%lu in=%lu@%p clip=%s bounds=%ld,%ld,%ld,%ld", (unsigned long)PdevOf(pso)->serial,
        (unsigned long)iEsc, (unsigned long)cjIn, pvIn, pco ? "given" : "none", prcl ? long(prcl->left) : -1L,
        prcl ? long(prcl->top) : -1L, prcl ? long(prcl->right) : -1L, prcl ? long(prcl->bottom) : -1L);
    USHORT asked = 0;
    if (pvIn && cjIn >= 2) std::memcpy(&asked, pvIn, sizeof(asked));
    return iEsc == QUERYESCSUPPORT && asked == QUERYESCSUPPORT;
}

const DRVFN kCallbacks[] = {
    {INDEX_DrvEnablePDEV, reinterpret_cast<PFN>(&FakeEnablePDEV)},
    {INDEX_DrvCompletePDEV, reinterpret_cast<PFN>(&FakeCompletePDEV)},
    {INDEX_DrvDisablePDEV, reinterpret_cast<PFN>(&FakeDisablePDEV)},
    {INDEX_DrvEnableSurface, reinterpret_cast<PFN>(&FakeEnableSurface)},
    {INDEX_DrvDisableSurface, reinterpret_cast<PFN>(&FakeDisableSurface)},
    {INDEX_DrvStartDoc, reinterpret_cast<PFN>(&FakeStartDoc)},
    {INDEX_DrvStartPage, reinterpret_cast<PFN>(&FakeStartPage)},
    {INDEX_DrvSendPage, reinterpret_cast<PFN>(&FakeSendPage)},
    {INDEX_DrvEndDoc, reinterpret_cast<PFN>(&FakeEndDoc)},
    {INDEX_DrvEscape, reinterpret_cast<PFN>(&FakeEscape)},
    {INDEX_DrvDrawEscape, reinterpret_cast<PFN>(&FakeDrawEscape)},
    {INDEX_DrvResetPDEV, reinterpret_cast<PFN>(&FakeResetPDEV)},  // last: "no-resetpdev" leaves it out
};

}  // namespace

extern "C" {

BOOL APIENTRY DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded) {
    Log("DrvEnableDriver engine=%#lx size=%lu", (unsigned long)iEngineVersion, (unsigned long)cj);
    if (Wants("enabledriver-fails")) {
        EngSetLastError(ERROR_BAD_DRIVER_LEVEL);
        return FALSE;
    }
    unsigned long version = DDI_DRIVER_VERSION_NT4;
    Setting("driverversion", version);
    pded->iDriverVersion = ULONG(version);
    pded->c = sizeof(kCallbacks) / sizeof(kCallbacks[0]) - (Wants("no-resetpdev") ? 1 : 0);
    pded->pdrvfn = const_cast<DRVFN*>(kCallbacks);
    return TRUE;
}

BOOL APIENTRY DrvQueryDriverInfo(DWORD dwMode, PVOID pBuffer, DWORD cbBuf, PDWORD pcbNeeded) {
    Log("DrvQueryDriverInfo mode=%lu size=%lu", (unsigned long)dwMode, (unsigned long)cbBuf);
    if (dwMode != DRVQUERY_USERMODE) {
        EngSetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *pcbNeeded = sizeof(DWORD);
    if (!pBuffer || cbBuf < sizeof(DWORD)) {
        EngSetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *static_cast<DWORD*>(pBuffer) = Wants("kernelmode") ? 0 : 1;
    return TRUE;
}

VOID APIENTRY DrvDisableDriver(VOID) { Log("DrvDisableDriver"); }

}  // extern "C"
