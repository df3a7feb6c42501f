// The text items of a document's page: strings at a place and flowing
// blocks of text, each in its own font and colour, in points from the
// top-left corner of the page like the shapes.
//
//   {"text": "Quarterly report", "at": [72, 90],
//    "font": {"face": "Arial", "size": 18, "bold": true}, "colour": "#000080"}
//   {"text": "Draft", "at": [300, 400], "font": {"size": 48}, "align": "center",
//    "rotation": 30}
//   {"textblock": "A paragraph of words...", "at": [72, 120], "width": 450,
//    "font": {"face": "Times New Roman", "size": 11}, "leading": 14}
//
// A "text" is one line: "at" is the point on its baseline where it starts
// ("align" "left", the default), is centred ("center") or ends ("right");
// "rotation" turns it about that point, in degrees counter-clockwise. A
// "textblock" fills lines of at most "width" points, broken between words
// (a word longer than the width has a line of its own) and at line breaks
// ("\n"); "at" is the top-left corner of its first line, and each line is
// "leading" points below the one before (the font's own line spacing when
// it is not given); "align" places each line in the width. "font" takes a
// "face" (a font name; "Arial" when not given), a "size" in points (12;
// 1 to 1000), "bold" and "italic" (false); "colour" is "#rrggbb" (black).
// Strings are UTF-8.
#pragma once
#include <windows.h>

#include <string>

namespace tamprint {

struct PagePoint;
struct DeviceFrame;

struct TextFont {
    std::u16string face = u"Arial";
    double size = 12;  // points
    bool bold = false;
    bool italic = false;
};

struct TextSpec {
    bool block = false;    // a textblock
    std::u16string text;
    double x = 0, y = 0;   // points: a baseline point, or a block's top-left corner
    TextFont font;
    COLORREF colour = RGB(0, 0, 0);
    UINT align = TA_LEFT;  // TA_LEFT, TA_CENTER or TA_RIGHT
    double rotation = 0;   // degrees counter-clockwise (a text)
    double width = 0;      // points (a textblock)
    double leading = 0;    // points between a block's baselines; 0: the font's own
};

// Draws a text item on the DC through GDI with a font made for it. False
// when a GDI call fails (the last error says why).
bool DrawTextItem(HDC dc, const DeviceFrame& frame, const TextSpec& text);

}  // namespace tamprint
