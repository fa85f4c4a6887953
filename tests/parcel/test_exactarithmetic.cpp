#include "parcel/millimetres.h"
#include "parcel/sidelength.h"
#include "parcel/wideinteger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

using namespace karumenio::parcel;

namespace {

// Decimal arithmetic on digit strings, slow and plain, as the reference for the wide integer.
std::string addMagnitudes(const std::string& a, const std::string& b) {
    std::string out;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        const int sum = carry + (i < a.size() ? a[a.size() - 1 - i] - '0' : 0) +
                        (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        out.insert(out.begin(), static_cast<char>('0' + sum % 10));
        carry = sum / 10;
    }
    return out;
}

bool lessMagnitude(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// a − b for a ≥ b.
std::string subtractMagnitudes(const std::string& a, const std::string& b) {
    std::string out;
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int d = a[a.size() - 1 - i] - '0' - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = d < 0 ? 1 : 0;
        out.insert(out.begin(), static_cast<char>('0' + d + 10 * borrow));
    }
    const std::size_t first = out.find_first_not_of('0');
    return first == std::string::npos ? "0" : out.substr(first);
}

std::string multiplyMagnitudes(const std::string& a, const std::string& b) {
    std::string product = "0";
    for (std::size_t i = 0; i < b.size(); ++i) {
        std::string partial = "0";
        for (int k = 0; k < b[i] - '0'; ++k) {
            partial = addMagnitudes(partial, a);
        }
        product = addMagnitudes(product + "0", partial);
    }
    const std::size_t first = product.find_first_not_of('0');
    return first == std::string::npos ? "0" : product.substr(first);
}

struct Decimal {
    bool negative = false;
    std::string digits = "0";

