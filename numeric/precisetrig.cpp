#include "precisetrig.h"

#include "bigfloat.h"
#include "quadrantreduction.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace karumenio::numeric {

namespace {

// The first 768 bits of π/4 after the point, as many as the widest evaluation uses.
constexpr std::array<std::uint32_t, 24> kQuarterPiBits{
    0xC90FDAA2, 0x2168C234, 0xC4C6628B, 0x80DC1CD1, 0x29024E08, 0x8A67CC74, 0x020BBEA6, 0x3B139B22,
    0x514A0879, 0x8E3404DD, 0xEF9519B3, 0xCD3A431B, 0x302B0A6D, 0xF25F1437, 0x4FE1356D, 0x6D51C245,
    0xE485B576, 0x625E7EC6, 0xF44C42E9, 0xA637ED6B, 0x0BFF5CB6, 0xF406B7ED, 0xEE386BFB, 0x5A899FA5,
};

// 192 bits decide every value that is not within about 2^-165 of a midpoint between two
// doubles; the closest known lie about 2^-122 from one. Each retry doubles the width, and
// the last one is never reached.
constexpr int kLastLimbs = 24;
// Bits lost to the truncations of a series of up to a few hundred terms, with room to spare.
constexpr int kSeriesLoss = 24;
constexpr double kQuarterPiBelow = 0x1.921fb54442d18p-1;

BigFloat halfPi(int limbs) {
    return BigFloat::fromWords(kQuarterPiBits.data(), static_cast<int>(kQuarterPiBits.size()), 1,
                               limbs);
}

// Sum of the series while its terms matter at the width of `start`.
BigFloat sumSeries(BigFloat sum, BigFloat term, const BigFloat& square, std::uint32_t firstFactor) {
    const int width = 32 * sum.limbs();
    for (std::uint32_t k = firstFactor;; k += 2) {
        // term·x²/(k(k+1)) with alternating signs: the Taylor series of sine or cosine.
        term = -(term * square).dividedBy(k * (k + 1));
        if (term.isZero() || term.exponent() < sum.exponent() - width - 8) {
            return sum;
        }
        sum = sum + term;
    }
}

// sin t or cos t for |t| up to π/4 and a little.
BigFloat sineSeries(const BigFloat& t) {
    return sumSeries(t, t, t * t, 2);
}

BigFloat cosineSeries(const BigFloat& t) {
    const BigFloat one = BigFloat::fromDouble(1.0, t.limbs());
    return sumSeries(one, one, t * t, 1);
}

// sin x, or cos x = sin(x + π/2).
double preciseSine(double x, int extraQuadrant, int firstLimbs) {
    double fallback = 0.0;
    for (int limbs = firstLimbs; limbs <= kLastLimbs; limbs *= 2) {
        const int width = 32 * limbs;
        int accurateBits = width - kSeriesLoss;
        int quadrant = 0;
        BigFloat t = BigFloat::fromDouble(x, limbs);
        if (std::fabs(x) > kQuarterPiBelow) {
            const QuarterTurns turns = quarterTurns(x, width + 96);
            const BigFloat remainder =
                BigFloat::fromInteger(turns.magnitude, -turns.fractionBits, turns.negative, limbs);
            // The remainder is within 2^(53 − fractionBits) of the true one.
            accurateBits = std::min(accurateBits, turns.fractionBits + remainder.exponent() - 55);
            t = remainder * halfPi(limbs);
            quadrant = turns.quadrant;
        }
        quadrant = (quadrant + extraQuadrant) & 3;
        BigFloat value = (quadrant & 1) != 0 ? cosineSeries(t) : sineSeries(t);
        if ((quadrant & 2) != 0) {
            value = -value;
        }
        if (const auto rounded = value.roundedIfDecided(accurateBits)) {
            return *rounded;
        }
        fallback = value.approximate();
    }
    return fallback;
}

} // namespace

double preciseSin(double x, int limbs) {
    return preciseSine(x, 0, limbs);
}

double preciseCos(double x, int limbs) {
    return preciseSine(x, 1, limbs);
}

double preciseAtan(double x, int firstLimbs) {
    double fallback = 0.0;
    for (int limbs = firstLimbs; limbs <= kLastLimbs; limbs *= 2) {
        const int width = 32 * limbs;
        // Above 1, atan x = π/2 − atan(1/x).
        const bool beyondOne = std::fabs(x) > 1;
        const BigFloat magnitude = BigFloat::fromDouble(std::fabs(x), limbs);
        const BigFloat t = beyondOne ? magnitude.reciprocal() : magnitude;
        // Euler's series: atan t = t/(1+t²) · Σ (2·4···2k)/(3·5···(2k+1)) · (t²/(1+t²))^k,
        // all terms positive and each at most half the one before.
        const BigFloat one = BigFloat::fromDouble(1.0, limbs);
        const BigFloat square = t * t;
        const BigFloat inverse = (one + square).reciprocal();
        const BigFloat ratio = square * inverse;
        BigFloat sum = one;
        BigFloat term = one;
        for (std::uint32_t k = 1;; ++k) {
            term = (term * ratio).times(2 * k).dividedBy(2 * k + 1);
            if (term.isZero() || term.exponent() < -width - 8) {
                break;
            }
            sum = sum + term;
        }
        BigFloat value = t * inverse * sum;
        if (beyondOne) {
            value = halfPi(limbs) - value;
        }
        if (x < 0) {
            value = -value;
        }
        if (const auto rounded = value.roundedIfDecided(width - kSeriesLoss)) {
            return *rounded;
        }
        fallback = value.approximate();
    }
    return fallback;
}

} // namespace karumenio::numeric
