// The outside image-processing library "Zodaridoz.DLL", which adjusts
// colours and greys by the levels of the settings. It lies beside the
// rendering DLL and is bound once per process, at the start of the first
// PCL XL session; without it colours and greys go out unadjusted.
//
// Its six entry points, as this driver calls them (WINAPI, exported by name):
#pragma once
#include <windows.h>

#define IPS_LIBRARY_NAME u"Zodaridoz.DLL"

// Adjusts `count` RGB triples (three bytes each, red first) from `in` into
// `out`, which may be `in` itself, by three levels of -100..100 (0 leaves a
// component as it is). FALSE, with `out` unchanged, for bad arguments.
typedef BOOL(WINAPI* PFN_ColorAdjustmentN)(const BYTE* in, BYTE* out, INT count, INT level1, INT level2,
                                           INT level3);
// Adjusts `count` grey bytes in place by three levels of -100..100.
typedef BOOL(WINAPI* PFN_GrayAdjustmentN)(BYTE* grey, INT count, INT level1, INT level2, INT level3);
// Adjusts `count` grey bytes in place through a tone curve (`curve` 0: the
// standard curve) by three levels of -100..100.
typedef BOOL(WINAPI* PFN_GrayAdjustmentTRC)(BYTE* grey, INT count, INT curve, INT level1, INT level2, INT level3);
// Opens an RGB colour profile by name; null when it cannot be opened.
typedef LPVOID(WINAPI* PFN_StartRGBProfile)(LPCSTR profile);
// Maps `count` RGB triples from `in` into `out` (may be `in`) through an open profile.
typedef BOOL(WINAPI* PFN_ApplyRGBProfile)(LPVOID profile, const BYTE* in, BYTE* out, INT count);
// Closes a profile StartRGBProfile opened.
typedef BOOL(WINAPI* PFN_EndRGBProfile)(LPVOID profile);

// The binding, shared by every PDEV of the process. An entry point the
// library lacks stays null; callers test each pointer.
struct IpsBinding {
    HMODULE Library;
    PFN_ColorAdjustmentN ColorAdjustmentN;
    PFN_GrayAdjustmentN GrayAdjustmentN;
    PFN_GrayAdjustmentTRC GrayAdjustmentTRC;
    PFN_StartRGBProfile StartRGBProfile;
    PFN_ApplyRGBProfile ApplyRGBProfile;
    PFN_EndRGBProfile EndRGBProfile;
};

// Loads "Zodaridoz.DLL" from the rendering DLL's own folder, unless it is
// loaded already, and binds its entry points. FALSE, with every entry point
// unset, when it cannot be loaded. The library stays loaded for the life of
// the process.
BOOL Ips_Load();
// The current binding.
const IpsBinding& Ips_Binding();
