// Fixed-point trigonometry: the tables against the functions they sample,
// sines between whole degrees, products and directions.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cmath>
#include <numbers>

#include "pcl6/gdi/fxmath.h"

namespace {

double Radians(int degrees) { return degrees * std::numbers::pi / 180.0; }

TEST(FxTables, SampleTangentAndSineAtWholeDegrees) {
    for (int i = 0; i <= 45; ++i) EXPECT_EQ(g_FxTangent[i], std::lround(std::tan(Radians(i)) * 10000)) << i;
    EXPECT_EQ(g_FxTangent[46], 10000);  // the scale
    EXPECT_EQ(g_FxTangent[47], 14);     // the shift
    for (int i = 0; i <= 90; ++i) EXPECT_EQ(g_FxSine[i], std::lround(std::sin(Radians(i)) * 16384)) << i;
}

struct AngleCase {
    int angle;
    int sine;
};
// Whole degrees read the table; tenths interpolate (integer division) and
// the sign follows the half-turn.
const AngleCase kSines[] = {
    {0, 0},         {5, 143},     {10, 286},      {450, 11585},   {455, 11685}, {900, 16384},
    {905, 16383},   {1800, 0},    {2700, -16384}, {-900, -16384}, {-5, -143},   {3600, 0},
    {3605, 143},    {-3600, 0},   {1350, 11585},  {2250, -11585},
};

class FxSine : public testing::TestWithParam<AngleCase> {};

TEST_P(FxSine, ByTableAndInterpolation) { EXPECT_EQ(Fx_Sin(GetParam().angle), GetParam().sine); }

TEST_P(FxSine, CosineIsTheSineAQuarterTurnOn) {
    EXPECT_EQ(Fx_Cos(GetParam().angle - 900), GetParam().sine);
}

INSTANTIATE_TEST_SUITE_P(All, FxSine, testing::ValuesIn(kSines));

TEST(FxSine, ExtremeAnglesReduceWithoutOverflow) {
    EXPECT_EQ(Fx_Sin(INT_MIN), -16316);        // INT_MIN is -848 tenths after whole turns
    EXPECT_EQ(Fx_Cos(INT_MAX), 1513);          // INT_MAX is 847 tenths after whole turns
    EXPECT_EQ(Fx_RotateY(INT_MIN, 1000), 995);
}

struct MulCase {
    int value;
    int factor;
    int product;
};
const MulCase kProducts[] = {
    {1000, 0, 0},
    {1000, 16384, 1000},
    {-7, 16384, -7},
    {1000, 8192, 500},
    {-1000, 8192, -500},
    {-3, 8192, -2},                 // the shift rounds toward minus infinity
    {200000, 16383, 199987},        // beyond what a 32-bit product holds
    {-300000, -16384, 300000},
};

class FxMul : public testing::TestWithParam<MulCase> {};

TEST_P(FxMul, ShiftsTheProduct) { EXPECT_EQ(Fx_Mul(GetParam().value, GetParam().factor), GetParam().product); }

INSTANTIATE_TEST_SUITE_P(All, FxMul, testing::ValuesIn(kProducts));

TEST(FxRotate, TurnsAValueByTheAngle) {
    EXPECT_EQ(Fx_RotateX(0, 1000), 1000);
    EXPECT_EQ(Fx_RotateY(0, 1000), 0);
    EXPECT_EQ(Fx_RotateX(900, 1000), 0);
    EXPECT_EQ(Fx_RotateY(900, 1000), -1000);  // device y grows downward
    EXPECT_EQ(Fx_RotateX(1800, 1000), -1000);
    EXPECT_EQ(Fx_RotateY(2700, 1000), 1000);
    EXPECT_EQ(Fx_RotateX(450, 1000), 707);    // 1000 x 11585 / 16384
}

struct DirectionCase {
    int x;
    int y;
    int angle;
};
const DirectionCase kDirections[] = {
    {1, 0, 0},          {0, 1, 900},       {-1, 0, 1800},     {1, -1, 3150},     {1, 1, 450},
    {-1, -1, 2250},     {0, -5, 2700},     {10000, 175, 10},  // exactly tan 1 degree
    {2, 1, 266},        // atan 0.5 = 26.57 degrees, interpolated and rounded
    {1, 2, 634},        {-2, 1, 1534},     {2, -1, 3334},     {0, 0, 0},         // no direction
    {INT_MIN, 0, 1800}, {INT_MAX, INT_MIN, 3150},
};

class FxAtan : public testing::TestWithParam<DirectionCase> {};

TEST_P(FxAtan, GivesTheVectorsDirection) { EXPECT_EQ(Fx_Atan(GetParam().x, GetParam().y), GetParam().angle); }

INSTANTIATE_TEST_SUITE_P(All, FxAtan, testing::ValuesIn(kDirections));

}  // namespace
