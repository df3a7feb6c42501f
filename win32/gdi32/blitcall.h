// What the blits share: the ROP codes, where a blit reads from (a memory
// DC's bitmap, a program's DIB made into an engine bitmap), and the choice
// between a straight copy and a stretch once both rectangles are device
// pixels.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "gdi32/dc.h"
#include "win32k/drawing.h"

namespace w32::gdi {

// The ROP3 of a raster-operation code (bits 16 to 23); the flags above it
// (NOMIRRORBITMAP, CAPTUREBLT) say nothing about pixels.
inline BYTE Rop3Of(DWORD rop) { return BYTE((rop >> 16) & 0xff); }
// A ROP3 reads the source when its result changes with the source bit,
// the pattern when it changes with the pattern bit.
inline bool Rop3ReadsSource(BYTE rop3) { return ((rop3 >> 2) ^ rop3) & 0x33; }
inline bool Rop3ReadsPattern(BYTE rop3) { return ((rop3 >> 4) ^ rop3) & 0x0f; }
// The DDI's ROP4: foreground ROP3 in the low byte, background in the high one.
inline ROP4 MakeDdiRop4(BYTE foreground, BYTE background) { return ROP4(foreground) | (ROP4(background) << 8); }

// The bitmap a source DC holds. Only a memory DC's bitmap can be read: a
// printer's surface belongs to its driver, which gives no pixels back, so
// a printer DC or an information context as the source is refused with
// ERROR_INVALID_PARAMETER (a handle that is no DC: ERROR_INVALID_HANDLE).
std::shared_ptr<EngineSurface> ReadableSurfaceOf(const DeviceContext& source);

// The logical rectangle at (x, y), `width` by `height` (negative to
// mirror), in the DC's device pixels, its corners in the order given;
// false with ERROR_INVALID_PARAMETER out of range.
bool DeviceBlitRect(const DeviceContext& dc, int x, int y, int width, int height, RECTL& out);

// Draws `destination` (device pixels of `dc`, its corners in any order)
// from `sourceRect` of `source` (pixels of the source bitmap; null when
// the ROP reads no source). Equal sizes in the same orientation copy, with
// the source cut to its bitmap; else the source is stretched (it must lie
// within its bitmap: ERROR_INVALID_PARAMETER) in the DC's stretch mode,
// mirroring where one rectangle is turned against the other. The selected
// brush goes along when the ROP reads the pattern. A `mask` (1 bit per
// pixel, read from `maskOrigin`) only with straight copies.
bool DrawBlit(const DeviceContext& dc, RECTL destination, const std::shared_ptr<EngineSurface>& source,
              RECTL sourceRect, const EngineSurface* mask, POINTL maskOrigin, BYTE foreground, BYTE background);

// The rectangle with its corners ordered.
RECTL Ordered(const RECTL& rect);

// Draws from a source rectangle that must be read whole (AlphaBlend,
// TransparentBlt): both rectangles logical, each in its own DC's mapping.
// Sizes must not be negative and the source rectangle must lie within its
// bitmap (ERROR_INVALID_PARAMETER); with `refuseOverlap`, source and
// destination may not overlap in one bitmap either. An empty rectangle
// draws nothing and succeeds. `draw` gets both rectangles as device
// pixels, their corners ordered.
using WholeSourceDraw = std::function<bool(const DrawContext& context, const RECTL& destination,
                                           const BlitSource& source, const RECTL& sourceRect)>;
BOOL DrawFromWholeSource(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                         int wSrc, int hSrc, bool refuseOverlap, const WholeSourceDraw& draw);

}  // namespace w32::gdi
