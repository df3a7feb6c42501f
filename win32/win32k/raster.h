// The raster engine: what GDI and the engine draw into bitmaps. Each call
// takes the destination pixels already cut to the clip (a list of
// rectangles or spans in destination coordinates) and applies one of GDI's
// raster operations: ROP2 mixes, ROP3 codes over pattern (P), source (S)
// and destination (D), and ROP4 (a foreground ROP3 in the low byte where
// the mask bit is 1, a background ROP3 in the high byte where it is 0).
// A clip is a list of rectangles that do not overlap (a region's); an
// empty list draws nothing, so a caller without clipping passes the
// destination's bounds. Every call cuts its work to the bitmaps itself.
#pragma once
#include <windows.h>

#include <span>

#include "win32k/rasterbitmap.h"
#include "win32k/span.h"

namespace w32::raster {

// The ROP3 that a ROP2 mix (R2_BLACK .. R2_WHITE) is over pattern and
// destination, the pen being the pattern.
ULONG Rop2ToRop3(int rop2);
// The result bits of a ROP3 code (the byte 0..255 of the code) for the
// bits of pattern, source and destination.
ULONG ApplyRop3(BYTE rop3, ULONG pattern, ULONG source, ULONG destination);

// Fills spans or rectangles with the brush under a ROP3 that reads no source.
void FillSpans(const Bitmap& destination, std::span<const Span> spans, const Pattern& brush, BYTE rop3);
void FillRects(const Bitmap& destination, std::span<const RECTL> rects, const Pattern& brush, BYTE rop3);

// A source for a blit: its pixels and their translation into destination pixels.
struct Source {
    const Bitmap* bitmap = nullptr;
    const Translation* translation = nullptr;  // null: identity
};

// Copies `destinationRect` under ROP4 from `source` at `sourceOrigin`, with
// the 1-bit `mask` at `maskOrigin` and `brush`, inside `clip` (rectangles
// within the destination). Source, mask or brush may be null when the ROP
// does not read them. Overlapping source and destination copy as if read first.
void BitBlt(const Bitmap& destination, const RECTL& destinationRect, const Source& source, POINTL sourceOrigin,
            const Bitmap* mask, POINTL maskOrigin, const Pattern* brush, ULONG rop4, std::span<const RECTL> clip);

// Stretches `sourceRect` onto `destinationRect` (either may be inverted
// to mirror) in one of the SetStretchBltMode modes: BLACKONWHITE (AND of the
// merged pixels), WHITEONBLACK (OR), COLORONCOLOR (drop), HALFTONE (average).
void StretchBlt(const Bitmap& destination, const RECTL& destinationRect, const Source& source,
                const RECTL& sourceRect, int stretchMode, const Pattern* brush, BYTE rop3,
                std::span<const RECTL> clip);

// Copies with stretching, leaving the destination alone where the source
// pixel (before translation) equals `transparentPixel`.
void TransparentBlt(const Bitmap& destination, const RECTL& destinationRect, const Source& source,
                    const RECTL& sourceRect, ULONG transparentPixel, std::span<const RECTL> clip);

// AlphaBlend with the blend function (constant alpha, AC_SRC_ALPHA: a
// 32-bit source premultiplied by its alpha channel).
void AlphaBlend(const Bitmap& destination, const RECTL& destinationRect, const Bitmap& source,
                const RECTL& sourceRect, BLENDFUNCTION blend, std::span<const RECTL> clip);

// GradientFill: GRADIENT_FILL_RECT_H, GRADIENT_FILL_RECT_V (mesh of
// GRADIENT_RECT) or GRADIENT_FILL_TRIANGLE (mesh of GRADIENT_TRIANGLE).
// False for a mode or vertex index it cannot take.
bool GradientFill(const Bitmap& destination, std::span<const TRIVERTEX> vertices, const void* mesh,
                  ULONG meshCount, ULONG mode, std::span<const RECTL> clip);

}  // namespace w32::raster
