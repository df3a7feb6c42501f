// PNG files of bitmaps, memory DCs and DIBs, through the engine's writer.
#include "gdi32/pngsave.h"

#include "gdi32/dc.h"
#include "gdi32/objects.h"
#include "win32k/drawing.h"

namespace w32::gdi {

namespace {

std::shared_ptr<EngineSurface> SurfaceOf(HGDIOBJ object) {
    if (auto bitmap = LookupGdiObjectAs<GdiBitmap>(object)) return bitmap->surface;
    if (auto dc = LookupDC(static_cast<HDC>(object)); dc && dc->memory)
        if (auto bitmap = LookupGdiObjectAs<GdiBitmap>(dc->state.bitmap)) return bitmap->surface;
    return nullptr;
}

}  // namespace

bool SavePng(HGDIOBJ bitmapOrMemoryDC, const char* path) {
    std::lock_guard lock(EngineLock());
    const std::shared_ptr<EngineSurface> surface = SurfaceOf(bitmapOrMemoryDC);
    if (!surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return SaveSurfacePng(*surface, path);
}

bool SaveDibPng(const BITMAPINFO* info, const void* bits, const char* path) {
    const std::shared_ptr<EngineSurface> surface = SurfaceFromDib(info, bits, DIB_RGB_COLORS);
    return surface && SaveSurfacePng(*surface, path);
}

}  // namespace w32::gdi
