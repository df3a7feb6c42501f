// Engine brushes made for GDI's brush objects and for the DC brush.
#pragma once
#include <windows.h>

#include <memory>

#include "win32k/drawing.h"

namespace w32::gdi {

// A new engine brush with an id of its own (the driver realises each id once).
std::shared_ptr<EngineBrush> MakeEngineBrush(UINT style, COLORREF color, ULONG hatch = 0,
                                             std::shared_ptr<EngineSurface> pattern = nullptr);

}  // namespace w32::gdi
