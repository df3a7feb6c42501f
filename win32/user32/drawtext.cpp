// Formatted text in a rectangle: DrawTextW, as dialogs and controls draw
// their labels.
//
// The text is broken into lines, measured with GDI's own measure of
// the DC's font (GetTextExtentExPointW: the advances ExtTextOutW draws
// with, the character extra included; GetTextMetricsW for the line height
// and the average width) and drawn with ExtTextOutW, clipped to the
// rectangle unless DT_NOCLIP. What each format does here:
// - Prefixes: "&x" draws x underlined (at the font's underscore position
//   and size, in the text colour), "&&" draws "&", a lone "&" at the end is
//   dropped. DT_NOPREFIX draws every "&"; DT_HIDEPREFIX drops the prefixes
//   without underlining; DT_PREFIXONLY draws only the underlines.
// - Lines: "\r\n", "\n" and "\r" each end a line (a break at the very end
//   of the text starts no further line), except with DT_SINGLELINE, where
//   they are drawn as characters. DT_WORDBREAK also breaks a line before a
//   word that would cross the rectangle's right edge; the spaces at the
//   break are not drawn. A word wider than the rectangle stays whole (and
//   crosses the edge), unless DT_EDITCONTROL, which breaks it between
//   characters as a multi-line edit control does and draws no line after
//   the first that the rectangle's bottom would cut.
// - DT_EXPANDTABS moves a tab to the next stop, every 8 average character
//   widths from the line's start (DT_TABSTOP: bits 8 to 15 of the format
//   give the number of characters, and those bits are no flags then).
// - DT_LEFT, DT_CENTER, DT_RIGHT place each line across the rectangle;
//   DT_TOP starts at its top; DT_VCENTER and DT_BOTTOM, with DT_SINGLELINE
//   only, centre the line or put it at the bottom. Each line is tmHeight
//   below the one before, plus tmExternalLeading with DT_EXTERNALLEADING.
// - Ellipses replace what does not fit across the rectangle with "...":
//   DT_END_ELLIPSIS the end of the text's last line, DT_WORD_ELLIPSIS the
//   end of every line too wide, DT_PATH_ELLIPSIS the end of the text before
//   a line's last backslash, keeping what follows it (a line without a
//   backslash is cut at its end). With DT_MODIFYSTRING and text of one
//   line, the buffer receives the text shown (prefixes taken out) and a
//   terminator.
// - DT_CALCRECT draws nothing: it moves the rectangle's right edge to the
//   widest line and its bottom to the last line's bottom.
// - DT_INTERNAL, DT_RTLREADING and DT_NOFULLWIDTHCHARBREAK change nothing:
//   lines run left to right in the DC's font.
//
// Answers the text's height in logical units (lines times their height;
// empty text is one empty line); with DT_VCENTER or DT_BOTTOM, the offset
// from the rectangle's top to the text's bottom. 0 on failure:
// ERROR_INVALID_HANDLE for a handle that is no DC, ERROR_INVALID_PARAMETER
// for a null rectangle, null text (with any count but 0), or a count below
// -1; the measuring's or drawing's error when GDI fails.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr UINT kDefaultTabCharacters = 8;
constexpr WCHAR kEllipsis[] = u"...";
constexpr size_t kEllipsisLength = 3;

bool IsBreakSpace(WCHAR ch) { return ch == u' ' || ch == u'\t'; }