    static Decimal of(std::int64_t v) {
        const std::string text = std::to_string(v);
        return v < 0 ? Decimal{true, text.substr(1)} : Decimal{false, text};
    }
    Decimal operator*(const Decimal& o) const {
        const std::string d = multiplyMagnitudes(digits, o.digits);
        return {d != "0" && negative != o.negative, d};
    }
    Decimal operator+(const Decimal& o) const {
        if (negative == o.negative) {
            return {negative, addMagnitudes(digits, o.digits)};
        }
        const bool otherLarger = lessMagnitude(digits, o.digits);
        const std::string d = otherLarger ? subtractMagnitudes(o.digits, digits)
                                          : subtractMagnitudes(digits, o.digits);
        return {d != "0" && (otherLarger ? o.negative : negative), d};
    }
    std::string text() const { return (negative ? "-" : "") + digits; }
};

TEST(WideInteger, SumsOfProductsAgreeWithDecimalArithmetic) {
    // Values as far as the millimetre bounds go, and the 64-bit extremes the type itself takes.
    const std::int64_t bound = 2'000'000'000'000'000'000;
    const std::int64_t edges[] = {0,
                                  1,
                                  -1,
                                  bound,
                                  -bound,
                                  999'999'999'999'999'999,
                                  std::numeric_limits<std::int64_t>::max(),
                                  std::numeric_limits<std::int64_t>::min(),
                                  4294967296,
                                  4294967295,
                                  -4294967297};
    std::mt19937_64 random(17);
    std::uniform_int_distribution<std::int64_t> any(-bound, bound);
    std::uniform_int_distribution<std::int64_t> survey(-300'000'000, 300'000'000);
    for (int run = 0; run < 60; ++run) {
        WideInteger sum;
        Decimal expected;
        for (int term = 0; term < 40; ++term) {
            auto pick = [&](int k) {
                return run < 10 ? edges[static_cast<std::size_t>(k + term + run) % std::size(edges)]
                                : (run % 2 ? any(random) : survey(random));
            };
            const std::int64_t a = pick(0);
            const std::int64_t b = pick(3);
            sum += WideInteger::product(a, b);
            expected = expected + Decimal::of(a) * Decimal::of(b);
            ASSERT_EQ(sum.fixedPoint(0), expected.text()) << a << " × " << b;
        }
        // Subtraction and the order agree with the same reference.
        const WideInteger back = sum - WideInteger::product(7, -3);
        EXPECT_EQ(back.fixedPoint(0), (expected + Decimal::of(21)).text());
        EXPECT_EQ(back > sum, true);
        EXPECT_EQ(sum.magnitude().isNegative(), false);
        EXPECT_EQ((sum - sum).isZero(), true);
    }
}

TEST(WideInteger, DivisionTruncatesAndFixedPointPlacesThePoint) {
    struct Case {
        std::int64_t value;
        std::uint32_t divisor;
        const char* quotient;
        std::int64_t remainder;
    };
    for (const Case c : {Case{7, 2, "3", 1}, Case{-7, 2, "-3", -1}, Case{0, 10, "0", 0},
                         Case{-1000000, 1000000, "-1", 0}, Case{999999, 1000000, "0", 999999}}) {
        const WideInteger::Division d = WideInteger(c.value).dividedBy(c.divisor);
        EXPECT_EQ(d.quotient.fixedPoint(0), c.quotient) << c.value;
        EXPECT_EQ(d.remainder, c.remainder) << c.value;
    }
    // Beyond 64 bits: (2^64 + 5) / 3.
    const WideInteger big = WideInteger::product(4294967296, 4294967296) + WideInteger(5);
    EXPECT_EQ(big.dividedBy(3).quotient.fixedPoint(0), "6148914691236517207");
    EXPECT_EQ(big.dividedBy(3).remainder, 0);

    struct Text {
        std::int64_t value;
        int decimals;
        const char* text;
    };
    for (const Text t : {Text{0, 6, "0.000000"}, Text{5, 3, "0.005"}, Text{-5, 3, "-0.005"},
                         Text{-12345, 3, "-12.345"}, Text{100000000, 6, "100.000000"},
                         Text{362, 0, "362"}, Text{1, 0, "1"}}) {
        EXPECT_EQ(WideInteger(t.value).fixedPoint(t.decimals), t.text);
        EXPECT_EQ(fixedPoint(t.value, t.decimals), t.text);
    }
    EXPECT_EQ(fixedPoint(std::numeric_limits<std::int64_t>::min(), 3), "-9223372036854775.808");
    EXPECT_EQ(WideInteger::product(-1'000'000'000'000'000'000, 3'000'000'000'000'000'000 / 2)
                  .fixedPoint(6),
              "-1500000000000000000000000000000.000000");
}

TEST(Millimetres, RoundsTheShownDecimalHalfAwayFromZero) {
    struct Case {
        double metres;
        std::int64_t millimetres;
    };
    const Case cases[] = {
        {100.1, 100100},
        {-23795.96, -23795960},
        {12.3455, 12346},   // the double lies below the half, the decimal on it
        {-12.3455, -12346}, // away from zero on both sides
        {0.0005, 1},
        {-0.0005, -1},
        {0.00049, 0},
        {0.0001, 0},
        {2.5E-17, 0}, // shown in the exponent form
        {-0.0004, 0},
        {1.0, 1000},
        {1234.5678, 1234568},
        {99999.9995, 100000000}, // a carry through every digit
        {999999999999.999, 999999999999999},
        {123456789012345.0, 123456789012345000},
        {0.1 + 0.2, 300}, // shown as 0.3
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toMillimetres(c.metres), c.millimetres) << c.metres;
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (const double outside : {1e15, -1e15, 1e300, inf, -inf, std::nan("")}) {
        EXPECT_FALSE(toMillimetres(outside).has_value()) << outside;
    }
}

TEST(SquareRoot, IsTheExactFloorAcrossTheRange) {
    auto check = [](WordProduct n) {
        const std::uint64_t r = floorSquareRoot(n);
        const WordProduct low = multiplyWords(r, r);
        const WordProduct high = multiplyWords(r + 1, r + 1);
        const bool lowOk = low.high < n.high || (low.high == n.high && low.low <= n.low);
        const bool highOk = high.high > n.high || (high.high == n.high && high.low > n.low);
        EXPECT_TRUE(lowOk && highOk) << n.high << ":" << n.low << " -> " << r;
    };
    // Squares and their neighbours, about the fast path's limit of 2^52 and up to 2^125.
    for (const std::uint64_t root :
         {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{67108863}, std::uint64_t{67108864},
          std::uint64_t{67108865}, std::uint64_t{4294967295}, std::uint64_t{4294967296},
          std::uint64_t{3037000499}, std::uint64_t{1} << 40, (std::uint64_t{1} << 62) + 12345,
          (std::uint64_t{1} << 63) - 1}) {
        const WordProduct square = multiplyWords(root, root);
        EXPECT_EQ(floorSquareRoot(square), root);
        check(square);
        if (square.low != 0 || square.high != 0) {
            WordProduct below = square;
            below.high -= below.low == 0 ? 1 : 0;
            below.low -= 1;
            EXPECT_EQ(floorSquareRoot(below), root - 1);
        }
    }
    std::mt19937_64 random(5);
    for (int i = 0; i < 20000; ++i) {
        const int bits = i % 126;
        WordProduct n;
        const std::uint64_t word = random();
        if (bits < 64) {
            n.low = bits == 0 ? 0 : word >> (64 - bits);
        } else {
            n.high = bits == 64 ? 0 : word >> (128 - bits);
            n.low = random();
        }
        check(n);
    }
}

TEST(SideLength, IsTruncatedToTheMillimetre) {
    struct Case {
        Vertex a;
        Vertex b;
        const char* length;
    };
    const Case cases[] = {
        {{0, 0, 0}, {1, 3000, 4000}, "5.000"},
        {{0, 0, 0}, {1, 2000, 3000}, "3.605"}, // √13 = 3.60555…: cut, not rounded
        {{0, 1000, 1000}, {1, 0, 0}, "1.414"}, // either way round
        {{0, 0, 0}, {1, 1, 1}, "0.001"},       // √2 mm
        {{0, 0, 0}, {1, -999, 0}, "0.999"},
        {{0, -23795960, -32832251}, {1, -23790120, -32810004}, "23.000"}, // √(5.84² + 22.247²)
        // 10^18 mm apart on both axes: only the wide square root holds it.
        {{0, -500'000'000'000'000'000, -500'000'000'000'000'000},
         {1, 500'000'000'000'000'000, 500'000'000'000'000'000},
         "1414213562373095.048"},
    };
    for (const Case& c : cases) {
        Side side{c.a, c.b, distanceMillimetres(c.a, c.b)};
        EXPECT_EQ(side.lengthText(), c.length);
    }
}

} // namespace
