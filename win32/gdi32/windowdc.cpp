// Window DCs: display DCs that the window manager hands out (GetDC,
// BeginPaint) and takes back (ReleaseDC, EndPaint). GetObjectType answers
// OBJ_DC for them; they start with a new DC's state and answer
// GetDeviceCaps as the screen.
#include "gdi32/windowdc.h"

#include "gdi32/dc.h"
#include "gdi32/drawcall.h"
#include "gdi32/objects.h"
#include "gdi32/selection.h"

namespace w32::gdi {

HDC CreateWindowSurfaceDC(HBITMAP surface, POINT origin, const Region& visible) {
    auto bitmap = LookupGdiObjectAs<GdiBitmap>(surface);
    if (!bitmap || !bitmap->surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto dc = std::make_shared<DeviceContext>();
    dc->windowSurface = std::move(bitmap);
    dc->windowOrigin = origin;
    dc->windowVisible = visible;
    HDC made = static_cast<HDC>(InsertGdiObject(dc));
    InitDcState(*dc);
    return made;
}

bool PlaceWindowSurfaceDC(HDC hdc, POINT origin, const Region& visible) {
    auto dc = LockDrawingDC(hdc);
    if (!dc || !dc->windowSurface) return false;
    dc->windowOrigin = origin;
    dc->windowVisible = visible;
    return true;
}

bool DeleteWindowSurfaceDC(HDC hdc) {
    auto dc = LookupDC(hdc);
    if (!dc || !dc->windowSurface || !RemoveGdiObject(hdc)) return false;
    ReleaseDcObjects(*dc);
    return true;
}

bool IsWindowSurfaceDC(HDC hdc) {
    auto dc = LookupDC(hdc);
    return dc && dc->windowSurface;
}

}  // namespace w32::gdi
