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
    BYTE PitchAndFamily;     // of the face last asked for its em (Font_GetCharSize)
    INT32 Escapement;        // of the current string, whole degrees (360 unrotated)
    UINT32 FontQueries;      // DrvQueryFont calls
};

struct PDEV;

// Selects a font for the following text: FontName (Pxl_WriteFontName with
// `flags`: FONTNAME_PREFIX for a downloaded font, FONTNAME_BITMAP for a
// bitmap one), CharSize |size| (real32, device pixels), SymbolSet (uint16)
// and SetFont. The size and number become the PDEV's current ones.
BOOL Tx_SetFont(PDEV* pdev, LPCSTR name, int number, LONG size, UINT16 symbolSet, DWORD flags);

// Glyphs a Text operator carries at most.
#define TEXT_CHUNK_GLYPHS 1500

// The printer code of one character in the current string's encoding (the
// text flags): a UTF-16 value with its two bytes exchanged, a double-byte
// code (lead byte high) or a single byte of the string's code page; a code
// of 0 becomes 0xFFFF. FALSE, with *code 0xFFFF, when the character has no
// code (an internal check).
BOOL Tx_CharCode(PDEV* pdev, WCHAR character, UINT16* code);

// TextData of one chunk (1..TEXT_CHUNK_GLYPHS codes): a uint16 array that
// the printer reads as the codes its font holds the glyphs under. In a
// downloaded TrueType font those are the font cache's codes (the string's
// characters, or glyph indexes plus 0x8000 with `glyphIndexes`); otherwise
// Tx_CharCode's. TXT_MISSING, with nothing written, when the cache lacks a
// glyph; FALSE when writing failed.
#define TXT_MISSING 2
BOOL Pxl_WriteTextData(PDEV* pdev, const WCHAR* codes, DWORD count, BOOL glyphIndexes);
// A spacing array: a ubyte array of the values' low bytes (`bytesOnly`) or a
// sint16 array, then the attribute.
BOOL Pxl_WriteTextArray(PDEV* pdev, DWORD count, const INT16* values, BOOL bytesOnly, BYTE attributeId);
// The Text operators of one batch of glyphs whose first glyph the cursor is
// at: TextData, the advances from each glyph to the next (the fixed advance
// turned by the string's escapement for every glyph, else the differences
// of the glyphs' places and none after the batch's last glyph) as XSpacingData and, when any
// is not 0, YSpacingData, and Text, in chunks of TEXT_CHUNK_GLYPHS. A gap
// too wide for a spacing value starts a new chunk at its glyph's place.
// TXT_MISSING as Pxl_WriteTextData, for the chunk that lacks a glyph.
BOOL Pxl_WriteText(PDEV* pdev, FONTOBJ* font, DWORD count, const GLYPHPOS* glyphs, const WCHAR* codes,
                   STROBJ* string, ULONG fixedAdvance);

// ceil(sqrt(a^2 + b^2)): the length of a vector in whole units, rounded up.
ULONG Util_IntHypot(LONG a, LONG b);
// A number made from a text for the font cache's keys: value x 10 + each
// byte, in 32-bit arithmetic.
UINT32 Util_NameValue(LPCSTR text);
