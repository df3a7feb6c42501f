// What enabling tells the engine about the device: the GDIINFO and DEVINFO
// answers of DrvEnablePDEV, computed from the PDEV's settings and geometry.
#pragma once
#include <windows.h>
#include <winddi.h>

struct PDEV;

// Device pixels per inch of the settings: 600 times (resolution step + 1).
LONG Enable_Resolution(const PDEV* pdev);
// The printable area of the PDEV's page: paper less both margins.
SIZEL Enable_PrintableSize(const PDEV* pdev);
// The halftone pattern size (HT_PATSIZE_*) for a device of these resolutions.
ULONG Enable_HalftonePatternSize(ULONG xResolution, ULONG yResolution, BOOL eightBitFormat);

void Enable_BuildGdiInfo(const PDEV* pdev, GDIINFO* gdi);
// Fills `devInfo` and creates the default palette, which the PDEV keeps (a
// palette it held already is deleted first). FALSE when the palette cannot
// be created.
BOOL Enable_BuildDevInfo(PDEV* pdev, DEVINFO* devInfo);
