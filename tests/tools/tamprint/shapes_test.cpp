// Documents with shapes, printed by the tool and checked from the decoded
// job alone: each shape's path goes through the points the document gave,
// in points from the paper's top-left corner, which on the printer's sheet
// are dpi/72 pixels each (the page's origin on the sheet is its printable
// area's corner); with the pen (width, dashes) and brush (grey, hatch
// pattern defined before it is selected) the document chose. Portrait and
// landscape, 600 and 1200 dpi. Then the sample's page of shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "support/painted_paths.h"
#include "tamprint_fixture.h"

namespace tam::test {
namespace {

// A point of the page, in points.
struct PagePt {
    double x, y;
};

// A shape of the document and what its painted path should be.
struct ShapeCase {
    const char* name;
    const char* item;            // the draw item, as the document gives it
    std::vector<PagePt> exact;   // points the path goes through, exactly
    PagePt low, high;            // the box of the path's points
    double slack;                // device pixels the box may be off by
    const char* pen;             // "grey N", "null"
    const char* brush;           // "grey N", "null", or "hatch" for a pattern
    std::vector<int64_t> dashes; // 1/600 inch
};

const ShapeCase kShapes[] = {
    {"ThinLine", R"({"line": [[100, 80], [300.5, 120.25]]})", {{100, 80}, {300.5, 120.25}}, {100, 80},
     {300.5, 120.25}, 0, "grey 0", "null", {}},
    {"DashedPolyline", R"({"polyline": [[100, 150], [150, 180], [200, 150], [250, 180]], "pen": {"style": "dash"}})",
     {{100, 150}, {150, 180}, {200, 150}, {250, 180}}, {100, 150}, {250, 180}, 0, "grey 0", "null", {72, 24}},
    {"DottedGreyLine", R"({"line": [[320, 150], [500, 150]], "pen": {"style": "dot", "colour": "#404040"}})",
     {{320, 150}, {500, 150}}, {320, 150}, {500, 150}, 0, "grey 64", "null", {12, 12}},
    {"DashDotLine", R"({"line": [[320, 170], [500, 170]], "pen": {"style": "dashdot"}})", {{320, 170}, {500, 170}},
     {320, 170}, {500, 170}, 0, "grey 0", "null", {36, 24, 12, 24}},
    // A wide pen's line is filled as its outline: half the width each side.
    {"WideLine", R"({"line": [[100, 220], [300, 220]], "pen": {"width": 6, "colour": "#808080"}})", {}, {97, 217},
     {303, 223}, 1, "null", "grey 128", {}},
    {"GreyRectangle", R"({"rectangle": [[100, 260], [220, 340]], "brush": {"colour": "#c0c0c0"}})",
     {{100, 260}, {220, 260}, {220, 340}, {100, 340}}, {100, 260}, {220, 340}, 0, "grey 0", "grey 192", {}},
    {"RectangleWithoutPen", R"({"rectangle": [[330, 340], [250, 260]], "pen": "none", "brush": {"colour": "#000000"}})",
     {{250, 260}, {330, 260}, {330, 340}, {250, 340}}, {250, 260}, {330, 340}, 1, "null", "grey 0", {}},
    {"HatchedRoundRect",
     R"({"roundrect": [[360, 260], [500, 340]], "corner": [40, 20], "brush": {"hatch": "cross"}})", {}, {360, 260},
     {500, 340}, 1, "grey 0", "hatch", {}},
    {"HatchedEllipse", R"({"ellipse": [[100, 380], [250, 460]], "brush": {"hatch": "diagcross"}})", {}, {100, 380},
     {250, 460}, 1, "grey 0", "hatch", {}},
    {"Polygon", R"({"polygon": [[300, 380], [420, 400], [330, 460]], "brush": {"colour": "#808080"}})",
     {{300, 380}, {420, 400}, {330, 460}}, {300, 380}, {420, 460}, 0, "grey 0", "grey 128", {}},
    {"Bezier", R"({"bezier": [[100, 500], [130, 480], [170, 560], [200, 520], [230, 480], [260, 540], [290, 500]]})",
     {{100, 500}, {130, 480}, {170, 560}, {200, 520}, {230, 480}, {260, 540}, {290, 500}}, {100, 480}, {290, 560}, 0,
     "grey 0", "null", {}},
    {"Path",
     R"({"path": [{"move": [320, 500]}, {"line": [[400, 500], [400, 540]]},
                  {"bezier": [[380, 580], [340, 580], [320, 540]]}, "close",
                  {"move": [420, 500]}, {"line": [[480, 560]]}],
         "brush": {"colour": "#c0c0c0"}})",
     {{320, 500}, {400, 500}, {400, 540}, {380, 580}, {340, 580}, {320, 540}, {420, 500}, {480, 560}}, {320, 500},
     {480, 580}, 0, "grey 0", "grey 192", {}},
};

