#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace karumenio::numeric {

// A binary floating-point number with a significand of a chosen number of 32-bit limbs, for
// the few arguments whose double-double sine, cosine or arc tangent lies too close to a
// rounding boundary to round with confidence. Only integer arithmetic is used, so the bits
// are the same everywhere. Every operation truncates and is off by less than two units of
// the last limb (of the larger operand, for a sum).
class BigFloat {
  public:
    // Zero.
    explicit BigFloat(int limbs) : m_limbs(static_cast<std::size_t>(limbs), 0) {}

    static BigFloat fromDouble(double value, int limbs);
    // The number 0.w0 w1 w2 ... × 2^exponent of big-endian 32-bit words.
    static BigFloat fromWords(const std::uint32_t* words, int count, int exponent, int limbs);
    // The number magnitude × 2^exponent of a little-endian integer, with that sign.
    static BigFloat fromInteger(std::vector<std::uint32_t> magnitude, int exponent, bool negative,
                                int limbs);

    int limbs() const { return static_cast<int>(m_limbs.size()); }
    bool isZero() const { return m_limbs.back() == 0; }
    bool negative() const { return m_negative; }
    // The magnitude lies in [2^(exponent-1), 2^exponent) unless zero.
    int exponent() const { return m_exponent; }

    BigFloat operator-() const;
    friend BigFloat operator+(const BigFloat& a, const BigFloat& b);
    friend BigFloat operator-(const BigFloat& a, const BigFloat& b) { return a + (-b); }
    friend BigFloat operator*(const BigFloat& a, const BigFloat& b);
    BigFloat times(std::uint32_t factor) const;
    BigFloat dividedBy(std::uint32_t divisor) const;
    // 1/this by Newton's iteration; a few units of the last limb off.
    BigFloat reciprocal() const;
    // A double within an ulp or so; for starting iterations.
    double approximate() const;

    // The nearest double when every number within 2^-accurateBits of this one (relatively)
    // rounds to the same double; nothing when that is not certain. Expects a normal result
    // and accurateBits below the significand's width.
    std::optional<double> roundedIfDecided(int accurateBits) const;

  private:
    bool m_negative = false;
    // Value = significand × 2^(m_exponent - 32·limbs), significand's top bit set unless zero.
    int m_exponent = 0;
    std::vector<std::uint32_t> m_limbs; // least significant first
};

} // namespace karumenio::numeric
