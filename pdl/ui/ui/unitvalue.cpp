// Length values: conversions, the cut to the decimals, comparison and text.
#include "ui/ui/unitvalue.h"

#include <cmath>

namespace {

constexpr double kMillimetresPerInch = 25.4;

// 10 to the power -n, formed by multiplying 1.0 by 0.1 n times and keeping
// each product in single precision, as the dialog's values have always
// been cut; the float steps decide the last digit of the results.
float NegativePowerOfTen(INT32 n) {
    float power = 1.0f;
    for (INT32 i = 0; i < n; ++i) power = static_cast<float>(power * 0.1);
    return power;
}

// 10 to the power n as an exact integer value.
double PowerOfTen(INT32 n) {
    double power = 1.0;
    for (INT32 i = 0; i < n; ++i) power *= 10.0;
    return power;
}

}  // namespace

UnitValue::UnitValue(double v, INT32 u, INT32 r) : resolution(r), unit(u), value(v), decimals(1) {}

// With one decimal the value stays as it is; otherwise it is cut (towards
// zero, after adding 0.00001) to decimals + 1 digits after the point.
double UnitValue::Round(double x) const {
    if (decimals == 1) return x;
    const INT32 n = decimals + 1;
    return std::trunc((x + 0.00001) * PowerOfTen(n)) * NegativePowerOfTen(n);
}

double UnitValue::ToInches() const {
    switch (unit) {
        case UNIT_DEVICE: return Round(value / resolution);
        case UNIT_MILLIMETRES: return Round(value * 10 / 254);
        case UNIT_INCHES: return Round(value);
        default: return 0;
    }
}

double UnitValue::ToMillimetres() const {
    switch (unit) {
        case UNIT_DEVICE: return Round(value * kMillimetresPerInch / resolution);
        case UNIT_MILLIMETRES: return Round(value);
        case UNIT_INCHES: return Round(value * kMillimetresPerInch);
        default: return 0;
    }
}

double UnitValue::ToDeviceUnits() const {
    switch (unit) {
        case UNIT_DEVICE: return Round(value);
        case UNIT_MILLIMETRES: return Round(resolution * value / kMillimetresPerInch);
        case UNIT_INCHES: return Round(resolution * value);
        default: return 0;
    }
}

bool UnitValue::Equals(const UnitValue& other) const {
    const double tolerance = 0.5 * NegativePowerOfTen(decimals + 1);
    double converted;
    if (unit == other.unit) {
        converted = other.value;
    } else if (unit == UNIT_MILLIMETRES) {
        converted = other.ToMillimetres();
    } else if (unit == UNIT_INCHES) {
        converted = other.ToInches();
    } else if (unit == UNIT_DEVICE) {
        converted = other.ToDeviceUnits();
    } else {
        return false;
    }
    const double difference = value - converted;
    return -tolerance <= difference && difference <= tolerance;
}

void UnitValue::Format(double x, LPWSTR text) const {
    if (!text) return;
    WCHAR format[16];
    _snwprintf(format, ARRAYSIZE(format) - 1, u"%%.%df", decimals);
    format[ARRAYSIZE(format) - 1] = 0;
    _snwprintf(text, UNIT_TEXT_CHARS - 1, format, x);
    text[UNIT_TEXT_CHARS - 1] = 0;
}

void UnitValue::FormatMillimetres(LPWSTR text) const { Format(ToMillimetres(), text); }
void UnitValue::FormatInches(LPWSTR text) const { Format(ToInches(), text); }