// An arc from the right end of its box's middle, counter-clockwise over
// the top and the left to the bottom middle: three quarters of its
// ellipse, so its path spans the whole box.
constexpr char kArc[] = R"({"arc": [[100, 600], [200, 700], [260, 650], [150, 760]]})";
constexpr PagePt kArcStart{200, 650}, kArcEnd{150, 700}, kArcLow{100, 600}, kArcHigh{200, 700};

// The shapes on one page; `orientation`, when given, is the page's own.
std::string ShapesDocument(const char* orientation) {
    std::string text = "{\"title\": \"Shapes\", \"pages\": [{";
    if (orientation) text += "\"orientation\": \"" + std::string(orientation) + "\", ";
    text += "\"draw\": [\n";
    for (const ShapeCase& shape : kShapes) text += std::string(shape.item) + ",\n";
    return text + kArc + "\n]}]}\n";
}

struct Layout {
    const char* name;
    const char* orientation;  // the document's
    int dpi;
    const char* pageOrientation = nullptr;  // the page's own, through ResetDC
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

const Layout kLayouts[] = {
    {"Portrait600", "portrait", 600},
    {"Landscape600", "landscape", 600},
    {"Portrait1200", "portrait", 1200},
    {"Landscape1200", "landscape", 1200},
    {"LandscapePageOfPortrait600", "portrait", 600, "landscape"},
};

class ShapesOnThePage : public TamprintTest, public testing::WithParamInterface<Layout> {};

TEST_P(ShapesOnThePage, LandWhereTheDocumentPutThemWithTheirPensAndBrushes) {
    const Layout& layout = GetParam();
    const auto document = WriteFile("shapes.json", ShapesDocument(layout.pageOrientation));
    const RunResult result = Print(
        {"--orientation", layout.orientation, "--resolution", std::to_string(layout.dpi), document.string()});
    ASSERT_EQ(result.code, 0) << result.err;
    const job::DecodedJob decoded = Decode(JobPath());
    ASSERT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
    const job::Operator* session = decoded.First("BeginSession");
    ASSERT_NE(session, nullptr);
    ASSERT_EQ(session->Int("UnitsPerMeasure", 0), layout.dpi);
    const job::Operator* page = decoded.First("BeginPage");
    ASSERT_NE(page, nullptr);
    const bool landscape = std::string(layout.pageOrientation ? layout.pageOrientation : layout.orientation) == "landscape";
    ASSERT_EQ(page->Int("Orientation"), landscape ? 1 : 0);

    const std::vector<Paint> paints = Paints(decoded);
    ASSERT_EQ(paints.size(), std::size(kShapes) + 1);
    // A page point where the printer puts it: dpi/72 pixels a point from
    // the sheet's corner.
    const double pixels = layout.dpi / 72.0;
    auto device = [&](const PagePt& p) { return std::make_pair(std::lround(p.x * pixels), std::lround(p.y * pixels)); };
    // A path point on the sheet: the page is placed by its origin alone.
    auto onSheet = [](const Paint& paint, const job::Point& p) {
        EXPECT_EQ(paint.place.angle, 0);
        EXPECT_EQ(paint.place.scaleX, 1.0);
        return std::make_pair(long(paint.place.originX + p.x), long(paint.place.originY + p.y));
    };
    // The hatch patterns the job defined before each paint.
    std::map<int64_t, size_t> defined;  // id, operator index
    for (const job::Raster& raster : decoded.rasters)
        if (raster.pattern) defined.emplace(raster.patternId, raster.beginOp);

    for (size_t i = 0; i <= std::size(kShapes); ++i) {
        const Paint& paint = paints[i];
        std::vector<std::pair<long, long>> points;
        for (const job::Point& p : paint.points) points.push_back(onSheet(paint, p));
        if (i == std::size(kShapes)) {
            SCOPED_TRACE("Arc");
            ASSERT_FALSE(points.empty());
            const auto [sx, sy] = device(kArcStart);
            const auto [ex, ey] = device(kArcEnd);
            EXPECT_NEAR(points.front().first, sx, 1);
            EXPECT_NEAR(points.front().second, sy, 1);
            EXPECT_NEAR(points.back().first, ex, 1);
            EXPECT_NEAR(points.back().second, ey, 1);
            // The curve itself (its Bezier segments, not their control
            // points) spans the box.
            ASSERT_EQ((points.size() - 1) % 3, 0u) << "an arc is painted as Bezier curves";
            double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
            for (size_t k = 0; k + 3 < points.size(); k += 3)
                for (int step = 0; step <= 32; ++step) {
                    const double t = step / 32.0, u = 1 - t;
                    const double w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
                    double x = 0, y = 0;
                    for (int j = 0; j < 4; ++j) x += w[j] * points[k + j].first, y += w[j] * points[k + j].second;
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            EXPECT_NEAR(left, device(kArcLow).first, 1);
            EXPECT_NEAR(top, device(kArcLow).second, 1);
            EXPECT_NEAR(right, device(kArcHigh).first, 1);
            EXPECT_NEAR(bottom, device(kArcHigh).second, 1);
            EXPECT_EQ(paint.pen, "grey 0");
            EXPECT_EQ(paint.brush, "null");
            continue;
        }
        const ShapeCase& shape = kShapes[i];
        SCOPED_TRACE(shape.name);
        for (const PagePt& p : shape.exact)
            EXPECT_NE(std::find(points.begin(), points.end(), device(p)), points.end())
                << "(" << p.x << ", " << p.y << ") is not on the path";
        ASSERT_FALSE(points.empty());
        long left = points[0].first, right = left, top = points[0].second, bottom = top;
        for (const auto& [x, y] : points) {
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
        EXPECT_NEAR(left, device(shape.low).first, shape.slack);
        EXPECT_NEAR(top, device(shape.low).second, shape.slack);
        EXPECT_NEAR(right, device(shape.high).first, shape.slack);
        EXPECT_NEAR(bottom, device(shape.high).second, shape.slack);

        EXPECT_EQ(paint.pen, shape.pen);
        if (std::string(shape.brush) == "hatch") {
            ASSERT_EQ(paint.brush.rfind("pattern ", 0), 0u) << paint.brush;
            const auto pattern = defined.find(std::stoll(paint.brush.substr(8)));
            EXPECT_NE(pattern, defined.end()) << paint.brush << " is selected but never defined";
        } else {
            EXPECT_EQ(paint.brush, shape.brush);
        }
        if (std::string(shape.pen) != "null") {
            std::vector<int64_t> dashes = shape.dashes;
            for (int64_t& d : dashes) d = d * layout.dpi / 600;
            EXPECT_EQ(paint.dashes, dashes);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ShapesOnThePage, testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

// The six hatches: each brush selects a pattern the job defined before,
// an 8 x 8 tile whose ink is the hatch's lines, all of one thickness: one
// row, one column, one diagonal each way, or two of them crossed.
struct HatchCase {
    const char* name;
    // Whether a tile pixel is ink, for lines at places a and b (0 to 7)
    // and `thick` pixels thick.
    std::function<bool(int x, int y, int a, int b, int thick)> ink;
};

// Whether `v` is within the `thick` places from `a`, around the tile.
bool On(int v, int a, int thick) { return (v - a + 16) % 8 < thick; }

const HatchCase kHatches[] = {
    {"horizontal", [](int, int y, int a, int, int t) { return On(y, a, t); }},
    {"vertical", [](int x, int, int a, int, int t) { return On(x, a, t); }},
    {"fdiagonal", [](int x, int y, int a, int, int t) { return On(x - y, a, t); }},
    {"bdiagonal", [](int x, int y, int a, int, int t) { return On(x + y, a, t); }},
    {"cross", [](int x, int y, int a, int b, int t) { return On(y, a, t) || On(x, b, t); }},
    {"diagcross", [](int x, int y, int a, int b, int t) { return On(x - y, a, t) || On(x + y, b, t); }},
};

TEST_F(TamprintTest, HatchesArePatternsOfTheirLines) {
    std::string text = "{\"pages\": [{\"draw\": [\n";
    for (size_t i = 0; i < std::size(kHatches); ++i) {
        const int x = 72 + int(i) * 80;
        text += (i ? ",\n" : "") + std::string("{\"rectangle\": [[") + std::to_string(x) + ", 72], [" +
                std::to_string(x + 60) + ", 132]], \"brush\": {\"hatch\": \"" + kHatches[i].name + "\"}}";
    }
    const RunResult result = Print({WriteFile("hatches.json", text + "\n]}]}").string()});
    ASSERT_EQ(result.code, 0) << result.err;
    const job::DecodedJob decoded = Decode(JobPath());
    ASSERT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
    const std::vector<Paint> paints = Paints(decoded);
    ASSERT_EQ(paints.size(), std::size(kHatches));
    for (size_t i = 0; i < std::size(kHatches); ++i) {
        SCOPED_TRACE(kHatches[i].name);
        ASSERT_EQ(paints[i].brush.rfind("pattern ", 0), 0u) << paints[i].brush;
        const int64_t id = std::stoll(paints[i].brush.substr(8));
        const job::Raster* tile = nullptr;
        for (const job::Raster& raster : decoded.rasters)
            if (raster.pattern && raster.patternId == id) tile = &raster;
        ASSERT_NE(tile, nullptr) << "pattern " << id << " is never defined";
        ASSERT_EQ(tile->width, 8u);
        ASSERT_EQ(tile->height, 8u);
        // The ink: the value of the tile's fewer pixels.
        int count = 0;
        for (uint32_t y = 0; y < 8; ++y)
            for (uint32_t x = 0; x < 8; ++x) count += tile->Pixel(x, y) == tile->Pixel(0, 0);
        const uint32_t paper = count > 32 ? tile->Pixel(0, 0) : tile->Pixel(0, 0) ^ 1;
        bool matches = false;
        for (int thick = 1; thick <= 2 && !matches; ++thick)
            for (int a = 0; a < 8 && !matches; ++a)
                for (int b = 0; b < 8 && !matches; ++b) {
                    matches = true;
                    for (int y = 0; y < 8 && matches; ++y)
                        for (int x = 0; x < 8 && matches; ++x)
                            matches = (tile->Pixel(uint32_t(x), uint32_t(y)) != paper) ==
                                      kHatches[i].ink(x, y, a, b, thick);
                }
        std::string rows;
        for (uint32_t y = 0; y < 8; ++y) {
            for (uint32_t x = 0; x < 8; ++x) rows += tile->Pixel(x, y) != paper ? '#' : '.';
            rows += '\n';
        }
        EXPECT_TRUE(matches) << rows;
    }
}

// The sample's first page is its page of shapes, within 54 points of the
// edges of letter and A4 paper (a wide pen reaches 2 points further). Every line style and every hatch shows.
TEST_F(TamprintTest, SamplePageOfShapesDecodes) {
    struct PaperCase {
        const char* paper;
        double width, height;  // points
    };
    for (const PaperCase& paper : {PaperCase{"letter", 612, 792}, PaperCase{"a4", 595.3, 841.9}}) {
        SCOPED_TRACE(paper.paper);
        const RunResult result = Print({"--paper", paper.paper});
        ASSERT_EQ(result.code, 0) << result.err;
        const job::DecodedJob decoded = Decode(JobPath());
        ASSERT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
        ASSERT_EQ(decoded.PageCount(), 4u);
        const std::vector<Paint> paints = Paints(decoded);
        ASSERT_FALSE(paints.empty());
        const double pixels = 600 / 72.0, edge = 52 * pixels;
        std::vector<std::vector<int64_t>> dashes;
        std::vector<std::string> brushes;
        for (const Paint& paint : paints) {
            // The pages of text after it have rules of their own.
            if (paint.sheet != 1) continue;
            for (const job::Point& p : paint.points) {
                const double x = double(paint.place.originX + p.x), y = double(paint.place.originY + p.y);
                EXPECT_GE(x, edge);
                EXPECT_GE(y, edge);
                EXPECT_LE(x, paper.width * pixels - edge);
                EXPECT_LE(y, paper.height * pixels - edge);
            }
            if (std::find(dashes.begin(), dashes.end(), paint.dashes) == dashes.end()) dashes.push_back(paint.dashes);
            if (std::find(brushes.begin(), brushes.end(), paint.brush) == brushes.end()) brushes.push_back(paint.brush);
        }
        std::sort(dashes.begin(), dashes.end());
        EXPECT_EQ(dashes, (std::vector<std::vector<int64_t>>{{}, {12, 12}, {36, 24, 12, 24}, {72, 24}}));
        size_t hatches = 0;
        for (const std::string& brush : brushes) hatches += brush.rfind("pattern ", 0) == 0;
        // Six hatches at least (one takes two colours), each defined once;
        // the decoder checks that a selected pattern was defined.
        EXPECT_GE(hatches, 6u);
        EXPECT_EQ(decoded.Count("BeginRastPattern"), hatches);
    }
}

}  // namespace
}  // namespace tam::test
