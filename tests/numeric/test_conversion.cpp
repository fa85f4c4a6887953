// Number conversion: the cases the callers rely on, for the functions this platform uses and,
// where it is built, for the fallback as well; and the fallback against the standard library on
// random doubles and texts wherever the standard library has its own.
#include "numeric/conversion.h"
#include "numeric/fallbackconversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace karumenio;
using numeric::Notation;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kSmallest = std::numeric_limits<double>::denorm_min();

// One implementation of the four conversions.
struct Conversions {
    std::string name;
    std::to_chars_result (*shortest)(char*, char*, double);
    std::to_chars_result (*inNotation)(char*, char*, double, Notation);
    std::to_chars_result (*withPrecision)(char*, char*, double, Notation, int);
    std::from_chars_result (*read)(const char*, const char*, double&);
};

void PrintTo(const Conversions& c, std::ostream* out) {
    *out << c.name;
}

const Conversions kSelected{
    "selected",
    [](char* f, char* l, double v) { return numeric::toChars(f, l, v); },
    [](char* f, char* l, double v, Notation n) { return numeric::toChars(f, l, v, n); },
    [](char* f, char* l, double v, Notation n, int p) { return numeric::toChars(f, l, v, n, p); },
    [](const char* f, const char* l, double& v) { return numeric::fromChars(f, l, v); },
};

#ifdef KARUMENIO_FALLBACK_CONVERSION
const Conversions kFallback{
    "fallback",
    [](char* f, char* l, double v) { return numeric::fallback::toChars(f, l, v); },
    [](char* f, char* l, double v, Notation n) { return numeric::fallback::toChars(f, l, v, n); },
    [](char* f, char* l, double v, Notation n, int p) {
        return numeric::fallback::toChars(f, l, v, n, p);
    },
    [](const char* f, const char* l, double& v) { return numeric::fallback::fromChars(f, l, v); },
};
#endif

// The form a number is written in: the shorter of the two notations, or one of them with the
// shortest digits or with a precision.
struct Form {
    std::optional<Notation> notation;
    std::optional<int> precision;
};
const Form kShorter{};
const Form kFixed{Notation::Fixed, std::nullopt};
const Form kScientific{Notation::Scientific, std::nullopt};
Form fixed(int precision) {
    return {Notation::Fixed, precision};
}
Form scientific(int precision) {
    return {Notation::Scientific, precision};
}

std::to_chars_result convert(const Conversions& c, char* first, char* last, double value,
                             Form form) {
    if (!form.notation) {
        return c.shortest(first, last, value);
    }
    if (!form.precision) {
        return c.inNotation(first, last, value, *form.notation);
    }
    return c.withPrecision(first, last, value, *form.notation, *form.precision);
}

std::string write(const Conversions& c, double value, Form form) {
    char buffer[1100];
    const std::to_chars_result result = convert(c, buffer, buffer + sizeof buffer, value, form);
    EXPECT_EQ(result.ec, std::errc()) << c.name;
    return std::string(buffer, result.ptr);
}

std::string describe(Form form) {
    const std::string name = !form.notation                      ? "shorter"
                             : *form.notation == Notation::Fixed ? "fixed"
                                                                 : "scientific";
    return form.precision ? name + " " + std::to_string(*form.precision) : name;
}

std::string zeros(int count) {
    return std::string(static_cast<std::size_t>(count), '0');
}

struct WriteCase {
    const char* what;
    double value;
    Form form;
    std::string expected;
};

