// A length with its unit, as the custom paper size dialog shows and checks
// it: converted between device units, millimetres and inches, cut to the
// value's decimals, compared within half a step of the last decimal, and
// formatted.
#pragma once
#include <windows.h>

#define UNIT_DEVICE 0
#define UNIT_MILLIMETRES 1
#define UNIT_INCHES 2

// Characters of a formatted value with its terminator.
#define UNIT_TEXT_CHARS 64

struct UnitValue {
    INT32 resolution;  // device units per inch
    INT32 unit;        // UNIT_DEVICE, UNIT_MILLIMETRES or UNIT_INCHES
    double value;      // in `unit`
    INT32 decimals;    // 1 leaves converted values as they are

    UnitValue(double value, INT32 unit, INT32 resolution);

    // The value in another unit, cut to the decimals (below). An unknown unit
    // gives 0.
    double ToInches() const;
    double ToMillimetres() const;
    double ToDeviceUnits() const;

    // True when `other`, converted to this value's unit, lies within half a
    // step of this value's last decimal; false when this unit is unknown.
    bool Equals(const UnitValue& other) const;

    // The value in millimetres or inches with `decimals` digits after the
    // point, in a buffer of UNIT_TEXT_CHARS characters.
    void FormatMillimetres(LPWSTR text) const;
    void FormatInches(LPWSTR text) const;

private:
    double Round(double x) const;
    void Format(double x, LPWSTR text) const;
};
