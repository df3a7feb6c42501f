// The system's icons and cursors, drawn at the size asked for so that a
// message box shows a recognisable picture: the application's window, the
// error's red disc with a white cross, the question's and information's
// blue discs with a white "?" and "i", the warning's yellow triangle with a
// black "!", the shield, and the cursors' arrow, I-beam, hourglass, cross,
// hand, sizing arrows and "no" sign.
//
// Each picture is drawn with GDI twice: in colour on black, and as a mask
// on white where every shape is black, which makes the AND mask.
#include <windows.h>

#include <cmath>
#include <functional>

#include "user32/cursoricon.h"

namespace w32 {

namespace {

// Draws the shapes on the colour and the mask DCs alike.
class Painter {
public:
    Painter(HDC colour, HDC mask, int size) : colour_(colour), mask_(mask), size_(size) {}
    // A coordinate on a 32-unit grid, scaled to the picture's size.
    int S(double v) const { return int(std::lround(v * size_ / 32.0)); }

    void Ellipse(double l, double t, double r, double b, COLORREF fill, COLORREF line) {
        Both(fill, line, [&](HDC dc) { ::Ellipse(dc, S(l), S(t), S(r), S(b)); });
    }
    void Rect(double l, double t, double r, double b, COLORREF fill, COLORREF line) {
        Both(fill, line, [&](HDC dc) { ::Rectangle(dc, S(l), S(t), S(r), S(b)); });
    }
    void Polygon(std::initializer_list<POINT> grid, COLORREF fill, COLORREF line) {
        std::vector<POINT> points;
        for (POINT p : grid) points.push_back(POINT{S(p.x), S(p.y)});
        Both(fill, line, [&](HDC dc) { ::Polygon(dc, points.data(), int(points.size())); });
    }
    void Line(std::initializer_list<POINT> grid, COLORREF color, double width) {
        std::vector<POINT> points;
        for (POINT p : grid) points.push_back(POINT{S(p.x), S(p.y)});
        for (HDC dc : {colour_, mask_}) {
            HPEN pen = CreatePen(PS_SOLID, std::max(1, S(width)), dc == mask_ ? RGB(0, 0, 0) : color);
            HGDIOBJ old = SelectObject(dc, pen);
            ::Polyline(dc, points.data(), int(points.size()));
            SelectObject(dc, old);
            DeleteObject(pen);
        }
    }
    // Text drawn only in colour: it sits on a shape the mask already covers.
    void Text(const char16_t* text, double l, double t, double r, double b, COLORREF color, double height) {
        HFONT font = CreateFontW(-std::max(1, S(height)), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                 VARIABLE_PITCH | FF_SWISS, u"Segoe UI");
        HGDIOBJ old = SelectObject(colour_, font);
        SetBkMode(colour_, TRANSPARENT);
        SetTextColor(colour_, color);
        RECT box{S(l), S(t), S(r), S(b)};
        DrawTextW(colour_, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(colour_, old);
        DeleteObject(font);
    }

private:
    template <typename Shape>
    void Both(COLORREF fill, COLORREF line, Shape shape) {
        for (HDC dc : {colour_, mask_}) {
            const bool mask = dc == mask_;
            HBRUSH brush = CreateSolidBrush(mask ? RGB(0, 0, 0) : fill);
            HPEN pen = CreatePen(PS_SOLID, 1, mask ? RGB(0, 0, 0) : line);
            HGDIOBJ oldBrush = SelectObject(dc, brush);
            HGDIOBJ oldPen = SelectObject(dc, pen);
            shape(dc);
            SelectObject(dc, oldBrush);
            SelectObject(dc, oldPen);
            DeleteObject(brush);
            DeleteObject(pen);
        }
    }
    HDC colour_, mask_;
    int size_;
};

constexpr COLORREF kRed = RGB(232, 17, 35);
constexpr COLORREF kBlue = RGB(0, 120, 215);
constexpr COLORREF kYellow = RGB(255, 185, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(110, 110, 110);

// Draws a picture of size x size and makes its image.
IconImage Draw(int size, bool icon, POINT hotspot, const std::function<void(Painter&)>& paint) {
    IconImage image;
    image.icon = icon;
    image.width = image.height = size;
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* colourBits = nullptr;
    void* maskBits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &colourBits, nullptr, 0);
    HBITMAP mask = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &maskBits, nullptr, 0);
    HDC colourDC = CreateCompatibleDC(nullptr);
    HDC maskDC = CreateCompatibleDC(nullptr);
    HGDIOBJ oldColour = SelectObject(colourDC, colour);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    RECT all{0, 0, size, size};
    FillRect(maskDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Painter painter(colourDC, maskDC, size);
    paint(painter);
    const auto* c = static_cast<const DWORD*>(colourBits);
    const auto* m = static_cast<const DWORD*>(maskBits);
    image.pixels.assign(c, c + size_t(size) * size_t(size));
    image.mask.resize(image.pixels.size());
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.mask[i] = (m[i] & 0xFFFFFF) ? 1 : 0;
        image.pixels[i] &= 0xFFFFFF;
        if (image.mask[i]) image.pixels[i] = 0;  // transparent: the screen stays
    }
    SelectObject(colourDC, oldColour);
    SelectObject(maskDC, oldMask);
    DeleteDC(colourDC);
    DeleteDC(maskDC);
    DeleteObject(colour);
    DeleteObject(mask);
    image.hotspot = icon ? POINT{size / 2, size / 2} : POINT{hotspot.x * size / 32, hotspot.y * size / 32};
    return image;
}

void Disc(Painter& p, COLORREF color) { p.Ellipse(1, 1, 31, 31, color, color); }

}  // namespace

bool SystemIconImage(WORD id, int size, IconImage& out) {
    std::function<void(Painter&)> paint;
    switch (id) {
        case 32512:  // IDI_APPLICATION: a window
            paint = [](Painter& p) {
                p.Rect(2, 4, 30, 28, kWhite, kGrey);
                p.Rect(2, 4, 30, 9, kBlue, kBlue);
            };
            break;
        case 32513:  // IDI_ERROR
            paint = [](Painter& p) {
                Disc(p, kRed);
                p.Line({{10, 10}, {22, 22}}, kWhite, 3);
                p.Line({{22, 10}, {10, 22}}, kWhite, 3);
            };
            break;
        case 32514:  // IDI_QUESTION
            paint = [](Painter& p) {
                Disc(p, kBlue);
                p.Text(u"?", 1, 1, 31, 31, kWhite, 22);
            };
            break;
        case 32515:  // IDI_WARNING
            paint = [](Painter& p) {
                p.Polygon({{16, 2}, {31, 29}, {1, 29}}, kYellow, kYellow);
                p.Rect(14.5, 10, 17.5, 21, kBlack, kBlack);
                p.Rect(14.5, 23, 17.5, 26, kBlack, kBlack);
            };
            break;
        case 32516:  // IDI_INFORMATION
            paint = [](Painter& p) {
                Disc(p, kBlue);
                p.Rect(14.5, 7, 17.5, 10, kWhite, kWhite);
                p.Rect(14.5, 13, 17.5, 25, kWhite, kWhite);
            };
            break;
        case 32517:  // IDI_WINLOGO: four panes
            paint = [](Painter& p) {
                p.Rect(3, 3, 15, 15, RGB(242, 80, 34), RGB(242, 80, 34));
                p.Rect(17, 3, 29, 15, RGB(127, 186, 0), RGB(127, 186, 0));
                p.Rect(3, 17, 15, 29, kBlue, kBlue);
                p.Rect(17, 17, 29, 29, kYellow, kYellow);
            };
            break;
        case 32518:  // IDI_SHIELD: blue and yellow quarters
            paint = [](Painter& p) {
                p.Polygon({{16, 2}, {29, 6}, {28, 20}, {16, 30}, {4, 20}, {3, 6}}, kBlue, kBlue);
                p.Polygon({{16, 2}, {29, 6}, {28, 16}, {16, 16}}, kYellow, kYellow);
                p.Polygon({{16, 16}, {4, 16}, {4, 20}, {16, 30}}, kYellow, kYellow);
            };
            break;
        default:
            return false;
    }
    out = Draw(size, true, POINT{}, paint);
    return true;
}

bool SystemCursorImage(WORD id, int size, IconImage& out) {
    std::function<void(Painter&)> paint;
    POINT hotspot{16, 16};
    auto arrow = [](Painter& p) {
        p.Polygon({{1, 1}, {1, 22}, {6, 17}, {10, 26}, {13, 25}, {9, 16}, {16, 16}}, kWhite, kBlack);
    };
    switch (id) {
        case 32512:  // IDC_ARROW
            paint = arrow;
            hotspot = POINT{1, 1};
            break;
        case 32513:  // IDC_IBEAM
            paint = [](Painter& p) {
                p.Line({{12, 4}, {20, 4}}, kBlack, 1.5);
                p.Line({{16, 4}, {16, 28}}, kBlack, 1.5);
                p.Line({{12, 28}, {20, 28}}, kBlack, 1.5);
            };
            break;
        case 32514:  // IDC_WAIT: a ring
            paint = [](Painter& p) {
                p.Ellipse(4, 4, 28, 28, kBlue, kBlue);
                p.Ellipse(9, 9, 23, 23, kWhite, kWhite);
            };
            break;
        case 32515:  // IDC_CROSS
            paint = [](Painter& p) {
                p.Line({{16, 3}, {16, 29}}, kBlack, 1);
                p.Line({{3, 16}, {29, 16}}, kBlack, 1);
            };
            break;
        case 32516:  // IDC_UPARROW
            paint = [](Painter& p) {
                p.Polygon({{16, 2}, {24, 12}, {19, 12}, {19, 30}, {13, 30}, {13, 12}, {8, 12}}, kWhite, kBlack);
            };
            hotspot = POINT{16, 2};
            break;
        case 32642:  // IDC_SIZENWSE
        case 32643:  // IDC_SIZENESW
        case 32644:  // IDC_SIZEWE
        case 32645:  // IDC_SIZENS
        case 32646:  // IDC_SIZEALL
            paint = [id](Painter& p) {
                const bool we = id == 32644 || id == 32646, ns = id == 32645 || id == 32646;
                if (we) p.Line({{4, 16}, {28, 16}}, kBlack, 2);
                if (ns) p.Line({{16, 4}, {16, 28}}, kBlack, 2);
                if (id == 32642) p.Line({{6, 6}, {26, 26}}, kBlack, 2);
                if (id == 32643) p.Line({{26, 6}, {6, 26}}, kBlack, 2);
            };
            break;
        case 32648:  // IDC_NO
            paint = [](Painter& p) {
                p.Ellipse(4, 4, 28, 28, kRed, kRed);
                p.Ellipse(8, 8, 24, 24, kWhite, kWhite);
                p.Line({{9, 9}, {23, 23}}, kRed, 3);
            };
            break;
        case 32649:  // IDC_HAND: a pointing finger
            paint = [](Painter& p) {
                p.Rect(11, 1, 16, 16, kWhite, kBlack);
                p.Rect(7, 14, 26, 29, kWhite, kBlack);
            };
            hotspot = POINT{13, 1};
            break;
        case 32650:  // IDC_APPSTARTING
        case 32651:  // IDC_HELP
            paint = [arrow, id](Painter& p) {
                arrow(p);
                if (id == 32650) {
                    p.Ellipse(18, 18, 30, 30, kBlue, kBlue);
                } else {
                    p.Ellipse(17, 15, 31, 31, kBlue, kBlue);
                    p.Text(u"?", 17, 15, 31, 31, kWhite, 12);
                }
            };
            hotspot = POINT{1, 1};
            break;
        default:
            return false;
    }
    out = Draw(size, false, hotspot, paint);
    return true;
}

}  // namespace w32
