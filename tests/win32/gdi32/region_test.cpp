// Regions: GDI's pixel rules for rectangles and polygons, the arithmetic
// of CombineRgn, and the rectangles of GetRegionData and ExtCreateRegion.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "win32/gdi32/kept_objects_fixture.h"

using tam::test::KeptObjectsTest;

namespace {

using Pixels = std::set<std::pair<int, int>>;

// The pixels of a region inside [-2, 20) x [-2, 20), by PtInRegion.
Pixels PixelsOf(HRGN region) {
    Pixels pixels;
    for (int y = -2; y < 20; ++y)
        for (int x = -2; x < 20; ++x)
            if (PtInRegion(region, x, y)) pixels.insert({x, y});
    return pixels;
}

Pixels Rect(int left, int top, int right, int bottom) {
    Pixels pixels;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) pixels.insert({x, y});
    return pixels;
}

Pixels Join(Pixels a, const Pixels& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// The rectangles GetRegionData gives, after checking its header.
std::vector<RECT> RectsOf(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    EXPECT_EQ(GetRegionData(region, size, data), size);
    EXPECT_EQ(data->rdh.dwSize, DWORD(sizeof(RGNDATAHEADER)));
    EXPECT_EQ(data->rdh.iType, DWORD(RDH_RECTANGLES));
    EXPECT_EQ(size, sizeof(RGNDATAHEADER) + data->rdh.nCount * sizeof(RECT));
    std::vector<RECT> rects(data->rdh.nCount);
    if (!rects.empty()) std::memcpy(rects.data(), data->Buffer, rects.size() * sizeof(RECT));
    return rects;
}

class Regions : public KeptObjectsTest {};

TEST_F(Regions, RectangleHoldsPixelsUpToButNotIncludingItsFarEdges) {
    HRGN region = Keep(CreateRectRgn(0, 0, 4, 4));
    EXPECT_EQ(PixelsOf(region), Rect(0, 0, 4, 4));
    HRGN inverted = Keep(CreateRectRgn(4, 4, 0, 0));
    EXPECT_TRUE(EqualRgn(region, inverted));
    RECT box{};
    EXPECT_EQ(GetRgnBox(inverted, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(GetRgnBox(Keep(CreateRectRgn(3, 3, 3, 8)), &box), NULLREGION);
    EXPECT_TRUE(SetRectRgn(region, 2, 9, 1, 7));
    EXPECT_EQ(PixelsOf(region), Rect(1, 7, 2, 9));
    EXPECT_EQ(OffsetRgn(region, 1, -7), SIMPLEREGION);
    EXPECT_EQ(PixelsOf(region), Rect(2, 0, 3, 2));
    const RECT touching{3, 0, 5, 5}, overlapping{0, 1, 3, 1 + 1}, inside{2, 1, 2, 1};
    EXPECT_FALSE(RectInRegion(region, &touching));
    EXPECT_TRUE(RectInRegion(region, &overlapping));
    EXPECT_FALSE(RectInRegion(region, &inside));  // no area
}

struct CombineCase {
    int mode;
    int complexity;
};

const CombineCase kCombines[] = {
    {RGN_AND, SIMPLEREGION}, {RGN_OR, COMPLEXREGION}, {RGN_XOR, COMPLEXREGION},
    {RGN_DIFF, COMPLEXREGION}, {RGN_COPY, SIMPLEREGION},
};

class Combine : public Regions, public testing::WithParamInterface<CombineCase> {};

// Two 4x4 squares overlapping in a 2x2 one: A = [0,4)x[0,4), B = [2,6)x[2,6).
TEST_P(Combine, GivesTheSetOfPixelsAndItsComplexity) {
    const CombineCase& c = GetParam();
    HRGN a = Keep(CreateRectRgn(0, 0, 4, 4));
    HRGN b = Keep(CreateRectRgn(2, 2, 6, 6));
    HRGN result = Keep(CreateRectRgn(0, 0, 0, 0));
    const Pixels pa = Rect(0, 0, 4, 4), pb = Rect(2, 2, 6, 6);
    Pixels expected;
    for (int y = -2; y < 20; ++y)
        for (int x = -2; x < 20; ++x) {
            const bool inA = pa.count({x, y}) > 0, inB = pb.count({x, y}) > 0;
            const bool in = c.mode == RGN_AND ? inA && inB
                            : c.mode == RGN_OR ? inA || inB
                            : c.mode == RGN_XOR ? inA != inB
                            : c.mode == RGN_DIFF ? inA && !inB
                                                 : inA;
            if (in) expected.insert({x, y});
        }
    EXPECT_EQ(CombineRgn(result, a, c.mode == RGN_COPY ? nullptr : b, c.mode), c.complexity);
    EXPECT_EQ(PixelsOf(result), expected);
    // The rectangles cover exactly those pixels, without overlapping.
    Pixels covered;
    size_t area = 0;
    for (const RECT& r : RectsOf(result)) {
        covered = Join(covered, Rect(r.left, r.top, r.right, r.bottom));
        area += size_t((r.right - r.left) * (r.bottom - r.top));
    }
    EXPECT_EQ(covered, expected);
    EXPECT_EQ(area, expected.size());
}

INSTANTIATE_TEST_SUITE_P(All, Combine, testing::ValuesIn(kCombines));

TEST_F(Regions, CombineIntoItselfAndBadArguments) {
    HRGN a = Keep(CreateRectRgn(0, 0, 4, 4));
    HRGN b = Keep(CreateRectRgn(4, 0, 8, 4));
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), SIMPLEREGION);  // side by side: one rectangle
    EXPECT_EQ(PixelsOf(a), Rect(0, 0, 8, 4));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CombineRgn(a, a, b, 6), ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CombineRgn(a, a, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    HRGN gone = CreateRectRgn(0, 0, 1, 1);
    DeleteObject(gone);
    EXPECT_EQ(OffsetRgn(gone, 1, 1), ERROR);
    EXPECT_FALSE(PtInRegion(gone, 0, 0));
    EXPECT_EQ(EqualRgn(a, gone), ERROR);
}

// The triangle (0,0) (4,0) (0,4): a pixel is in when its top-left point is
// inside or on the left or top edge, never on the slanted right edge, so
// rows 0 to 3 hold 4, 3, 2 and 1 pixels from x = 0.
TEST_F(Regions, PolygonTriangleFollowsTheFillRule) {
    const POINT triangle[3] = {{0, 0}, {4, 0}, {0, 4}};
    HRGN region = Keep(CreatePolygonRgn(triangle, 3, ALTERNATE));
    Pixels expected;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4 - y; ++x) expected.insert({x, y});
    EXPECT_EQ(PixelsOf(region), expected);
    const POINT square[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_EQ(PixelsOf(Keep(CreatePolygonRgn(square, 4, WINDING))), Rect(0, 0, 4, 4));
}

// Two squares, the second inside the first, both drawn the same way round:
// ALTERNATE leaves the inner one out, WINDING fills it.
TEST_F(Regions, PolyPolygonFillModes) {
    const POINT points[8] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}, {2, 2}, {6, 2}, {6, 6}, {2, 6}};
    const INT counts[2] = {4, 4};
    Pixels ring = Rect(0, 0, 8, 8);
    for (const auto& p : Rect(2, 2, 6, 6)) ring.erase(p);
    EXPECT_EQ(PixelsOf(Keep(CreatePolyPolygonRgn(points, counts, 2, ALTERNATE))), ring);
    EXPECT_EQ(PixelsOf(Keep(CreatePolyPolygonRgn(points, counts, 2, WINDING))), Rect(0, 0, 8, 8));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreatePolyPolygonRgn(points, counts, 2, 3), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    const INT negative[2] = {4, -4};
    EXPECT_EQ(CreatePolyPolygonRgn(points, negative, 2, WINDING), nullptr);
    EXPECT_EQ(CreatePolygonRgn(nullptr, 3, WINDING), nullptr);
}

