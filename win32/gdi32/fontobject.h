// GDI's font objects, as far as selecting them and reading their logical
// font go: the stock fonts are of this kind. What text is drawn with is
// made from the logical font when text is drawn.
#pragma once
#include <windows.h>

#include "gdi32/gdiobj.h"

namespace w32::gdi {

struct GdiFont : GdiObject {
    DWORD ObjectType() const override { return OBJ_FONT; }
    LOGFONTW logFont{};
    bool stock = false;
};

}  // namespace w32::gdi
