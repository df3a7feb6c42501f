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
//   hooks=N                    the HOOK_* flags its surface hooks (default: blits, paths, text, copies)
//   refuse-<callback>          that drawing callback (DrvFillPath, DrvBitBlt, ...) refuses
//   punt-<callback>            DrvBitBlt, DrvStretchBlt, DrvTransparentBlt or DrvGradientFill
//                              hands the call to the engine (EngBitBlt, ...) and answers its result
//   getrbrush                  drawing callbacks ask for the brush's realisation
//   clippath                   drawing callbacks ask for their clip as a path
//                              (CLIPOBJ_ppoGetPath), log it and never free it
//   without-<callback>         the callback table leaves that callback out
//                              (DrvGetGlyphMode, DrvDestroyFont, DrvTextOut)
//   glyphmode=N                DrvGetGlyphMode answers N (default FO_GLYPHBITS)
//   textout-glyphbits          DrvTextOut asks FONTOBJ_cGetGlyphs(FO_GLYPHBITS)
//                              for each glyph and logs the bitmap
//   devicefonts=N              DEVINFO.cFonts (default 2; -1: counted when
//                              DrvQueryFont is asked for face 0)
//   without-<callback>         also DrvQueryFontTree, DrvQueryAdvanceWidths
//   refuse-DrvQueryAdvanceWidths  that callback fails
//   bad-devicefont             face 2's IFIMETRICS says it is 8 bytes long
//
// Device fonts: face 1 "Fake Mono" (fixed pitch, modern, 1000 units to
// the em, ascender 800, descender 200, every glyph 600 wide, the characters
// 0x20 to 0x7E with handles 0x1000 plus the character) and face 2 "Fake
// Serif" ("Fake Serif Bold", roman, bold, the characters 0x20 to 0xFF as
// their own handles, 400 + 50 x (character mod 7) units wide). DrvQueryFont
// and DrvQueryFontTree log their iFace and give ids 100 + iFace and 200 +
// iFace, which DrvFree logs. DrvQueryAdvanceWidths logs the font, the mode
// and the count, and answers each width through the font's transform in
// 12.4 device units.
//
// Drawing callbacks log what they were given: the clip (complexity, bounds
// and its rectangles), the path as PATHOBJ_bEnum gives it (each fragment
// "flags:x,y x,y ..." in 28.4), the brush's iSolidColor, the mix or ROP4,
// the line attributes' flags and width, the colour adjustment's size,
// flags, illuminant, brightness and contrast. DrvCopyBits logs, for a bitmap
// source, how many of the pixels copied are not white ("inked") and the
// first of them as the device's pixel ("first"), so that a test sees what
// the engine drew on its temporary bitmap. DrvRealizeBrush
// logs iHatch, the pattern's size and the translation's first two entries,
// and keeps 16 bytes from BRUSHOBJ_pvAllocRbrush.
//
// Text: DrvTextOut logs the string (cGlyphs, flAccel, ulCharInc,
// rclBkGround, whether pgp was given, the glyphs as "hg@x,y", from pgp or
// else from STROBJ_bEnum with the number of batches, each with
// "=WxH#sum" when its GLYPHPOS carries a bitmap; at most kListedGlyphs of
// them, then "+N"), its characters as UTF-8, the clip, the opaque
// rectangle, the extra rectangles, the brushes' iSolidColor and the mix,
// and the font (iUniq, iFace, flFontType, sizLogResPpi, the IFIMETRICS
// face name and units per em, the TrueType file's size and first four
// bytes, and the number it keeps in pvConsumer: "new N" when it made one
// for the font just now). DrvDestroyFont logs and frees that number.
// DrvGetGlyphMode logs the font's iUniq and its answer. A bitmap's sum is
// the FNV-1a hash of its rows.
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
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
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
    char line[4096] = "testrend ";
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
    unsigned long fonts = 2;
    Setting("devicefonts", fonts);
    dev.cFonts = ULONG(long(fonts));
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
    unsigned long hooks = HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_TEXTOUT | HOOK_STROKEPATH | HOOK_FILLPATH |
                          HOOK_STROKEANDFILLPATH | HOOK_COPYBITS | HOOK_TRANSPARENTBLT | HOOK_GRADIENTFILL;
    Setting("hooks", hooks);
    BOOL associated = EngAssociateSurface(pdev->surface, pdev->hdev, FLONG(hooks));
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