const WriteCase kWriteCases[] = {
    // The shorter notation, fixed on a tie (DXF group values).
    {"zero", 0.0, kShorter, "0"},
    {"negative zero keeps its sign", -0.0, kShorter, "-0"},
    {"coordinate", 1234.5678, kShorter, "1234.5678"},
    {"negative fraction", -0.3, kShorter, "-0.3"},
    {"ten thousand ties", 1e4, kShorter, "10000"},
    {"a hundred thousand", 1e5, kShorter, "1e+05"},
    {"a million", 1e6, kShorter, "1e+06"},
    {"two digits, tie at e+06", 1.2e6, kShorter, "1200000"},
    {"four digits, tie at e+08", 123400000.0, kShorter, "123400000"},
    {"four digits beyond the tie", 1234000000.0, kShorter, "1.234e+09"},
    {"a thousandth ties", 1e-3, kShorter, "0.001"},
    {"a ten-thousandth", 1e-4, kShorter, "1e-04"},
    {"four digits, tie at e-04", 0.0001234, kShorter, "0.0001234"},
    {"four digits beyond the tie", 1.234e-5, kShorter, "1.234e-05"},
    {"whole number with its exact digits", 12345678901234567e1, kShorter, "123456789012345664"},
    {"whole number whose digits end in zero", 123456789012345680.0, kShorter, "123456789012345680"},
    {"1e23", 1e23, kShorter, "1e+23"},
    {"three-digit exponent", 1e100, kShorter, "1e+100"},
    {"largest", kMax, kShorter, "1.7976931348623157e+308"},
    {"smallest subnormal", kSmallest, kShorter, "5e-324"},
    {"negative with 17 digits", -0.1 - 0.2, kShorter, "-0.30000000000000004"},
    {"infinity", kInf, kShorter, "inf"},
    {"negative infinity", -kInf, kShorter, "-inf"},
    {"NaN", kNaN, kShorter, "nan"},
    {"negative NaN", -kNaN, kShorter, "-nan"},
    // Fixed with the shortest digits (the angle box's ddd.mmss).
    {"angle", 130.1001, kFixed, "130.1001"},
    {"fixed zero", 0.0, kFixed, "0"},
    {"fixed negative zero", -0.0, kFixed, "-0"},
    {"1e23 with all its digits", 1e23, kFixed, "99999999999999991611392"},
    {"1e22 is exact", 1e22, kFixed, "10000000000000000000000"},
    {"2^53 + 1 reads as 2^53", 9007199254740993.0, kFixed, "9007199254740992"},
    {"a million in fixed", 1e6, kFixed, "1000000"},
    {"small in fixed", 1.234e-5, kFixed, "0.00001234"},
    {"smallest subnormal in fixed", kSmallest, kFixed, "0." + zeros(323) + "5"},
    {"largest in fixed", kMax, kFixed,
     "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895586"
     "3276687817154045895351438246423432132688946418276846754670353751698604991057655128207624549"
     "0090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738"
     "177180919299881250404026184124858368"},
    {"fixed infinity", -kInf, kFixed, "-inf"},
    // Scientific with the shortest digits (the number format's 15 digits).
    {"scientific", 123.456, kScientific, "1.23456e+02"},
    {"scientific one digit", 1e23, kScientific, "1e+23"},
    {"scientific zero", 0.0, kScientific, "0e+00"},
    {"scientific negative zero", -0.0, kScientific, "-0e+00"},
    {"scientific subnormal", kSmallest, kScientific, "5e-324"},
    {"scientific 17 digits", 0.1 + 0.2, kScientific, "3.0000000000000004e-01"},
    // Fixed with decimals (cell formats such as "0.000"), the exact value rounded, ties to even.
    {"exact tie rounds to even, down", 0.125, fixed(2), "0.12"},
    {"exact tie rounds to even, up", 0.375, fixed(2), "0.38"},
    {"2.5 to whole", 2.5, fixed(0), "2"},
    {"1.5 to whole", 1.5, fixed(0), "2"},
    {"-1.5 to whole", -1.5, fixed(0), "-2"},
    {"1.005 lies below the half", 1.005, fixed(2), "1.00"},
    {"0.1 as it is stored", 0.1, fixed(20), "0.10000000000000000555"},
    {"negative zero with decimals", -0.0, fixed(2), "-0.00"},
    {"1e23 with decimals", 1e23, fixed(2), "99999999999999991611392.00"},
    {"subnormal to 30 decimals", kSmallest, fixed(30), "0." + zeros(30)},
    {"thirty decimals", 2.0 / 3.0, fixed(30), "0.666666666666666629659232512495"},
    {"NaN with decimals", kNaN, fixed(3), "nan"},
    {"a negative precision is printf's six", 1.25, fixed(-3), "1.250000"},
    // Scientific with decimals (15 significant digits; the general cell format).
    {"fourteen decimals", 123.45, scientific(14), "1.23450000000000e+02"},
    {"0.1 to fourteen decimals", 0.1, scientific(14), "1.00000000000000e-01"},
    {"tie in scientific rounds to even", 0.125, scientific(1), "1.2e-01"},
    {"9.5 rounds up to the next power", 9.5, scientific(0), "1e+01"},
    {"8.5 stays", 8.5, scientific(0), "8e+00"},
    {"1e23 to two decimals", 1e23, scientific(2), "1.00e+23"},
    {"subnormal to 30 decimals", kSmallest, scientific(30),
     "4.940656458412465441765687928682e-324"},
    {"largest to nine decimals", kMax, scientific(9), "1.797693135e+308"},
    {"scientific zero with decimals", 0.0, scientific(5), "0.00000e+00"},
    {"scientific infinity", kInf, scientific(5), "inf"},
    {"negative precision in scientific", 1.25, scientific(-1), "1.250000e+00"},
};

