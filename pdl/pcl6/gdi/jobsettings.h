// The settings that the job stream reads, from the job's copy of the
// rendering settings (JobDevmode, taken at job start and at the first page).
//
// Several fields of the settings have no role until the code that reads
// them gives them one; the roles given here:
//   colour adjustment area (private 2916):
//     int 4 (2920)         grey adjustment mode: 0 off, 1 when a level is set, other values always
//     bytes 8..10 (2924)   the three grey adjustment levels
//     byte 11 (2927)       non-zero: adjust greys whatever the mode says
//     byte 12 (2928)       1: the fourth level triple adjusts every kind of object (the default)
//     bytes 14..25 (2930)  the four RGB level triples: text, vector graphics, images, all objects
//     byte 32 (2948)       black conversion: 1 text, 2 vector graphics, 3 both
//   int 13556              non-zero: the PJL header asks for the render model G2
//   byte 13564             the job-handling setting (the check keeps it 0)
//   short 13566            1: fine mode on (the check keeps it 0)
// The user interface fills none of them, so they hold the defaults.
#pragma once
#include <windows.h>

#include "pcl6/gdi/gstate.h"
#include "pcl6/gdi/pdev.h"

#define SETTINGS_LEVEL_TRIPLES 4
#define SETTINGS_ALL_OBJECTS_TRIPLE 3

inline const RendDevmode& Job_Settings(const PDEV* pdev) { return pdev->Job.JobDevmode; }

// The printer turns the sheets itself: duplex modes 1 and 2 (or mode 0
// with a two-sided public setting).
inline bool Settings_IsPrinterDuplex(const RendDevmode& settings) {
    const int mode = settings.priv.DuplexBinding;
    return mode == 1 || mode == 2 || (mode == 0 && settings.pub.dmDuplex > DMDUP_SIMPLEX);
}
// The user turns the stack over between two passes: duplex modes 3 and 4.
inline bool Settings_IsManualDuplex(const RendDevmode& settings) { return settings.priv.DuplexBinding >= 3; }

// 0 renders at 600 dpi, 1 at 1200 dpi.
inline int Settings_ResolutionStep(const PDEV* pdev) {
    return Job_Settings(pdev).priv.ColorAdjust.ResolutionStep ? 1 : 0;
}
// Device units per inch: 600 or 1200.
inline int Settings_UnitsPerInch(const PDEV* pdev) { return (Settings_ResolutionStep(pdev) + 1) * 600; }
inline bool Settings_IsColorJob(const PDEV* pdev) { return Job_Settings(pdev).pub.dmColor == DMCOLOR_COLOR; }
// The colour space of the job's pens and brushes: GX_SPACE_RGB or GX_SPACE_GREY.
inline int Settings_ColorSpace(const PDEV* pdev) { return Settings_IsColorJob(pdev) ? GX_SPACE_RGB : GX_SPACE_GREY; }
inline int Settings_BlackConversion(const PDEV* pdev) { return Job_Settings(pdev).priv.ColorAdjust.Value32; }
inline int Settings_ColorAllObjectsMode(const PDEV* pdev) { return Job_Settings(pdev).priv.ColorAdjust.Value12; }
inline int Settings_ColorLevel(const PDEV* pdev, int triple, int index) {
    return Job_Settings(pdev).priv.ColorAdjust.Levels[triple][index];
}
inline LONG Settings_GreyMode(const PDEV* pdev) { return Job_Settings(pdev).priv.ColorAdjust.Value4; }
inline int Settings_GreyLevel(const PDEV* pdev, int index) {
    return Job_Settings(pdev).priv.ColorAdjust.GreyLevels[index];
}
inline bool Settings_GreyForced(const PDEV* pdev) { return Job_Settings(pdev).priv.ColorAdjust.Value11 != 0; }
inline int Settings_JobHandling(const PDEV* pdev) { return Job_Settings(pdev).priv.Value13564; }
inline bool Settings_RenderModel(const PDEV* pdev) { return Job_Settings(pdev).priv.Value13556 != 0; }
inline bool Settings_FineMode(const PDEV* pdev) { return Job_Settings(pdev).priv.Value13566 == 1; }