std::string Rect(const RECTL& r) {
    char text[64];
    std::snprintf(text, sizeof(text), "%ld,%ld,%ld,%ld", long(r.left), long(r.top), long(r.right), long(r.bottom));
    return text;
}

std::string DescribeClip(CLIPOBJ* pco) {
    if (!pco) return "clip=none";
    std::string text = "clip=" + std::to_string(pco->iDComplexity) + " bounds=" + Rect(pco->rclBounds);
    if (pco->iDComplexity == DC_COMPLEX) {
        text += " rects=";
        CLIPOBJ_cEnumStart(pco, FALSE, CT_RECTANGLES, CD_RIGHTDOWN, 0);
        struct {
            ULONG c;
            RECTL arcl[4];
        } rects;
        BOOL more;
        do {
            more = CLIPOBJ_bEnum(pco, sizeof(rects), reinterpret_cast<ULONG*>(&rects));
            for (ULONG i = 0; i < rects.c; ++i) text += "[" + Rect(rects.arcl[i]) + "]";
        } while (more);
    }
    if (Wants("clippath")) {
        char kept[32];
        std::snprintf(kept, sizeof(kept), " clippath=%p", static_cast<void*>(CLIPOBJ_ppoGetPath(pco)));
        text += kept;
    }
    return text;
}

std::string DescribePath(PATHOBJ* ppo) {
    if (!ppo) return "path=none";
    std::string text = "path=";
    PATHOBJ_vEnumStart(ppo);
    PATHDATA data;
    BOOL more;
    do {
        more = PATHOBJ_bEnum(ppo, &data);
        text += "{" + std::to_string(data.flags) + ":";
        for (ULONG i = 0; i < data.count; ++i)
            text += (i ? " " : "") + std::to_string(data.pptfx[i].x) + "," + std::to_string(data.pptfx[i].y);
        text += "}";
    } while (more);
    return text;
}

std::string DescribeBrush(BRUSHOBJ* pbo) {
    if (!pbo) return "brush=none";
    char text[64];
    std::snprintf(text, sizeof(text), "solid=%08lx", (unsigned long)pbo->iSolidColor);
    std::string out = text;
    if (Wants("getrbrush")) out += BRUSHOBJ_pvGetRbrush(pbo) ? " rbrush=yes" : " rbrush=no";
    return out;
}

bool Punts(const char* callback) { return Wants((std::string("punt-") + callback).c_str()); }

bool Refuses(const char* callback) {
    if (!Wants((std::string("refuse-") + callback).c_str())) return false;
    EngSetLastError(ERROR_NOT_SUPPORTED);
    return true;
}

BOOL APIENTRY FakeRealizeBrush(BRUSHOBJ* pbo, SURFOBJ*, SURFOBJ* psoPattern, SURFOBJ* psoMask, XLATEOBJ* pxlo,
                               ULONG iHatch) {
    Log("DrvRealizeBrush hatch=%lu pattern=%ldx%ld mask=%s xlate=%08lx,%08lx", (unsigned long)iHatch,
        psoPattern ? long(psoPattern->sizlBitmap.cx) : -1L, psoPattern ? long(psoPattern->sizlBitmap.cy) : -1L,
        psoMask ? "given" : "none", (unsigned long)XLATEOBJ_iXlate(pxlo, 0), (unsigned long)XLATEOBJ_iXlate(pxlo, 1));
    if (Refuses("DrvRealizeBrush")) return FALSE;
    void* memory = BRUSHOBJ_pvAllocRbrush(pbo, 16);
    if (memory) std::memset(memory, 0x5A, 16);
    return memory != nullptr;
}

BOOL APIENTRY FakeFillPath(SURFOBJ*, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL*, MIX mix, FLONG flOptions) {
    Log("DrvFillPath %s %s %s mix=%04lx options=%lu", DescribeClip(pco).c_str(), DescribePath(ppo).c_str(),
        DescribeBrush(pbo).c_str(), (unsigned long)mix, (unsigned long)flOptions);
    return !Refuses("DrvFillPath");
}

