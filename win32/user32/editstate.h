// The state of one "Edit" control and the operations its files share.
//
// The control keeps its own text (the window record holds a copy, so that
// another thread's GetWindowTextW reads it), the selection as an anchor and
// a caret (the anchor stays where a selection began; the caret is the end
// that moves), a one-level undo buffer, the text limit, the font and
// margins, the lines the text is laid out in and how far it is scrolled.
//
// edit.cpp       the window procedure: messages, notifications, styles
// edittext.cpp   changing the text: replacing the selection, undo, limit
// editlayout.cpp lines, widths, character positions and scrolling
// editinput.cpp  keys, characters and the mouse
// editpaint.cpp  drawing
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace w32::edit {

// A line as laid out: `length` characters from `start`, without the line
// break ("\r\n") that ends a paragraph; a line wrapped inside a paragraph has
// none and the next line starts right after it.
struct Line {
    int start = 0;
    int length = 0;
};

// How the current undo unit began: a run of typed characters or of
// Backspaces continues one unit while the caret stays where the run left it.
enum class Run { None, Typing, Erasing };

struct EditState {
    HWND hwnd = nullptr;
    HWND parent = nullptr;  // notifications go to the parent given at creation
    std::u16string text;
    int anchor = 0;
    int caret = 0;

    // The undo buffer: the text before the change, and where they differ:
    // undoOld characters from undoStart there, undoNew in the text now.
    bool canUndo = false;
    std::u16string undoText;
    int undoStart = 0;
    int undoOld = 0;
    int undoNew = 0;
    Run run = Run::None;
    int runCaret = 0;

    bool modified = false;
    UINT limit = 0;
    WCHAR passwordChar = 0;
    HFONT font = nullptr;
    int leftMargin = 0;
    int rightMargin = 0;

    std::vector<Line> lines;
    int firstLine = 0;  // the top visible line (multi-line)
    int scrollX = 0;    // pixels the text is scrolled to the left
    int lineHeight = 16;
    int averageWidth = 6;

    bool focused = false;
    bool selecting = false;  // the left button is down and the mouse selects
    bool destroyed = false;
};

using StatePtr = std::shared_ptr<EditState>;

// The window's style, read each time (EM_SETREADONLY, SetWindowLongPtrW and
// EM_SETPASSWORDCHAR change it).
DWORD StyleOf(const EditState& state);
inline bool IsMultiLine(DWORD style) { return (style & ES_MULTILINE) != 0; }

// The default text limit, and the limit 0 stands for.
constexpr UINT kDefaultLimit = 32767;
UINT MaximumLimit(DWORD style);

// --- edit.cpp ----------------------------------------------------------------
// Sends WM_COMMAND(MAKEWPARAM(id, code), hwnd) to the parent. Answers false
// when the control was destroyed meanwhile.
bool Notify(EditState& state, WORD code);
// Redraws the control (invalidates its client area once painting exists).
void Redraw(EditState& state);

// --- edittext.cpp ------------------------------------------------------------
int SelectionStart(const EditState& state);
int SelectionEnd(const EditState& state);
// Moves the selection (ends any typing run) and redraws.
void SetSelection(EditState& state, int anchor, int caret);
// What a user change does to `insert` before it goes in: the case styles,
// a single-line control stops at the first line break.
std::u16string PrepareInsert(const EditState& state, std::u16string insert);
// Replaces the selection with `insert`, cut to the limit (EN_MAXTEXT when
// cut), marks the text modified and sends EN_UPDATE and EN_CHANGE. With
// `undoable` the text before it becomes the undo buffer (continuing a run of
// `run`); else the undo buffer is emptied. Answers false when nothing could
// go in (the limit is reached and the selection is empty), or the control was
// destroyed by a notification.
bool ReplaceSelection(EditState& state, std::u16string insert, bool undoable, Run run = Run::None);
// Sets the whole text (WM_SETTEXT): not cut by the limit, the undo buffer
// emptied, not modified, the selection at 0; EN_UPDATE and EN_CHANGE follow.
void SetText(EditState& state, std::u16string text, bool notify);
// Swaps the text with the undo buffer; false when there is none.
bool Undo(EditState& state);
void EmptyUndo(EditState& state);

// --- editlayout.cpp ----------------------------------------------------------
// Lays the text out again (after a change of text, font, size or style).
void Layout(EditState& state);
// The formatting rectangle: the client area less the margins.
RECT FormatRect(const EditState& state);
int LineOfChar(const EditState& state, int index);
// The text shown for a line (password characters for a password control).
std::u16string ShownLine(const EditState& state, int line);
// The x offsets of the line's character boundaries, relative to the line's
// start (count length + 1).
std::vector<int> LineOffsets(const EditState& state, int line);
// Where the line's text starts in the client area (margins, alignment and
// horizontal scrolling).
int LineLeft(const EditState& state, int width);
// Client coordinates of the top-left of character `index` (index may be the
// text's length); false for an index beyond the text.
bool PositionOfChar(const EditState& state, int index, POINT& point);
// The character boundary nearest to a client point, and its line.
int CharFromPoint(const EditState& state, POINT point, int* line = nullptr);
// The lines that fit in the formatting rectangle (at least 1).
int VisibleLines(const EditState& state);
// Scrolls so that the caret is in view; true when the view moved.
bool ScrollToCaret(EditState& state);
// Scrolls a multi-line control by lines and a control by characters.
bool ScrollLines(EditState& state, int lines);
bool ScrollChars(EditState& state, int chars);
// Puts the thread's caret where the control's caret is (when focused).
void PlaceCaret(EditState& state);

// --- editinput.cpp -----------------------------------------------------------
LRESULT OnChar(EditState& state, WCHAR ch);
LRESULT OnMouse(EditState& state, UINT message, WPARAM keys, POINT point);
// The clipboard commands (WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR).
void Copy(EditState& state);
void Cut(EditState& state);
void Paste(EditState& state);
void Clear(EditState& state);
// The boundaries of the word around `index` (Windows' default word breaks:
// spaces, tabs and line breaks separate words).
void WordAround(const EditState& state, int index, int& start, int& end);
// The caret positions one character (a line break as a whole) and one word
// before and after `index`, and on a line `lines` away at the same x.
int PreviousBoundary(const EditState& state, int index);
int NextBoundary(const EditState& state, int index);
int PreviousWord(const EditState& state, int index);
int NextWord(const EditState& state, int index);
int VerticalMove(const EditState& state, int lines);
// Moves the caret (with `extend` the anchor stays) and scrolls it into view.
void MoveCaret(EditState& state, int caret, bool extend);
// Backspace (backwards) and Delete: the selection, else one character.
void Erase(EditState& state, bool forward);

// --- editpaint.cpp -----------------------------------------------------------
void Paint(EditState& state);

}  // namespace w32::edit
