// Length values: conversions with and without the cut to the decimals, the
// comparison within half a step, and the text.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/ui/unitvalue.h"

namespace {

// The single-precision steps 10^-2, 10^-3 and 10^-4: 0.1 multiplied in
// n times, each product kept as a float. From the third step on they fall
// below the nearest floats to 0.001 and 0.0001.
constexpr double kStep2 = 0.009999999776482582;
constexpr double kStep3 = 0.0009999999310821295;
constexpr double kStep4 = 9.99999901978299e-05;

struct ConversionCase {
    const char* what;
    double value;
    INT32 unit;
    INT32 decimals;
    double inches, millimetres, device;  // at 600 units per inch
};

const ConversionCase kConversions[] = {
    // One decimal: nothing is cut.
    {"A4 width in mm", 210, UNIT_MILLIMETRES, 1, 2100.0 / 254, 210, 600 * 210 / 25.4},
    {"Letter width in inches", 8.5, UNIT_INCHES, 1, 8.5, 8.5 * 25.4, 5100},
    {"device units", 4960, UNIT_DEVICE, 1, 4960.0 / 600, 4960 * 25.4 / 600, 4960},
    // Two decimals: cut to three digits after adding 0.00001, then scaled by
    // the float step.
    {"inches cut", 8.2677, UNIT_INCHES, 2, 8267 * kStep3, 209999 * kStep3, 4960620 * kStep3},
    {"mm cut", 210, UNIT_MILLIMETRES, 2, 8267 * kStep3, 210000 * kStep3, 4960629 * kStep3},
    {"negative value cut towards zero", -1.23456, UNIT_INCHES, 2, -1234 * kStep3, -31357 * kStep3, -740735 * kStep3},
    // Three decimals: four digits.
    {"four digits", 1.0, UNIT_INCHES, 3, 10000 * kStep4, 254000 * kStep4,
     6000000 * kStep4},
};

class UnitConversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(UnitConversion, ToEachUnit) {
    const ConversionCase& c = GetParam();
    UnitValue length(c.value, c.unit, 600);
    length.decimals = c.decimals;
    EXPECT_DOUBLE_EQ(length.ToInches(), c.inches);
    EXPECT_DOUBLE_EQ(length.ToMillimetres(), c.millimetres);
    EXPECT_DOUBLE_EQ(length.ToDeviceUnits(), c.device);
}

INSTANTIATE_TEST_SUITE_P(Table, UnitConversion, testing::ValuesIn(kConversions),
                         [](const testing::TestParamInfo<ConversionCase>& info) {
                             std::string name = info.param.what;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(UnitValueTest, ConstructorSetsOneDecimal) {
    UnitValue length(210, UNIT_MILLIMETRES, 600);
    EXPECT_EQ(length.decimals, 1);
    EXPECT_EQ(length.resolution, 600);
    EXPECT_EQ(length.unit, UNIT_MILLIMETRES);
    EXPECT_DOUBLE_EQ(length.ToDeviceUnits(), 4960.6299212598425);  // not rounded
    UnitValue unknown(5, 7, 600);
    EXPECT_EQ(unknown.ToInches(), 0);
}

struct EqualsCase {
    const char* what;
    UnitValue self, other;
    INT32 decimals;
    bool equal;
};

const EqualsCase kEquals[] = {
    {"same unit, same value", {8.2677, UNIT_INCHES, 600}, {8.2677, UNIT_INCHES, 600}, 2, true},
    {"same unit, within half a step", {8.2677, UNIT_INCHES, 600}, {8.2681, UNIT_INCHES, 600}, 2, true},
    {"same unit, beyond half a step", {8.2677, UNIT_INCHES, 600}, {8.2683, UNIT_INCHES, 600}, 2, false},
    {"mm against device units", {210, UNIT_MILLIMETRES, 600}, {4960.63, UNIT_DEVICE, 600}, 1, true},
    {"mm against other device units", {210, UNIT_MILLIMETRES, 600}, {4961, UNIT_DEVICE, 600}, 1, false},
    {"inches against mm", {8.5, UNIT_INCHES, 600}, {215.9, UNIT_MILLIMETRES, 600}, 1, true},
    {"device units against inches", {5100, UNIT_DEVICE, 600}, {8.5, UNIT_INCHES, 600}, 1, true},
    {"device units against mm", {5100, UNIT_DEVICE, 600}, {215.8, UNIT_MILLIMETRES, 600}, 1, false},
    {"unknown unit", {1, 3, 600}, {1, UNIT_INCHES, 600}, 1, false},
};

TEST(UnitValueTest, EqualsWithinHalfAStep) {
    for (const EqualsCase& c : kEquals) {
        UnitValue self = c.self;
        self.decimals = c.decimals;
        EXPECT_EQ(self.Equals(c.other), c.equal) << c.what;
    }
    // The tolerance is half the float step: 0.5 x 0.001f for two decimals.
    UnitValue a(1.0, UNIT_INCHES, 600), b(1.0 + 0.5 * kStep3, UNIT_INCHES, 600);
    a.decimals = 2;
    EXPECT_TRUE(a.Equals(b));
    b.value = 1.0 + 0.5 * kStep3 + 1e-12;
    EXPECT_FALSE(a.Equals(b));
    UnitValue c(1.0, UNIT_INCHES, 600), d(1.0 - 0.5 * kStep2, UNIT_INCHES, 600);
    EXPECT_TRUE(c.Equals(d));
}

struct FormatCase {
    double value;
    INT32 unit, decimals;
    const char16_t* millimetres;
    const char16_t* inches;
};

const FormatCase kFormats[] = {
    {297, UNIT_MILLIMETRES, 1, u"297.0", u"11.7"},
    {8.5, UNIT_INCHES, 2, u"215.90", u"8.50"},
    {210, UNIT_MILLIMETRES, 2, u"210.00", u"8.27"},
    {4960, UNIT_DEVICE, 0, u"210", u"8"},
};

TEST(UnitValueTest, FormatsWithItsDecimals) {
    for (const FormatCase& c : kFormats) {
        UnitValue length(c.value, c.unit, 600);
        length.decimals = c.decimals;
        WCHAR text[UNIT_TEXT_CHARS];
        length.FormatMillimetres(text);
        EXPECT_EQ(std::u16string(text), c.millimetres) << c.value;
        length.FormatInches(text);
        EXPECT_EQ(std::u16string(text), c.inches) << c.value;
    }
    // A long number stays inside the buffer.
    UnitValue huge(1e300, UNIT_MILLIMETRES, 600);
    WCHAR text[UNIT_TEXT_CHARS + 8];
    std::fill(std::begin(text), std::end(text), u'#');
    huge.FormatMillimetres(text);
    EXPECT_EQ(text[UNIT_TEXT_CHARS - 1], 0);
    EXPECT_EQ(text[UNIT_TEXT_CHARS], u'#');
}

}  // namespace