BOOL APIENTRY FakeStrokePath(SURFOBJ*, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo, POINTL*,
                             LINEATTRS* pla, MIX mix) {
    Log("DrvStrokePath %s %s %s mix=%04lx la=%lu width=%g cstyle=%lu xform=%lu", DescribeClip(pco).c_str(),
        DescribePath(ppo).c_str(), DescribeBrush(pbo).c_str(), (unsigned long)mix, (unsigned long)pla->fl,
        (pla->fl & LA_GEOMETRIC) ? double(pla->elWidth.e) : double(pla->elWidth.l), (unsigned long)pla->cstyle,
        (unsigned long)XFORMOBJ_iGetXform(pxo, nullptr));
    return !Refuses("DrvStrokePath");
}

BOOL APIENTRY FakeStrokeAndFillPath(SURFOBJ*, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ*, BRUSHOBJ* pboStroke,
                                    LINEATTRS* pla, BRUSHOBJ* pboFill, POINTL*, MIX mix, FLONG flOptions) {
    Log("DrvStrokeAndFillPath %s %s stroke=[%s] fill=[%s] mix=%04lx la=%lu options=%lu", DescribeClip(pco).c_str(),
        DescribePath(ppo).c_str(), DescribeBrush(pboStroke).c_str(), DescribeBrush(pboFill).c_str(),
        (unsigned long)mix, (unsigned long)pla->fl, (unsigned long)flOptions);
    return !Refuses("DrvStrokeAndFillPath");
}

BOOL APIENTRY FakePaint(SURFOBJ*, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL*, MIX mix) {
    Log("DrvPaint %s %s mix=%04lx", DescribeClip(pco).c_str(), DescribeBrush(pbo).c_str(), (unsigned long)mix);
    return !Refuses("DrvPaint");
}

BOOL APIENTRY FakeBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                         RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                         ROP4 rop4) {
    Log("DrvBitBlt %s target=%s source=%s src=%ld,%ld mask=%s xlate=%lu %s rop4=%04lx", DescribeClip(pco).c_str(),
        Rect(*prclTrg).c_str(), psoSrc ? (psoSrc->iType == STYPE_BITMAP ? "bitmap" : "device") : "none",
        pptlSrc ? long(pptlSrc->x) : -1L, pptlSrc ? long(pptlSrc->y) : -1L, psoMask ? "given" : "none",
        pxlo ? (unsigned long)pxlo->flXlate : 0ul, DescribeBrush(pbo).c_str(), (unsigned long)rop4);
    if (Punts("DrvBitBlt"))
        return EngBitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
    return !Refuses("DrvBitBlt");
}

// The pixels of a 24-bit bitmap in `rect` that are not white, and the first
// of them (0 when none).
unsigned long Inked(SURFOBJ* pso, const RECTL& rect, ULONG* first = nullptr) {
    if (first) *first = 0;
    if (pso->iType != STYPE_BITMAP || pso->iBitmapFormat != BMF_24BPP) return 0;
    unsigned long inked = 0;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        const BYTE* row = static_cast<const BYTE*>(pso->pvScan0) + y * pso->lDelta;
        for (LONG x = rect.left; x < rect.right; ++x)
            if (row[3 * x] != 0xFF || row[3 * x + 1] != 0xFF || row[3 * x + 2] != 0xFF) {
                if (first && !inked) *first = ULONG(row[3 * x]) | ULONG(row[3 * x + 1]) << 8 | ULONG(row[3 * x + 2]) << 16;
                ++inked;
            }
    }
    return inked;
}

BOOL APIENTRY FakeCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                           POINTL* pptlSrc) {
    const LONG w = prclDest->right - prclDest->left, h = prclDest->bottom - prclDest->top;
    const RECTL read{pptlSrc->x, pptlSrc->y, pptlSrc->x + w, pptlSrc->y + h};
    ULONG first = 0;
    const unsigned long inked = Inked(psoSrc, read, &first);
    Log("DrvCopyBits to=%s from=%s %s dest=%s src=%ld,%ld xlate=%lu inked=%lu first=%06lx",
        psoDest->iType == STYPE_BITMAP ? "bitmap" : "device", psoSrc->iType == STYPE_BITMAP ? "bitmap" : "device",
        DescribeClip(pco).c_str(), Rect(*prclDest).c_str(), long(pptlSrc->x), long(pptlSrc->y),
        pxlo ? (unsigned long)pxlo->flXlate : 0ul, inked, (unsigned long)(inked ? XLATEOBJ_iXlate(pxlo, first) : 0));
    // The page keeps no pixels: asked for them, the driver gives white.
    if (psoDest->iType == STYPE_BITMAP) return EngEraseSurface(psoDest, prclDest, 0xFFFFFF);
    return !Refuses("DrvCopyBits");
}

