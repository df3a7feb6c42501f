// The "Edit" control's window procedure.
//
//  WM_NCCREATE        makes the control's state; the title is its first text
//                     (no notification); a password control shows '*', as
//                     the classic control does
//  WM_SETTEXT         replaces the whole text, not cut by the limit; empties
//                     the undo buffer, clears the modified flag, selection at
//                     0; always sends EN_UPDATE then EN_CHANGE (read-only and
//                     disabled controls too); TRUE
//  WM_GETTEXT         copies at most wParam - 1 characters and a terminator;
//                     the number copied (a password control gives its text)
//  WM_GETTEXTLENGTH   the text's length
//  WM_SETFONT         lays the text out in the font (LOWORD(lParam): redraw)
//  WM_GETFONT         the font set, NULL for the system's
//  WM_GETDLGCODE      DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS, a
//                     multi-line control also DLGC_WANTALLKEYS except for Esc
//                     and for Enter without ES_WANTRETURN (the dialog's)
//  WM_SETFOCUS        shows the caret, then EN_SETFOCUS
//  WM_KILLFOCUS       hides the caret, then EN_KILLFOCUS (GetFocus already
//                     answers the window getting the focus)
//  WM_ENABLE, WM_SIZE redraw (and lay out again)
//  EM_*               the edit messages, each commented below
// Notifications go to the parent as WM_COMMAND(MAKEWPARAM(id, code), hwnd).
// An edit message this control does not handle fails with
// ERROR_CALL_NOT_IMPLEMENTED.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "user32/caret.h"
#include "user32/editstate.h"
#include "user32/systemclasses.h"
#include "user32/window.h"

namespace w32::edit {

namespace {

// The states of the process's edit controls. The procedure holds a
// reference while it runs, so a control destroyed by its parent inside a
// notification keeps its state until the procedure returns.
std::mutex& StatesLock() {
    static std::mutex lock;
    return lock;
}
std::map<HWND, StatePtr>& States() {
    static std::map<HWND, StatePtr> states;
    return states;
}

StatePtr FindState(HWND hwnd) {
    std::lock_guard lock(StatesLock());
    auto it = States().find(hwnd);
    return it == States().end() ? nullptr : it->second;
}

StatePtr MakeState(HWND hwnd, const CREATESTRUCTW* cs) {
    auto state = std::make_shared<EditState>();
    state->hwnd = hwnd;
    state->parent = cs ? cs->hwndParent : nullptr;
    DWORD style = cs ? DWORD(cs->style) : 0;
    state->limit = kDefaultLimit;
    if ((style & ES_PASSWORD) && !IsMultiLine(style)) state->passwordChar = u'*';
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName) && cs->lpszName[0] != 0xFFFF) {
        state->text = cs->lpszName;
    }
    std::lock_guard lock(StatesLock());
    States()[hwnd] = state;
    return state;
}

void DropState(HWND hwnd) {
    StatePtr state;
    {
        std::lock_guard lock(StatesLock());
        auto it = States().find(hwnd);
        if (it == States().end()) return;
        state = it->second;
        States().erase(it);
    }
    state->destroyed = true;
}

// Copies the control's text into the window record, where GetWindowTextW of
// another thread and the layer's own tools read it.
void KeepRecordText(const EditState& state) {
    std::lock_guard lock(ManagerLock());
    if (Window* window = FindWindowLocked(state.hwnd)) window->text = state.text;
}

// Sets or clears style bits in the record directly, as the control changes
// its own style (no WM_STYLECHANGING).
void ChangeStyle(HWND hwnd, DWORD set, DWORD clear) {
    std::lock_guard lock(ManagerLock());
    if (Window* window = FindWindowLocked(hwnd)) window->style = (window->style & ~clear) | set;
}

LRESULT GetText(const EditState& state, WPARAM size, LPWSTR buffer) {
    if (!buffer || size == 0) return 0;
    size_t count = std::min<size_t>(state.text.size(), size - 1);
    std::copy_n(state.text.data(), count, buffer);
    buffer[count] = 0;
    return LRESULT(count);
}

