#include "bigfloat.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace karumenio::numeric {

namespace {

using Limbs = std::vector<std::uint32_t>;

// The 32 bits of v from bit `position` up; bits outside v count as zeros.
std::uint32_t bitsAt(const Limbs& v, int position) {
    const int index = position >= 0 ? position / 32 : -((31 - position) / 32);
    const int offset = position - 32 * index;
    auto limb = [&](int i) -> std::uint64_t {
        return i >= 0 && i < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(i)] : 0;
    };
    return static_cast<std::uint32_t>((limb(index) | (limb(index + 1) << 32)) >> offset);
}

bool bitAt(const Limbs& v, int position) {
    return (bitsAt(v, position) & 1U) != 0;
}

// -1, 0 or 1 as |a| is below, equal to or above |b|; both of the same width.
int compareMagnitudes(const BigFloat& a, const BigFloat& b, const Limbs& la, const Limbs& lb) {
    if (a.isZero() || b.isZero()) {
        return a.isZero() ? (b.isZero() ? 0 : -1) : 1;
    }
    if (a.exponent() != b.exponent()) {
        return a.exponent() < b.exponent() ? -1 : 1;
    }
    for (std::size_t i = la.size(); i-- > 0;) {
        if (la[i] != lb[i]) {
            return la[i] < lb[i] ? -1 : 1;
        }
    }
    return 0;
}

} // namespace

BigFloat BigFloat::fromInteger(Limbs magnitude, int exponent, bool negative, int limbs) {
    BigFloat result(limbs);
    int top = static_cast<int>(magnitude.size()) - 1;
    while (top >= 0 && magnitude[static_cast<std::size_t>(top)] == 0) {
        --top;
    }
    if (top < 0) {
        return result;
    }
    const int highBit = 32 * top + std::bit_width(magnitude[static_cast<std::size_t>(top)]) - 1;
    // Shift so that the highest set bit becomes the top bit of the significand.
    const int shift = highBit - (32 * limbs - 1);
    for (int j = 0; j < limbs; ++j) {
        result.m_limbs[static_cast<std::size_t>(j)] = bitsAt(magnitude, 32 * j + shift);
    }
    result.m_exponent = highBit + 1 + exponent;
    result.m_negative = negative;
    return result;
}

BigFloat BigFloat::fromDouble(double value, int limbs) {
    if (value == 0) {
        return BigFloat(limbs);
    }
    int e = 0;
    const double fraction = std::frexp(std::fabs(value), &e);
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    return fromInteger(
        {static_cast<std::uint32_t>(significand), static_cast<std::uint32_t>(significand >> 32)},
        e - 64, value < 0, limbs);
}

BigFloat BigFloat::fromWords(const std::uint32_t* words, int count, int exponent, int limbs) {
    Limbs magnitude(words, words + count);
    std::reverse(magnitude.begin(), magnitude.end());
    return fromInteger(std::move(magnitude), exponent - 32 * count, false, limbs);
}

BigFloat BigFloat::operator-() const {
    BigFloat result = *this;
    result.m_negative = !m_negative && !isZero();
    return result;
}

BigFloat operator+(const BigFloat& a, const BigFloat& b) {
    const int n = a.limbs();
    const int order = compareMagnitudes(a, b, a.m_limbs, b.m_limbs);
    const BigFloat& large = order >= 0 ? a : b;
    const BigFloat& small = order >= 0 ? b : a;
    if (small.isZero()) {
        return large;
    }
    // Both as integers over n + 2 limbs scaled by 2^(top − 32(n + 2)), the larger one's
    // highest bit one below the top to leave room for a carry.
    const int width = n + 2;
    const int top = large.m_exponent + 1;
    const int largeShift = large.m_exponent - 32 * n - top + 32 * width;
    const int smallShift = small.m_exponent - 32 * n - top + 32 * width;
    Limbs sum(static_cast<std::size_t>(width));
    const bool subtract = large.m_negative != small.m_negative;
    std::uint64_t carry = 0;
    for (int j = 0; j < width; ++j) {
        const std::uint64_t x = bitsAt(large.m_limbs, 32 * j - largeShift);
        const std::uint64_t y = bitsAt(small.m_limbs, 32 * j - smallShift);
        const std::uint64_t t = subtract ? x - y - carry : x + y + carry;
        sum[static_cast<std::size_t>(j)] = static_cast<std::uint32_t>(t);
        carry = subtract ? ((t >> 32) != 0 ? 1 : 0) : t >> 32;
    }
    return BigFloat::fromInteger(std::move(sum), top - 32 * width, large.m_negative, n);
}

