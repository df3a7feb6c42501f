// MulDiv: scaling by a fraction without losing the product's high bits.
#include <windows.h>

#include <climits>

int WINAPI MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    long long product = static_cast<long long>(number) * numerator;
    long long half = (denominator < 0 ? -static_cast<long long>(denominator) : denominator) / 2;
    // Round half away from zero: move the product away from zero by half the
    // divisor before truncating.
    bool negative = (product < 0) != (denominator < 0);
    long long magnitude = (product < 0 ? -product : product) + half;
    long long result = magnitude / (denominator < 0 ? -static_cast<long long>(denominator) : denominator);
    if (negative) result = -result;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}
