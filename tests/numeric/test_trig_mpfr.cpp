// The correctly rounded sine, cosine and arc tangent against MPFR's correctly rounded values, over
// the arguments the plan computes and over the whole double range; also the results of the table of
// hard cases that the platforms without MPFR are tested on.
#include "trighardcases.h"

#include "numeric/conversion.h"
#include "numeric/precisetrig.h"
#include "numeric/trig.h"
#include "plan/degreesperradian.h"
#include "plan/drawingscale.h"
#include "plan/papersize.h"
#include "plan/rotationangle.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>

using namespace karumenio;

namespace {

// The Debug build with the sanitizers checks every tenth argument of each family.
#ifdef KARUMENIO_TRIG_FEW_ARGUMENTS
constexpr int kStride = 10;
#else
constexpr int kStride = 1;
#endif

enum class Function { Sin, Cos, Atan };

struct Mpfr {
    Mpfr() {
        mpfr_set_emin(-1073);
        mpfr_set_emax(1024);
        mpfr_inits2(53, x, s, c, static_cast<mpfr_ptr>(nullptr));
    }
    mpfr_t x, s, c;
};

// MPFR's value rounded to the nearest double, subnormals included.
double correct(Function f, double x) {
    static Mpfr m;
    mpfr_set_d(m.x, x, MPFR_RNDN);
    const int ternary = f == Function::Sin   ? mpfr_sin(m.s, m.x, MPFR_RNDN)
                        : f == Function::Cos ? mpfr_cos(m.s, m.x, MPFR_RNDN)
                                             : mpfr_atan(m.s, m.x, MPFR_RNDN);
    mpfr_subnormalize(m.s, ternary, MPFR_RNDN);
    return mpfr_get_d(m.s, MPFR_RNDN);
}

std::string hex(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%a", x);
    return text;
}

bool same(double a, double b) {
    return numeric::bitCast<std::uint64_t>(a) == numeric::bitCast<std::uint64_t>(b) ||
           (std::isnan(a) && std::isnan(b));
}

// Counts a family's arguments and where we, or the C library, differ from MPFR; the C
// library's differences are printed, not failed.
class Tally {
  public:
    explicit Tally(std::string family) : m_family(std::move(family)) {}
    ~Tally() {
        std::cout << m_family << ": " << m_arguments << " arguments, " << m_mismatches
                  << " mismatches; the C library differs at " << m_libraryDiffers << m_library
                  << "\n";
        EXPECT_EQ(m_mismatches, 0) << m_family << m_examples;
    }

    void check(Function f, double x) {
        const double expected = correct(f, x);
        record(f, x,
               f == Function::Sin   ? numeric::sin(x)
               : f == Function::Cos ? numeric::cos(x)
                                    : numeric::atan(x),
               expected);
        const double library = f == Function::Sin   ? std::sin(x)
                               : f == Function::Cos ? std::cos(x)
                                                    : std::atan(x);
        if (!same(library, expected) && ++m_libraryDiffers <= 8) {
            m_library += "\n  " + hex(x) + " gives " + hex(library) + ", not " + hex(expected);
        }
    }
    void checkSinCos(double x) {
        check(Function::Sin, x);
        check(Function::Cos, x);
    }
    void record(Function f, double x, double got, double expected) {
        ++m_arguments;
        if (!same(got, expected) && ++m_mismatches <= 8) {
            const char* name = f == Function::Sin ? "sin" : f == Function::Cos ? "cos" : "atan";
            m_examples += "\n  " + std::string(name) + "(" + hex(x) + ") = " + hex(got) + ", not " +
                          hex(expected);
        }
    }

