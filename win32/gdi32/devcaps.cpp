// GetDeviceCaps: a device's capabilities as GDI derives them from what the
// driver answered at DrvEnablePDEV (GDIINFO and DEVINFO).
//
// Most values are the driver's own. GDI adds what the engine provides for
// every device whatever its driver draws itself: curves, wide and styled
// lines, polygons, rectangle clipping and, on raster devices, the blits and
// device-independent bitmaps. A device of more than 8 bits per pixel has no
// colour table: NUMCOLORS and NUMPENS are -1 there, and NUMBRUSHES always.
//
// A memory DC answers for the device it is compatible with: a printer's
// capabilities, copied when the DC was made, or the screen's. The screen
// is a 1920 x 1080 display of 32 bits per pixel at 96 dots per inch
// (508 x 286 mm), which blends and fills gradients itself; a window's DC
// answers for it too.
#include <windows.h>
#include <winddi.h>

#include "gdi32/dc.h"

namespace {

constexpr int kCurveCaps =
    CC_CIRCLES | CC_PIE | CC_CHORD | CC_ELLIPSES | CC_WIDE | CC_STYLED | CC_WIDESTYLED | CC_INTERIORS | CC_ROUNDRECT;
constexpr int kLineCaps = LC_POLYLINE | LC_MARKER | LC_POLYMARKER | LC_WIDE | LC_STYLED | LC_WIDESTYLED | LC_INTERIORS;
constexpr int kPolygonalCaps =
    PC_POLYGON | PC_RECTANGLE | PC_WINDPOLYGON | PC_SCANLINE | PC_WIDE | PC_STYLED | PC_WIDESTYLED | PC_INTERIORS;
constexpr ULONG kEngineRasterCaps = RC_GDI20_OUTPUT | RC_BIGFONT | RC_OP_DX_OUTPUT;
constexpr ULONG kRasterDeviceCaps =
    RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_FLOODFILL | RC_STRETCHDIB;
// The entries of the system palette Windows keeps for itself.
constexpr int kReservedPaletteEntries = 20;

// GDIINFO sizes are millimetres, or micrometres when negative.
int Millimetres(ULONG size) {
    const LONG value = LONG(size);
    return value >= 0 ? value : (-value + 500) / 1000;
}

bool IsRasterDevice(ULONG technology) {
    return technology == DT_RASDISPLAY || technology == DT_RASPRINTER || technology == DT_RASCAMERA;
}

int DeviceCaps(const GDIINFO& gdi, const DEVINFO& dev, int index) {
    const bool hasColorTable = gdi.cBitsPixel * gdi.cPlanes <= 8;
    switch (index) {
        case DRIVERVERSION: return int(gdi.ulVersion);
        case TECHNOLOGY: return int(gdi.ulTechnology);
        case HORZSIZE: return Millimetres(gdi.ulHorzSize);
        case VERTSIZE: return Millimetres(gdi.ulVertSize);
        case HORZRES: return int(gdi.ulHorzRes);
        case VERTRES: return int(gdi.ulVertRes);
        case BITSPIXEL: return int(gdi.cBitsPixel);
        case PLANES: return int(gdi.cPlanes);
        case NUMBRUSHES: return -1;
        // Five pen styles in each colour of the table.
        case NUMPENS: return hasColorTable ? int(gdi.ulNumColors * 5) : -1;
        case NUMMARKERS: return 0;
        case NUMFONTS: return int(dev.cFonts);
        case NUMCOLORS: return hasColorTable ? int(gdi.ulNumColors) : -1;
        case PDEVICESIZE: return 0;
        case CURVECAPS: return kCurveCaps;
        case LINECAPS: return kLineCaps;
        case POLYGONALCAPS: return kPolygonalCaps;
        case TEXTCAPS: return int(gdi.flTextCaps);
        case CLIPCAPS: return CP_RECTANGLE;
        case RASTERCAPS:
            return int(gdi.flRaster | kEngineRasterCaps | (IsRasterDevice(gdi.ulTechnology) ? kRasterDeviceCaps : 0));
        case ASPECTX: return int(gdi.ulAspectX);
        case ASPECTY: return int(gdi.ulAspectY);
        case ASPECTXY: return int(gdi.ulAspectXY);
        case SHADEBLENDCAPS: return int(gdi.flShadeBlend);
        case LOGPIXELSX: return int(gdi.ulLogPixelsX);
        case LOGPIXELSY: return int(gdi.ulLogPixelsY);
        case SIZEPALETTE: return int(gdi.ulNumPalReg);
        case NUMRESERVED: return (gdi.flRaster & RC_PALETTE) ? kReservedPaletteEntries : 0;
        case COLORRES: return int(gdi.ulDACRed + gdi.ulDACGreen + gdi.ulDACBlue);
        case PHYSICALWIDTH: return int(gdi.szlPhysSize.cx);
        case PHYSICALHEIGHT: return int(gdi.szlPhysSize.cy);
        case PHYSICALOFFSETX: return int(gdi.ptlPhysOffset.x);
        case PHYSICALOFFSETY: return int(gdi.ptlPhysOffset.y);
        case SCALINGFACTORX: return 0;
        case SCALINGFACTORY: return 0;
        case VREFRESH: return int(gdi.ulVRefresh);
        case DESKTOPVERTRES: return int(gdi.ulVertRes);
        case DESKTOPHORZRES: return int(gdi.ulHorzRes);
        case BLTALIGNMENT: return int(gdi.ulBltAlignment);
        case COLORMGMTCAPS:
            return ((dev.flGraphicsCaps & GCAPS_ICM) ? CM_DEVICE_ICM : 0) |
                   ((dev.flGraphicsCaps & GCAPS_CMYKCOLOR) ? CM_CMYK_COLOR : 0);
        default: return 0;  // an index Windows does not know
    }
}

// What a display driver would answer for the screen.
void ScreenInfo(GDIINFO& gdi, DEVINFO& dev) {
    gdi = GDIINFO{};
    dev = DEVINFO{};
    gdi.ulVersion = 0x4000;
    gdi.ulTechnology = DT_RASDISPLAY;
    gdi.ulHorzSize = 508;  // 1920 pixels at 96 per inch
    gdi.ulVertSize = 286;  // 1080 pixels at 96 per inch
    gdi.ulHorzRes = 1920;
    gdi.ulVertRes = 1080;
    gdi.cBitsPixel = 32;
    gdi.cPlanes = 1;
    gdi.ulNumColors = ULONG(-1);
    gdi.flRaster = 0;
    gdi.ulLogPixelsX = 96;
    gdi.ulLogPixelsY = 96;
    gdi.flTextCaps = TC_RA_ABLE;
    gdi.ulDACRed = gdi.ulDACGreen = gdi.ulDACBlue = 8;
    gdi.ulAspectX = gdi.ulAspectY = 36;
    gdi.ulAspectXY = 51;  // the diagonal of a 36 x 36 square
    gdi.ulVRefresh = 60;
    gdi.flShadeBlend = SB_CONST_ALPHA | SB_PIXEL_ALPHA | SB_PREMULT_ALPHA | SB_GRAD_RECT | SB_GRAD_TRI;
}

int ScreenDeviceCaps(int index) {
    GDIINFO gdi;
    DEVINFO dev;
    ScreenInfo(gdi, dev);
    return DeviceCaps(gdi, dev, index);
}

}  // namespace

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (dc && dc->windowSurface) return ScreenDeviceCaps(index);
    if (dc && dc->memory) {
        if (!dc->printerCompatible) return ScreenDeviceCaps(index);
        return DeviceCaps(dc->compatibleGdiInfo, dc->compatibleDevInfo, index);
    }
    std::lock_guard lock(w32::EngineLock());
    if (!dc || !dc->device->pdev) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const w32::EnginePdev& pdev = *dc->device->pdev;
    return DeviceCaps(pdev.gdiInfo, pdev.devInfo, index);
}
