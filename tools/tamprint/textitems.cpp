// Drawing text items on a printer DC as an application does: a font made
// with CreateFontIndirectW at the size in the DC's pixels, the text aligned
// with SetTextAlign on its baseline and drawn with TextOutW; a block's lines
// broken where GetTextExtentPoint32W says the next word would not fit.
#include "textitems.h"

#include <cmath>
#include <vector>

#include "shapes.h"

namespace tamprint {
namespace {

// The font of a text item, selected into the DC with its colour and
// alignment while this lives.
class SelectedFont {
public:
    SelectedFont(HDC dc, const DeviceFrame& frame, const TextSpec& text) : dc_(dc) {
        LOGFONTW logFont{};
        logFont.lfHeight = -std::max(1, frame.Down(text.font.size));  // the em, in pixels
        logFont.lfWeight = text.font.bold ? FW_BOLD : FW_NORMAL;
        logFont.lfItalic = text.font.italic;
        logFont.lfEscapement = logFont.lfOrientation = LONG(std::lround(text.rotation * 10));
        logFont.lfCharSet = DEFAULT_CHARSET;
        logFont.lfOutPrecision = OUT_TT_PRECIS;
        text.font.face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
        font_ = CreateFontIndirectW(&logFont);
        if (!font_) return;
        old_ = SelectObject(dc_, font_);
        oldAlign_ = SetTextAlign(dc_, TA_BASELINE | text.align);
        oldColour_ = SetTextColor(dc_, text.colour);
        oldMode_ = SetBkMode(dc_, TRANSPARENT);
    }
    ~SelectedFont() {
        if (old_) {
            SetBkMode(dc_, oldMode_);
            SetTextColor(dc_, oldColour_);
            SetTextAlign(dc_, oldAlign_);
            SelectObject(dc_, old_);
        }
        if (font_) DeleteObject(font_);
    }
    bool Ok() const { return old_ != nullptr; }

private:
    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
    UINT oldAlign_ = 0;
    COLORREF oldColour_ = 0;
    int oldMode_ = 0;
};

LONG Extent(HDC dc, const std::u16string& text) {
    SIZE size{};
    if (!GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size)) return -1;
    return size.cx;
}

// The lines of a block: its paragraphs, each filled word by word up to
// `width` pixels. Empty when measuring failed.
bool BreakLines(HDC dc, const std::u16string& text, LONG width, std::vector<std::u16string>& lines) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        const std::u16string paragraph = text.substr(start, end - start);
        std::u16string line;
        size_t at = 0;
        while (at < paragraph.size()) {
            const size_t wordStart = paragraph.find_first_not_of(u' ', at);
            if (wordStart == std::u16string::npos) break;
            size_t wordEnd = paragraph.find(u' ', wordStart);
            if (wordEnd == std::u16string::npos) wordEnd = paragraph.size();
            const std::u16string word = paragraph.substr(wordStart, wordEnd - wordStart);
            const std::u16string candidate = line.empty() ? word : line + u" " + word;
            const LONG extent = Extent(dc, candidate);
            if (extent < 0) return false;
            if (extent <= width || line.empty()) {
                line = candidate;
            } else {
                lines.push_back(line);
                line = word;
            }
            at = wordEnd;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return true;
}

}  // namespace

bool DrawTextItem(HDC dc, const DeviceFrame& frame, const TextSpec& text) {
    SelectedFont font(dc, frame, text);
    if (!font.Ok()) return false;
    const POINT at = frame.Device(PagePoint{text.x, text.y});
    if (!text.block) return TextOutW(dc, at.x, at.y, text.text.c_str(), int(text.text.size()));

    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc, &metrics)) return false;
    const LONG width = frame.Across(text.width);
    std::vector<std::u16string> lines;
    if (!BreakLines(dc, text.text, width, lines)) return false;
    const LONG step = text.leading > 0 ? frame.Down(text.leading) : metrics.tmHeight + metrics.tmExternalLeading;
    LONG x = at.x;
    if (text.align == TA_CENTER) x += width / 2;
    if (text.align == TA_RIGHT) x += width;
    LONG baseline = at.y + metrics.tmAscent;
    for (const std::u16string& line : lines) {
        if (!line.empty() && !TextOutW(dc, x, baseline, line.c_str(), int(line.size()))) return false;
        baseline += step;
    }
    return true;
}

}  // namespace tamprint
