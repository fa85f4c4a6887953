#pragma once

namespace karumenio::numeric {

// An unevaluated sum hi + lo of two doubles with |lo| at most half an ulp of hi: about 106
// bits. Every step is a plain double operation (products are split the Veltkamp way instead
// of using a fused multiply-add), so the results are the same bits on every compiler and
// platform as long as nothing contracts a multiply and an add.
struct DoubleDouble {
    double hi = 0.0;
    double lo = 0.0;
};

namespace dd {

// a + b exactly, when a is zero or |a| >= |b|.
inline DoubleDouble fastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a + b exactly, for any order of magnitude.
inline DoubleDouble twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a * b exactly (no overflow or underflow in the parts).
inline DoubleDouble twoProduct(double a, double b) {
    constexpr double kSplitter = 134217729.0; // 2^27 + 1
    const double p = a * b;
    const double ca = kSplitter * a;
    const double ah = ca - (ca - a);
    const double al = a - ah;
    const double cb = kSplitter * b;
    const double bh = cb - (cb - b);
    const double bl = b - bh;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

inline DoubleDouble negate(DoubleDouble a) {
    return {-a.hi, -a.lo};
}

// Relative error about 2^-104 even when the sum cancels.
inline DoubleDouble add(DoubleDouble a, DoubleDouble b) {
    DoubleDouble s = twoSum(a.hi, b.hi);
    const DoubleDouble t = twoSum(a.lo, b.lo);
    s = fastTwoSum(s.hi, s.lo + t.hi);
    return fastTwoSum(s.hi, s.lo + t.lo);
}

inline DoubleDouble add(DoubleDouble a, double b) {
    const DoubleDouble s = twoSum(a.hi, b);
    return fastTwoSum(s.hi, s.lo + a.lo);
}

inline DoubleDouble sub(DoubleDouble a, DoubleDouble b) {
    return add(a, negate(b));
}

inline DoubleDouble mul(DoubleDouble a, DoubleDouble b) {
    const DoubleDouble p = twoProduct(a.hi, b.hi);
    return fastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DoubleDouble mul(DoubleDouble a, double b) {
    const DoubleDouble p = twoProduct(a.hi, b);
    return fastTwoSum(p.hi, p.lo + a.lo * b);
}

inline DoubleDouble div(DoubleDouble a, DoubleDouble b) {
    const double q1 = a.hi / b.hi;
    const DoubleDouble r = sub(a, mul(b, q1));
    const double q2 = r.hi / b.hi;
    const DoubleDouble r2 = sub(r, mul(b, q2));
    return add(fastTwoSum(q1, q2), r2.hi / b.hi);
}

} // namespace dd

} // namespace karumenio::numeric
