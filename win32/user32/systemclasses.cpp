// The classes the system registers for every process: the dialog class and
// the standard controls. Each control's procedure lives in its own file;
// this table names them so that they exist before the first window is made,
// as on Windows, where a module can create a "Button" without registering it.
#include "user32/systemclasses.h"

#include "user32/control.h"
#include "user32/window.h"

namespace w32 {

namespace {

struct SystemClassEntry {
    LPCWSTR name;
    WNDPROC proc;
    UINT style;
    int wndExtra;
    // A system colour index + 1 for the class background, or 0 for none.
    INT_PTR background;
};

// One row a class; the controls add theirs here.
// The dialog class's background is COLOR_BTNFACE (15), as WM_CTLCOLORDLG's default.
const SystemClassEntry kSystemClasses[] = {
    {u"#32770", DefDlgProcW, CS_DBLCLKS | CS_SAVEBITS, DLGWINDOWEXTRA, 15 + 1},
    {u"Button", ButtonWindowProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, kControlExtraBytes, 0},
    {u"Static", StaticWindowProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, kControlExtraBytes, 0},
    {u"ScrollBar", ScrollBarWindowProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, kControlExtraBytes, 0},
    {u"ListBox", ListBoxWindowProc, CS_DBLCLKS | CS_PARENTDC, sizeof(void*), 0},
    {u"ComboLBox", ListBoxWindowProc, CS_DBLCLKS | CS_SAVEBITS, sizeof(void*), 0},
    {u"ComboBox", ComboBoxWindowProc, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW, sizeof(void*), 0},
    // The edit control keeps its state by its handle, in the process (edit.cpp).
    {u"Edit", EditWindowProc, CS_DBLCLKS | CS_PARENTDC, 0, 0},
};

}  // namespace

void RegisterSystemClassesLocked() {
    for (const auto& entry : kSystemClasses) {
        if (!entry.name) continue;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = entry.style | CS_GLOBALCLASS;
        wc.lpfnWndProc = entry.proc;
        wc.cbWndExtra = entry.wndExtra;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(entry.background);
        wc.lpszClassName = entry.name;
        RegisterLocked(wc, true);
    }
}

}  // namespace w32
