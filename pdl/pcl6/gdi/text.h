// Text output: strings printed with downloaded or printer-resident fonts.
#pragma once
#include <windows.h>
#include <winddi.h>

// TextState.TextFlags.
#define TEXTF_DOUBLE_BYTE 0x01   // double-byte codes
#define TEXTF_BITMAP_FONT 0x04   // printed in a bitmap font
#define TEXTF_TRUETYPE 0x08      // printed in a downloaded TrueType font
#define TEXTF_RESIDENT 0x10      // printed in a printer-resident font
#define TEXTF_UTF16 0x20         // codes are UTF-16 values

// The PDEV's text state (part of the job state).
struct TextState {
    UINT32 TextFlags;        // TEXTF_*
    INT32 TrueTypeText;      // 1 while the string's font is a downloaded TrueType font
    UINT16 TrueTypeFontId;
    UINT32 CodePage;         // of the current string
    INT32 CharSize;          // of the font last selected (Tx_SetFont), device pixels
    UINT16 FontNumber;       // of the font last selected
};

struct PDEV;

// Selects a font for the following text: FontName (Pxl_WriteFontName with
// `flags`: FONTNAME_PREFIX for a downloaded font, FONTNAME_BITMAP for a
// bitmap one), CharSize |size| (real32, device pixels), SymbolSet (uint16)
// and SetFont. The size and number become the PDEV's current ones.
BOOL Tx_SetFont(PDEV* pdev, LPCSTR name, int number, LONG size, UINT16 symbolSet, DWORD flags);

