// The built-in sample: a page of shapes, two pages of text and a page of
// pictures in the document format, then blank pages. The page shows a title band over a grid of nine framed cells:
// lines of each width and style, a filled rectangle, a hatched rounded
// rectangle, an ellipse, an arc, a star, Bezier curves, a path of lines and
// curves, and the six hatches.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "document.h"

namespace tamprint {
namespace {

// Points from the top-left corner; everything lies within 54 points of the
// edges of both letter and A4 paper.
constexpr char kShapesPage[] = R"({"pages": [{"draw": [
  {"roundrect": [[54, 54], [541, 110]], "corner": [16, 16], "brush": {"colour": "#e0e0e0"}},
  {"line": [[54, 124], [541, 124]], "pen": {"width": 2}},

  {"rectangle": [[58, 140], [212, 330]], "pen": {"colour": "#a0a0a0"}},
  {"rectangle": [[220, 140], [374, 330]], "pen": {"colour": "#a0a0a0"}},
  {"rectangle": [[382, 140], [536, 330]], "pen": {"colour": "#a0a0a0"}},
  {"rectangle": [[58, 340], [212, 530]], "pen": {"colour": "#a0a0a0"}},
  {"rectangle": [[220, 340], [374, 530]], "pen": {"colour": "#a0a0a0"}},
  {"rectangle": [[382, 340], [536, 530]], "pen": {"colour": "#a0a0a0"}},
  {"rectangle": [[58, 540], [212, 730]], "pen": {"colour": "#a0a0a0"}},
  {"rectangle": [[220, 540], [374, 730]], "pen": {"colour": "#a0a0a0"}},
  {"rectangle": [[382, 540], [536, 730]], "pen": {"colour": "#a0a0a0"}},

  {"line": [[74, 165], [196, 165]]},
  {"line": [[74, 185], [196, 185]], "pen": {"width": 1}},
  {"line": [[74, 205], [196, 205]], "pen": {"width": 2}},
  {"line": [[74, 225], [196, 225]], "pen": {"width": 4}},
  {"line": [[74, 250], [196, 250]], "pen": {"style": "dash"}},
  {"line": [[74, 270], [196, 270]], "pen": {"style": "dot"}},
  {"line": [[74, 290], [196, 290]], "pen": {"style": "dashdot"}},
  {"polyline": [[74, 320], [104, 302], [134, 320], [164, 302], [196, 320]], "pen": {"width": 1}},

  {"rectangle": [[236, 165], [358, 305]], "pen": {"width": 1}, "brush": {"colour": "#c0c0c0"}},

  {"roundrect": [[398, 165], [520, 305]], "corner": [30, 30], "pen": {"width": 1},
   "brush": {"hatch": "cross", "colour": "#000000"}},

  {"ellipse": [[74, 370], [196, 500]], "pen": {"width": 2}, "brush": {"hatch": "diagcross", "colour": "#404040"}},

  {"arc": [[236, 370], [358, 500], [358, 435], [297, 500]], "pen": {"width": 3}},

  {"polygon": [[459, 370], [497.2, 487.6], [397.2, 414.9], [520.8, 414.9], [420.8, 487.6]],
   "pen": {"width": 1}, "brush": {"colour": "#808080"}},

  {"bezier": [[74, 700], [100, 540], [170, 720], [196, 560]], "pen": {"width": 2}},
  {"bezier": [[74, 620], [120, 560], [150, 700], [196, 640]], "pen": {"style": "dash"}},

  {"path": [{"move": [297, 565]}, {"line": [[350, 590]]}, {"bezier": [[350, 650], [320, 690], [297, 710]]},
            {"bezier": [[274, 690], [244, 650], [244, 590]]}, "close"],
   "pen": {"width": 1.5}, "brush": {"hatch": "fdiagonal", "colour": "#000000"}},

  {"rectangle": [[398, 565], [450, 605]], "brush": {"hatch": "horizontal"}},
  {"rectangle": [[468, 565], [520, 605]], "brush": {"hatch": "vertical"}},
  {"rectangle": [[398, 615], [450, 655]], "brush": {"hatch": "fdiagonal"}},
  {"rectangle": [[468, 615], [520, 655]], "brush": {"hatch": "bdiagonal"}},
  {"rectangle": [[398, 665], [450, 705]], "brush": {"hatch": "cross"}},
  {"rectangle": [[468, 665], [520, 705]], "brush": {"hatch": "diagcross"}}
]}]})";

