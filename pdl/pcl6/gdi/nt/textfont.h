// The font of a string: which font the printer prints it in (a downloaded
// TrueType outline font, a downloaded bitmap font or a printer-resident
// font), its download and selection, and the clip of text.
#pragma once
#include <windows.h>
#include <winddi.h>

struct PDEV;

// Chooses, downloads and selects the font for the string: the glyphs the
// printer lacks are sent, and the simulation, character scale and angle and
// SetFont are written as they changed. `forceBitmap` prints it in a bitmap
// font whatever the settings. FALSE when the font cannot be printed.
BOOL Txt_SelectFont(PDEV* pdev, FONTOBJ* font, STROBJ* string, BOOL forceBitmap);

// The printer-resident font the user's substitution list puts in place of
// the font's face: its index (1..93) with its printer name (16 characters
// and a terminator in `name`, 17 bytes) and symbol set; 0 when the face is
// not replaced (no list, substitution off in the settings, no entry, or an
// index outside 1..93).
int Txt_SubstituteFont(PDEV* pdev, FONTOBJ* font, LPSTR name, UINT16* symbolSet);

// The clip of a string within `bounds` (device pixels), as for any drawing.
BOOL Txt_SetClip(PDEV* pdev, CLIPOBJ* clip, const RECTL* bounds);
