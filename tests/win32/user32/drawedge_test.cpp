// DrawEdge and DrawFocusRect, checked pixel by pixel at the places that
// tell the lines apart.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

class Drawing : public testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 20, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, 20, 20};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    void TearDown() override {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) { return GetPixel(dc, x, y); }
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

struct EdgeCase {
    const char* name;
    UINT edge, flags;
    int outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
};
void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }

const EdgeCase kEdges[] = {
    {"Raised", EDGE_RAISED, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
    {"Sunken", EDGE_SUNKEN, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
    {"Etched", EDGE_ETCHED, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
    {"Bump", EDGE_BUMP, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
    {"RaisedSoft", EDGE_RAISED, BF_RECT | BF_SOFT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
     COLOR_BTNSHADOW},
    {"Flat", EDGE_SUNKEN, BF_RECT | BF_FLAT, COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNFACE},
    {"Mono", EDGE_SUNKEN, BF_RECT | BF_MONO, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME, COLOR_WINDOW, COLOR_WINDOW},
};

class Edges : public Drawing, public testing::WithParamInterface<EdgeCase> {};

TEST_P(Edges, DrawTwoLinesOfTheirColours) {
    const EdgeCase& c = GetParam();
    RECT r{2, 3, 12, 13};
    ASSERT_TRUE(DrawEdge(dc, &r, c.edge, c.flags));
    EXPECT_EQ(At(2, 5), GetSysColor(c.outerTopLeft));       // left, outer
    EXPECT_EQ(At(5, 3), GetSysColor(c.outerTopLeft));       // top, outer
    EXPECT_EQ(At(11, 5), GetSysColor(c.outerBottomRight));  // right, outer
    EXPECT_EQ(At(5, 12), GetSysColor(c.outerBottomRight));  // bottom, outer
    EXPECT_EQ(At(11, 3), GetSysColor(c.outerBottomRight));  // the top-right corner
    EXPECT_EQ(At(2, 12), GetSysColor(c.outerBottomRight));  // the bottom-left corner
    EXPECT_EQ(At(3, 5), GetSysColor(c.innerTopLeft));
    EXPECT_EQ(At(10, 5), GetSysColor(c.innerBottomRight));
    EXPECT_EQ(At(6, 8), RGB(0, 0, 0));   // no BF_MIDDLE: the inside is left
    EXPECT_EQ(At(12, 5), RGB(0, 0, 0));  // outside
    EXPECT_EQ(r.left, 2);                // no BF_ADJUST
}

INSTANTIATE_TEST_SUITE_P(All, Edges, testing::ValuesIn(kEdges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Drawing, EdgeSidesMiddleAndAdjust) {
    RECT r{2, 2, 12, 12};
    ASSERT_TRUE(DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_TOP | BF_RIGHT | BF_MIDDLE | BF_ADJUST));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 3);
    EXPECT_EQ(r.right, 11);
    EXPECT_EQ(r.bottom, 12);
    EXPECT_EQ(At(2, 6), GetSysColor(COLOR_BTNFACE));  // no left line: the middle reaches the side
    EXPECT_EQ(At(6, 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(11, 6), GetSysColor(COLOR_BTNHIGHLIGHT));
    SetLastError(0);
    EXPECT_FALSE(DrawEdge(dc, &r, EDGE_RAISED, BF_DIAGONAL | BF_TOPLEFT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_FALSE(DrawEdge(dc, nullptr, EDGE_RAISED, BF_RECT));
    EXPECT_FALSE(DrawEdge(reinterpret_cast<HDC>(0x1234), &r, EDGE_RAISED, BF_RECT));
}

TEST_F(Drawing, FocusRectIsDottedAndUndoesItself) {
    const RECT r{1, 1, 9, 7};
    ASSERT_TRUE(DrawFocusRect(dc, &r));
    EXPECT_EQ(At(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(At(2, 1), RGB(0, 0, 0));
    EXPECT_EQ(At(3, 1), RGB(255, 255, 255));
    EXPECT_EQ(At(1, 3), RGB(255, 255, 255));
    EXPECT_EQ(At(8, 2), RGB(255, 255, 255));  // dots every other pixel from the corner
    EXPECT_EQ(At(8, 3), RGB(0, 0, 0));
    EXPECT_EQ(At(4, 4), RGB(0, 0, 0));    // inside
    EXPECT_EQ(At(0, 0), RGB(0, 0, 0));    // outside
    ASSERT_TRUE(DrawFocusRect(dc, &r));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(At(x, y), RGB(0, 0, 0)) << x << "," << y;
}

}  // namespace
