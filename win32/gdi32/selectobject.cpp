// SelectObject and GetCurrentObject.
//
// SelectObject answers the object it replaces: NULL when the DC or the
// object is bad, or the object cannot go into that DC. Bitmaps go into
// memory DCs only, and into one DC at a time (the stock 1x1 bitmap into
// any number). Selecting a region sets the DC's clip region to a copy of
// it, in device units, as SelectClipRgn does, and answers the complexity
// of the clip region, or HGDI_ERROR. Palettes are selected with SelectPalette.
#include <windows.h>

#include "gdi32/dc.h"
#include "gdi32/fontobject.h"
#include "gdi32/objects.h"
#include "gdi32/selection.h"
#include "gdi32/stockobjects.h"

namespace {

using namespace w32::gdi;

HGDIOBJ Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

HGDIOBJ SelectBitmap(DeviceContext& dc, const std::shared_ptr<GdiBitmap>& bitmap) {
    if (!dc.memory) return Fail(ERROR_INVALID_PARAMETER);
    HDC self = static_cast<HDC>(dc.handle);
    if (!bitmap->stock && bitmap->selectedInto && bitmap->selectedInto != self) return Fail(ERROR_BUSY);
    if (auto previous = LookupGdiObjectAs<GdiBitmap>(dc.state.bitmap); previous && previous->selectedInto == self)
        previous->selectedInto = nullptr;
    if (!bitmap->stock) bitmap->selectedInto = self;
    return ReplaceSelected(dc.state.bitmap, bitmap->handle);
}

}  // namespace

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    auto dc = LookupDC(hdc);
    auto object = LookupGdiObject(h);
    if (!dc || !object) return Fail(ERROR_INVALID_HANDLE);
    switch (object->ObjectType()) {
        case OBJ_PEN:
        case OBJ_EXTPEN: return ReplaceSelected(dc->state.pen, h);
        case OBJ_BRUSH: return ReplaceSelected(dc->state.brush, h);
        case OBJ_FONT: return ReplaceSelected(dc->state.font, h);
        case OBJ_BITMAP: return SelectBitmap(*dc, std::static_pointer_cast<GdiBitmap>(object));
        case OBJ_REGION: {
            const w32::Region& region = std::static_pointer_cast<GdiRegion>(object)->region;
            dc->state.clip = region;
            return reinterpret_cast<HGDIOBJ>(LONG_PTR(region.Complexity()));
        }
        default: return Fail(ERROR_INVALID_PARAMETER);
    }
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    auto dc = LookupDC(hdc);
    if (!dc) return Fail(ERROR_INVALID_HANDLE);
    switch (type) {
        case OBJ_PEN:
        case OBJ_EXTPEN: return dc->state.pen;
        case OBJ_BRUSH: return dc->state.brush;
        case OBJ_FONT: return dc->state.font;
        case OBJ_PAL: return dc->state.palette;
        // A printer DC draws on its device, yet answers the 1x1 bitmap every DC starts with.
        case OBJ_BITMAP: return dc->state.bitmap ? dc->state.bitmap : StockBitmap();
        default: return Fail(ERROR_INVALID_PARAMETER);
    }
}
