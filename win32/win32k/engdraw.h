// What the engine's own drawing functions (engblt.cpp, engpaths.cpp) share:
// the raster view of a SURFOBJ they draw on, the rectangles a CLIPOBJ
// leaves, and source pixels translated into the destination's.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <vector>

#include "win32k/ddiobj.h"
#include "win32k/raster.h"

namespace w32 {

// The raster view of an engine bitmap with its colours; false with
// ERROR_NOT_SUPPORTED for a device surface and ERROR_INVALID_PARAMETER for
// no surface.
bool EngineBitmap(SURFOBJ* surface, raster::Bitmap& out);
// The colours of a SURFOBJ's pixels (its engine surface's, or its format's default).
SurfaceColors ColorsOfSurfaceObject(const SURFOBJ* surface);

inline RECTL BitmapRect(const raster::Bitmap& bitmap) { return RECTL{0, 0, bitmap.width, bitmap.height}; }
RECTL Intersect(const RECTL& a, const RECTL& b);
bool EmptyRect(const RECTL& r);
RECTL Ordered(const RECTL& r);

// The rectangles inside `bounds`, the bitmap and the clip.
std::vector<RECTL> ClipRects(const CLIPOBJ* clip, const RECTL& bounds, const raster::Bitmap& bitmap);

// The source pixels of `rect` (which may reach outside the source; those
// pixels read as 0) translated into the destination's format, as a bitmap
// of the rectangle's size kept in `storage`.
raster::Bitmap TranslatedCopy(const raster::Bitmap& source, const RECTL& rect, XLATEOBJ* xlate,
                              const raster::Bitmap& destination, std::vector<BYTE>& storage);

// The path any PATHOBJ holds; false for one the engine did not make.
bool PathOf(PATHOBJ* path, DevicePath& out);

inline bool Failed(DWORD error) {
    SetLastError(error);
    return false;
}

}  // namespace w32
