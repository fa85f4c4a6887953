// The number form of the scripts is built from the shortest round-trip digits for speed; here
// it is checked against a plain rounding of the exact binary value to 15 digits.
#include "spreadsheet/numberformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using karumenio::spreadsheet::formatNumber;

namespace {

// printf rounds the exact value correctly; only the layout is done by hand.
std::string referenceFormat(double value, bool withLeadingZero) {
    if (value == 0.0 || !std::isfinite(value)) {
        return "0";
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    std::string digits;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            digits.push_back(*p);
        }
    }
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    std::string out = value < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += "." + digits.substr(1);
        }
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return out + exp;
    }
    if (exponent >= 0) {
        const auto intLength = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLength) {
            return out + digits + std::string(intLength - digits.size(), '0');
        }
        return out + digits.substr(0, intLength) + "." + digits.substr(intLength);
    }
    return out + (withLeadingZero ? "0." : ".") +
           std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
}

TEST(NumberFormat, AgreesWithExactRoundingToFifteenDigits) {
    std::vector<double> values = {0.1 + 0.2,
                                  1.0 / 3.0,
                                  2.0 / 3.0,
                                  999999999999999.4,
                                  999999999999999.5,
                                  99999999999999.95,
                                  0.00009999999999999999,
                                  0.000099999999999999,
                                  1e-5,
                                  1e-10,
                                  1e-11,
                                  123456789.123456789,
                                  5e-324,
                                  1e-310,
                                  2.2250738585072009e-308,
                                  2.2250738585072014e-308,
                                  1.7976931348623157e308,
                                  0.30000000000000004,
                                  1.0000000000000002,
                                  9.999999999999999e22};
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-22, 22);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 20000; ++i) {
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
        // Short decimals such as survey coordinates.
        values.push_back(std::round(mantissa(random) * 1e7) / 1000.0);
        // Decimals that end exactly half-way past the 15th digit.
        values.push_back((std::floor(mantissa(random) * 1e14) + 0.5) *
                         std::pow(10.0, exponent(random) - 14));
        double any = 0;
        const std::uint64_t b = bits(random);
        std::memcpy(&any, &b, sizeof any);
        if (std::isfinite(any)) {
            values.push_back(any);
        }
    }
    int mismatches = 0;
    for (const double v : values) {
        for (const double signed_ : {v, -v}) {
            for (const bool leadingZero : {false, true}) {
                const std::string fast = formatNumber(signed_, leadingZero);
                const std::string reference = referenceFormat(signed_, leadingZero);
                if (fast != reference && ++mismatches <= 10) {
                    ADD_FAILURE() << std::hexfloat << signed_ << ": " << fast << " vs "
                                  << reference;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
