// What a person does to an edit control: characters, keys, the mouse and
// the clipboard commands.
//
// WM_CHAR (from TranslateMessage) inserts a character at the caret in place
// of the selection; Backspace (8) erases the selection or the character
// before the caret (a line break as a whole); Enter (13) starts a new line
// ("\r\n") in a multi-line control and Tab (9) inserts a tab there, while a
// single-line control leaves both to its dialog. Ctrl+A (1) selects all
// (as current Windows controls do), Ctrl+C (3) copies, Ctrl+V (22) pastes,
// Ctrl+X (24) cuts and Ctrl+Z (26) undoes; other control characters are
// ignored. ES_NUMBER refuses characters other than the digits 0-9, and
// ES_READONLY every change (selection and copying stay).
//
// WM_KEYDOWN moves the caret: Left and Right by a character (Ctrl: to the
// start of a word; without Shift a selection collapses to the side moved
// to), Home and End to the line's ends (Ctrl: the text's), Up, Down, Page Up
// and Page Down by lines of a multi-line control at the same x. Shift
// extends the selection from its anchor. Delete erases the selection or the
// character after the caret; Shift+Delete cuts, Ctrl+Insert copies and
// Shift+Insert pastes.
//
// The left button puts the caret at the nearest character boundary (Shift:
// extends the selection), takes the focus and the capture; moving with the
// capture selects; a double-click selects a word.
#include <algorithm>
#include <cstring>

#include "user32/editstate.h"

