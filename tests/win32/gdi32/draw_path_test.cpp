// Paths: what drawing calls record between BeginPath and EndPath, read
// back with GetPath in logical coordinates, and what uses a closed path up.
#include <vector>

#include "win32/gdi32/memory_dc_fixture.h"

using tam::test::MemoryDCTest;
using tam::test::RectPixels;

namespace {

class DrawPath : public MemoryDCTest {
protected:
    struct Recorded {
        std::vector<POINT> points;
        std::vector<BYTE> types;
    };
    Recorded Read() {
        Recorded r;
        const int count = GetPath(dc_, nullptr, nullptr, 0);
        EXPECT_GT(count, 0);
        if (count <= 0) return r;
        r.points.resize(count);
        r.types.resize(count);
        EXPECT_EQ(GetPath(dc_, r.points.data(), r.types.data(), count), count);
        return r;
    }
};

// Device space is twice the logical x and three times the logical y; the
// path keeps device points, GetPath gives the logical ones back.
TEST_F(DrawPath, GetPathGivesLogicalPointsUnderAMapping) {
    SetMapMode(dc_, MM_ANISOTROPIC);
    SetWindowExtEx(dc_, 1, 1, nullptr);
    SetViewportExtEx(dc_, 2, 3, nullptr);
    ASSERT_TRUE(BeginPath(dc_));
    ASSERT_TRUE(MoveToEx(dc_, 1, 1, nullptr));
    ASSERT_TRUE(LineTo(dc_, 5, 1));
    const POINT curve[] = {{6, 2}, {6, 4}, {5, 5}};
    ASSERT_TRUE(PolyBezierTo(dc_, curve, 3));
    ASSERT_TRUE(CloseFigure(dc_));
    ASSERT_TRUE(LineTo(dc_, 1, 5));  // after CloseFigure: a new figure from the current position
    ASSERT_TRUE(EndPath(dc_));
    const Recorded r = Read();
    const std::vector<std::pair<LONG, LONG>> points = {{1, 1}, {5, 1}, {6, 2}, {6, 4}, {5, 5}, {5, 5}, {1, 5}};
    const std::vector<BYTE> types = {PT_MOVETO,   PT_LINETO, PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO | PT_CLOSEFIGURE,
                                     PT_MOVETO, PT_LINETO};
    ASSERT_EQ(r.points.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(r.points[i].x, points[i].first) << i;
        EXPECT_EQ(r.points[i].y, points[i].second) << i;
    }
    EXPECT_EQ(r.types, types);
    // A buffer too small.
    POINT few[2];
    BYTE fewTypes[2];
    SetLastError(0);
    EXPECT_EQ(GetPath(dc_, few, fewTypes, 2), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BUFFER_OVERFLOW));
}

// Rectangle(2, 2, 6, 5) in a path: the compatible box (right and bottom
// one less), counterclockwise from the top-right corner; clockwise from
// the top-left one.
TEST_F(DrawPath, RectangleIsRecordedInTheArcDirection) {
    for (int direction : {AD_COUNTERCLOCKWISE, AD_CLOCKWISE}) {
        SetArcDirection(dc_, direction);
        ASSERT_TRUE(BeginPath(dc_));
        ASSERT_TRUE(Rectangle(dc_, 2, 2, 6, 5));
        ASSERT_TRUE(EndPath(dc_));
        const Recorded r = Read();
        const std::vector<std::pair<LONG, LONG>> points =
            direction == AD_COUNTERCLOCKWISE ? std::vector<std::pair<LONG, LONG>>{{5, 2}, {2, 2}, {2, 4}, {5, 4}}
                                             : std::vector<std::pair<LONG, LONG>>{{2, 2}, {5, 2}, {5, 4}, {2, 4}};
        ASSERT_EQ(r.points.size(), 4u);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(r.points[i].x, points[i].first) << direction << " " << i;
            EXPECT_EQ(r.points[i].y, points[i].second) << direction << " " << i;
        }
        EXPECT_EQ(r.types, (std::vector<BYTE>{PT_MOVETO, PT_LINETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE}));
        ASSERT_TRUE(AbortPath(dc_));
    }
}

// A rectangle path's region: pixels 2..9 by 3..7, as the fill rule takes
// the left and top edges and leaves the right and bottom ones. The path is
// gone afterwards.
TEST_F(DrawPath, PathToRegionOfARectangle) {
    ASSERT_TRUE(BeginPath(dc_));
    ASSERT_TRUE(MoveToEx(dc_, 2, 3, nullptr));
    const POINT sides[] = {{10, 3}, {10, 8}, {2, 8}};
    ASSERT_TRUE(PolylineTo(dc_, sides, 3));
    ASSERT_TRUE(CloseFigure(dc_));
    ASSERT_TRUE(EndPath(dc_));
    HRGN region = PathToRegion(dc_);
    ASSERT_NE(region, nullptr);
    HRGN expected = CreateRectRgn(2, 3, 10, 8);
    EXPECT_TRUE(EqualRgn(region, expected));
    SetLastError(0);
    EXPECT_EQ(GetPath(dc_, nullptr, nullptr, 0), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CAN_NOT_COMPLETE));
    DeleteObject(region);
    DeleteObject(expected);
}

// FillPath fills the recorded figures (closing them) and uses the path up;
// the path calls need a path in the right state.
TEST_F(DrawPath, FillPathUsesThePathUp) {
    UseBrush(RGB(0, 0, 255));
    ASSERT_TRUE(BeginPath(dc_));
    const POINT open[] = {{1, 1}, {7, 1}, {7, 5}, {1, 5}};
    ASSERT_TRUE(Polyline(dc_, open, 4));  // left open: filling closes it
    // Nothing is drawn while recording.
    EXPECT_TRUE(Drawn().empty());
    SetLastError(0);
    EXPECT_FALSE(FillPath(dc_));  // still open
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CAN_NOT_COMPLETE));
    ASSERT_TRUE(EndPath(dc_));
    ASSERT_TRUE(FillPath(dc_));
    EXPECT_EQ(Drawn(), RectPixels(1, 1, 7, 5));
    SetLastError(0);
    EXPECT_FALSE(StrokePath(dc_));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CAN_NOT_COMPLETE));
    SetLastError(0);
    EXPECT_FALSE(EndPath(dc_));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CAN_NOT_COMPLETE));
}

// WidenPath needs a pen with a width: a cosmetic pen fails; a geometric
// pen 4 pixels wide turns a horizontal line into an area 4 rows high.
TEST_F(DrawPath, WidenPathNeedsAGeometricPen) {
    ASSERT_TRUE(BeginPath(dc_));
    ASSERT_TRUE(MoveToEx(dc_, 4, 10, nullptr));
    ASSERT_TRUE(LineTo(dc_, 20, 10));
    ASSERT_TRUE(EndPath(dc_));
    UsePen(RGB(0, 0, 0));
    SetLastError(0);
    EXPECT_FALSE(WidenPath(dc_));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CAN_NOT_COMPLETE));
    LOGBRUSH brush{BS_SOLID, RGB(0, 0, 0), 0};
    DeleteObject(SelectObject(dc_, ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT, 4, &brush, 0, nullptr)));
    ASSERT_TRUE(WidenPath(dc_));
    HRGN region = PathToRegion(dc_);
    ASSERT_NE(region, nullptr);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 4);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.top, 8);
    EXPECT_EQ(box.bottom, 12);
    DeleteObject(region);
}

}  // namespace