BOOL APIENTRY FakeStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                             COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                             POINTL* pptlMask, ULONG iMode) {
    Log("DrvStretchBlt %s dest=%s src=%s source=%s mode=%lu ca=%u,%u,%u,%d,%d", DescribeClip(pco).c_str(),
        Rect(*prclDest).c_str(), Rect(*prclSrc).c_str(), psoSrc->iType == STYPE_BITMAP ? "bitmap" : "device",
        (unsigned long)iMode, pca ? unsigned(pca->caSize) : 0u, pca ? unsigned(pca->caFlags) : 0u,
        pca ? unsigned(pca->caIlluminantIndex) : 0u, pca ? int(pca->caBrightness) : 0, pca ? int(pca->caContrast) : 0);
    if (Punts("DrvStretchBlt"))
        return EngStretchBlt(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
    return !Refuses("DrvStretchBlt");
}

BOOL APIENTRY FakeTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDst,
                                 RECTL* prclSrc, ULONG iTransColor, ULONG ulReserved) {
    Log("DrvTransparentBlt %s dest=%s src=%s transparent=%08lx", DescribeClip(pco).c_str(), Rect(*prclDst).c_str(),
        Rect(*prclSrc).c_str(), (unsigned long)iTransColor);
    if (Punts("DrvTransparentBlt"))
        return EngTransparentBlt(psoDst, psoSrc, pco, pxlo, prclDst, prclSrc, iTransColor, ulReserved);
    return !Refuses("DrvTransparentBlt");
}

BOOL APIENTRY FakeAlphaBlend(SURFOBJ*, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest, RECTL* prclSrc,
                             BLENDOBJ* pBlendObj) {
    const BLENDFUNCTION& blend = pBlendObj->BlendFunction;
    Log("DrvAlphaBlend %s dest=%s src=%s source=%s xlate=%s blend=%u,%u,%u,%u", DescribeClip(pco).c_str(),
        Rect(*prclDest).c_str(), Rect(*prclSrc).c_str(), psoSrc->iType == STYPE_BITMAP ? "bitmap" : "device",
        pxlo ? "given" : "none", unsigned(blend.BlendOp), unsigned(blend.BlendFlags),
        unsigned(blend.SourceConstantAlpha), unsigned(blend.AlphaFormat));
    return !Refuses("DrvAlphaBlend");
}

// A whole line for the debug log, however long.
void LogLine(const std::string& text) { OutputDebugStringA(("testrend " + text + "\n").c_str()); }

// The glyphs DrvTextOut lists in its line; a longer string lists this many and the count of the others.
constexpr ULONG kListedGlyphs = 2000;

ULONG gNextConsumer = 1;

// "WxH@x,y#sum": a bitmap's size, origin and hash (FNV-1a of its rows of
// one bit a pixel, or four for a smoothed font).
std::string DescribeGlyphBits(const GLYPHBITS* bits, bool gray, bool withOrigin) {
    if (!bits) return "none";
    const LONG rowBytes = gray ? (bits->sizlBitmap.cx + 1) / 2 : (bits->sizlBitmap.cx + 7) / 8;
    uint32_t hash = 2166136261u;
    const BYTE* rows = reinterpret_cast<const BYTE*>(bits) + offsetof(GLYPHBITS, aj);
    for (LONG i = 0; i < rowBytes * bits->sizlBitmap.cy; ++i) hash = (hash ^ rows[i]) * 16777619u;
    char text[96];
    if (withOrigin)
        std::snprintf(text, sizeof(text), "%ldx%ld@%ld,%ld#%08x", long(bits->sizlBitmap.cx),
                      long(bits->sizlBitmap.cy), long(bits->ptlOrigin.x), long(bits->ptlOrigin.y), hash);
    else
        std::snprintf(text, sizeof(text), "%ldx%ld#%08x", long(bits->sizlBitmap.cx), long(bits->sizlBitmap.cy), hash);
    return text;
}