namespace w32::edit {

namespace {

bool ReadOnly(const EditState& state) { return (StyleOf(state) & ES_READONLY) != 0; }

bool IsBreakChar(WCHAR ch) { return ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n'; }

void Type(EditState& state, std::u16string insert) {
    if (ReadOnly(state)) return;
    ReplaceSelection(state, PrepareInsert(state, std::move(insert)), true, Run::Typing);
}

// A password control neither copies nor cuts.
bool Hidden(const EditState& state) { return state.passwordChar && !IsMultiLine(StyleOf(state)); }

std::u16string SelectedText(const EditState& state) {
    int start = SelectionStart(state);
    return state.text.substr(size_t(start), size_t(SelectionEnd(state) - start));
}

}  // namespace

// The character before `index`, taking a line break as one.
int PreviousBoundary(const EditState& state, int index) {
    if (index <= 0) return 0;
    if (index >= 2 && state.text[size_t(index - 2)] == u'\r' && state.text[size_t(index - 1)] == u'\n') return index - 2;
    return index - 1;
}

int NextBoundary(const EditState& state, int index) {
    int length = int(state.text.size());
    if (index >= length) return length;
    if (index + 1 < length && state.text[size_t(index)] == u'\r' && state.text[size_t(index + 1)] == u'\n') return index + 2;
    return index + 1;
}

// Ctrl+Left and Ctrl+Right: the start of the word before or after.
int PreviousWord(const EditState& state, int index) {
    while (index > 0 && IsBreakChar(state.text[size_t(index - 1)])) --index;
    while (index > 0 && !IsBreakChar(state.text[size_t(index - 1)])) --index;
    return index;
}

int NextWord(const EditState& state, int index) {
    int length = int(state.text.size());
    while (index < length && !IsBreakChar(state.text[size_t(index)])) ++index;
    while (index < length && IsBreakChar(state.text[size_t(index)])) ++index;
    return index;
}

// The character on another line at the caret's x.
int VerticalMove(const EditState& state, int lines) {
    POINT point{};
    PositionOfChar(state, state.caret, point);
    int line = std::clamp(LineOfChar(state, state.caret) + lines, 0, int(state.lines.size()) - 1);
    const Line& target = state.lines[size_t(line)];
    std::vector<int> offsets = LineOffsets(state, line);
    int x = point.x - LineLeft(state, offsets.back());
    int column = 0;
    while (column < target.length && x > (offsets[size_t(column)] + offsets[size_t(column + 1)]) / 2) ++column;
    return target.start + column;
}

// Moves the caret; with `extend` the anchor stays.
void MoveCaret(EditState& state, int caret, bool extend) {
    SetSelection(state, extend ? state.anchor : caret, caret);
    if (ScrollToCaret(state)) {
        PlaceCaret(state);
        Redraw(state);
    }
}

void Erase(EditState& state, bool forward) {
    if (StyleOf(state) & ES_READONLY) return;
    if (state.anchor == state.caret) {
        int other = forward ? NextBoundary(state, state.caret) : PreviousBoundary(state, state.caret);
        if (other == state.caret) return;
        // The character goes as a selection; the caret stays, so a run of
        // Backspaces is still seen as one.
        state.anchor = other;
    }
    ReplaceSelection(state, std::u16string(), true, forward ? Run::None : Run::Erasing);
}

void WordAround(const EditState& state, int index, int& start, int& end) {
    int length = int(state.text.size());
    index = std::clamp(index, 0, length);
    bool breaks = index < length ? IsBreakChar(state.text[size_t(index)])
                                 : index > 0 && IsBreakChar(state.text[size_t(index - 1)]);
    start = end = index;
    while (start > 0 && IsBreakChar(state.text[size_t(start - 1)]) == breaks) --start;
    while (end < length && IsBreakChar(state.text[size_t(end)]) == breaks) ++end;
}

LRESULT OnChar(EditState& state, WCHAR ch) {
    DWORD style = StyleOf(state);
    switch (ch) {
        case 1:  // Ctrl+A
            SetSelection(state, 0, int(state.text.size()));
            return 0;
        case 3:  // Ctrl+C
            Copy(state);
            return 0;
        case 22:  // Ctrl+V
            Paste(state);
            return 0;
        case 24:  // Ctrl+X
            Cut(state);
            return 0;
        case 26:  // Ctrl+Z
            if (!ReadOnly(state)) Undo(state);
            return 0;
        case u'\b':
            Erase(state, false);
            return 0;
        case u'\r':
            if (IsMultiLine(style)) Type(state, u"\r\n");
            return 0;
        case u'\t':
            if (IsMultiLine(style)) Type(state, u"\t");
            return 0;
        default:
            break;
    }
    if (ch < 0x20 || ch == 0x7F) return 0;
    if ((style & ES_NUMBER) && !(ch >= u'0' && ch <= u'9')) return 0;
    Type(state, std::u16string(1, ch));
    return 0;
}

LRESULT OnMouse(EditState& state, UINT message, WPARAM keys, POINT point) {
    HWND hwnd = state.hwnd;
    switch (message) {
        case WM_LBUTTONDOWN: {
            if (GetFocus() != hwnd) {
                SetFocus(hwnd);
                if (state.destroyed || GetFocus() != hwnd) return 0;
            }
            int index = CharFromPoint(state, point);
            MoveCaret(state, index, (keys & MK_SHIFT) != 0);
            state.selecting = true;
            SetCapture(hwnd);
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            int start = 0, end = 0;
            WordAround(state, CharFromPoint(state, point), start, end);
            SetSelection(state, start, end);
            state.selecting = false;
            return 0;
        }
        case WM_MOUSEMOVE:
            if (state.selecting && GetCapture() == hwnd) MoveCaret(state, CharFromPoint(state, point), true);
            return 0;
        case WM_LBUTTONUP:
            if (state.selecting) {
                state.selecting = false;
                if (GetCapture() == hwnd) ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            state.selecting = false;
            return 0;
        default:
            return 0;
    }
}

void Copy(EditState& state) {
    if (Hidden(state) || state.anchor == state.caret) return;
    std::u16string text = SelectedText(state);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    if (!memory) return;
    auto buffer = static_cast<LPWSTR>(GlobalLock(memory));
    std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    GlobalUnlock(memory);
    if (!OpenClipboard(state.hwnd)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    CloseClipboard();
}

void Cut(EditState& state) {
    if (ReadOnly(state) || Hidden(state) || state.anchor == state.caret) return;
    Copy(state);
    ReplaceSelection(state, std::u16string(), true);
}

void Clear(EditState& state) {
    if (ReadOnly(state) || state.anchor == state.caret) return;
    ReplaceSelection(state, std::u16string(), true);
}

void Paste(EditState& state) {
    if (ReadOnly(state) || !OpenClipboard(state.hwnd)) return;
    std::u16string text;
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
        if (auto data = static_cast<LPCWSTR>(GlobalLock(memory))) {
            size_t count = GlobalSize(memory) / sizeof(WCHAR);
            text.assign(data, std::find(data, data + count, u'\0'));
            GlobalUnlock(memory);
        }
    }
    CloseClipboard();
    if (!text.empty()) ReplaceSelection(state, PrepareInsert(state, std::move(text)), true);
}

}  // namespace w32::edit
