// ceil(N / D) for a numerator that grows by a fixed step, kept exact with
// a quotient and a remainder: the stepping of scan conversion and of lines,
// where every pixel must be the one the exact rational gives.
#pragma once
#include <cstdint>

namespace w32 {

class CeilStepper {
public:
    // `numerator` may need 128 bits (a product of two 32-bit differences);
    // `denominator` > 0 and the quotients fit 64 bits.
    CeilStepper(__int128 numerator, int64_t denominator, int64_t step) : denominator_(denominator) {
        FloorDivide(numerator, denominator, quotient_, remainder_);
        FloorDivide(step, denominator, stepQuotient_, stepRemainder_);
    }

    int64_t Value() const { return quotient_ + (remainder_ > 0 ? 1 : 0); }

    void Advance() {
        quotient_ += stepQuotient_;
        remainder_ += stepRemainder_;
        if (remainder_ >= denominator_) {
            remainder_ -= denominator_;
            ++quotient_;
        }
    }

private:
    // Quotient rounded toward minus infinity, remainder in [0, d).
    static void FloorDivide(__int128 n, int64_t d, int64_t& q, int64_t& r) {
        __int128 quotient = n / d, remainder = n % d;
        if (remainder < 0) {
            remainder += d;
            --quotient;
        }
        q = int64_t(quotient);
        r = int64_t(remainder);
    }

    int64_t denominator_;
    int64_t quotient_ = 0, remainder_ = 0;
    int64_t stepQuotient_ = 0, stepRemainder_ = 0;
};

}  // namespace w32
