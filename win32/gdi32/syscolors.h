// The display's system colours: the colours of Windows 10's default scheme
// that user32's GetSysColor answers, and a permanent solid brush of each
// (GetSysColorBrush) that FillRect and FrameRect also take as the colour's
// index plus one.
#pragma once
#include <windows.h>

namespace w32::gdi {

// The indexes COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30).
inline constexpr int kSystemColorCount = 31;

// The colour of an index; 0 for an index outside the table.
COLORREF SystemColor(int index);
// The brush of an index (a stock object: DeleteObject leaves it); null for
// an index outside the table or for 25, which names no colour.
HBRUSH SystemColorBrush(int index);
// A brush handle as FillRect takes it: a real brush, or a system colour's
// index plus one standing for that colour's brush.
HBRUSH BrushOrSystemColor(HBRUSH brush);

}  // namespace w32::gdi
