#include "quadrantreduction.h"

#include "conversion.h"

#include <array>
#include <cmath>

namespace karumenio::numeric {

namespace {

// The first 2048 bits of 2/π after the point. The largest doubles skip the first 30 words
// (they only add whole turns); the widest evaluation reads up to word 58.
constexpr std::array<std::uint32_t, 64> kTwoOverPiBits{
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
    0xA9E39161, 0x5EE61B08, 0x6599855F, 0x14A06840, 0x8DFFD880, 0x4D732731, 0x06061556, 0xCA73A8C9,
    0x60E27BC0, 0x8C6B47C4, 0x19C367CD, 0xDCE8092A, 0x8359C476, 0x8B961CA6, 0xDDAF44D1, 0x5719053E,
    0xA5FF0705, 0x3F7E33E8, 0x32C2DE4F, 0x98327DBB, 0xC33D26EF, 0x6B1E5EF8, 0x9F3A1F35, 0xCAF27F1D,
};

// π/2 in four parts. The first three have 33 bits or fewer, so k times each is exact for
// |k| < 2^20; the fourth carries the rest to about 2^-151.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2ep-69;
constexpr double kHalfPi4 = 0x1.b839a252049c1p-104;
constexpr DoubleDouble kHalfPi{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// The double just below π/4: up to it no reduction is needed.
constexpr double kQuarterPiBelow = 0x1.921fb54442d18p-1;

bool bitAt(const std::vector<std::uint32_t>& limbs, int position) {
    return ((limbs[static_cast<std::size_t>(position / 32)] >> (position % 32)) & 1U) != 0;
}

// The remainder as a double-double: its five leading limbs hold at least 129 bits.
DoubleDouble remainderValue(const QuarterTurns& turns) {
    int top = static_cast<int>(turns.magnitude.size()) - 1;
    while (top >= 0 && turns.magnitude[static_cast<std::size_t>(top)] == 0) {
        --top;
    }
    DoubleDouble sum;
    for (int i = top; i >= 0 && i > top - 5; --i) {
        const double part =
            std::ldexp(static_cast<double>(turns.magnitude[static_cast<std::size_t>(i)]),
                       32 * i - turns.fractionBits);
        sum = dd::add(sum, part);
    }
    return turns.negative ? dd::negate(sum) : sum;
}

} // namespace

QuarterTurns quarterTurns(double x, int wantedBits) {
    const auto bits = bitCast<std::uint64_t>(x);
    const int field = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t significand =
        (bits & ((std::uint64_t{1} << 52) - 1)) | (field != 0 ? std::uint64_t{1} << 52 : 0);
    // x = significand·2^e.
    const int e = (field != 0 ? field : 1) - 1075;

    // Words of 2/π before `first` only add multiples of 4 quarter turns.
    const int tableWords = static_cast<int>(kTwoOverPiBits.size());
    const int first = e >= 2 ? (e - 2) / 32 : 0;
    int count = (wantedBits + e + 31) / 32 - first;
    if (count < 2) {
        count = 2;
    }
    if (first + count > tableWords) {
        count = tableWords - first;
    }

    // The significand times the window of 2/π, exactly.
    const std::uint32_t factor[2] = {static_cast<std::uint32_t>(significand),
                                     static_cast<std::uint32_t>(significand >> 32)};
    std::vector<std::uint32_t> product(static_cast<std::size_t>(count + 2), 0);
    for (int i = 0; i < count; ++i) {
        const std::uint64_t word = kTwoOverPiBits[static_cast<std::size_t>(first + count - 1 - i)];
        std::uint64_t carry = 0;
        for (int j = 0; j < 2; ++j) {
            const std::uint64_t t =
                word * factor[j] + product[static_cast<std::size_t>(i + j)] + carry;
            product[static_cast<std::size_t>(i + j)] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        product[static_cast<std::size_t>(i + 2)] = static_cast<std::uint32_t>(carry);
    }

    // x·2/π ≡ product·2^-s (mod 4).
    const int s = 32 * (first + count) - e;
    QuarterTurns turns;
    turns.fractionBits = s;
    turns.quadrant = (bitAt(product, s) ? 1 : 0) + (bitAt(product, s + 1) ? 2 : 0);
    const bool roundUp = bitAt(product, s - 1);
    const int limbs = (s + 31) / 32;
    turns.magnitude.assign(product.begin(), product.begin() + limbs);
    if (s % 32 != 0) {
        turns.magnitude.back() &= (std::uint32_t{1} << (s % 32)) - 1;
    }
    if (roundUp) {
        // The nearest whole number is the next one; the remainder is 2^s minus the fraction.
        turns.quadrant = (turns.quadrant + 1) & 3;
        turns.negative = true;
        std::uint64_t borrow = 0;
        for (auto& limb : turns.magnitude) {
            const std::uint64_t d = std::uint64_t{0} - limb - borrow;
            limb = static_cast<std::uint32_t>(d);
            borrow = (d >> 32) != 0 ? 1 : 0;
        }
        if (s % 32 != 0) {
            turns.magnitude.back() &= (std::uint32_t{1} << (s % 32)) - 1;
        }
    }
    if (x < 0) {
        turns.quadrant = (4 - turns.quadrant) & 3;
        turns.negative = !turns.negative;
    }
    return turns;
}

ReducedAngle reduceAngle(double x) {
    const double magnitude = std::fabs(x);
    if (magnitude <= kQuarterPiBelow) {
        return {0, {x, 0.0}, 0.0};
    }
    if (magnitude < 0x1p20) {
        // k·kHalfPi1 is exact and so close to x that the difference is exact too.
        constexpr double kShifter = 0x1.8p52;
        const double k = (x * kTwoOverPi + kShifter) - kShifter;
        const double r1 = x - k * kHalfPi1;
        const DoubleDouble s1 = dd::twoSum(r1, -(k * kHalfPi2));
        const DoubleDouble s2 = dd::twoSum(s1.hi, -(k * kHalfPi3));
        const double lo = (s1.lo + s2.lo) - k * kHalfPi4;
        const DoubleDouble t = dd::twoSum(s2.hi, lo);
        const int quadrant = static_cast<int>(static_cast<long long>(k) & 3);
        return {quadrant, t, 0x1p-128 + std::fabs(t.hi) * 0x1p-100};
    }
    const QuarterTurns turns = quarterTurns(x, 200);
    const DoubleDouble t = dd::mul(remainderValue(turns), kHalfPi);
    return {turns.quadrant, t,
            std::ldexp(1.0, 54 - turns.fractionBits) + std::fabs(t.hi) * 0x1p-100};
}

} // namespace karumenio::numeric