std::string Utf8(LPCWSTR text) {
    if (!text || !*text) return "(null)";
    const int units = lstrlenW(text);
    std::string out(size_t(units) * 3, '\0');
    out.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, text, units, out.data(), int(out.size()), nullptr, nullptr)));
    return out;
}

std::string DescribeFont(FONTOBJ* pfo) {
    char text[512];
    const IFIMETRICS* ifi = FONTOBJ_pifi(pfo);
    ULONG size = 0;
    const BYTE* file = static_cast<const BYTE*>(FONTOBJ_pvTrueTypeFontFile(pfo, &size));
    const std::string name =
        ifi ? Narrow(reinterpret_cast<LPCWSTR>(reinterpret_cast<const BYTE*>(ifi) + ifi->dpwszFaceName)) : "none";
    std::snprintf(text, sizeof(text),
                  "font=%lu face=%lu type=%08lx res=%ldx%ld name=%s em=%d file=%lu:%02x%02x%02x%02x",
                  (unsigned long)pfo->iUniq, (unsigned long)pfo->iFace, (unsigned long)pfo->flFontType,
                  long(pfo->sizLogResPpi.cx), long(pfo->sizLogResPpi.cy), name.c_str(),
                  ifi ? int(ifi->fwdUnitsPerEm) : -1, (unsigned long)size, file && size >= 4 ? file[0] : 0,
                  file && size >= 4 ? file[1] : 0, file && size >= 4 ? file[2] : 0, file && size >= 4 ? file[3] : 0);
    std::string out = text;
    if (pfo->pvConsumer) {
        out += " consumer=" + std::to_string(*static_cast<ULONG*>(pfo->pvConsumer));
    } else {
        pfo->pvConsumer = new ULONG(gNextConsumer++);
        out += " consumer=new " + std::to_string(*static_cast<ULONG*>(pfo->pvConsumer));
    }
    return out;
}

BOOL APIENTRY FakeTextOut(SURFOBJ*, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                          BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL*, MIX mix) {
    char head[160];
    std::snprintf(head, sizeof(head), "DrvTextOut glyphs=%lu accel=%04lx charinc=%lu bk=%s pgp=%s",
                  (unsigned long)pstro->cGlyphs, (unsigned long)pstro->flAccel, (unsigned long)pstro->ulCharInc,
                  Rect(pstro->rclBkGround).c_str(), pstro->pgp ? "given" : "null");
    std::string line = head;
    std::string glyphs, bits;
    ULONG listed = 0, seen = 0, batches = 0;
    auto add = [&](const GLYPHPOS& gp) {
        ++seen;
        if (listed >= kListedGlyphs) return;
        ++listed;
        char entry[64];
        std::snprintf(entry, sizeof(entry), "%s%lu@%ld,%ld", glyphs.empty() ? "" : " ", (unsigned long)gp.hg,
                      long(gp.ptl.x), long(gp.ptl.y));
        glyphs += entry;
        const bool gray = (pfo->flFontType & FO_GRAY16) != 0;
        if (gp.pgdf) glyphs += "=" + DescribeGlyphBits(gp.pgdf->pgb, gray, false);
        if (Wants("textout-glyphbits")) {
            HGLYPH hg = gp.hg;
            GLYPHDATA* data = nullptr;
            const ULONG got = FONTOBJ_cGetGlyphs(pfo, FO_GLYPHBITS, 1, &hg, reinterpret_cast<PVOID*>(&data));
            bits += (bits.empty() ? "" : " ") +
                    (got == 1 && data ? DescribeGlyphBits(data->gdf.pgb, gray, true) : "failed");
        }
    };
    if (pstro->pgp) {
        for (ULONG i = 0; i < pstro->cGlyphs; ++i) add(pstro->pgp[i]);
    } else {
        STROBJ_vEnumStart(pstro);
        BOOL more;
        do {
            ULONG count = 0;
            GLYPHPOS* batch = nullptr;
            more = STROBJ_bEnum(pstro, &count, &batch);
            ++batches;
            for (ULONG i = 0; i < count; ++i) add(batch[i]);
        } while (more);
    }
    line += " list=[" + glyphs + (seen > listed ? " +" + std::to_string(seen - listed) : "") + "]";
    if (!pstro->pgp) line += " batches=" + std::to_string(batches) + " enumerated=" + std::to_string(seen);
    if (Wants("textout-glyphbits")) line += " glyphbits=[" + bits + "]";
    line += " text=" + Utf8(pstro->pwszOrg) + " " + DescribeClip(pco);
    line += " opaque=" + (prclOpaque ? Rect(*prclOpaque) : std::string("none"));
    line += " extra=";
    if (!prclExtra) line += "none";
    for (const RECTL* r = prclExtra; r && (r->left || r->top || r->right || r->bottom); ++r)
        line += "[" + Rect(*r) + "]";
    char brushes[96];
    std::snprintf(brushes, sizeof(brushes), " fore=%08lx back=%08lx mix=%04lx ",
                  pboFore ? (unsigned long)pboFore->iSolidColor : 0xDEADul,
                  pboOpaque ? (unsigned long)pboOpaque->iSolidColor : 0xDEADul, (unsigned long)mix);
    line += brushes + DescribeFont(pfo);
    LogLine(line);
    return !Refuses("DrvTextOut");
}