struct ReadCase {
    const char* text;
    std::ptrdiff_t consumed;
    std::errc error;
    double expected; // 42 where the value must stay as it was
};

constexpr double kUnchanged = 42.0;

const ReadCase kReadCases[] = {
    {"1234.5678", 9, std::errc(), 1234.5678},
    {"-0.3", 4, std::errc(), -0.3},
    {"1E5", 3, std::errc(), 1e5},
    {"1.5e+3x", 6, std::errc(), 1500.0},
    {".5", 2, std::errc(), 0.5},
    {"-.5", 3, std::errc(), -0.5},
    {"1.", 2, std::errc(), 1.0},
    {"1 ", 1, std::errc(), 1.0},
    {"0x10", 1, std::errc(), 0.0},
    // An exponent without digits is not part of the number.
    {"1e", 1, std::errc(), 1.0},
    {"1e+", 1, std::errc(), 1.0},
    {"2E-x", 1, std::errc(), 2.0},
    // What is not a number at all.
    {"", 0, std::errc::invalid_argument, kUnchanged},
    {"+1", 0, std::errc::invalid_argument, kUnchanged},
    {" 1", 0, std::errc::invalid_argument, kUnchanged},
    {"-", 0, std::errc::invalid_argument, kUnchanged},
    {".", 0, std::errc::invalid_argument, kUnchanged},
    {"e5", 0, std::errc::invalid_argument, kUnchanged},
    // Beyond the range, or not zero but rounding to zero: reported, the value left alone.
    {"1e309", 5, std::errc::result_out_of_range, kUnchanged},
    {"-1e309", 6, std::errc::result_out_of_range, kUnchanged},
    {"1.7976931348623159e308", 22, std::errc::result_out_of_range, kUnchanged},
    {"1e400000000000000000000", 23, std::errc::result_out_of_range, kUnchanged},
    {"1e-400", 6, std::errc::result_out_of_range, kUnchanged},
    {"-1e-400", 7, std::errc::result_out_of_range, kUnchanged},
    {"2.4703282292062327e-324", 23, std::errc::result_out_of_range, kUnchanged},
    {"00000000000000000000000000001e-400", 34, std::errc::result_out_of_range, kUnchanged},
    {"0.0000000001e-5000000000000", 27, std::errc::result_out_of_range, kUnchanged},
    // The edges of the range, and zeros with any exponent.
    {"1.7976931348623158e308", 22, std::errc(), kMax},
    {"2.4703282292062328e-324", 23, std::errc(), kSmallest},
    {"0e999999", 8, std::errc(), 0.0},
    {"-0.000e-99999", 13, std::errc(), -0.0},
    // Correct rounding: a tie to even, and a tie broken by a digit far along.
    {"9007199254740993", 16, std::errc(), 9007199254740992.0},
    {"9007199254740993.000000000000000000000000001", 44, std::errc(), 9007199254740994.0},
    {"0.1000000000000000055511151231257827021181583404541015625", 57, std::errc(), 0.1},
    // The special values the standard library reads.
    {"inf", 3, std::errc(), kInf},
    {"-INF", 4, std::errc(), -kInf},
    {"infinity", 8, std::errc(), kInf},
    {"infx", 3, std::errc(), kInf},
    {"nan", 3, std::errc(), kNaN},
    {"-nan", 4, std::errc(), -kNaN},
    {"nan(123)", 8, std::errc(), kNaN},
    {"nan(12", 3, std::errc(), kNaN},
};

