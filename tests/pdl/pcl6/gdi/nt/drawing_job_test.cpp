// Drawings printed through GDI on "Korvan Laser" land where they were
// drawn, checked from the decoded job alone: the points of every painted
// path, read back from its SetCursor and its runs (relative runs added up,
// a curve's points taken from its start), are the GDI coordinates of the
// shape, painted with the pen and brush chosen; placed by the page
// transform written before them, they lie on the printable area of the
// sheet and inside their page's cell. Portrait and landscape, 600 and
// 1200 dpi, one, two and four pages a sheet. Beside them: the mixes that
// draw nothing or invert, a clip region that is not a rectangle, a
// pattern brush's pixels, and the patterns of a second document and of
// replayed sheets.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "print_fixture.h"
#include "support/page_box.h"
#include "support/painted_paths.h"

namespace tam::test {
namespace {

// A page point on the printer's sheet, through the page transform.
std::pair<double, double> OnSheet(const PageTransform& p, const job::Point& point) {
    const double ax = point.x * p.scaleX, ay = point.y * p.scaleY;
    const double x = double(p.originX), y = double(p.originY);
    switch (p.angle) {
        case 90: return {x + ay, y - ax};
        case 180: return {x - ax, y - ay};
        case 270: return {x - ay, y + ax};
        default: return {x + ax, y + ay};
    }
}

PageBox BoxOf(const std::vector<job::Point>& points) {
    PageBox box{1e9, 1e9, -1e9, -1e9};
    for (const job::Point& p : points) {
        box.left = std::min(box.left, double(p.x));
        box.top = std::min(box.top, double(p.y));
        box.right = std::max(box.right, double(p.x));
        box.bottom = std::max(box.bottom, double(p.y));
    }
    return box;
}

// What a shape drawn through GDI should paint: the box of its path's
// points (within `slack` device pixels), or the exact points, with the pen,
// brush and dashes named.
struct Expected {
    PageBox box;
    double slack;
    std::vector<job::Point> exact;  // empty: only the box is checked
    const char* pen;
    const char* brush;
    std::vector<int64_t> dashes;    // at 600 dpi; doubled at 1200
};

struct Shape {
    const char* name;
    std::function<void(HDC)> draw;
    Expected expected;
};

// The shapes, each with the pen and brush it is drawn with. Pens and
// brushes are deleted after the page.
struct GdiObjects {
    std::vector<HGDIOBJ> made;
    template <class T>
    T Keep(T object) {
        made.push_back(object);
        return object;
    }
    ~GdiObjects() {
        for (HGDIOBJ object : made) DeleteObject(object);
    }
};

std::vector<Shape> Shapes(GdiObjects& objects) {
    HPEN black = objects.Keep(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    HPEN dotted = objects.Keep(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
    HPEN wide = objects.Keep(CreatePen(PS_SOLID, 20, RGB(64, 64, 64)));
    HBRUSH grey = objects.Keep(CreateSolidBrush(RGB(128, 128, 128)));
    HBRUSH red = objects.Keep(CreateSolidBrush(RGB(255, 0, 0)));
    HBRUSH cross = objects.Keep(CreateHatchBrush(HS_CROSS, RGB(0, 0, 0)));
    HBRUSH diagonal = objects.Keep(CreateHatchBrush(HS_FDIAGONAL, RGB(0, 0, 0)));
    auto with = [](HDC dc, HGDIOBJ pen, HGDIOBJ brush) {
        SelectObject(dc, pen);
        SelectObject(dc, brush);
    };
    return {
        {"line",
         [=](HDC dc) {
             with(dc, black, grey);
             MoveToEx(dc, 100, 100, nullptr);
             LineTo(dc, 1000, 400);
         },
         {{100, 100, 1000, 400}, 0, {{100, 100}, {1000, 400}}, "grey 0", "null", {}}},
        {"rectangle",
         [=](HDC dc) {
             with(dc, black, grey);
             Rectangle(dc, 100, 600, 600, 900);
         },
         {{100, 600, 599, 899}, 1, {}, "grey 0", "grey 128", {}}},
        {"hatched polygon",
         [=](HDC dc) {
             with(dc, black, cross);
             const POINT triangle[3] = {{700, 700}, {900, 700}, {800, 900}};
             Polygon(dc, triangle, 3);
         },
         {{700, 700, 900, 900}, 0, {{700, 700}, {900, 700}, {800, 900}}, "grey 0", "pattern", {}}},
        {"hatched ellipse",
         [=](HDC dc) {
             with(dc, black, diagonal);
             Ellipse(dc, 1000, 1000, 1400, 1200);
         },
         {{1000, 1000, 1399, 1199}, 1, {}, "grey 0", "pattern", {}}},
        {"bezier",
         [=](HDC dc) {
             with(dc, black, grey);
             const POINT curve[4] = {{100, 1500}, {200, 1400}, {300, 1600}, {400, 1500}};
             PolyBezier(dc, curve, 4);
         },
         {{100, 1400, 400, 1600}, 0, {{100, 1500}, {200, 1400}, {300, 1600}, {400, 1500}}, "grey 0", "null", {}}},
        {"dotted line",
         [=](HDC dc) {
             with(dc, dotted, grey);
             MoveToEx(dc, 100, 2000, nullptr);
             LineTo(dc, 1000, 2000);
         },
         {{100, 2000, 1000, 2000}, 0, {{100, 2000}, {1000, 2000}}, "grey 0", "null", {12, 12}}},
        // A wide line is refused as a stroke: the engine fills its outline.
        {"wide line",
         [=](HDC dc) {
             with(dc, wide, grey);
             MoveToEx(dc, 100, 2500, nullptr);
             LineTo(dc, 1000, 2500);
         },
         {{90, 2490, 1010, 2510}, 2, {}, "null", "grey 64", {}}},
        {"stroked and filled path",
         [=](HDC dc) {
             with(dc, black, red);
             BeginPath(dc);
             MoveToEx(dc, 1500, 100, nullptr);
             LineTo(dc, 2000, 100);
             LineTo(dc, 2000, 600);
             CloseFigure(dc);
             EndPath(dc);
             StrokeAndFillPath(dc);
         },
         {{1500, 100, 2000, 600}, 0, {{1500, 100}, {2000, 100}, {2000, 600}}, "grey 0", "grey 73", {}}},
    };
}

struct Layout {
    const char* name;
    short orientation;
    short resolution;
    BYTE pagesPerSheet;
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

const Layout kLayouts[] = {
    {"Portrait600", DMORIENT_PORTRAIT, 600, 1},     {"Landscape600", DMORIENT_LANDSCAPE, 600, 1},
    {"Portrait1200", DMORIENT_PORTRAIT, 1200, 1},   {"Landscape1200", DMORIENT_LANDSCAPE, 1200, 1},
    {"TwoUpPortrait", DMORIENT_PORTRAIT, 600, 2},   {"FourUpLandscape", DMORIENT_LANDSCAPE, 600, 4},
    {"FourUpPortrait1200", DMORIENT_PORTRAIT, 1200, 4},
};

class DrawingJob : public PrintTest, public testing::WithParamInterface<Layout> {};

// Each page carries every shape; the job has as many pages as a sheet
// takes, so that every cell of the sheet is checked.
TEST_P(DrawingJob, EveryShapeLandsWhereItWasDrawn) {
    const Layout& layout = GetParam();
    UiDevmode settings = Settings();
    settings.pub.dmPaperSize = DMPAPER_A4;
    settings.pub.dmOrientation = layout.orientation;
    settings.pub.dmYResolution = layout.resolution;
    settings.priv.MultipleUp = layout.pagesPerSheet;
    HDC dc = Create(settings);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const int pageWidth = GetDeviceCaps(dc, HORZRES), pageHeight = GetDeviceCaps(dc, VERTRES);
    ASSERT_EQ(dpi, layout.resolution);

    GdiObjects objects;
    const std::vector<Shape> shapes = Shapes(objects);
    const DWORD jobId = StartDocument(dc);
    ASSERT_NE(jobId, 0u);
    for (int page = 0; page < layout.pagesPerSheet; ++page) {
        ASSERT_GT(StartPage(dc), 0);
        for (const Shape& shape : shapes) shape.draw(dc);
        ASSERT_GT(EndPage(dc), 0);
    }
    ASSERT_GT(EndDoc(dc), 0);

    const job::DecodedJob decoded = Decode(jobId);
    ExpectJobFrame(decoded);
    const std::vector<Paint> paints = Paints(decoded);
    ASSERT_EQ(paints.size(), shapes.size() * layout.pagesPerSheet);
    const std::vector<Sheet> sheets = Sheets(decoded);
    ASSERT_EQ(sheets.size(), 1u);
    // The sheet: A4 at the job's resolution, turned for a landscape
    // BeginPage, with its unprintable margin.
    const double factor = dpi / 600.0;
    const bool acrossSheet = sheets[0].begin->Int("Orientation").value_or(0) % 2 == 1;
    const double sheetWidth = (acrossSheet ? 7008 : 4960) * factor, sheetHeight = (acrossSheet ? 4960 : 7008) * factor;
    const double margin = 96 * factor;

    std::vector<PageBox> cells;
    for (size_t i = 0; i < paints.size(); ++i) {
        const Paint& paint = paints[i];
        const Shape& shape = shapes[i % shapes.size()];
        const Expected& e = shape.expected;
        SCOPED_TRACE(std::string(shape.name) + " on page " + std::to_string(paint.page));
        // Where GDI drew it, in the page's device pixels.
        const PageBox box = BoxOf(paint.points);
        EXPECT_NEAR(box.left, e.box.left, e.slack);
        EXPECT_NEAR(box.top, e.box.top, e.slack);
        EXPECT_NEAR(box.right, e.box.right, e.slack);
        EXPECT_NEAR(box.bottom, e.box.bottom, e.slack);
        for (const job::Point& p : e.exact)
            EXPECT_NE(std::find(paint.points.begin(), paint.points.end(), p), paint.points.end())
                << "(" << p.x << ", " << p.y << ") not on the path";
        // With the pen and brush chosen.
        EXPECT_EQ(paint.pen, e.pen);
        if (std::string(e.brush) == "pattern")
            EXPECT_EQ(paint.brush.rfind("pattern ", 0), 0u) << paint.brush;
        else
            EXPECT_EQ(paint.brush, e.brush);
        if (std::string(e.pen) != "null") {
            std::vector<int64_t> dashes = e.dashes;
            for (int64_t& d : dashes) d = d * dpi / 600;
            EXPECT_EQ(paint.dashes, dashes);
        }
        // On the sheet: inside the printable area and inside its page's
        // placed area.
        const PageBox placed = PlacedPageBox(double(paint.place.originX), double(paint.place.originY),
                                             paint.place.angle, paint.place.scaleX, paint.place.scaleY, pageWidth,
                                             pageHeight);
        for (const job::Point& p : paint.points) {
            const auto [x, y] = OnSheet(paint.place, p);
            EXPECT_GE(x, margin - 1);
            EXPECT_GE(y, margin - 1);
            EXPECT_LE(x, sheetWidth - margin + 1);
            EXPECT_LE(y, sheetHeight - margin + 1);
            EXPECT_GE(x, placed.left - 1);
            EXPECT_LE(x, placed.right + 1);
            EXPECT_GE(y, placed.top - 1);
            EXPECT_LE(y, placed.bottom + 1);
        }
        if (i % shapes.size() == 0) cells.push_back(placed);
    }
    // The pages of a sheet lie apart.
    for (size_t a = 0; a < cells.size(); ++a)
        for (size_t b = a + 1; b < cells.size(); ++b) EXPECT_FALSE(Overlap(cells[a], cells[b])) << a << " and " << b;
}

INSTANTIATE_TEST_SUITE_P(Layouts, DrawingJob, testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

// Drawing modes: R2_NOP draws nothing, R2_NOT prints with ROP 7F; a clip
// region that is not a rectangle is sent once as an even-odd clip path.
TEST_F(PrintTest, MixesAndComplexClips) {
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr) << GetLastError();
    GdiObjects objects;
    HPEN pen = objects.Keep(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    HBRUSH brush = objects.Keep(CreateSolidBrush(RGB(200, 200, 200)));
    HRGN round = objects.Keep(CreateEllipticRgn(100, 100, 900, 700));
    const DWORD jobId = StartDocument(dc);
    ASSERT_NE(jobId, 0u);
    ASSERT_GT(StartPage(dc), 0);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    SetROP2(dc, R2_NOP);
    MoveToEx(dc, 10, 10, nullptr);
    LineTo(dc, 500, 10);
    SetROP2(dc, R2_NOT);
    MoveToEx(dc, 10, 20, nullptr);
    LineTo(dc, 500, 20);
    SetROP2(dc, R2_COPYPEN);
    SelectClipRgn(dc, round);
    Rectangle(dc, 0, 0, 1000, 1000);
    Rectangle(dc, 50, 50, 950, 950);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);

    const job::DecodedJob decoded = Decode(jobId);
    const std::vector<Paint> paints = Paints(decoded);
    ASSERT_EQ(paints.size(), 3u);  // the R2_NOP line is not drawn
    EXPECT_EQ(paints[0].points, (std::vector<job::Point>{{10, 20}, {500, 20}}));
    std::vector<int64_t> rops;
    for (const job::Operator* op : decoded.Find("SetROP")) rops.push_back(op->Int("ROP3").value_or(-1));
    ASSERT_GE(rops.size(), 2u);
    EXPECT_EQ(rops[0], 0x7F);
    EXPECT_EQ(rops[1], 0xF0);
    // One clip path for both rectangles: even-odd, inside the region's
    // bounds, replacing the clip.
    const std::vector<const job::Operator*> replaces = decoded.Find("SetClipReplace");
    size_t complexClips = 0;
    for (size_t i = 0; i < decoded.ops.size(); ++i) {
        if (decoded.ops[i].name != "SetClipReplace" || i == 0 || decoded.ops[i - 1].name == "RectanglePath") continue;
        ++complexClips;
        std::vector<job::Point> outline;
        job::Point cursor;
        size_t k = i;
        while (k > 0 && decoded.ops[k - 1].name != "NewPath") --k;
        for (; k < i; ++k) {
            const job::Operator& op = decoded.ops[k];
            if (op.name == "SetCursor") {
                cursor = {int32_t(op.Int("Point", 0).value_or(0)), int32_t(op.Int("Point", 1).value_or(0))};
                outline.push_back(cursor);
            } else if (op.name == "LineRelPath" || op.name == "LinePath") {
                for (const job::Point& p : op.points) {
                    cursor = op.name == "LinePath" ? p : job::Point{cursor.x + p.x, cursor.y + p.y};
                    outline.push_back(cursor);
                }
            }
        }
        const PageBox box = BoxOf(outline);
        EXPECT_NEAR(box.left, 100, 1);
        EXPECT_NEAR(box.top, 100, 1);
        EXPECT_NEAR(box.right, 900, 1);
        EXPECT_NEAR(box.bottom, 700, 1);
    }
    EXPECT_EQ(complexClips, 1u) << replaces.size() << " clips in all";
    const job::Operator* clipMode = decoded.First("SetClipMode");
    ASSERT_NE(clipMode, nullptr);
    EXPECT_EQ(clipMode->Int("ClipMode"), 1);
}

// A second document on the same device context defines its hatch again
// and selects only what it defined.
TEST_F(PrintTest, SecondDocumentDefinesItsPatternsAgain) {
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr) << GetLastError();
    GdiObjects objects;
    SelectObject(dc, objects.Keep(CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0))));
    for (int document = 0; document < 2; ++document) {
        SCOPED_TRACE(document);
        const DWORD jobId = StartDocument(dc);
        ASSERT_NE(jobId, 0u);
        ASSERT_GT(StartPage(dc), 0);
        Rectangle(dc, 100, 100, 400, 400);
        ASSERT_GT(EndPage(dc), 0);
        ASSERT_GT(EndDoc(dc), 0);
        const job::DecodedJob decoded = Decode(jobId);
        ASSERT_EQ(decoded.rasters.size(), 1u);
        EXPECT_EQ(decoded.rasters[0].patternId, 8);
    }
}

// A pattern brush of a 24-bit picture, stored bottom row first, prints in
// a monochrome job as 8-bit grey levels, top row first: red, green / blue,
// white.
TEST_F(PrintTest, PatternBrushPrintsItsPixelsAsGreys) {
    HDC dc = Create(Settings());
    ASSERT_NE(dc, nullptr) << GetLastError();
    struct PackedDib {
        BITMAPINFOHEADER header;
        BYTE bits[2][8];  // rows of 2 pixels, padded to 4 bytes, bottom row first
    } dib{};
    dib.header.biSize = sizeof(BITMAPINFOHEADER);
    dib.header.biWidth = 2;
    dib.header.biHeight = 2;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = 24;
    const BYTE bottom[8] = {255, 0, 0, 255, 255, 255, 0, 0};  // blue, white (B, G, R)
    const BYTE top[8] = {0, 0, 255, 0, 255, 0, 0, 0};         // red, green
    std::copy(bottom, bottom + 8, dib.bits[0]);
    std::copy(top, top + 8, dib.bits[1]);
    GdiObjects objects;
    SelectObject(dc, objects.Keep(CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS)));
    SelectObject(dc, GetStockObject(NULL_PEN));
    const DWORD jobId = StartDocument(dc);
    ASSERT_NE(jobId, 0u);
    ASSERT_GT(StartPage(dc), 0);
    Rectangle(dc, 100, 100, 400, 400);
    Rectangle(dc, 500, 100, 800, 400);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    const job::DecodedJob decoded = Decode(jobId);
    ASSERT_EQ(decoded.rasters.size(), 1u);  // defined once, selected for both
    const job::Raster& pattern = decoded.rasters[0];
    EXPECT_TRUE(pattern.pattern);
    EXPECT_EQ(pattern.colorMapping, 0);
    EXPECT_EQ(pattern.bitsPerPixel, 8u);
    EXPECT_EQ(pattern.destWidth, 8u);
    EXPECT_EQ(pattern.Pixel(0, 0), 73u);
    EXPECT_EQ(pattern.Pixel(1, 0), 154u);
    EXPECT_EQ(pattern.Pixel(0, 1), 26u);
    EXPECT_EQ(pattern.Pixel(1, 1), 255u);
    const std::vector<Paint> paints = Paints(decoded);
    ASSERT_EQ(paints.size(), 2u);
    for (const Paint& paint : paints) EXPECT_EQ(paint.brush, "pattern " + std::to_string(pattern.patternId));
}

// Sheets replayed through GDI (reverse order, collated copies) select only
// patterns their own stream defined before: the decoder checks each one.
TEST_F(PrintTest, ReplayedSheetsDefineTheirPatterns) {
    struct Case {
        const char* name;
        void (*edit)(UiDevmode&);
    };
    const Case cases[] = {
        {"reverse order", [](UiDevmode& s) { s.priv.OppositeSide = 1; }},
        {"collated copies",
         [](UiDevmode& s) {
             s.pub.dmCopies = 2;
             s.pub.dmCollate = DMCOLLATE_TRUE;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UiDevmode settings = Settings();
        c.edit(settings);
        HDC dc = Create(settings);
        ASSERT_NE(dc, nullptr) << GetLastError();
        GdiObjects objects;
        HBRUSH shared = objects.Keep(CreateHatchBrush(HS_CROSS, RGB(0, 0, 0)));
        const DWORD jobId = StartDocument(dc);
        ASSERT_NE(jobId, 0u);
        for (int page = 0; page < 3; ++page) {
            ASSERT_GT(StartPage(dc), 0);
            SelectObject(dc, shared);
            Rectangle(dc, 100, 100, 400, 400);
            SelectObject(dc, objects.Keep(CreateHatchBrush(page, RGB(0, 0, 0))));
            Rectangle(dc, 500, 100, 800, 400);
            ASSERT_GT(EndPage(dc), 0);
        }
        ASSERT_GT(EndDoc(dc), 0);
        const job::DecodedJob decoded = Decode(jobId);
        EXPECT_GE(decoded.Count("BeginRastPattern"), 4u);
        ASSERT_TRUE(Delete(dc));
    }
}

}  // namespace
}  // namespace tam::test