ULONG APIENTRY FakeGetGlyphMode(DHPDEV dhpdev, FONTOBJ* pfo) {
    unsigned long mode = FO_GLYPHBITS;
    Setting("glyphmode", mode);
    Log("DrvGetGlyphMode pdev=%lu font=%lu -> %lu", (unsigned long)AsPdev(dhpdev)->serial,
        (unsigned long)pfo->iUniq, mode);
    return ULONG(mode);
}

VOID APIENTRY FakeDestroyFont(FONTOBJ* pfo) {
    ULONG* consumer = static_cast<ULONG*>(pfo->pvConsumer);
    Log("DrvDestroyFont font=%lu consumer=%lu", (unsigned long)pfo->iUniq, consumer ? (unsigned long)*consumer : 0ul);
    delete consumer;
    pfo->pvConsumer = nullptr;
}

BOOL APIENTRY FakeGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex, ULONG nVertex,
                               PVOID pMesh, ULONG nMesh, RECTL* prclExtents, POINTL* pptlDitherOrg, ULONG ulMode) {
    Log("DrvGradientFill %s vertices=%lu mesh=%lu extents=%s mode=%lu", DescribeClip(pco).c_str(),
        (unsigned long)nVertex, (unsigned long)nMesh, Rect(*prclExtents).c_str(), (unsigned long)ulMode);
    if (Punts("DrvGradientFill"))
        return EngGradientFill(psoDest, pco, pxlo, pVertex, nVertex, pMesh, nMesh, prclExtents, pptlDitherOrg, ulMode);
    return !Refuses("DrvGradientFill");
}

// The two device fonts: an IFIMETRICS with its strings, and a glyph set.
struct FakeDeviceFont {
    IFIMETRICS ifi;
    WCHAR names[3][24];  // family, style, face
};

FakeDeviceFont MakeDeviceFont(ULONG iFace) {
    FakeDeviceFont font{};
    IFIMETRICS& ifi = font.ifi;
    const bool mono = iFace == 1;
    const char* names[3] = {mono ? "Fake Mono" : "Fake Serif", mono ? "Regular" : "Bold",
                            mono ? "Fake Mono" : "Fake Serif Bold"};
    for (int n = 0; n < 3; ++n)
        for (int i = 0; names[n][i]; ++i) font.names[n][i] = WCHAR(names[n][i]);
    ifi.cjThis = sizeof(FakeDeviceFont);
    ifi.dpwszFamilyName = offsetof(FakeDeviceFont, names[0]);
    ifi.dpwszStyleName = offsetof(FakeDeviceFont, names[1]);
    ifi.dpwszFaceName = offsetof(FakeDeviceFont, names[2]);
    ifi.dpwszUniqueName = ifi.dpwszFaceName;
    ifi.jWinCharSet = ANSI_CHARSET;
    ifi.jWinPitchAndFamily = BYTE(mono ? (FIXED_PITCH | FF_MODERN) : (VARIABLE_PITCH | FF_ROMAN));
    ifi.usWinWeight = mono ? FW_NORMAL : FW_BOLD;
    ifi.flInfo = mono ? FM_INFO_CONSTANT_WIDTH : 0;
    ifi.fsSelection = mono ? FM_SEL_REGULAR : FM_SEL_BOLD;
    ifi.fwdUnitsPerEm = 1000;
    ifi.fwdWinAscender = 800;
    ifi.fwdWinDescender = 200;
    ifi.fwdAveCharWidth = mono ? 600 : 550;
    ifi.fwdMaxCharInc = mono ? 600 : 700;
    ifi.fwdUnderscoreSize = 50;
    ifi.fwdUnderscorePosition = -100;
    ifi.fwdStrikeoutSize = 50;
    ifi.fwdStrikeoutPosition = 300;
    ifi.wcFirstChar = 0x20;
    ifi.wcLastChar = mono ? 0x7E : 0xFF;
    ifi.wcDefaultChar = 0x20;
    ifi.wcBreakChar = 0x20;
    ifi.rclFontBox = RECTL{0, 800, mono ? 600 : 700, -200};
    return font;
}

