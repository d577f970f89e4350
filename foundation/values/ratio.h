#pragma once
// A fraction kept in lowest terms.

struct Ratio {
    Ratio() = default;
    Ratio(int numerator, int denominator) { Set(numerator, denominator); }

    // Divides both by their greatest common divisor (Euclid's, so the divisor
    // takes the sign its remainder sequence gives). 0/0 becomes 0/1.
    void Set(int numerator, int denominator);
    Ratio& Assign(int numerator, int denominator) {
        Set(numerator, denominator);
        return *this;
    }
    // Equal fractions: both are kept in lowest terms.
    friend bool operator==(const Ratio&, const Ratio&) = default;

    int numerator_ = 1;
    int denominator_ = 1;
};