// The width of each character of a text in logical units, as GDI measures
// the string: differences of its running extents, so that they add up to
// the extent of any run of them without rounding drift. False with GDI's error.
bool MeasureWidths(HDC hdc, std::u16string_view text, std::vector<LONG>& widths) {
    widths.assign(text.size(), 0);
    if (text.empty()) return true;
    if (text.size() > size_t(INT32_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::vector<INT> extents(text.size());
    SIZE size;
    if (!GetTextExtentExPointW(hdc, text.data(), int(text.size()), -1, nullptr, extents.data(), &size)) return false;
    for (size_t i = 0; i < text.size(); ++i) widths[i] = extents[i] - (i ? extents[i - 1] : 0);
    return true;
}

// A line of the text: a range of the shown text, or text of its own once
// an ellipsis replaced some of it, with the places of its underlined characters.
struct Line {
    size_t start = 0, end = 0;
    bool replaced = false;
    std::u16string text;
    std::vector<LONG> widths;        // of `text`, when replaced
    std::vector<size_t> underlined;  // indices into the line's text
};

class TextFormatter {
public:
    TextFormatter(HDC hdc, UINT format, LONG tabWidth) : hdc_(hdc), format_(format), tabWidth_(tabWidth) {}

    // Takes the prefixes out of the text, noting the underlined characters, and measures it.
    bool SetText(const WCHAR* text, size_t count) {
        shown_.reserve(count);
        const bool prefixes = !(format_ & DT_NOPREFIX);
        for (size_t i = 0; i < count; ++i) {
            if (prefixes && text[i] == u'&') {
                if (i + 1 == count) break;
                if (text[i + 1] == u'&') {
                    shown_.push_back(u'&');
                    ++i;
                    continue;
                }
                underlined_.push_back(shown_.size());
                continue;
            }
            shown_.push_back(text[i]);
        }
        return MeasureWidths(hdc_, shown_, widths_);
    }

    // Breaks the shown text into lines `width` logical units wide at most
    // (DT_WORDBREAK), then puts in the ellipses.
    bool Lay(int64_t width) {
        const bool wrap = format_ & DT_WORDBREAK;
        if (format_ & DT_SINGLELINE) {
            AddLine(0, shown_.size());
        } else {
            size_t start = 0;
            for (size_t i = 0; i <= shown_.size(); ++i) {
                const bool atEnd = i == shown_.size();
                if (!atEnd && shown_[i] != u'\r' && shown_[i] != u'\n') continue;
                if (atEnd && start == i && !lines_.empty()) break;  // a break that ends the text
                if (wrap) Wrap(start, i, width);
                else AddLine(start, i);
                if (atEnd) break;
                if (shown_[i] == u'\r' && i + 1 < shown_.size() && shown_[i + 1] == u'\n') ++i;
                start = i + 1;
            }
        }
        if (format_ & DT_END_ELLIPSIS) return Ellipsize(lines_.back(), width, false);
        if (format_ & (DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
            for (Line& line : lines_)
                if (!Ellipsize(line, width, format_ & DT_PATH_ELLIPSIS)) return false;
        return true;
    }

    const std::vector<Line>& Lines() const { return lines_; }
    std::u16string_view TextOf(const Line& line) const {
        return line.replaced ? std::u16string_view(line.text)
                             : std::u16string_view(shown_).substr(line.start, line.end - line.start);
    }
    std::span<const LONG> WidthsOf(const Line& line) const {
        return line.replaced ? std::span<const LONG>(line.widths)
                             : std::span<const LONG>(widths_).subspan(line.start, line.end - line.start);
    }

    // Where a character puts the pen that stands at x (logical units from the line's start).
    int64_t Step(int64_t x, WCHAR ch, LONG width) const {
        return ch == u'\t' && (format_ & DT_EXPANDTABS) ? NextTabStop(x) : x + width;
    }
    int64_t NextTabStop(int64_t x) const { return tabWidth_ > 0 ? (x / tabWidth_ + 1) * tabWidth_ : x; }
    // Where characters [from, to) of a line put the pen that stands at x.
    int64_t Advance(int64_t x, std::u16string_view text, std::span<const LONG> widths, size_t from, size_t to) const {
        for (size_t i = from; i < to; ++i) x = Step(x, text[i], widths[i]);
        return x;
    }
    int64_t Width(const Line& line) const {
        const std::u16string_view text = TextOf(line);
        return Advance(0, text, WidthsOf(line), 0, text.size());
    }

private:
    // Where shown characters [from, to) put the pen that stands at x.
    int64_t Advance(int64_t x, size_t from, size_t to) const { return Advance(x, shown_, widths_, from, to); }

    void AddLine(size_t start, size_t end) {
        Line line;
        line.start = start;
        line.end = end;
        const auto first = std::lower_bound(underlined_.begin(), underlined_.end(), start);
        for (auto at = first; at != underlined_.end() && *at < end; ++at) line.underlined.push_back(*at - start);
        lines_.push_back(std::move(line));
    }

    // Greedy breaking of one paragraph at spaces. A word is measured again
    // only when it moves to the next line, so long text stays linear.
    void Wrap(size_t begin, size_t end, int64_t width) {
        size_t lineStart = begin, lineEnd = begin;
        int64_t x = 0;  // the pen at lineEnd, from the line's start
        while (true) {
            size_t word = lineEnd;
            while (word < end && IsBreakSpace(shown_[word])) ++word;
            if (word == end) break;
            size_t wordEnd = word;
            while (wordEnd < end && !IsBreakSpace(shown_[wordEnd])) ++wordEnd;
            const int64_t before = Advance(x, lineEnd, word);
            const int64_t after = Advance(before, word, wordEnd);
            if (after <= width || (lineEnd == lineStart && !(format_ & DT_EDITCONTROL))) {
                // It fits, or it is too wide for any line and stays whole on its own.
                lineEnd = wordEnd;
                x = after;
            } else if (lineEnd != lineStart) {
                // The word starts the next line.
                AddLine(lineStart, lineEnd);
                lineStart = lineEnd = word;
                x = 0;
            } else {
                // An edit control breaks it between characters, one at least a line.
                size_t cut = word;
                for (int64_t pen = before; cut < wordEnd; ++cut) {
                    pen = Step(pen, shown_[cut], widths_[cut]);
                    if (pen > width && cut > lineStart) break;
                }
                AddLine(lineStart, cut);
                lineStart = lineEnd = cut;
                x = 0;
            }
        }
        AddLine(lineStart, lineEnd);
    }

    // Replaces what does not fit across `width` with "...".
    bool Ellipsize(Line& line, int64_t width, bool path) {
        if (Width(line) <= width) return true;
        const std::u16string_view text = TextOf(line);
        const std::span<const LONG> widths = WidthsOf(line);
        SIZE ellipsis;
        if (!GetTextExtentPoint32W(hdc_, kEllipsis, int(kEllipsisLength), &ellipsis)) return false;
        // What follows the last backslash is kept (path ellipsis).
        size_t keep = text.size();
        if (path) {
            const size_t slash = text.rfind(u'\\');
            if (slash != std::u16string_view::npos) keep = slash;
        }
        int64_t tail = 0;
        for (size_t i = keep; i < text.size(); ++i) tail += widths[i];
        size_t cut = 0;
        for (int64_t pen = 0; cut < keep; ++cut) {
            pen = Step(pen, text[cut], widths[cut]);
            if (pen + ellipsis.cx + tail > width) break;
        }
        std::vector<size_t> underlined;
        for (size_t at : line.underlined) {
            if (at < cut) underlined.push_back(at);
            else if (at >= keep) underlined.push_back(at - keep + cut + kEllipsisLength);
        }
        std::u16string shown = std::u16string(text.substr(0, cut)) + kEllipsis + std::u16string(text.substr(keep));
        line.text = std::move(shown);
        line.replaced = true;
        line.underlined = std::move(underlined);
        return MeasureWidths(hdc_, line.text, line.widths);
    }

    HDC hdc_;
    UINT format_;
    LONG tabWidth_;
    std::u16string shown_;
    std::vector<LONG> widths_;        // of shown_
    std::vector<size_t> underlined_;  // indices into shown_
    std::vector<Line> lines_;
};

// Sets the alignment DrawTextW draws with, and puts the DC's back after.
class TopLeftAlignment {
public:
    explicit TopLeftAlignment(HDC hdc) : hdc_(hdc), saved_(SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP)) {}
    ~TopLeftAlignment() {
        if (saved_ != GDI_ERROR) SetTextAlign(hdc_, saved_);
    }

private:
    HDC hdc_;
    UINT saved_;
};

// Where a prefixed character's underline goes: its top below the line's
// top, and its thickness, in logical units.
void UnderlinePlace(HDC hdc, const TEXTMETRICW& tm, LONG& offset, LONG& thickness) {
    offset = tm.tmAscent + 1;
    thickness = 1;
    const UINT size = GetOutlineTextMetricsW(hdc, 0, nullptr);
    if (size < sizeof(OUTLINETEXTMETRICW)) return;
    std::vector<BYTE> buffer(size);
    auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
    if (!GetOutlineTextMetricsW(hdc, size, otm)) return;
    offset = tm.tmAscent - otm->otmsUnderscorePosition;
    thickness = std::max<LONG>(1, LONG(otm->otmsUnderscoreSize));
}

// Draws one line at (x, y): its text in runs between expanded tabs, then
// the underlines of its prefixed characters.
bool DrawLine(HDC hdc, const TextFormatter& formatter, const Line& line, LONG x, LONG y, const RECT& rect,
              UINT format, const TEXTMETRICW& tm) {
    const std::u16string_view text = formatter.TextOf(line);
    const std::span<const LONG> widths = formatter.WidthsOf(line);
    const UINT options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
    if (!(format & DT_PREFIXONLY)) {
        int64_t pen = 0;
        size_t segment = 0;
        for (size_t i = 0; i <= text.size(); ++i) {
            const bool tab = i < text.size() && text[i] == u'\t' && (format & DT_EXPANDTABS);
            if (i < text.size() && !tab) continue;
            if (i > segment &&
                !ExtTextOutW(hdc, LONG(x + pen), y, options, &rect, text.data() + segment, UINT(i - segment), nullptr))
                return false;
            pen = formatter.Advance(pen, text, widths, segment, i);
            if (tab) pen = formatter.NextTabStop(pen);
            segment = i + 1;
        }
    }
    if ((format & DT_HIDEPREFIX) || line.underlined.empty()) return true;
    LONG offset, thickness;
    UnderlinePlace(hdc, tm, offset, thickness);
    HBRUSH brush = CreateSolidBrush(GetTextColor(hdc));
    bool drawn = true;
    for (const size_t at : line.underlined) {
        if (at >= text.size()) continue;
        const int64_t from = formatter.Advance(0, text, widths, 0, at);
        RECT bar{LONG(x + from), y + offset, LONG(x + from + widths[at]), y + offset + thickness};
        if (!(format & DT_NOCLIP)) {
            bar = RECT{std::max(bar.left, rect.left), std::max(bar.top, rect.top), std::min(bar.right, rect.right),
                       std::min(bar.bottom, rect.bottom)};
            if (bar.left >= bar.right || bar.top >= bar.bottom) continue;
        }
        drawn = drawn && FillRect(hdc, &bar, brush);
    }
    DeleteObject(brush);
    return drawn;
}

}  // namespace

int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    TEXTMETRICW tm;
    if (!GetTextMetricsW(hdc, &tm)) return 0;
    if (!lprc || cchText < -1 || (!lpchText && cchText != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t count = cchText == -1 ? size_t(lstrlenW(lpchText)) : size_t(cchText);
    UINT tabCharacters = kDefaultTabCharacters;
    if (format & DT_TABSTOP) {
        tabCharacters = (format >> 8) & 0xFF;
        format &= ~0xFF00u;
    }
    if (!(format & DT_SINGLELINE)) format &= ~UINT(DT_VCENTER | DT_BOTTOM);

    RECT& rect = *lprc;
    TextFormatter formatter(hdc, format, LONG(tabCharacters) * tm.tmAveCharWidth);
    if (!formatter.SetText(lpchText, count) || !formatter.Lay(int64_t(rect.right) - rect.left)) return 0;
    const std::vector<Line>& lines = formatter.Lines();
    LONG lineHeight = tm.tmHeight;
    if (format & DT_EXTERNALLEADING) lineHeight += tm.tmExternalLeading;
    const LONG height = LONG(lines.size()) * lineHeight;

    if ((format & DT_MODIFYSTRING) && lines.size() == 1 && lines[0].replaced) {
        const std::u16string_view shown = formatter.TextOf(lines[0]);
        WCHAR* buffer = const_cast<WCHAR*>(lpchText);
        std::copy(shown.begin(), shown.end(), buffer);
        buffer[shown.size()] = 0;
    }

    if (format & DT_CALCRECT) {
        int64_t widest = 0;
        for (const Line& line : lines) widest = std::max(widest, formatter.Width(line));
        rect.right = LONG(rect.left + widest);
        rect.bottom = rect.top + height;
        return height;
    }

    LONG top = rect.top;
    if (format & DT_VCENTER) top = rect.top + (rect.bottom - rect.top - lineHeight) / 2;
    else if (format & DT_BOTTOM) top = rect.bottom - lineHeight;

    TopLeftAlignment alignment(hdc);
    LONG y = top;
    for (size_t i = 0; i < lines.size(); ++i, y += lineHeight) {
        if ((format & DT_EDITCONTROL) && i > 0 && y + lineHeight > rect.bottom) break;
        const LONG width = LONG(formatter.Width(lines[i]));
        LONG x = rect.left;
        if (format & DT_CENTER) x = rect.left + (rect.right - rect.left - width) / 2;
        else if (format & DT_RIGHT) x = rect.right - width;
        if (!DrawLine(hdc, formatter, lines[i], x, y, rect, format, tm)) return 0;
    }
    return (format & (DT_VCENTER | DT_BOTTOM)) ? top - rect.top + lineHeight : height;
}
