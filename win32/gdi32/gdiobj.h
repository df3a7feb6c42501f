// GDI's handle table: device contexts now, pens, brushes, fonts, bitmaps and
// the rest as they come. Handles are never reused; the object's type sits in
// bits 16 to 23 of its handle, as in GDI's own handles.
#pragma once
#include <windows.h>

#include <memory>

namespace w32::gdi {

struct GdiObject {
    virtual ~GdiObject() = default;
    // What GetObjectType reports (OBJ_*).
    virtual DWORD ObjectType() const = 0;
    HGDIOBJ handle = nullptr;
};

HGDIOBJ InsertGdiObject(std::shared_ptr<GdiObject> object);
// Null for an unknown handle.
std::shared_ptr<GdiObject> LookupGdiObject(HGDIOBJ handle);
template <class T>
std::shared_ptr<T> LookupGdiObjectAs(HGDIOBJ handle) {
    return std::dynamic_pointer_cast<T>(LookupGdiObject(handle));
}
// Takes the object out of the table; null for an unknown handle.
std::shared_ptr<GdiObject> RemoveGdiObject(HGDIOBJ handle);

}  // namespace w32::gdi