class Conversion : public testing::TestWithParam<Conversions> {};

TEST_P(Conversion, WritesTheBytesCallersRelyOn) {
    for (const WriteCase& c : kWriteCases) {
        EXPECT_EQ(write(GetParam(), c.value, c.form), c.expected) << c.what;
    }
}

TEST_P(Conversion, ReadsAsFromCharsReads) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        const std::string text = c.text;
        double value = kUnchanged;
        const auto result = GetParam().read(text.data(), text.data() + text.size(), value);
        EXPECT_EQ(result.ptr - text.data(), c.consumed);
        EXPECT_EQ(result.ec, c.error);
        EXPECT_EQ(numeric::bitCast<std::uint64_t>(value),
                  numeric::bitCast<std::uint64_t>(c.expected));
    }
}

// Doubles of every kind: random bit patterns, surveyed-looking decimals, whole numbers, and
// neighbours of powers of ten, where the digits change their count.
std::vector<double> sampleDoubles(int count) {
    std::mt19937_64 random(23);
    std::uniform_int_distribution<long long> millimetres(-10'000'000'000, 10'000'000'000);
    std::uniform_int_distribution<int> power(-330, 310);
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
        double x = 0.0;
        switch (i % 4) {
        case 0:
            x = numeric::bitCast<double>(random());
            break;
        case 1:
            x = static_cast<double>(millimetres(random)) / 1000;
            break;
        case 2:
            x = static_cast<double>(millimetres(random)) * static_cast<double>(1 + i % 1000000);
            break;
        default:
            x = std::pow(10.0, power(random));
            x = i % 3 == 0 ? std::nextafter(x, 0.0) : i % 3 == 1 ? x : std::nextafter(x, kInf);
        }
        values.push_back(x);
    }
    return values;
}

TEST_P(Conversion, ShortestFormsReadBackAsTheSameDouble) {
    for (const double x : sampleDoubles(20000)) {
        if (!std::isfinite(x)) {
            continue;
        }
        const std::string shorter = write(GetParam(), x, kShorter);
        const std::string inFixed = write(GetParam(), x, kFixed);
        const std::string inScientific = write(GetParam(), x, kScientific);
        for (const std::string& text : {shorter, inFixed, inScientific}) {
            double back = 0.0;
            const auto result = GetParam().read(text.data(), text.data() + text.size(), back);
            EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
            EXPECT_EQ(numeric::bitCast<std::uint64_t>(back), numeric::bitCast<std::uint64_t>(x))
                << text;
        }
        // The shorter of the two, fixed on a tie.
        const std::string& expected = inScientific.size() < inFixed.size() ? inScientific : inFixed;
        EXPECT_EQ(shorter, expected);
    }
}

