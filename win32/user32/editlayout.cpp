// Laying an edit control's text out: lines, widths, positions, scrolling.
//
// A single-line control has one line. A multi-line control breaks its text
// at each "\r\n"; without ES_AUTOHSCROLL (or WS_HSCROLL) it also wraps a
// paragraph at the formatting rectangle's width: after the last space that
// fits, or inside a word longer than the width. Spaces at a wrap stay at the
// end of the line above. Tabs stop every 32 dialog units (8 average
// characters). Lines are one font height apart from the formatting
// rectangle's top; x offsets are measured in the control's font (the
// default GUI font when none is set).
#include <algorithm>

#include "user32/caret.h"
#include "user32/editstate.h"

namespace w32::edit {

namespace {

// A memory DC with the control's font selected, for measuring.
class Measure {
public:
    explicit Measure(const EditState& state) {
        dc_ = CreateCompatibleDC(nullptr);
        HGDIOBJ font = state.font ? HGDIOBJ(state.font) : GetStockObject(DEFAULT_GUI_FONT);
        if (dc_) old_ = SelectObject(dc_, font);
    }
    ~Measure() {
        if (!dc_) return;
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    Measure(const Measure&) = delete;
    Measure& operator=(const Measure&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

bool Wraps(DWORD style) {
    return IsMultiLine(style) && !(style & ES_AUTOHSCROLL) && !(style & WS_HSCROLL);
}

int TabWidth(const EditState& state) { return std::max(1, 8 * state.averageWidth); }

// Offsets of each character boundary of `text` (count size + 1), with tabs
// expanded in a multi-line control.
std::vector<int> Offsets(const EditState& state, HDC dc, std::u16string_view text, bool tabs) {
    std::vector<int> offsets(text.size() + 1, 0);
    size_t at = 0;
    int x = 0;
    while (at < text.size()) {
        if (tabs && text[at] == u'\t') {
            x = (x / TabWidth(state) + 1) * TabWidth(state);
            offsets[++at] = x;
            continue;
        }
        size_t end = tabs ? text.find(u'\t', at) : std::u16string_view::npos;
        if (end == std::u16string_view::npos) end = text.size();
        std::vector<INT> partial(end - at);
        SIZE size{};
        if (dc && GetTextExtentExPointW(dc, text.data() + at, int(end - at), 0, nullptr, partial.data(), &size)) {
            for (size_t i = 0; i < partial.size(); ++i) offsets[at + i + 1] = x + partial[i];
        } else {
            for (size_t i = 0; i < partial.size(); ++i) offsets[at + i + 1] = x + int(i + 1) * state.averageWidth;
        }
        x = offsets[end];
        at = end;
    }
    return offsets;
}

std::u16string Shown(const EditState& state, int start, int length) {
    if (state.passwordChar && !IsMultiLine(StyleOf(state))) return std::u16string(size_t(length), state.passwordChar);
    return state.text.substr(size_t(start), size_t(length));
}

// Breaks one paragraph (no line breaks inside) into lines of at most
// `width` pixels.
void WrapParagraph(const EditState& state, HDC dc, int start, int length, int width, std::vector<Line>& lines) {
    if (length == 0 || width <= 0) {
        lines.push_back({start, length});
        return;
    }
    std::u16string_view text(state.text.data() + start, size_t(length));
    std::vector<int> offsets = Offsets(state, dc, text, true);
    int lineStart = 0;
    while (lineStart < length) {
        int fit = lineStart;
        while (fit < length && offsets[size_t(fit + 1)] - offsets[size_t(lineStart)] <= width) ++fit;
        if (fit == length) {
            lines.push_back({start + lineStart, length - lineStart});
            return;
        }
        // Break after the last space that fits (the spaces after it stay on
        // this line), else inside the word (at least one character).
        int breakAt = fit;
        while (breakAt > lineStart && text[size_t(breakAt)] != u' ' && text[size_t(breakAt - 1)] != u' ') --breakAt;
        if (breakAt == lineStart) breakAt = std::max(fit, lineStart + 1);
        while (breakAt < length && text[size_t(breakAt)] == u' ') ++breakAt;
        lines.push_back({start + lineStart, breakAt - lineStart});
        lineStart = breakAt;
    }
}

}  // namespace

RECT FormatRect(const EditState& state) {
    RECT client{};
    GetClientRect(state.hwnd, &client);
    RECT rect{client.left + state.leftMargin, client.top, client.right - state.rightMargin, client.bottom};
    if (rect.right < rect.left) rect.right = rect.left;
    return rect;
}

void Layout(EditState& state) {
    Measure measure(state);
    TEXTMETRICW metrics{};
    if (measure.dc() && GetTextMetricsW(measure.dc(), &metrics)) {
        state.lineHeight = std::max<int>(1, metrics.tmHeight);
        state.averageWidth = std::max<int>(1, metrics.tmAveCharWidth);
    }
    DWORD style = StyleOf(state);
    state.lines.clear();
    int length = int(state.text.size());
    if (!IsMultiLine(style)) {
        state.lines.push_back({0, length});
        return;
    }
    RECT format = FormatRect(state);
    bool wraps = Wraps(style);
    int start = 0;
    while (true) {
        size_t found = state.text.find(u"\r\n", size_t(start));
        int end = found == std::u16string::npos ? length : int(found);
        if (wraps)
            WrapParagraph(state, measure.dc(), start, end - start, format.right - format.left, state.lines);
        else
            state.lines.push_back({start, end - start});
        if (found == std::u16string::npos) break;
        start = end + 2;
    }
    state.firstLine = std::clamp(state.firstLine, 0, int(state.lines.size()) - 1);
}

int LineOfChar(const EditState& state, int index) {
    // The last line starting at or before the index.
    auto it = std::upper_bound(state.lines.begin(), state.lines.end(), index,
                               [](int i, const Line& line) { return i < line.start; });
    return it == state.lines.begin() ? 0 : int(it - state.lines.begin()) - 1;
}

std::u16string ShownLine(const EditState& state, int line) {
    const Line& l = state.lines[size_t(line)];
    return Shown(state, l.start, l.length);
}

std::vector<int> LineOffsets(const EditState& state, int line) {
    Measure measure(state);
    return Offsets(state, measure.dc(), ShownLine(state, line), IsMultiLine(StyleOf(state)));
}

int LineLeft(const EditState& state, int width) {
    RECT format = FormatRect(state);
    int room = format.right - format.left;
    DWORD style = StyleOf(state);
    int left = format.left;
    if (width < room) {
        if (style & ES_RIGHT)
            left += room - width - 1;  // the caret after the last character stays inside
        else if (style & ES_CENTER)
            left += (room - width) / 2;
    }
    return left - state.scrollX;
}

bool PositionOfChar(const EditState& state, int index, POINT& point) {
    if (index < 0 || index > int(state.text.size())) return false;
    int line = LineOfChar(state, index);
    const Line& l = state.lines[size_t(line)];
    std::vector<int> offsets = LineOffsets(state, line);
    int column = std::clamp(index - l.start, 0, l.length);
    point.x = LineLeft(state, offsets.back()) + offsets[size_t(column)];
    point.y = FormatRect(state).top + (line - state.firstLine) * state.lineHeight;
    return true;
}

int CharFromPoint(const EditState& state, POINT point, int* lineOut) {
    RECT format = FormatRect(state);
    int line = 0;
    if (IsMultiLine(StyleOf(state))) {
        int row = point.y < format.top ? -1 : (point.y - format.top) / state.lineHeight;
        line = std::clamp(state.firstLine + row, 0, int(state.lines.size()) - 1);
    }
    if (lineOut) *lineOut = line;
    const Line& l = state.lines[size_t(line)];
    std::vector<int> offsets = LineOffsets(state, line);
    int x = point.x - LineLeft(state, offsets.back());
    // The nearest boundary: a point on a character's left half is before it.
    int column = 0;
    while (column < l.length && x > (offsets[size_t(column)] + offsets[size_t(column + 1)]) / 2) ++column;
    return l.start + column;
}

int VisibleLines(const EditState& state) {
    RECT format = FormatRect(state);
    return std::max(1, int(format.bottom - format.top) / state.lineHeight);
}

bool ScrollToCaret(EditState& state) {
    bool moved = false;
    DWORD style = StyleOf(state);
    int line = LineOfChar(state, state.caret);
    if (IsMultiLine(style)) {
        int first = state.firstLine;
        if (line < first) first = line;
        if (line >= first + VisibleLines(state)) first = line - VisibleLines(state) + 1;
        if (first != state.firstLine) {
            state.firstLine = first;
            moved = true;
        }
    }
    if (IsMultiLine(style) && Wraps(style)) {
        moved = moved || state.scrollX != 0;
        state.scrollX = 0;
        return moved;
    }
    RECT format = FormatRect(state);
    int room = std::max(1, int(format.right - format.left));
    const Line& l = state.lines[size_t(line)];
    std::vector<int> offsets = LineOffsets(state, line);
    int x = offsets[size_t(std::clamp(state.caret - l.start, 0, l.length))];
    int scroll = state.scrollX;
    // The text scrolls by a quarter of the width when the caret leaves it.
    if (x < scroll) scroll = std::max(0, x - room / 4);
    if (x >= scroll + room) scroll = x - room + room / 4;
    if (offsets.back() < room) scroll = 0;
    if (scroll != state.scrollX) {
        state.scrollX = scroll;
        moved = true;
    }
    return moved;
}

bool ScrollLines(EditState& state, int lines) {
    int first = std::clamp(state.firstLine + lines, 0, int(state.lines.size()) - 1);
    if (first == state.firstLine) return false;
    state.firstLine = first;
    return true;
}

bool ScrollChars(EditState& state, int chars) {
    int scroll = std::max(0, state.scrollX + chars * state.averageWidth);
    if (scroll == state.scrollX) return false;
    state.scrollX = scroll;
    return true;
}

void PlaceCaret(EditState& state) {
    if (!state.focused || CaretOwner() != state.hwnd) return;
    POINT point{};
    if (PositionOfChar(state, state.caret, point)) SetCaretPos(point.x, point.y);
}

}  // namespace w32::edit
