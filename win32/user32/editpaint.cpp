// Drawing an edit control.
#include "user32/editstate.h"

namespace w32::edit {

void Redraw(EditState& state) { (void)state; }

void Paint(EditState& state) { DefWindowProcW(state.hwnd, WM_PAINT, 0, 0); }

}  // namespace w32::edit
