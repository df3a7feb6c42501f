// Colour adjustment and palettes: pens, brushes and pattern pixels are
// changed by the levels the settings carry per kind of object, through the
// outside image-processing library; indexed images and patterns get their
// colour space with a small palette.
#pragma once
#include <windows.h>

struct PDEV;

// Palette kinds of Color_SetPalette.
#define COLOR_PALETTE_256 0
#define COLOR_PALETTE_16 1
#define COLOR_PALETTE_2 2

// Adjusts one colour in place by the level triple of the object being drawn
// (or the all-objects triple). Nothing changes while the user interface
// draws its watermark or a page part is recorded, when the levels are all
// zero or one is outside -100..100, or without the library.
void Color_AdjustRgb(PDEV* pdev, BYTE* red, BYTE* green, BYTE* blue);
// Adjusts one grey level in place by the settings' grey levels, when their
// mode (or the force flag) asks for it.
void Color_AdjustGray(PDEV* pdev, BYTE* grey);
// Selects an indexed colour space with `palette`: 2, 16 or 256 entries
// (COLOR_PALETTE_*), one grey byte each in a monochrome job, an RGB triple
// each in a colour job. Nothing is written when the same palette is in force
// already (a palette of 256 entries is always written). FALSE for an
// unknown kind or when writing failed.
BOOL Color_SetPalette(PDEV* pdev, const BYTE* palette, int kind);
