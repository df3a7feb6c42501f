// What text output asks of the engine's font objects: the face name, the
// character size and aspect, the character angle and the bold and italic
// simulation.
#pragma once
#include <windows.h>
#include <winddi.h>

struct PDEV;

// The face name of the font's IFIMETRICS in 8-bit characters, cut to 31
// and terminated in `buffer` (32 bytes). An empty name when the font has
// no metrics.
void Font_GetName(LPSTR buffer, FONTOBJ* font);
// The em of the font on the device: height is the length of the em-high
// vertical turned by the font's transform, width that height scaled by
// |M11| / |M22| (the height itself when M22 is 0 or the width comes out 0).
// Device pixels. Nothing is written without a transform or metrics.
void Font_GetCharSize(PDEV* pdev, FONTOBJ* font, LONG* width, LONG* height);
// The character angle for the printer in whole degrees: the direction of
// the font's baseline on the device, turned the other way (an unrotated
// font gives 360). -1 without a transform or metrics.
int Font_GetCharAngle(PDEV* pdev, FONTOBJ* font);
// The printer's angle for a baseline direction in whole degrees, counted
// from x toward y on the device: 0..360 give 360 - direction, larger
// directions fold into 0..359.
int Font_CharAngleOf(int direction);
// Writes the bold value and the shear that simulate a bold or italic face
// the font object asks for and the face lacks (both 0 otherwise, or with
// `noSimulation`).
BOOL Font_SetSimulation(PDEV* pdev, FONTOBJ* font, BOOL noSimulation);

// The emboldening and slant sent for a simulated face.
#define FONT_SIM_BOLD_VALUE 0.015
#define FONT_SIM_ITALIC_SHEAR 0.31623