// EM_GETLINE: the first WORD of the buffer holds its size in characters; the
// line is copied without a terminator.
LRESULT GetLine(const EditState& state, WPARAM line, LPWSTR buffer) {
    if (!buffer) return 0;
    WORD size = 0;
    std::memcpy(&size, buffer, sizeof(size));
    int index = IsMultiLine(StyleOf(state)) ? int(line) : 0;
    if (index < 0 || index >= int(state.lines.size())) return 0;
    const Line& l = state.lines[size_t(index)];
    int count = std::min<int>(l.length, size);
    std::copy_n(state.text.data() + l.start, count, buffer);
    if (count < size) buffer[count] = 0;
    return count;
}

// EM_LINELENGTH: wParam is a character index. -1 counts the characters left
// unselected on the lines the selection touches.
LRESULT LineLength(const EditState& state, WPARAM wParam) {
    int index = int(wParam);
    if (index == -1) {
        int start = SelectionStart(state), end = SelectionEnd(state);
        const Line& first = state.lines[size_t(LineOfChar(state, start))];
        const Line& last = state.lines[size_t(LineOfChar(state, end))];
        int before = start - first.start;
        int after = std::max(0, last.start + last.length - end);
        return before + after;
    }
    if (index < 0 || index > int(state.text.size())) return 0;
    return state.lines[size_t(LineOfChar(state, index))].length;
}

// EM_SETSEL: the start -1 removes the selection (the caret stays); an end of
// -1 (or any value past the text) is the text's end; the caret goes to the
// end given, so a start above the end selects backwards.
void SetSel(EditState& state, WPARAM wParam, LPARAM lParam) {
    UINT start = UINT(wParam), end = UINT(lParam);
    UINT length = UINT(state.text.size());
    if (int(start) == -1) {
        SetSelection(state, state.caret, state.caret);
        return;
    }
    start = std::min(start, length);
    end = std::min(end, length);
    // A caret between the two characters of a line break moves before it.
    auto outsideBreak = [&](UINT at) {
        if (at > 0 && at < length && state.text[at - 1] == u'\r' && state.text[at] == u'\n') return at - 1;
        return at;
    };
    SetSelection(state, int(outsideBreak(start)), int(outsideBreak(end)));
    if (!IsMultiLine(StyleOf(state)) && ScrollToCaret(state)) Redraw(state);
}

// EM_GETSEL answers the range packed in one value, -1 when either end does
// not fit in a WORD; wParam and lParam may point to DWORDs for the two ends.
LRESULT GetSel(const EditState& state, WPARAM wParam, LPARAM lParam) {
    int start = SelectionStart(state), end = SelectionEnd(state);
    if (auto p = reinterpret_cast<DWORD*>(wParam)) *p = DWORD(start);
    if (auto p = reinterpret_cast<DWORD*>(lParam)) *p = DWORD(end);
    if (start > 0xFFFF || end > 0xFFFF) return -1;
    return MAKELRESULT(start, end);
}

// EM_SETMARGINS. EC_USEFONTINFO takes the margins from the font: a third of
// its average character width on each side.
void SetMargins(EditState& state, WPARAM which, LPARAM lParam) {
    int left = LOWORD(lParam), right = HIWORD(lParam);
    if (left == EC_USEFONTINFO) left = state.averageWidth / 3;
    if (right == EC_USEFONTINFO) right = state.averageWidth / 3;
    if (which & EC_LEFTMARGIN) state.leftMargin = left;
    if (which & EC_RIGHTMARGIN) state.rightMargin = right;
    Layout(state);
    Redraw(state);
}

LRESULT PosFromChar(const EditState& state, WPARAM index) {
    POINT point;
    if (int(index) < 0 || !PositionOfChar(state, int(index), point)) return -1;
    return MAKELRESULT(WORD(SHORT(point.x)), WORD(SHORT(point.y)));
}

LRESULT CharFromPos(const EditState& state, LPARAM lParam) {
    POINT point{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))};
    int line = 0;
    int index = CharFromPoint(state, point, &line);
    return MAKELRESULT(WORD(index), WORD(line));
}

