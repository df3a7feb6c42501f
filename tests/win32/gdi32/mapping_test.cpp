// Mapping modes and transforms on a DC compatible with the screen (1920 x
// 1080 pixels, 508 x 286 mm, 96 pixels per inch): LPtoDP and DPtoLP
// against positions worked out from physical units, the isotropic
// adjustment, world transforms and the right-to-left layout.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "win32/gdi32/compatible_dc_fixture.h"

using tam::test::CompatibleDCTest;

namespace {

class Mapping : public CompatibleDCTest {
protected:
    POINT ToDevice(LONG x, LONG y) {
        POINT p{x, y};
        EXPECT_TRUE(LPtoDP(dc_, &p, 1));
        return p;
    }
    POINT ToLogical(LONG x, LONG y) {
        POINT p{x, y};
        EXPECT_TRUE(DPtoLP(dc_, &p, 1));
        return p;
    }
};

struct FixedModeCase {
    int mode;
    double unitsPerMillimetre;
};

const FixedModeCase kFixedModes[] = {
    {MM_LOMETRIC, 10},          {MM_HIMETRIC, 100},        {MM_LOENGLISH, 100 / 25.4},
    {MM_HIENGLISH, 1000 / 25.4}, {MM_TWIPS, 1440 / 25.4},
};

class FixedMode : public Mapping, public testing::WithParamInterface<FixedModeCase> {};

// A logical point 40 mm right of and 25 mm above the origin lands that far
// from the top-left pixel, at the device's pixels per millimetre, y down.
TEST_P(FixedMode, MapsPhysicalUnitsWithYUp) {
    const FixedModeCase& c = GetParam();
    EXPECT_EQ(SetMapMode(dc_, c.mode), MM_TEXT);
    EXPECT_EQ(GetMapMode(dc_), c.mode);
    const double pixelsPerMmX = GetDeviceCaps(dc_, HORZRES) / double(GetDeviceCaps(dc_, HORZSIZE));
    const double pixelsPerMmY = GetDeviceCaps(dc_, VERTRES) / double(GetDeviceCaps(dc_, VERTSIZE));
    const LONG x = LONG(std::lround(40 * c.unitsPerMillimetre));
    const LONG y = LONG(std::lround(25 * c.unitsPerMillimetre));
    const POINT device = ToDevice(x, y);
    EXPECT_NEAR(device.x, 40 * pixelsPerMmX, 1.0);
    EXPECT_NEAR(device.y, -25 * pixelsPerMmY, 1.0);
    // The way back lands within one device pixel of where it started.
    const POINT back = ToLogical(device.x, device.y);
    EXPECT_NEAR(back.x, x, c.unitsPerMillimetre / pixelsPerMmX + 1);
    EXPECT_NEAR(back.y, y, c.unitsPerMillimetre / pixelsPerMmY + 1);
    // Extents are fixed in these modes.
    SIZE before{}, old{};
    GetWindowExtEx(dc_, &before);
    EXPECT_TRUE(SetWindowExtEx(dc_, 3, 3, &old));
    EXPECT_EQ(old.cx, before.cx);
    GetWindowExtEx(dc_, &old);
    EXPECT_EQ(old.cx, before.cx);
}

INSTANTIATE_TEST_SUITE_P(All, FixedMode, testing::ValuesIn(kFixedModes));

TEST_F(Mapping, TextModeMovesByTheOrigins) {
    POINT old{};
    EXPECT_TRUE(SetWindowOrgEx(dc_, 10, 20, &old));
    EXPECT_TRUE(SetViewportOrgEx(dc_, 100, 200, nullptr));
    EXPECT_TRUE(OffsetViewportOrgEx(dc_, 1, 2, &old));
    EXPECT_EQ(old.x, 100);
    const POINT p = ToDevice(15, 25);  // (15 - 10 + 101, 25 - 20 + 202)
    EXPECT_EQ(p.x, 106);
    EXPECT_EQ(p.y, 207);
    const POINT back = ToLogical(106, 207);
    EXPECT_EQ(back.x, 15);
    EXPECT_EQ(back.y, 25);
}

// Window 100 x 100 onto a viewport of 200 x 400: anisotropic scales 2 and
// 4; isotropic keeps the smaller scale on both axes, shrinking the viewport
// to 200 x 200 on square pixels.
TEST_F(Mapping, IsotropicShrinksTheViewportToEqualScales) {
    SetMapMode(dc_, MM_ANISOTROPIC);
    SetWindowExtEx(dc_, 100, 100, nullptr);
    SetViewportExtEx(dc_, 200, 400, nullptr);
    POINT p = ToDevice(10, 10);
    EXPECT_EQ(p.x, 20);
    EXPECT_EQ(p.y, 40);

    EXPECT_EQ(SetMapMode(dc_, MM_ISOTROPIC), MM_ANISOTROPIC);
    SetWindowExtEx(dc_, 100, 100, nullptr);
    SetViewportExtEx(dc_, 200, -400, nullptr);
    SIZE viewport{};
    GetViewportExtEx(dc_, &viewport);
    EXPECT_EQ(viewport.cx, 200);
    EXPECT_EQ(viewport.cy, -200);  // the sign stays
    p = ToDevice(10, 10);
    EXPECT_EQ(p.x, 20);
    EXPECT_EQ(p.y, -20);
    EXPECT_TRUE(ScaleViewportExtEx(dc_, 1, 2, 1, 2, nullptr));
    GetViewportExtEx(dc_, &viewport);
    EXPECT_EQ(viewport.cx, 100);
    EXPECT_EQ(viewport.cy, -100);

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetWindowExtEx(dc_, 0, 5, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(ScaleWindowExtEx(dc_, 1, 0, 1, 1, nullptr));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetMapMode(dc_, 9), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// The world transform turns a quarter turn: (x, y) goes to (-y, x) before
// the page transform moves it by the viewport origin.
TEST_F(Mapping, WorldTransformAppliesBeforeThePage) {
    const XFORM quarterTurn{0, 1, -1, 0, 0, 0};
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetWorldTransform(dc_, &quarterTurn));  // GM_COMPATIBLE
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(SetGraphicsMode(dc_, GM_ADVANCED), GM_COMPATIBLE);
    ASSERT_TRUE(SetWorldTransform(dc_, &quarterTurn));
    SetViewportOrgEx(dc_, 100, 100, nullptr);
    POINT p = ToDevice(10, 20);
    EXPECT_EQ(p.x, 80);
    EXPECT_EQ(p.y, 110);
    p = ToLogical(80, 110);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);

    // Left-multiplying applies the new transform first: a doubling of x
    // then the turn sends (10, 20) to (-20, 20); right-multiplying turns first.
    const XFORM doubleX{2, 0, 0, 1, 0, 0};
    ASSERT_TRUE(ModifyWorldTransform(dc_, &doubleX, MWT_LEFTMULTIPLY));
    p = ToDevice(10, 20);
    EXPECT_EQ(p.x, 80);
    EXPECT_EQ(p.y, 120);
    ASSERT_TRUE(SetWorldTransform(dc_, &quarterTurn));
    ASSERT_TRUE(ModifyWorldTransform(dc_, &doubleX, MWT_RIGHTMULTIPLY));
    p = ToDevice(10, 20);
    EXPECT_EQ(p.x, 60);
    EXPECT_EQ(p.y, 110);

    const XFORM singular{1, 2, 2, 4, 0, 0};
    EXPECT_FALSE(SetWorldTransform(dc_, &singular));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetGraphicsMode(dc_, GM_COMPATIBLE), 0);  // not while the transform is not the identity
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    ASSERT_TRUE(ModifyWorldTransform(dc_, nullptr, MWT_IDENTITY));
    EXPECT_EQ(SetGraphicsMode(dc_, GM_COMPATIBLE), GM_ADVANCED);
    XFORM now{};
    EXPECT_TRUE(GetWorldTransform(dc_, &now));
    EXPECT_EQ(now.eM11, 1.0f);
    EXPECT_EQ(now.eM12, 0.0f);
}

// Right to left: x mirrors about the bitmap's width less one.
TEST_F(Mapping, RightToLeftLayoutMirrorsX) {
    HBITMAP bitmap = CreateBitmap(100, 10, 1, 32, nullptr);
    SelectObject(dc_, bitmap);
    EXPECT_EQ(SetLayout(dc_, LAYOUT_RTL), 0u);
    EXPECT_EQ(GetLayout(dc_), DWORD(LAYOUT_RTL));
    POINT p = ToDevice(0, 3);
    EXPECT_EQ(p.x, 99);
    EXPECT_EQ(p.y, 3);
    p = ToDevice(99, 0);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(SetLayout(nullptr, 0), GDI_ERROR);
    DeleteDC(dc_);
    dc_ = CreateCompatibleDC(nullptr);
    DeleteObject(bitmap);
}

TEST_F(Mapping, BadArgumentsFail) {
    POINT p{1, 1};
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(LPtoDP(nullptr, &p, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DPtoLP(dc_, nullptr, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(LPtoDP(dc_, &p, -1));
    EXPECT_TRUE(LPtoDP(dc_, nullptr, 0));
}

}  // namespace
