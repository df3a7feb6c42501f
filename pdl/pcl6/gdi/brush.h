// Brushes: solid colours and the hatch and pattern brushes defined once per
// job as PCL XL raster patterns.
//
// The engine hands every non-solid brush to DrvRealizeBrush once; the
// driver keeps a RealizedBrush in the engine's memory for it. When a
// drawing call selects a brush as the PCL XL pen or brush source, a solid
// colour becomes a grey level (monochrome jobs) or an RGB colour, and a
// realised brush becomes a raster pattern: defined in the stream the first
// time it is used, under a pattern id that later uses select again.
//
// The lists of defined patterns belong to the job state: they start empty
// with every job and again after each sheet whose bytes are kept for a
// replay (a kept sheet must define every pattern it uses, as it may be
// played in another order or again), and a reset PDEV carries them over.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <cstddef>

// Bytes the pattern pool may hand out.
#define PATTERN_POOL_LIMIT 102400
// Pattern identifiers start here.
#define PATTERN_FIRST_ID 8
// Cached patterns take ids below this one; a pattern that cannot be cached
// is defined for each use under this id, as a temporary pattern.
#define PATTERN_TEMPORARY_ID 32769
// The pool bytes one hatch pattern takes.
#define PATTERN_HATCH_ENTRY_BYTES 20
// The pool bytes of a bitmap pattern besides its colour table and rows.
#define PATTERN_BITMAP_NODE_BYTES 32

// The hatch index of a realised brush that stands for a solid colour.
#define BRUSH_HATCH_SOLID 6

// Bitmap format codes of a realised brush beyond the source's BMF_ code.
#define BRUSH_FORMAT_GREY8 BMF_8BPP   // a monochrome job's 8-bit grey pixels, no colour table
#define BRUSH_FORMAT_RGB24 BMF_24BPP  // a colour job's RGB pixels, red first

// The driver's form of a brush, in the engine's memory: this header, the
// pattern rows (top row first, each padded to 4 bytes), then the colour
// table: one grey byte an entry in a monochrome job, the engine's 32-bit
// colour (0x00BBGGRR) an entry in a colour job.
struct RealizedBrush {
    INT32 Width;          // pattern pixels
    INT32 Height;
    UINT32 Format;        // BMF_* code of the rows
    UINT32 Entries;       // colour-table entries
    UINT32 TableOffset;   // from the record's start: sizeof(RealizedBrush) + pattern bytes
    UINT32 Hatch;         // the engine's iHatch: 0..5 hatches, 6 solid, above: a pattern
    UINT32 RowBytes;      // bytes of one row with its padding
};
static_assert(sizeof(RealizedBrush) == 28);
static_assert(offsetof(RealizedBrush, Hatch) == 20);

// A hatch pattern defined in the job.
struct HatchPatternEntry {
    UINT16 Id;
    UINT16 Hatch;
    UINT32 Color1;        // the lines' colour (colour-table entry 1)
    UINT32 Color0;        // the background (entry 0)
    HatchPatternEntry* Next;
};

// A bitmap pattern defined in the job; its colour table and rows follow it.
struct BitmapPatternNode {
    UINT16 Id;
    BitmapPatternNode* Next;
    INT32 Width;
    INT32 Height;
    UINT32 Format;
    UINT32 Entries;
    UINT32 DataBytes;     // colour table and rows
};

// The job's hatch and pattern cache (part of the job state).
struct PatternCache {
    LPVOID Pool;              // chained blocks of the records below
    INT32 PoolBytes;          // bytes taken from the pool
    INT32 PatternCount;       // patterns cached: the next id is PATTERN_FIRST_ID + this
    HatchPatternEntry* Hatches;
    BitmapPatternNode* Bitmaps;
};

struct PDEV;

// The grey level of a colour (0x00BBGGRR): (74 R + 155 G + 27 B) / 256.
inline BYTE Brush_GreyOf(ULONG color) {
    return BYTE((74 * (color & 0xFF) + 155 * ((color >> 8) & 0xFF) + 27 * ((color >> 16) & 0xFF)) / 256);
}

// Makes the brush the PCL XL pen source (asBrush FALSE) or brush source
// (TRUE): no brush object gives the null pen or brush; a solid colour its
// grey level or colour; a realised brush its pattern. FALSE when the engine
// has no realisation for a non-solid brush or writing failed.
BOOL Brush_Select(PDEV* pdev, BRUSHOBJ* brush, const POINTL* origin, BOOL asBrush);
// Defines (or finds) the pattern of a realised brush and selects it as the
// pen or brush source.
BOOL Pattern_Select(PDEV* pdev, const RealizedBrush* brush, const POINTL* origin, BOOL asBrush);
// The id of the hatch pattern of a realised hatch brush, defined now when
// the job has not defined it yet; 0 on failure.
UINT16 Brush_DefineHatch(PDEV* pdev, const RealizedBrush* brush);
// The id of the bitmap pattern of a realised pattern brush, defined now when
// the job has not defined the same pattern yet; 0 on failure.
UINT16 Brush_DefineBitmapPattern(PDEV* pdev, const RealizedBrush* brush);
// Forgets every pattern the job defined and frees the pool: the next
// pattern is defined again under the first id.
void Brush_ResetPatterns(PDEV* pdev);