  private:
    std::string m_family;
    long m_arguments = 0;
    long m_mismatches = 0;
    long m_libraryDiffers = 0;
    std::string m_examples;
    std::string m_library;
};

// Radians of the plan are degrees / kDegreesPerRadian.
const double kDegreesPerRadian = plan::degreesPerRadian();

double randomDouble(std::mt19937_64& random) {
    double x = numeric::bitCast<double>(random());
    return std::isfinite(x) ? x : 1.0;
}

TEST(TrigMpfr, EveryWholeAngleOfTheAngleBox) {
    Tally tally("ddd.mmss angles 0.0000-359.5959, rotation and label direction");
    for (int n = 0; n < 360 * 3600; n += kStride) {
        char text[16];
        std::snprintf(text, sizeof text, "%d.%02d%02d", n / 3600, n / 60 % 60, n % 60);
        const double degrees = plan::RotationAngle(text).degrees();
        tally.checkSinCos(degrees / kDegreesPerRadian);
        tally.checkSinCos((90 - degrees) / kDegreesPerRadian);
    }
}

TEST(TrigMpfr, FrameCornersAndDiagonals) {
    Tally tally("frame: paper corners, slopes of sheets and of random extents, directions");
    for (const plan::PaperSize& paper : plan::kPaperSizes) {
        const double second = paper.firstCornerAngle + 180 - 360 * (paper.firstCornerAngle > 180);
        for (const double degrees : {paper.firstCornerAngle, second, 45.0, 225.0}) {
            const double x = degrees / kDegreesPerRadian;
            for (const double y : {std::nextafter(x, 0.0), x, std::nextafter(x, 8.0)}) {
                tally.checkSinCos(y);
            }
        }
    }
    // The diagonal from the extents, as the frame forms it, with the zero guard.
    auto diagonal = [&](double dx, double dy) {
        dx = dx == 0 ? 1E-19 : dx;
        dy = dy == 0 ? 1E-19 : dy;
        tally.check(Function::Atan, dy / dx);
        const double degrees = numeric::atan(dy / dx) * kDegreesPerRadian;
        tally.checkSinCos((degrees + (dx < 0             ? 180
                                      : dx > 0 && dy < 0 ? 360
                                                         : 0)) /
                          kDegreesPerRadian);
    };
    for (const plan::PaperSize& paper : plan::kPaperSizes) {
        for (const plan::DrawingScale& scale : plan::kDrawingScales) {
            const double w = paper.sheetWidth * scale.factor;
            const double h = paper.sheetHeight * scale.factor;
            for (const auto& [dx, dy] : {std::pair{w, h}, {h, w}, {-w, h}, {w, -h}, {-h, -w}}) {
                diagonal(dx, dy);
            }
        }
    }
    // Survey coordinates to the millimetre; some extents a single point wide or tall.
    std::mt19937_64 random(7);
    std::uniform_int_distribution<long> millimetres(-200'000'000, 200'000'000);
    for (int i = 0; i < 300'000 / kStride; ++i) {
        const double a = static_cast<double>(millimetres(random)) / 1000;
        const double b = static_cast<double>(millimetres(random)) / 1000;
        const double c = static_cast<double>(millimetres(random)) / 1000;
        const double e = static_cast<double>(millimetres(random)) / 1000;
        diagonal(i % 50 == 0 ? 0.0 : b - a, i % 50 == 1 ? 0.0 : e - c);
    }
}

TEST(TrigMpfr, RandomArguments) {
    std::mt19937_64 random(11);
    {
        Tally tally("radians within two turns, degrees taken as radians, slopes 1e-25 to 1e25");
        std::uniform_real_distribution<double> radians(-13.0, 13.0);
        std::uniform_real_distribution<double> degrees(-800.0, 800.0);
        std::uniform_real_distribution<double> exponent(-25.0, 25.0);
        for (int i = 0; i < 400'000 / kStride; ++i) {
            tally.checkSinCos(i % 2 == 0 ? radians(random) : degrees(random));
            tally.check(Function::Atan, (i % 2 == 0 ? 1 : -1) * std::pow(10.0, exponent(random)));
        }
    }
    Tally tally("random bit patterns: every finite double equally likely");
    for (int i = 0; i < 200'000 / kStride; ++i) {
        const double x = randomDouble(random);
        tally.checkSinCos(x);
        tally.check(Function::Atan, x);
    }
}

TEST(TrigMpfr, MultiplesOfQuarterPiAndTheirNeighbours) {
    Tally tally("nearest doubles to k·π/4 and 3 ulps either side, k to 2^50, both signs");
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> large(0x1p20, 0x1p50);
    mpfr_t v;
    mpfr_init2(v, 256);
    for (int i = 1; i <= 40'000 / kStride; ++i) {
        mpfr_const_pi(v, MPFR_RNDN);
        mpfr_mul_d(v, v, i <= 30'000 / kStride ? i : std::floor(large(random)), MPFR_RNDN);
        mpfr_div_2ui(v, v, 2, MPFR_RNDN);
        double x = mpfr_get_d(v, MPFR_RNDN);
        x = std::nextafter(std::nextafter(std::nextafter(x, 0.0), 0.0), 0.0);
        for (int step = 0; step < 7; ++step, x = std::nextafter(x, 1e300)) {
            tally.checkSinCos(x);
            tally.checkSinCos(-x);
        }
    }
    mpfr_clear(v);
}

TEST(TrigMpfr, PreciseEvaluationAlone) {
    // The fallback decides only a few arguments in a million, so it is checked on its own.
    Tally tally("the multiple-precision evaluation called directly");
    std::mt19937_64 random(19);
    std::uniform_real_distribution<double> significand(1.0, 2.0);
    for (int i = 0; i < 6'000 / kStride; ++i) {
        // One argument in ten also from the wider evaluations, which no known argument needs.
        const int limbs = i % 10 == 0 ? 24 : i % 10 == 1 ? 12 : 6;
        // 2^-26 to 2^55, the arc tangent's range, and anywhere above 2^-26.
        double x = std::ldexp(significand(random), static_cast<int>(random() % 81) - 26);
        x = i % 2 == 0 ? x : -x;
        double anywhere = randomDouble(random);
        anywhere = std::fabs(anywhere) < 0x1p-26 ? x : anywhere;
        for (const double y : {x, anywhere}) {
            tally.record(Function::Sin, y, numeric::preciseSin(y, limbs),
                         correct(Function::Sin, y));
            tally.record(Function::Cos, y, numeric::preciseCos(y, limbs),
                         correct(Function::Cos, y));
        }
        tally.record(Function::Atan, x, numeric::preciseAtan(x, limbs), correct(Function::Atan, x));
    }
}

// With KARUMENIO_REGENERATE_GOLDEN=1 rewrites the results of the table from MPFR instead.
TEST(TrigMpfr, HardCaseTableHoldsMpfrValues) {
    const char* regenerate = std::getenv("KARUMENIO_REGENERATE_GOLDEN");
    const bool rewrite = regenerate != nullptr && std::string(regenerate) == "1";
    std::ifstream in(numeric::test::hardCasePath());
    std::string text;
    int rows = 0;
    for (std::string line; std::getline(in, line); text += line + "\n") {
        if (const auto c = numeric::test::parseHardCase(line)) {
            ++rows;
            const Function f = c->function == "sin"   ? Function::Sin
                               : c->function == "cos" ? Function::Cos
                                                      : Function::Atan;
            const auto result =
                numeric::bitCast<std::uint64_t>(correct(f, numeric::bitCast<double>(c->argument)));
            EXPECT_TRUE(rewrite || result == c->result) << line;
            char row[64];
            std::snprintf(row, sizeof row, "%s %016llx %016llx ", c->function.c_str(),
                          static_cast<unsigned long long>(c->argument),
                          static_cast<unsigned long long>(result));
            line = row + c->what;
        }
    }
    EXPECT_GT(rows, 0);
    if (rewrite) {
        in.close();
        std::ofstream(numeric::test::hardCasePath()) << text;
    }
}

} // namespace
