#include "sidelength.h"

#include "millimetres.h"

#include <cmath>

namespace karumenio::parcel {

namespace {

// Whether r² ≤ n.
bool squareAtMost(std::uint64_t r, WordProduct n) {
    const WordProduct square = multiplyWords(r, r);
    return square.high < n.high || (square.high == n.high && square.low <= n.low);
}

// The largest r in [low, high] with r² ≤ n, given that low qualifies.
std::uint64_t largestRootIn(std::uint64_t low, std::uint64_t high, WordProduct n) {
    while (low < high) {
        const std::uint64_t middle = low + (high - low + 1) / 2;
        if (squareAtMost(middle, n)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

std::uint64_t magnitudeOf(std::int64_t value) {
    return value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
}

} // namespace

std::uint64_t floorSquareRoot(WordProduct n) {
    constexpr std::uint64_t kExactInDouble = std::uint64_t{1} << 52;
    if (n.high == 0 && n.low < kExactInDouble) {
        // The square root of an exactly held integer is correctly rounded, so it is at most
        // one away from the floor either way.
        auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n.low)));
        while (r * r > n.low) {
            --r;
        }
        while ((r + 1) * (r + 1) <= n.low) {
            ++r;
        }
        return r;
    }
    // The estimate from doubles is within a thousand of the root below 2^126; a bracket of
    // twice that is checked, and the whole range searched should the check ever fail.
    const double estimate =
        std::sqrt(std::ldexp(static_cast<double>(n.high), 64) + static_cast<double>(n.low));
    constexpr std::uint64_t kBracket = 4096;
    constexpr std::uint64_t kLargestRoot = (std::uint64_t{1} << 63) - 1;
    const auto centre = estimate >= static_cast<double>(kLargestRoot)
                            ? kLargestRoot
                            : static_cast<std::uint64_t>(estimate);
    const std::uint64_t low = centre > kBracket ? centre - kBracket : 0;
    const std::uint64_t high = centre < kLargestRoot - kBracket ? centre + kBracket : kLargestRoot;
    if (squareAtMost(low, n) && !squareAtMost(high, n)) {
        return largestRootIn(low, high, n);
    }
    return largestRootIn(0, kLargestRoot, n);
}

std::int64_t distanceMillimetres(const Vertex& a, const Vertex& b) {
    const WordProduct dx = multiplyWords(magnitudeOf(b.x - a.x), magnitudeOf(b.x - a.x));
    const WordProduct dy = multiplyWords(magnitudeOf(b.y - a.y), magnitudeOf(b.y - a.y));
    WordProduct sum{dx.high + dy.high, dx.low + dy.low};
    sum.high += sum.low < dx.low ? 1 : 0;
    return static_cast<std::int64_t>(floorSquareRoot(sum));
}

std::string Side::lengthText() const {
    return metresText(length);
}

std::vector<Side> sidesOf(const Parcel& parcel) {
    const std::vector<Vertex>& v = parcel.vertices;
    std::vector<Side> sides;
    sides.reserve(v.size());
    for (std::size_t k = 0; k < v.size(); ++k) {
        const Vertex& next = v[(k + 1) % v.size()];
        sides.push_back({v[k], next, distanceMillimetres(v[k], next)});
    }
    return sides;
}

} // namespace karumenio::parcel