TEST_P(Conversion, ReportsAFullBuffer) {
    char buffer[6];
    char* last = buffer + sizeof buffer;
    for (const Form form : {kShorter, kFixed, kScientific, fixed(2), scientific(3)}) {
        const std::to_chars_result result = convert(GetParam(), buffer, last, -1234.5678, form);
        EXPECT_EQ(result.ec, std::errc::value_too_large);
        EXPECT_EQ(result.ptr, last);
    }
}

std::vector<Conversions> implementations() {
#ifdef KARUMENIO_FALLBACK_CONVERSION
    return {kSelected, kFallback};
#else
    return {kSelected};
#endif
}

INSTANTIATE_TEST_SUITE_P(Numeric, Conversion, testing::ValuesIn(implementations()),
                         [](const auto& info) { return info.param.name; });

#ifdef KARUMENIO_FALLBACK_CONVERSION
// Where the standard library converts doubles itself, the fallback must give its bytes: the
// browser build relies on it without a standard library to compare with.
TEST(FallbackConversion, GivesTheStandardLibrarysBytes) {
    if (!numeric::kStandardFloatConversion) {
        GTEST_SKIP() << "this standard library has no floating-point to_chars";
    }
    int compared = 0;
    for (const double x : sampleDoubles(4000)) {
        std::vector<Form> forms = {kShorter, kFixed, kScientific};
        for (int precision = 0; precision <= 17; precision += 1 + compared % 3) {
            forms.push_back(fixed(precision));
            forms.push_back(scientific(precision));
        }
        for (const Form form : forms) {
            ++compared;
            ASSERT_EQ(write(kFallback, x, form), write(kSelected, x, form))
                << std::hexfloat << x << " " << describe(form);
        }
    }
    EXPECT_GT(compared, 40000);
}

// Texts built from the pieces numbers are made of, most of them numbers, some broken.
TEST(FallbackConversion, ReadsAsTheStandardLibraryReads) {
    if (!numeric::kStandardFloatConversion) {
        GTEST_SKIP() << "this standard library has no floating-point from_chars";
    }
    static const char* const kPieces[] = {"0",   "1",   "5",     "9",     "12345678901234567890",
                                          "000", ".",   "e",     "E",     "-",
                                          "+",   "e-3", "e+308", "e-330", "inf",
                                          "nan", "(",   ")",     "x",     " "};
    std::mt19937 random(29);
    std::uniform_int_distribution<int> piece(0, static_cast<int>(std::size(kPieces)) - 1);
    std::uniform_int_distribution<int> length(1, 8);
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += kPieces[piece(random)];
        }
        double standard = kUnchanged;
        double ours = kUnchanged;
        const auto expected = numeric::fromChars(text.data(), text.data() + text.size(), standard);
        const auto got = numeric::fallback::fromChars(text.data(), text.data() + text.size(), ours);
        ASSERT_EQ(got.ptr, expected.ptr) << text;
        ASSERT_EQ(got.ec, expected.ec) << text;
        ASSERT_EQ(numeric::bitCast<std::uint64_t>(ours), numeric::bitCast<std::uint64_t>(standard))
            << text;
    }
}
#endif

TEST(BitCast, GivesTheBitsOfTheDouble) {
    EXPECT_EQ(numeric::bitCast<std::uint64_t>(1.0), 0x3ff0000000000000u);
    EXPECT_EQ(numeric::bitCast<std::uint64_t>(-0.0), 0x8000000000000000u);
    EXPECT_EQ(numeric::bitCast<double>(std::uint64_t{1}), kSmallest);
    for (const double x : sampleDoubles(1000)) {
        const auto bits = numeric::bitCast<std::uint64_t>(x);
        EXPECT_EQ(numeric::fallback::bitCast<std::uint64_t>(x), bits);
        EXPECT_EQ(numeric::bitCast<std::uint64_t>(numeric::fallback::bitCast<double>(bits)), bits);
    }
}

} // namespace