// Two pages of text: a heading, body text in a sans-serif and a serif face
// flowing in a column, a turned line, and a line of Chinese in the
// collection font that the machine maps Chinese faces to.
constexpr char kTextPages[] = R"({"pages": [{"draw": [
  {"text": "Korvan sample: text", "at": [54, 90], "font": {"face": "Arial", "size": 24, "bold": true}},
  {"line": [[54, 104], [541, 104]], "pen": {"width": 1}},
  {"textblock": "This page is set in two faces. The paragraphs flow in a column 487 points wide, broken between words where the next word would not fit, as a word processor sets them. Each line reaches the printer as one string of glyphs in a font the driver downloads once and keeps for the pages that follow.",
   "at": [54, 130], "width": 487, "font": {"face": "Arial", "size": 11}, "leading": 15},
  {"textblock": "The second paragraph is in a serif face, in italic and at a larger size, so that its glyphs come from a font of their own. Text keeps its colour, its alignment and its place on the page whatever the paper, the number of pages a sheet or the order of the pages.",
   "at": [54, 230], "width": 487, "font": {"face": "Times New Roman", "size": 13, "italic": true}, "leading": 18,
   "colour": "#202060"},
  {"text": "Centred, in bold", "at": [297.5, 360], "font": {"face": "Times New Roman", "size": 16, "bold": true},
   "align": "center"},
  {"text": "Set at thirty degrees", "at": [120, 560], "font": {"face": "Arial", "size": 20}, "rotation": 30,
   "colour": "#800000"},
  {"text": "中文字体：打印机驱动程序的示例文本。", "at": [54, 660], "font": {"face": "NSimSun", "size": 16}},
  {"text": "Right-aligned, 9 points", "at": [541, 730], "font": {"face": "Courier New", "size": 9}, "align": "right"}
]}, {"draw": [
  {"text": "Korvan sample: page three", "at": [54, 90], "font": {"face": "Times New Roman", "size": 24}},
  {"textblock": "The quick brown fox jumps over the lazy dog. 0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ.\nA second line starts after a line break; the fonts of the page before are used again without being sent twice.",
   "at": [54, 120], "width": 487, "font": {"face": "Arial", "size": 11}},
  {"text": "Upright again, 12 points", "at": [54, 300], "font": {"face": "Arial", "size": 12}}
]}]})";

// A page of pictures: a photograph-like landscape and a one-bit logo, both
// made here, and a gradient band.
constexpr char kPicturePage[] = R"({"pages": [{"draw": [
  {"text": "Korvan sample: pictures", "at": [54, 90], "font": {"face": "Arial", "size": 24, "bold": true}},
  {"gradient": [[54, 104], [541, 112]], "from": "#000060", "to": "#ffffff"},
  {"gradient": [[170, 480], [541, 576]], "from": "#ffffff", "to": "#006000", "direction": "vertical"}
]}]})";

// A landscape of 240 x 160 pixels: a sky fading to the horizon, a sun,
// two rows of hills, and a little noise as a photograph has.
std::shared_ptr<const Picture> Landscape() {
    constexpr LONG kWidth = 240, kHeight = 160;
    auto picture = std::make_shared<Picture>(MakePicture(kWidth, kHeight, 24));
    const size_t stride = PictureStride(kWidth, 24);
    uint32_t seed = 12345;
    for (LONG y = 0; y < kHeight; ++y) {
        uint8_t* row = picture->bits.data() + size_t(kHeight - 1 - y) * stride;  // bottom-up
        for (LONG x = 0; x < kWidth; ++x) {
            const double t = double(y) / kHeight;
            double r = 90 + 140 * t, g = 140 + 90 * t, b = 230;  // sky
            if (std::hypot(x - 180.0, y - 40.0) < 18) r = 255, g = 220, b = 90;  // sun
            if (y > 95 + 15 * std::sin(x / 30.0)) r = 70, g = 140, b = 60;        // far hills
            if (y > 120 + 12 * std::sin(x / 17.0 + 1)) r = 40, g = 100, b = 35;   // near hills
            seed = seed * 1103515245 + 12345;
            const double noise = double(seed >> 16 & 0x1F) - 16;
            auto clamp = [](double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
            row[x * 3] = clamp(b + noise), row[x * 3 + 1] = clamp(g + noise), row[x * 3 + 2] = clamp(r + noise);
        }
    }
    return picture;
}

// A one-bit logo of 64 x 64 pixels: a ring around a diagonal bar.
std::shared_ptr<const Picture> Logo() {
    constexpr LONG kSide = 64;
    auto picture = std::make_shared<Picture>(MakePicture(kSide, kSide, 1, {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}}));
    const size_t stride = PictureStride(kSide, 1);
    for (LONG y = 0; y < kSide; ++y)
        for (LONG x = 0; x < kSide; ++x) {
            const double d = std::hypot(x - 31.5, y - 31.5);
            const bool ink = (d > 24 && d < 31) || (d < 24 && std::abs(x - y) < 6);
            if (!ink) picture->bits[size_t(y) * stride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));  // white
        }
    return picture;
}

DrawItem ImageItem(std::shared_ptr<const Picture> picture, double x, double y, double width, double height) {
    DrawItem item;
    item.shape = ShapeKind::Image;
    item.image = ImageSpec{std::move(picture), x, y, width, height};
    return item;
}

}  // namespace

Document SampleDocument(int pages) {
    Document document;
    std::string error;
    if (!ParseDocument(kShapesPage, "built-in sample", document, error)) {
        // The page is built into the program: a mistake in it is the program's.
        std::fprintf(stderr, "tamprint: %s\n", error.c_str());
        std::abort();
    }
    document.title = "Korvan sample";
    document.titled = true;
    Document text;
    if (!ParseDocument(kTextPages, "built-in sample", text, error)) {
        std::fprintf(stderr, "tamprint: %s\n", error.c_str());
        std::abort();
    }
    for (PageDescription& page : text.pages) document.pages.push_back(std::move(page));
    Document pictures;
    if (!ParseDocument(kPicturePage, "built-in sample", pictures, error)) {
        std::fprintf(stderr, "tamprint: %s\n", error.c_str());
        std::abort();
    }
    PageDescription& picturePage = pictures.pages.front();
    picturePage.draw.push_back(ImageItem(Landscape(), 54, 130, 487, 325));
    picturePage.draw.push_back(ImageItem(Logo(), 54, 480, 96, 96));
    document.pages.push_back(std::move(picturePage));
    document.pages.resize(size_t(pages));
    document.source = "built-in sample";
    return document;
}

}  // namespace tamprint
