#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>

namespace karumenio::parcel {

// A signed integer of 192 bits in two's complement, built from 64-bit words with nothing but
// standard arithmetic, so that it gives the same result with every compiler (MSVC has no
// 128-bit integer, and neither has every 32-bit target). Areas on millimetres need it: a
// coordinate below 10^15 m is below 10^18 mm, a product of a coordinate and a difference of
// two is below 2 × 10^36, and the sum of at most a few thousand such terms stays far below
// 2^191. Nothing checks for overflow: the callers keep within those bounds.
class WideInteger {
  public:
    constexpr WideInteger() = default;
    WideInteger(std::int64_t value);

    // The exact product of two 64-bit integers.
    static WideInteger product(std::int64_t a, std::int64_t b);

    WideInteger& operator+=(const WideInteger& other);
    WideInteger& operator-=(const WideInteger& other);
    WideInteger operator-() const;
    friend WideInteger operator+(WideInteger a, const WideInteger& b) { return a += b; }
    friend WideInteger operator-(WideInteger a, const WideInteger& b) { return a -= b; }

    bool isNegative() const { return (m_words[kWords - 1] >> 63) != 0; }
    bool isZero() const { return m_words[0] == 0 && m_words[1] == 0 && m_words[2] == 0; }
    WideInteger magnitude() const { return isNegative() ? -*this : *this; }

    // The quotient rounded towards zero, and the remainder with the sign of the dividend.
    struct Division;
    Division dividedBy(std::uint32_t divisor) const;

    // The value divided by 10^decimals, written with exactly that many decimals: "-12.345".
    std::string fixedPoint(int decimals) const;

    friend bool operator==(const WideInteger&, const WideInteger&) = default;
    friend std::strong_ordering operator<=>(const WideInteger& a, const WideInteger& b);

  private:
    static constexpr int kWords = 3;
    // Least significant word first.
    std::array<std::uint64_t, kWords> m_words{};
};

struct WideInteger::Division {
    WideInteger quotient;
    std::int64_t remainder = 0;
};

// The 128-bit product of two 64-bit words, as a high and a low word.
struct WordProduct {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};
WordProduct multiplyWords(std::uint64_t a, std::uint64_t b);

// An integer divided by 10^decimals with exactly that many decimals: "-0.005", "12.000".
std::string fixedPoint(std::int64_t value, int decimals);

} // namespace karumenio::parcel
