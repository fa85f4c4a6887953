#include "wideinteger.h"

#include <algorithm>

namespace karumenio::parcel {

namespace {

// |value| as an unsigned word; the most negative value has no positive counterpart in 64
// bits but has one here.
std::uint64_t unsignedMagnitude(std::int64_t value) {
    return value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
}

// Digits of a magnitude, least significant first.
std::string reversedDigits(WideInteger magnitude) {
    std::string digits;
    // Nine digits a division: three divisions write a coordinate product.
    constexpr std::uint32_t kBillion = 1000000000;
    do {
        const WideInteger::Division d = magnitude.dividedBy(kBillion);
        auto chunk = static_cast<std::uint32_t>(d.remainder);
        magnitude = d.quotient;
        for (int i = 0; i < 9 && (chunk != 0 || !magnitude.isZero()); ++i) {
            digits += static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    } while (!magnitude.isZero());
    return digits;
}

std::string placePoint(bool negative, std::string reversed, int decimals) {
    const auto wanted = static_cast<std::size_t>(decimals) + 1;
    if (reversed.size() < wanted) {
        reversed.append(wanted - reversed.size(), '0');
    }
    std::string out;
    out.reserve(reversed.size() + 2);
    if (negative) {
        out += '-';
    }
    for (std::size_t i = reversed.size(); i-- > 0;) {
        out += reversed[i];
        if (i == static_cast<std::size_t>(decimals) && decimals > 0) {
            out += '.';
        }
    }
    return out;
}

} // namespace

WordProduct multiplyWords(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t aLow = a & 0xffffffffu;
    const std::uint64_t aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xffffffffu;
    const std::uint64_t bHigh = b >> 32;
    const std::uint64_t lowLow = aLow * bLow;
    const std::uint64_t lowHigh = aLow * bHigh;
    const std::uint64_t highLow = aHigh * bLow;
    const std::uint64_t highHigh = aHigh * bHigh;
    // The middle column: never more than three 32-bit numbers' worth, so it cannot overflow.
    const std::uint64_t middle = (lowLow >> 32) + (lowHigh & 0xffffffffu) + (highLow & 0xffffffffu);
    return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
            (middle << 32) | (lowLow & 0xffffffffu)};
}

WideInteger::WideInteger(std::int64_t value) {
    const std::uint64_t fill = value < 0 ? ~std::uint64_t{0} : 0;
    m_words = {static_cast<std::uint64_t>(value), fill, fill};
}

WideInteger WideInteger::product(std::int64_t a, std::int64_t b) {
    const WordProduct p = multiplyWords(unsignedMagnitude(a), unsignedMagnitude(b));
    WideInteger result;
    result.m_words = {p.low, p.high, 0};
    return (a < 0) != (b < 0) ? -result : result;
}

WideInteger& WideInteger::operator+=(const WideInteger& other) {
    std::uint64_t carry = 0;
    for (int i = 0; i < kWords; ++i) {
        const std::uint64_t partial = m_words[i] + other.m_words[i];
        const std::uint64_t sum = partial + carry;
        carry = (partial < m_words[i] ? 1 : 0) + (sum < partial ? 1 : 0);
        m_words[i] = sum;
    }
    return *this;
}

WideInteger& WideInteger::operator-=(const WideInteger& other) {
    return *this += -other;
}

WideInteger WideInteger::operator-() const {
    WideInteger result;
    for (int i = 0; i < kWords; ++i) {
        result.m_words[i] = ~m_words[i];
    }
    return result += WideInteger(1);
}

WideInteger::Division WideInteger::dividedBy(std::uint32_t divisor) const {
    const bool negative = isNegative();
    const WideInteger dividend = magnitude();
    Division d;
    std::uint64_t remainder = 0;
    for (int i = kWords - 1; i >= 0; --i) {
        std::uint64_t word = 0;
        // Two 32-bit halves: the running remainder is below the divisor, so each step's
        // dividend fits in 64 bits.
        for (const int shift : {32, 0}) {
            const std::uint64_t current =
                (remainder << 32) | ((dividend.m_words[i] >> shift) & 0xffffffffu);
            word = (word << 32) | (current / divisor);
            remainder = current % divisor;
        }
        d.quotient.m_words[i] = word;
    }
    d.remainder = static_cast<std::int64_t>(remainder);
    if (negative) {
        d.quotient = -d.quotient;
        d.remainder = -d.remainder;
    }
    return d;
}

std::string WideInteger::fixedPoint(int decimals) const {
    return placePoint(isNegative(), reversedDigits(magnitude()), decimals);
}

std::strong_ordering operator<=>(const WideInteger& a, const WideInteger& b) {
    if (a.isNegative() != b.isNegative()) {
        return a.isNegative() ? std::strong_ordering::less : std::strong_ordering::greater;
    }
    // Same sign: two's complement words compare as unsigned numbers.
    for (int i = WideInteger::kWords - 1; i >= 0; --i) {
        if (a.m_words[i] != b.m_words[i]) {
            return a.m_words[i] < b.m_words[i] ? std::strong_ordering::less
                                               : std::strong_ordering::greater;
        }
    }
    return std::strong_ordering::equal;
}

std::string fixedPoint(std::int64_t value, int decimals) {
    std::uint64_t magnitude = unsignedMagnitude(value);
    std::string reversed;
    do {
        reversed += static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    return placePoint(value < 0, std::move(reversed), decimals);
}

} // namespace karumenio::parcel
