// MulDiv: a 64-bit product, rounded half away from zero, -1 on failure.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct MulDivCase {
    int number, numerator, denominator, expected;
};

class MulDivCases : public testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivCases, ScalesAndRounds) {
    const auto& c = GetParam();
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected);
}

const MulDivCase kCases[] = {
    {8, 96, 72, 11},                  // 10.67: up
    {50, 7, 4, 88},                   // 87.5: half goes away from zero
    {-50, 7, 4, -88},
    {50, -7, 4, -88},
    {50, 7, -4, -88},
    {-50, -7, -4, -88},
    {5, 1, 4, 1},                     // 1.25: down
    {1 << 30, 1 << 30, 1 << 30, 1 << 30},  // the product needs 64 bits
    {1 << 30, 4, 1, -1},              // overflows an int
    {7, 3, 0, -1},
};
INSTANTIATE_TEST_SUITE_P(All, MulDivCases, testing::ValuesIn(kCases));

}  // namespace
