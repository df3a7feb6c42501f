// SaveDC and RestoreDC levels, and the setters of the DC's modes: each
// answers the previous value and refuses values outside its range.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "win32/gdi32/compatible_dc_fixture.h"

using tam::test::CompatibleDCTest;

namespace {

class DcState : public CompatibleDCTest {};

// Saves the ROP2 values 1, 2, 3 at levels 1, 2, 3, and sets 4 as current.
void SaveThree(HDC dc) {
    for (int level = 1; level <= 3; ++level) {
        SetROP2(dc, level);
        EXPECT_EQ(SaveDC(dc), level);
    }
    SetROP2(dc, 4);
}

struct RestoreCase {
    int argument;
    bool restored;
    int rop2After;   // the state restored, or the current one when refused
    int nextSave;    // what SaveDC answers afterwards
};

const RestoreCase kRestores[] = {
    {-1, true, 3, 3}, {-3, true, 1, 1}, {2, true, 2, 2}, {3, true, 3, 3}, {1, true, 1, 1},
    {0, false, 4, 4}, {4, false, 4, 4}, {-4, false, 4, 4},
};

class RestoreLevel : public DcState, public testing::WithParamInterface<RestoreCase> {};

TEST_P(RestoreLevel, BringsBackThatStateAndDropsThoseAbove) {
    const RestoreCase& c = GetParam();
    SaveThree(dc_);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(RestoreDC(dc_, c.argument), c.restored ? TRUE : FALSE);
    if (!c.restored) {
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(GetROP2(dc_), c.rop2After);
    EXPECT_EQ(SaveDC(dc_), c.nextSave);
}

INSTANTIATE_TEST_SUITE_P(All, RestoreLevel, testing::ValuesIn(kRestores));

TEST_F(DcState, SaveKeepsObjectsColoursAndMapping) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_EQ(SaveDC(dc_), 1);
    SelectObject(dc_, brush);
    SetTextColor(dc_, RGB(7, 7, 7));
    SetMapMode(dc_, MM_LOMETRIC);
    SetViewportOrgEx(dc_, 5, 6, nullptr);
    ASSERT_TRUE(RestoreDC(dc_, 1));
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetTextColor(dc_), RGB(0, 0, 0));
    EXPECT_EQ(GetMapMode(dc_), MM_TEXT);
    POINT origin{};
    GetViewportOrgEx(dc_, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_TRUE(DeleteObject(brush));
}

struct ModeCase {
    const char* name;
    int (*set)(HDC, int);
    int (*get)(HDC);
    int initial, valid, below, above;
};

const ModeCase kModes[] = {
    {"Rop2", SetROP2, GetROP2, R2_COPYPEN, R2_XORPEN, 0, R2_LAST + 1},
    {"BkMode", SetBkMode, GetBkMode, OPAQUE, TRANSPARENT, 0, 3},
    {"PolyFillMode", SetPolyFillMode, GetPolyFillMode, ALTERNATE, WINDING, 0, 3},
    {"StretchBltMode", SetStretchBltMode, GetStretchBltMode, BLACKONWHITE, HALFTONE, 0, 5},
    {"ArcDirection", SetArcDirection, GetArcDirection, AD_COUNTERCLOCKWISE, AD_CLOCKWISE, 0, 3},
};

class Mode : public DcState, public testing::WithParamInterface<ModeCase> {};

TEST_P(Mode, AnswersThePreviousValueAndRefusesOthers) {
    const ModeCase& c = GetParam();
    EXPECT_EQ(c.get(dc_), c.initial);
    EXPECT_EQ(c.set(dc_, c.valid), c.initial);
    EXPECT_EQ(c.get(dc_), c.valid);
    for (int bad : {c.below, c.above}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(c.set(dc_, bad), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(c.get(dc_), c.valid);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(c.set(nullptr, c.valid), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

INSTANTIATE_TEST_SUITE_P(All, Mode, testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DcState, ColoursOriginsAndLimits) {
    EXPECT_EQ(SetBkColor(dc_, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc_), RGB(1, 2, 3));
    EXPECT_EQ(SetTextColor(dc_, RGB(4, 5, 6)), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(nullptr), CLR_INVALID);
    POINT old{-1, -1};
    EXPECT_TRUE(SetBrushOrgEx(dc_, 3, 4, &old));
    EXPECT_EQ(old.x, 0);
    POINT now{};
    EXPECT_TRUE(GetBrushOrgEx(dc_, &now));
    EXPECT_EQ(now.x, 3);
    EXPECT_EQ(now.y, 4);
    FLOAT limit = 0;
    EXPECT_TRUE(SetMiterLimit(dc_, 4.0f, &limit));
    EXPECT_EQ(limit, 10.0f);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetMiterLimit(dc_, 0.5f, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(GetMiterLimit(dc_, &limit));
    EXPECT_EQ(limit, 4.0f);
    EXPECT_TRUE(GetCurrentPositionEx(dc_, &now));
    EXPECT_EQ(now.x, 0);
}

struct AdjustmentCase {
    const char* name;
    void (*change)(COLORADJUSTMENT&);
    bool accepted;
};

const AdjustmentCase kAdjustments[] = {
    {"Defaults", [](COLORADJUSTMENT&) {}, true},
    {"GammaLowest", [](COLORADJUSTMENT& c) { c.caRedGamma = 2500; }, true},
    {"GammaTooLow", [](COLORADJUSTMENT& c) { c.caRedGamma = 2499; }, false},
    {"GammaHighest", [](COLORADJUSTMENT& c) { c.caBlueGamma = 65000; }, true},
    {"GammaTooHigh", [](COLORADJUSTMENT& c) { c.caGreenGamma = 65001; }, false},
    {"BlackHighest", [](COLORADJUSTMENT& c) { c.caReferenceBlack = 4000; }, true},
    {"BlackTooHigh", [](COLORADJUSTMENT& c) { c.caReferenceBlack = 4001; }, false},
    {"WhiteLowest", [](COLORADJUSTMENT& c) { c.caReferenceWhite = 6000; }, true},
    {"WhiteTooLow", [](COLORADJUSTMENT& c) { c.caReferenceWhite = 5999; }, false},
    {"ContrastLowest", [](COLORADJUSTMENT& c) { c.caContrast = -100; }, true},
    {"ContrastTooLow", [](COLORADJUSTMENT& c) { c.caContrast = -101; }, false},
    {"BrightnessTooHigh", [](COLORADJUSTMENT& c) { c.caBrightness = 101; }, false},
    {"ColorfulnessTooLow", [](COLORADJUSTMENT& c) { c.caColorfulness = -101; }, false},
    {"TintHighest", [](COLORADJUSTMENT& c) { c.caRedGreenTint = 100; }, true},
    {"WrongSize", [](COLORADJUSTMENT& c) { c.caSize = 10; }, false},
};

class ColorAdjustment : public DcState, public testing::WithParamInterface<AdjustmentCase> {};

TEST_P(ColorAdjustment, RangesAreTheDocumentedOnes) {
    COLORADJUSTMENT adjustment{};
    ASSERT_TRUE(GetColorAdjustment(dc_, &adjustment));
    const COLORADJUSTMENT before = adjustment;
    GetParam().change(adjustment);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetColorAdjustment(dc_, &adjustment), GetParam().accepted ? TRUE : FALSE);
    COLORADJUSTMENT after{};
    ASSERT_TRUE(GetColorAdjustment(dc_, &after));
    if (GetParam().accepted) {
        EXPECT_EQ(std::memcmp(&after, &adjustment, sizeof(after)), 0);
    } else {
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(std::memcmp(&after, &before, sizeof(after)), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(All, ColorAdjustment, testing::ValuesIn(kAdjustments),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
