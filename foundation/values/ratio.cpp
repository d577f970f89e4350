#include "foundation/values/ratio.h"

#include <cstdint>

void Ratio::Set(int numerator, int denominator) {
    if (numerator == 0 && denominator == 0) {
        numerator_ = 0;
        denominator_ = 1;
        return;
    }
    // 64 bits: INT_MIN % -1 and INT_MIN / -1 would overflow in int.
    int64_t a = numerator, b = denominator;
    while (b != 0) {
        int64_t t = a % b;
        a = b;
        b = t;
    }
    numerator_ = static_cast<int>(numerator / a);
    denominator_ = static_cast<int>(denominator / a);
}