FakeDeviceFont gDeviceFonts[2] = {MakeDeviceFont(1), MakeDeviceFont(2)};

// Face 1's glyph set: one run with handles; face 2's: one run of its own characters.
struct FakeGlyphSet {
    FD_GLYPHSET set;
    HGLYPH handles[95];
};
FakeGlyphSet MakeGlyphSet(ULONG iFace) {
    FakeGlyphSet g{};
    g.set.cjThis = sizeof(g);
    g.set.flAccel = iFace == 1 ? 0 : GS_UNICODE_HANDLES;
    g.set.cRuns = 1;
    g.set.awcrun[0].wcLow = 0x20;
    g.set.awcrun[0].cGlyphs = USHORT(iFace == 1 ? 95 : 0xE0);
    g.set.cGlyphsSupported = g.set.awcrun[0].cGlyphs;
    for (ULONG i = 0; i < 95; ++i) g.handles[i] = 0x1020 + i;
    return g;
}
FakeGlyphSet gGlyphSets[2] = {MakeGlyphSet(1), MakeGlyphSet(2)};

PIFIMETRICS APIENTRY FakeQueryFont(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace, ULONG_PTR* pid) {
    Log("DrvQueryFont pdev=%lu file=%lu face=%lu", (unsigned long)AsPdev(dhpdev)->serial, (unsigned long)iFile,
        (unsigned long)iFace);
    if (iFace == 0) return reinterpret_cast<PIFIMETRICS>(ULONG_PTR(2));
    if (iFace > 2) return nullptr;
    *pid = 100 + iFace;
    gDeviceFonts[iFace - 1].ifi.cjThis = iFace == 2 && Wants("bad-devicefont") ? 8 : sizeof(FakeDeviceFont);
    return &gDeviceFonts[iFace - 1].ifi;
}

PVOID APIENTRY FakeQueryFontTree(DHPDEV dhpdev, ULONG_PTR, ULONG iFace, ULONG iMode, ULONG_PTR* pid) {
    Log("DrvQueryFontTree pdev=%lu face=%lu mode=%lu", (unsigned long)AsPdev(dhpdev)->serial, (unsigned long)iFace,
        (unsigned long)iMode);
    if (iMode != QFT_GLYPHSET || iFace < 1 || iFace > 2) return nullptr;
    FakeGlyphSet& g = gGlyphSets[iFace - 1];
    g.set.awcrun[0].phg = iFace == 1 ? g.handles : nullptr;
    *pid = 200 + iFace;
    return &g.set;
}

VOID APIENTRY FakeFree(PVOID, ULONG_PTR id) { Log("DrvFree id=%lu", (unsigned long)id); }

