// The font cache: the fonts and glyphs downloaded into the printer during a
// job, with their identifiers and printer character codes.
#pragma once
#include <windows.h>

struct FontCacheEntry;
struct GlyphTableBlock;

// One bit per font identifier above the first.
#define FONTCACHE_ID_BITS_BYTES 560

// The PDEV's font cache (part of the job state). The font records and glyph
// blocks belong to the job.
struct FontCacheState {
    UINT16 FirstId;                 // 100 at the start of every job
    UINT16 NextId;
    BYTE IdInUse[FONTCACHE_ID_BITS_BYTES];
    FontCacheEntry* Fonts;          // in registration order
    FontCacheEntry* LastFound;
    GlyphTableBlock* GlyphBlocks;
    LPVOID PendingFont;             // a font whose download waits for the next string
    INT32 MemoryInUse;
    INT32 MemoryPeak;
    INT32 GlyphHits;
    INT32 GlyphsAdded;
    INT32 FontsRemoved;
    INT32 BytesDownloaded;
};

struct PDEV;

// Pxl_WriteFontName flags.
#define FONTNAME_BITMAP 0x1   // with FONTNAME_PREFIX: "%dBM", else "%dTT"
#define FONTNAME_PREFIX 0x2   // prefix the name with the font's number less 100

// FontName as a ubyte array with a uint16 length (C8 C1 length, the bytes,
// F8 A8). With FONTNAME_PREFIX the name is that of a downloaded font: its
// number less the first identifier (100) and "BM" or "TT" come first. The
// name is cut to 31 bytes. Returns the length of the name written, 0 when
// writing failed or the name is missing.
DWORD Pxl_WriteFontName(PDEV* pdev, LPCSTR name, int number, DWORD flags);