// An ellipse region stays within its rectangle's pixels, touches all four
// sides, is symmetric in it, and leaves the corners out.
TEST_F(Regions, EllipseStaysInsideItsRectangleSymmetrically) {
    HRGN region = Keep(CreateEllipticRgn(1, 2, 13, 10));
    const Pixels pixels = PixelsOf(region);
    RECT box{};
    EXPECT_EQ(GetRgnBox(region, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 13);
    EXPECT_EQ(box.bottom, 10);
    for (const auto& [x, y] : pixels) {
        EXPECT_TRUE(pixels.count({1 + 13 - 1 - x, y})) << x << "," << y;  // mirrored left to right
        EXPECT_TRUE(pixels.count({x, 2 + 10 - 1 - y})) << x << "," << y;  // mirrored top to bottom
    }
    EXPECT_FALSE(PtInRegion(region, 1, 2));
    EXPECT_FALSE(PtInRegion(region, 12, 9));
    EXPECT_TRUE(PtInRegion(region, 7, 6));
    // The round rectangle's corners are cut, its edges kept.
    HRGN rounded = Keep(CreateRoundRectRgn(0, 0, 10, 10, 4, 4));
    EXPECT_FALSE(PtInRegion(rounded, 0, 0));
    EXPECT_TRUE(PtInRegion(rounded, 5, 0));
    EXPECT_TRUE(PtInRegion(rounded, 0, 5));
    EXPECT_FALSE(PtInRegion(rounded, 9, 9));
}

TEST_F(Regions, RegionDataSizeProtocolAndRoundTrip) {
    HRGN a = Keep(CreateRectRgn(0, 0, 2, 2));
    HRGN b = Keep(CreateRectRgn(4, 5, 7, 6));
    CombineRgn(a, a, b, RGN_OR);
    const DWORD size = GetRegionData(a, 0, nullptr);
    EXPECT_EQ(size, sizeof(RGNDATAHEADER) + 2 * sizeof(RECT));
    std::vector<BYTE> buffer(size + 8);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetRegionData(a, size - 1, reinterpret_cast<RGNDATA*>(buffer.data())), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    EXPECT_EQ(GetRegionData(a, size + 8, data), size + 8);  // the buffer's size
    EXPECT_EQ(data->rdh.nCount, 2u);
    EXPECT_EQ(data->rdh.nRgnSize, 2 * sizeof(RECT));
    EXPECT_EQ(data->rdh.rcBound.left, 0);
    EXPECT_EQ(data->rdh.rcBound.bottom, 6);
    HRGN copy = Keep(ExtCreateRegion(nullptr, size, data));
    EXPECT_TRUE(EqualRgn(copy, a));
    // A transform moving right by 10 and doubling y.
    const XFORM transform{1, 0, 0, 2, 10, 0};
    HRGN moved = Keep(ExtCreateRegion(&transform, size, data));
    EXPECT_EQ(PixelsOf(moved), Join(Rect(10, 0, 12, 4), Rect(14, 10, 17, 12)));
}

struct BadData {
    const char* name;
    void (*spoil)(RGNDATAHEADER&, DWORD& size);
};

const BadData kBadData[] = {
    {"HeaderSize", [](RGNDATAHEADER& h, DWORD&) { h.dwSize = 16; }},
    {"Type", [](RGNDATAHEADER& h, DWORD&) { h.iType = 2; }},
    {"MoreRectanglesThanBytes", [](RGNDATAHEADER& h, DWORD&) { h.nCount = 3; }},
    {"HugeCount", [](RGNDATAHEADER& h, DWORD&) { h.nCount = 0xFFFFFFFF; }},
    {"ShorterThanAHeader", [](RGNDATAHEADER&, DWORD& size) { size = sizeof(RGNDATAHEADER) - 1; }},
};

class ExtCreateRegionData : public Regions, public testing::WithParamInterface<BadData> {};

TEST_P(ExtCreateRegionData, ThatLiesIsRefused) {
    struct {
        RGNDATAHEADER header;
        RECT rects[2];
    } data{{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 2 * sizeof(RECT), {0, 0, 3, 3}}, {{0, 0, 1, 1}, {2, 2, 3, 3}}};
    DWORD size = sizeof(data);
    GetParam().spoil(data.header, size);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(&data)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

INSTANTIATE_TEST_SUITE_P(All, ExtCreateRegionData, testing::ValuesIn(kBadData),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
