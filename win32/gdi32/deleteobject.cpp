// DeleteObject. Stock objects are never deleted: the call answers TRUE and
// leaves them as they are. A bitmap that a memory DC holds cannot be
// deleted (FALSE, ERROR_BUSY as the layer's error); a pen, brush, font or
// palette that a DC holds is deleted once no DC holds it any more, and the
// call answers TRUE at once, as on Windows (gdi32/selection.h). DCs go with
// DeleteDC, not here.
#include <windows.h>

#include "gdi32/dc.h"
#include "gdi32/objects.h"
#include "gdi32/selection.h"

namespace w32::gdi {

void DiscardObject(const std::shared_ptr<GdiObject>& object) {
    auto bitmap = std::dynamic_pointer_cast<GdiBitmap>(object);
    if (bitmap && bitmap->surface) RemoveEngineObject(reinterpret_cast<void*>(bitmap->surface->handle), EngineObjectType::Surface);
}

}  // namespace w32::gdi

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    auto object = w32::gdi::LookupGdiObject(ho);
    if (!object || std::dynamic_pointer_cast<w32::gdi::DeviceContext>(object)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (w32::gdi::IsStockObject(ho)) return TRUE;
    if (auto bitmap = std::dynamic_pointer_cast<w32::gdi::GdiBitmap>(object); bitmap && bitmap->selectedInto) {
        SetLastError(ERROR_BUSY);
        return FALSE;
    }
    if (w32::gdi::IsSelected(ho)) {
        w32::gdi::MarkDeletePending(ho);
        return TRUE;
    }
    w32::gdi::DiscardObject(w32::gdi::RemoveGdiObject(ho));
    return TRUE;
}