BOOL APIENTRY FakeQueryAdvanceWidths(DHPDEV dhpdev, FONTOBJ* pfo, ULONG iMode, HGLYPH* phg, PVOID pvWidths,
                                     ULONG cGlyphs) {
    Log("DrvQueryAdvanceWidths pdev=%lu font=%lu face=%lu type=%08lx mode=%lu count=%lu",
        (unsigned long)AsPdev(dhpdev)->serial, (unsigned long)pfo->iUniq, (unsigned long)pfo->iFace,
        (unsigned long)pfo->flFontType, (unsigned long)iMode, (unsigned long)cGlyphs);
    if (Refuses("DrvQueryAdvanceWidths")) return FALSE;
    XFORMOBJ* xform = FONTOBJ_pxoGetXform(pfo);
    auto* widths = static_cast<USHORT*>(pvWidths);
    for (ULONG i = 0; i < cGlyphs; ++i) {
        const LONG units = pfo->iFace == 1 ? 600 : LONG(400 + 50 * (phg[i] % 7));
        POINTL in{units, 0}, out{};
        XFORMOBJ_bApplyXform(xform, XF_LTOL, 1, &in, &out);
        widths[i] = USHORT(std::lround(std::hypot(double(out.x), double(out.y)) * 16));
    }
    return TRUE;
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
    {INDEX_DrvRealizeBrush, reinterpret_cast<PFN>(&FakeRealizeBrush)},
    {INDEX_DrvFillPath, reinterpret_cast<PFN>(&FakeFillPath)},
    {INDEX_DrvStrokePath, reinterpret_cast<PFN>(&FakeStrokePath)},
    {INDEX_DrvStrokeAndFillPath, reinterpret_cast<PFN>(&FakeStrokeAndFillPath)},
    {INDEX_DrvPaint, reinterpret_cast<PFN>(&FakePaint)},
    {INDEX_DrvBitBlt, reinterpret_cast<PFN>(&FakeBitBlt)},
    {INDEX_DrvCopyBits, reinterpret_cast<PFN>(&FakeCopyBits)},
    {INDEX_DrvStretchBlt, reinterpret_cast<PFN>(&FakeStretchBlt)},
    {INDEX_DrvTransparentBlt, reinterpret_cast<PFN>(&FakeTransparentBlt)},
    {INDEX_DrvGradientFill, reinterpret_cast<PFN>(&FakeGradientFill)},
    {INDEX_DrvAlphaBlend, reinterpret_cast<PFN>(&FakeAlphaBlend)},
    {INDEX_DrvTextOut, reinterpret_cast<PFN>(&FakeTextOut)},
    {INDEX_DrvGetGlyphMode, reinterpret_cast<PFN>(&FakeGetGlyphMode)},
    {INDEX_DrvDestroyFont, reinterpret_cast<PFN>(&FakeDestroyFont)},
    {INDEX_DrvQueryFont, reinterpret_cast<PFN>(&FakeQueryFont)},
    {INDEX_DrvQueryFontTree, reinterpret_cast<PFN>(&FakeQueryFontTree)},
    {INDEX_DrvFree, reinterpret_cast<PFN>(&FakeFree)},
    {INDEX_DrvQueryAdvanceWidths, reinterpret_cast<PFN>(&FakeQueryAdvanceWidths)},
    {INDEX_DrvResetPDEV, reinterpret_cast<PFN>(&FakeResetPDEV)},  // last: "no-resetpdev" leaves it out
};

// The names of the callbacks a test may leave out with "without-<name>".
struct Optional {
    ULONG index;
    const char* name;
};
const Optional kOptional[] = {
    {INDEX_DrvTextOut, "DrvTextOut"},
    {INDEX_DrvGetGlyphMode, "DrvGetGlyphMode"},
    {INDEX_DrvDestroyFont, "DrvDestroyFont"},
    {INDEX_DrvQueryFontTree, "DrvQueryFontTree"},
    {INDEX_DrvQueryAdvanceWidths, "DrvQueryAdvanceWidths"},
};

// The table DrvEnableDriver answers: the callbacks but those the wishes leave out.
DRVFN gTable[sizeof(kCallbacks) / sizeof(kCallbacks[0])];

ULONG MakeTable() {
    ULONG count = 0;
    for (const DRVFN& entry : kCallbacks) {
        bool left = false;
        for (const Optional& optional : kOptional)
            if (entry.iFunc == optional.index && Wants((std::string("without-") + optional.name).c_str())) left = true;
        if (entry.iFunc == INDEX_DrvResetPDEV && Wants("no-resetpdev")) left = true;
        if (!left) gTable[count++] = entry;
    }
    return count;
}

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
    pded->c = MakeTable();
    pded->pdrvfn = gTable;
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