BigFloat operator*(const BigFloat& a, const BigFloat& b) {
    const std::size_t na = a.m_limbs.size();
    const std::size_t nb = b.m_limbs.size();
    Limbs product(na + nb, 0);
    for (std::size_t i = 0; i < na; ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < nb; ++j) {
            const std::uint64_t t =
                std::uint64_t{a.m_limbs[i]} * b.m_limbs[j] + product[i + j] + carry;
            product[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        product[i + nb] = static_cast<std::uint32_t>(carry);
    }
    return BigFloat::fromInteger(std::move(product),
                                 a.m_exponent + b.m_exponent - 32 * static_cast<int>(na + nb),
                                 a.m_negative != b.m_negative, a.limbs());
}

BigFloat BigFloat::times(std::uint32_t factor) const {
    Limbs product(m_limbs.size() + 1, 0);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < m_limbs.size(); ++i) {
        const std::uint64_t t = std::uint64_t{m_limbs[i]} * factor + carry;
        product[i] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    product.back() = static_cast<std::uint32_t>(carry);
    return fromInteger(std::move(product), m_exponent - 32 * limbs(), m_negative, limbs());
}

BigFloat BigFloat::dividedBy(std::uint32_t divisor) const {
    // Two more limbs of quotient below the significand keep its full width.
    Limbs quotient(m_limbs.size() + 2, 0);
    std::uint64_t remainder = 0;
    for (std::size_t i = quotient.size(); i-- > 0;) {
        const std::uint64_t limb = i >= 2 ? m_limbs[i - 2] : 0;
        const std::uint64_t current = (remainder << 32) | limb;
        quotient[i] = static_cast<std::uint32_t>(current / divisor);
        remainder = current % divisor;
    }
    return fromInteger(std::move(quotient), m_exponent - 32 * limbs() - 64, m_negative, limbs());
}

BigFloat BigFloat::reciprocal() const {
    // Newton's iteration r ← r + r(1 − m·r) on the significand m in [1/2, 1); each step
    // doubles the correct bits.
    const int n = limbs();
    BigFloat m = *this;
    m.m_exponent = 0;
    m.m_negative = false;
    const BigFloat one = fromDouble(1.0, n);
    BigFloat r = fromDouble(1.0 / m.approximate(), n);
    for (int bits = 50; bits < 32 * n + 32; bits *= 2) {
        r = r + r * (one - m * r);
    }
    r.m_exponent -= m_exponent;
    r.m_negative = m_negative;
    return r;
}

double BigFloat::approximate() const {
    const int n = limbs();
    const std::uint64_t top =
        (std::uint64_t{bitsAt(m_limbs, 32 * n - 32)} << 32) | bitsAt(m_limbs, 32 * n - 64);
    const double magnitude = std::ldexp(static_cast<double>(top), m_exponent - 64);
    return m_negative ? -magnitude : magnitude;
}

std::optional<double> BigFloat::roundedIfDecided(int accurateBits) const {
    if (isZero()) {
        return std::nullopt;
    }
    const int width = 32 * limbs();
    accurateBits = std::min(accurateBits, width - 8);
    // Bit width − 54 is worth half an ulp of the double. The rounding is certain when the
    // bits between it and the error bound are not all the opposite of it: the number is
    // then at least twice the error away from the midpoint between two doubles.
    const int roundBit = width - 54;
    const bool up = bitAt(m_limbs, roundBit);
    bool decided = false;
    for (int position = roundBit - 1; position >= width + 1 - accurateBits; --position) {
        if (bitAt(m_limbs, position) == up) {
            decided = true;
            break;
        }
    }
    if (!decided) {
        return std::nullopt;
    }
    const std::uint64_t top53 =
        ((std::uint64_t{bitsAt(m_limbs, width - 32)} << 32) | bitsAt(m_limbs, width - 64)) >> 11;
    const double magnitude = std::ldexp(static_cast<double>(top53 + (up ? 1 : 0)), m_exponent - 53);
    return m_negative ? -magnitude : magnitude;
}

} // namespace karumenio::numeric
