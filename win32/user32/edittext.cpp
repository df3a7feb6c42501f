// Changing an edit control's text: the selection, replacing it, the text
// limit and the one-level undo.
//
// Undo keeps the whole text and selection from before the last change the
// user (or EM_REPLACESEL with its undo flag) made. Undoing swaps the text
// with that copy, so a second undo redoes the change, as the control does on
// Windows. Typed characters continue one change while each goes in where the
// last one left the caret, and so do Backspaces; anything else starts a new
// one. After an undo the text that came back is selected.
#include <algorithm>

#include "user32/editstate.h"

namespace w32::edit {

namespace {

void ApplyCase(DWORD style, std::u16string& text) {
    if (text.empty()) return;
    if (style & ES_UPPERCASE)
        CharUpperBuffW(text.data(), DWORD(text.size()));
    else if (style & ES_LOWERCASE)
        CharLowerBuffW(text.data(), DWORD(text.size()));
}

// Lays out again, keeps the caret in view, moves the thread's caret and
// sends EN_UPDATE then EN_CHANGE. False when the control went away.
bool Changed(EditState& state) {
    Layout(state);
    ScrollToCaret(state);
    PlaceCaret(state);
    if (!Notify(state, EN_UPDATE)) return false;
    Redraw(state);
    return Notify(state, EN_CHANGE);
}

// Whether the text with [start, end) replaced by `insert` fits the control:
// a single-line control without ES_AUTOHSCROLL in its width, a multi-line
// one without ES_AUTOVSCROLL in its height.
bool Fits(const EditState& state, int start, int end, const std::u16string& insert) {
    DWORD style = StyleOf(state);
    bool multi = IsMultiLine(style);
    if (multi ? (style & ES_AUTOVSCROLL) != 0 : (style & ES_AUTOHSCROLL) != 0) return true;
    EditState probe;
    probe.hwnd = state.hwnd;
    probe.font = state.font;
    probe.passwordChar = state.passwordChar;
    probe.leftMargin = state.leftMargin;
    probe.rightMargin = state.rightMargin;
    probe.text = state.text;
    probe.text.replace(size_t(start), size_t(end - start), insert);
    Layout(probe);
    if (multi) return int(probe.lines.size()) <= VisibleLines(probe);
    RECT format = FormatRect(probe);
    return LineOffsets(probe, 0).back() <= format.right - format.left;
}

}  // namespace

int SelectionStart(const EditState& state) { return std::min(state.anchor, state.caret); }
int SelectionEnd(const EditState& state) { return std::max(state.anchor, state.caret); }

void SetSelection(EditState& state, int anchor, int caret) {
    int length = int(state.text.size());
    state.anchor = std::clamp(anchor, 0, length);
    state.caret = std::clamp(caret, 0, length);
    state.run = Run::None;
    PlaceCaret(state);
    Redraw(state);
}

std::u16string PrepareInsert(const EditState& state, std::u16string insert) {
    DWORD style = StyleOf(state);
    if (!IsMultiLine(style)) {
        size_t end = insert.find_first_of(u"\r\n");
        if (end != std::u16string::npos) insert.resize(end);
    }
    ApplyCase(style, insert);
    return insert;
}

bool ReplaceSelection(EditState& state, std::u16string insert, bool undoable, Run run) {
    int start = SelectionStart(state), end = SelectionEnd(state);
    size_t kept = state.text.size() - size_t(end - start);
    size_t room = state.limit > kept ? size_t(state.limit) - kept : 0;
    bool cut = insert.size() > room;
    if (cut) insert.resize(room);
    // Without automatic scrolling the text must fit in the control: as
    // much of the insertion goes in as fits.
    if (!insert.empty() && !Fits(state, start, end, insert)) {
        size_t low = 0, high = insert.size() - 1;
        while (low < high) {
            size_t mid = (low + high + 1) / 2;
            if (Fits(state, start, end, insert.substr(0, mid)))
                low = mid;
            else
                high = mid - 1;
        }
        insert.resize(low);
        cut = true;
    }
    // A line break is not split.
    if (cut && !insert.empty() && insert.back() == u'\r') insert.pop_back();
    if (insert.empty() && start == end) {
        if (cut) Notify(state, EN_MAXTEXT);
        return false;
    }
    if (undoable) {
        // Any move of the selection ends a run (SetSelection).
        bool continues = run != Run::None && state.run == run && state.caret == state.runCaret && state.canUndo;
        if (!continues) {
            state.undoText = state.text;
            state.undoStart = start;
            state.undoOld = end - start;
            state.undoNew = 0;
            state.canUndo = true;
        } else if (run == Run::Erasing) {
            // Each Backspace takes the character before what the run took.
            state.undoStart = start;
            state.undoOld += end - start;
        }
        state.undoNew += int(insert.size());
    } else {
        EmptyUndo(state);
    }
    state.text.replace(size_t(start), size_t(end - start), insert);
    state.anchor = state.caret = start + int(insert.size());
    state.run = undoable ? run : Run::None;
    state.runCaret = state.caret;
    state.modified = true;
    if (cut && !Notify(state, EN_MAXTEXT)) return false;
    return Changed(state);
}

void SetText(EditState& state, std::u16string text, bool notify) {
    ApplyCase(StyleOf(state), text);
    state.text = std::move(text);
    state.anchor = state.caret = 0;
    state.scrollX = 0;
    state.firstLine = 0;
    state.modified = false;
    EmptyUndo(state);
    if (notify)
        Changed(state);
    else
        Layout(state);
}

bool Undo(EditState& state) {
    if (!state.canUndo) return false;
    state.text.swap(state.undoText);
    std::swap(state.undoOld, state.undoNew);
    // What came back is selected.
    state.anchor = state.undoStart;
    state.caret = state.undoStart + state.undoNew;
    state.run = Run::None;
    state.modified = true;
    Changed(state);
    return true;
}

void EmptyUndo(EditState& state) {
    state.canUndo = false;
    state.undoText.clear();
    state.undoText.shrink_to_fit();
    state.run = Run::None;
}

}  // namespace w32::edit