// WM_GETDLGCODE. lParam, when set, is the MSG the dialog manager asks about.
LRESULT DialogCode(const EditState& state, LPARAM lParam) {
    DWORD style = StyleOf(state);
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (!IsMultiLine(style)) return code;
    code |= DLGC_WANTALLKEYS;
    if (auto msg = reinterpret_cast<const MSG*>(lParam)) {
        if (msg->message == WM_KEYDOWN) {
            if (msg->wParam == VK_ESCAPE) code &= ~DLGC_WANTALLKEYS;
            if (msg->wParam == VK_RETURN && !(style & ES_WANTRETURN)) code &= ~DLGC_WANTALLKEYS;
        }
    }
    return code;
}

void OnSetFocus(EditState& state) {
    state.focused = true;
    CreateCaret(state.hwnd, nullptr, 1, state.lineHeight);
    PlaceCaret(state);
    ShowCaret(state.hwnd);
    Redraw(state);
    Notify(state, EN_SETFOCUS);
}

void OnKillFocus(EditState& state) {
    state.focused = false;
    if (CaretOwner() == state.hwnd) {
        HideCaret(state.hwnd);
        DestroyCaret();
    }
    Redraw(state);
    Notify(state, EN_KILLFOCUS);
}

LRESULT Dispatch(EditState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = state.hwnd;
    DWORD style = StyleOf(state);
    switch (message) {
        case WM_CREATE:
            Layout(state);
            KeepRecordText(state);
            return 0;
        case WM_SETTEXT: {
            auto text = reinterpret_cast<LPCWSTR>(lParam);
            SetText(state, text ? std::u16string(text) : std::u16string(), true);
            return TRUE;
        }
        case WM_GETTEXT:
            return GetText(state, wParam, reinterpret_cast<LPWSTR>(lParam));
        case WM_GETTEXTLENGTH:
            return LRESULT(state.text.size());
        case WM_SETFONT:
            state.font = reinterpret_cast<HFONT>(wParam);
            Layout(state);
            ScrollToCaret(state);
            if (state.focused && CaretOwner() == hwnd) {
                CreateCaret(hwnd, nullptr, 1, state.lineHeight);
                PlaceCaret(state);
                ShowCaret(hwnd);
            }
            if (LOWORD(lParam)) Redraw(state);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(state.font);
        case WM_GETDLGCODE:
            return DialogCode(state, lParam);
        case WM_SETFOCUS:
            OnSetFocus(state);
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(state);
            return 0;
        case WM_ENABLE:
            Redraw(state);
            return 0;
        case WM_SIZE:
            Layout(state);
            ScrollToCaret(state);
            Redraw(state);
            return 0;
        case WM_PAINT:
            Paint(state);
            return 0;
        case WM_CHAR:
            return OnChar(state, WCHAR(wParam));
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_CAPTURECHANGED:
            return OnMouse(state, message, wParam, POINT{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))});
        case WM_CUT:
            Cut(state);
            return 0;
        case WM_COPY:
            Copy(state);
            return 0;
        case WM_PASTE:
            Paste(state);
            return 0;
        case WM_CLEAR:
            Clear(state);
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            // A single-line control answers TRUE even with nothing to undo.
            return Undo(state) || !IsMultiLine(style);
        case EM_CANUNDO:
            return state.canUndo;
        case EM_EMPTYUNDOBUFFER:
            EmptyUndo(state);
            return 0;
        case EM_GETSEL:
            return GetSel(state, wParam, lParam);
        case EM_SETSEL:
            SetSel(state, wParam, lParam);
            return 0;
        case EM_REPLACESEL: {
            // Programs may replace text in a read-only control.
            auto text = reinterpret_cast<LPCWSTR>(lParam);
            std::u16string insert = text ? std::u16string(text) : std::u16string();
            ReplaceSelection(state, PrepareInsert(state, std::move(insert)), wParam != 0);
            return 0;
        }
        case EM_GETMODIFY:
            return state.modified;
        case EM_SETMODIFY:
            state.modified = wParam != 0;
            return 0;
        case EM_LIMITTEXT:  // also EM_SETLIMITTEXT
            state.limit = wParam ? UINT(wParam) : MaximumLimit(style);
            return 0;
        case EM_GETLIMITTEXT:
            return state.limit;
        case EM_GETLINECOUNT:
            return LRESULT(state.lines.size());
        case EM_LINEINDEX: {
            int line = int(wParam) == -1 ? LineOfChar(state, state.caret) : int(wParam);
            if (line < 0 || line >= int(state.lines.size())) return -1;
            return state.lines[size_t(line)].start;
        }
        case EM_LINELENGTH:
            return LineLength(state, wParam);
        case EM_GETLINE:
            return GetLine(state, wParam, reinterpret_cast<LPWSTR>(lParam));
        case EM_LINEFROMCHAR: {
            if (!IsMultiLine(style)) return 0;
            int index = int(wParam) == -1 ? SelectionStart(state) : int(wParam);
            if (index < 0) return 0;
            return LineOfChar(state, std::min(index, int(state.text.size())));
        }
        case EM_GETFIRSTVISIBLELINE: {
            if (IsMultiLine(style)) return state.firstLine;
            // A single-line control answers its first visible character.
            POINT origin{FormatRect(state).left, 0};
            return CharFromPoint(state, origin);
        }
        case EM_SCROLLCARET:
            if (ScrollToCaret(state)) Redraw(state);
            return TRUE;
        case EM_LINESCROLL:
            if (!IsMultiLine(style)) return FALSE;
            ScrollChars(state, int(wParam));
            ScrollLines(state, int(lParam));
            PlaceCaret(state);
            Redraw(state);
            return TRUE;
        case EM_SETREADONLY:
            ChangeStyle(hwnd, wParam ? ES_READONLY : 0, wParam ? 0 : ES_READONLY);
            Redraw(state);
            return TRUE;
        case EM_SETPASSWORDCHAR:
            // Multi-line controls have no password style.
            if (IsMultiLine(style)) return 0;
            state.passwordChar = WCHAR(wParam);
            ChangeStyle(hwnd, wParam ? ES_PASSWORD : 0, wParam ? 0 : ES_PASSWORD);
            Layout(state);
            PlaceCaret(state);
            Redraw(state);
            return 0;
        case EM_GETPASSWORDCHAR:
            return state.passwordChar;
        case EM_SETMARGINS:
            SetMargins(state, wParam, lParam);
            return 0;
        case EM_GETMARGINS:
            return MAKELRESULT(state.leftMargin, state.rightMargin);
        case EM_GETRECT:
            if (auto rect = reinterpret_cast<RECT*>(lParam)) *rect = FormatRect(state);
            return 0;
        case EM_POSFROMCHAR:
            return PosFromChar(state, wParam);
        case EM_CHARFROMPOS:
            return CharFromPos(state, lParam);
        default:
            if (message >= EM_GETSEL && message <= EM_GETIMESTATUS) {
                SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
                return 0;
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

DWORD StyleOf(const EditState& state) { return DWORD(GetWindowLongW(state.hwnd, GWL_STYLE)); }

UINT MaximumLimit(DWORD style) { return IsMultiLine(style) ? 0xFFFFFFFFu : 0x7FFFFFFEu; }

bool Notify(EditState& state, WORD code) {
    if (state.destroyed) return false;
    if (state.parent && IsWindow(state.parent)) {
        WPARAM id = WPARAM(GetWindowLongPtrW(state.hwnd, GWLP_ID));
        SendMessageW(state.parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(state.hwnd));
    }
    if (!state.destroyed) KeepRecordText(state);
    return !state.destroyed;
}

}  // namespace w32::edit

namespace w32 {

LRESULT CALLBACK EditWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace edit;
    if (message == WM_NCCREATE) {
        MakeState(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    StatePtr state = FindState(hwnd);
    if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        if (CaretOwner() == hwnd) DestroyCaret();
        DropState(hwnd);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return Dispatch(*state, message, wParam, lParam);
}

}  // namespace w32
