// The PDEV: the one record that carries everything of one printer device
// context: the document settings, the page geometry, the engine's handles,
// the job and page state, the output buffer and the caches. The engine knows
// it as the device handle (DHPDEV) and as the device surface's own handle.
//
// The members keep the order of their roles. Everything from `Job` on is the
// job state that DrvResetPDEV moves from an old PDEV to a new one.
#pragma once
#include <windows.h>
#include <winddi.h>
#include <winspool.h>

#include <type_traits>

#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/fontsub.h"
#include "pcl6/gdi/gstate.h"
#include "pcl6/gdi/jobstate.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/text.h"
#include "pcl6/intrface/renddevmode.h"

// The word every live PDEV carries.
#define PDEV_SIGNATURE 0x7a7a7a7au

// The device fonts the engine is told of: none, so both stay 0; text output
// numbers its fonts from their sum.
struct DeviceFontCounts {
    ULONG Resident;
    ULONG Downloadable;
};

// The settings records are packed; their DEVMODEW is kept at its own
// alignment, as the settings code takes references to it.

// The job state: everything a reset carries from an old PDEV to a new one.
struct PdevJob {
    JobState State;
    UINT32 JobFlags;              // JOBF_*
    LPVOID JobControlBlock;       // GlobalAlloc'ed by job control, freed with the PDEV
    alignas(8) RendDevmode JobDevmode;  // the job's copy of the settings
    GraphicsStateCache Gstate;
    EncoderState Encoder;
    FontCacheState FontCache;
    PatternCache Patterns;
    TextState Text;
    UINT32 Signature;             // PDEV_SIGNATURE
    UINT32 LastWord;              // read by escape 0x5010
};

struct PDEV {
    INT16 Orientation;            // the settings' dmOrientation at enabling: 1 portrait, 2 landscape
    alignas(8) RendDevmode Devmode;  // the current settings; replaced by a reset
    PageGeometry Geometry;        // of the settings' paper, in device pixels
    HDEV Hdev;                    // from DrvCompletePDEV
    HANDLE SpoolerPrinter;        // the printer handle given to DrvEnablePDEV
    LPCWSTR DataFile;             // the driver's data file, inside DriverInfo
    DRIVER_INFO_2W* DriverInfo;   // read at enabling (LocalAlloc); freed with the PDEV
    HSURF Surface;                // from DrvEnableSurface
    HPALETTE Palette;             // the default palette
    DeviceFontCounts DeviceFonts;
    FontSubstitutionList FontSubstitution;
    PdevJob Job;
};

// Reset copies the job state as bytes, and PDEVs are zero-filled blocks.
static_assert(std::is_trivially_copyable_v<PDEV>);
static_assert(std::is_trivially_copyable_v<PdevJob>);

inline PDEV* AsPdev(DHPDEV dhpdev) { return reinterpret_cast<PDEV*>(dhpdev); }
inline DHPDEV AsDhpdev(PDEV* pdev) { return reinterpret_cast<DHPDEV>(pdev); }
// The PDEV of a surface; null without one.
inline PDEV* SurfacePdev(SURFOBJ* pso) { return pso ? AsPdev(pso->dhpdev) : nullptr; }
