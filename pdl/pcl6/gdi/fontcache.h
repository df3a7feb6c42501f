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
