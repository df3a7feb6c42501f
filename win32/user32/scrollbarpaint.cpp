// Drawing of the "ScrollBar" class.
#include "user32/control.h"
#include "user32/scrollbar.h"

namespace w32 {

void RedrawScrollBar(HWND) {}

void PaintScrollBar(HWND, HDC) {}

}  // namespace w32
