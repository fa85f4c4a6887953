// The fallback number conversion against the standard library's: the first eight bytes as a
// double written in every form (the ninth byte picks a precision), and the whole input read
// as text. Both must give the same bytes, the same value and the same error.
#include "numeric/conversion.h"
#include "numeric/fallbackconversion.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

using namespace karumenio::numeric;

namespace {

void fail(const char* what, double value, int precision, std::string_view expected,
          std::string_view got) {
    std::fprintf(stderr, "%s of %a (precision %d): \"%.*s\" from the standard library, \"%.*s\"\n",
                 what, value, precision, static_cast<int>(expected.size()), expected.data(),
                 static_cast<int>(got.size()), got.data());
    std::abort();
}

template <class Standard, class Fallback>
void compareWriting(const char* what, double value, int precision, Standard standard,
                    Fallback fallback) {
    char expected[1100];
    char got[1100];
    const auto e = standard(expected, expected + sizeof expected);
    const auto g = fallback(got, got + sizeof got);
    const std::string_view expectedText(expected, static_cast<std::size_t>(e.ptr - expected));
    const std::string_view gotText(got, static_cast<std::size_t>(g.ptr - got));
    if (e.ec != g.ec || expectedText != gotText) {
        fail(what, value, precision, expectedText, gotText);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!kStandardFloatConversion) {
        return 0;
    }
    if (size >= sizeof(double)) {
        double x;
        std::memcpy(&x, data, sizeof x);
        const int precision = size > sizeof x ? data[sizeof x] % 40 : 14;
        compareWriting(
            "shorter", x, -1, [&](char* f, char* l) { return toChars(f, l, x); },
            [&](char* f, char* l) { return fallback::toChars(f, l, x); });
        for (const Notation n : {Notation::Fixed, Notation::Scientific}) {
            const char* name = n == Notation::Fixed ? "fixed" : "scientific";
            compareWriting(
                name, x, -1, [&](char* f, char* l) { return toChars(f, l, x, n); },
                [&](char* f, char* l) { return fallback::toChars(f, l, x, n); });
            compareWriting(
                name, x, precision,
                [&](char* f, char* l) { return toChars(f, l, x, n, precision); },
                [&](char* f, char* l) { return fallback::toChars(f, l, x, n, precision); });
        }
        if (bitCast<std::uint64_t>(x) != fallback::bitCast<std::uint64_t>(x)) {
            std::abort();
        }
    }

    const char* first = reinterpret_cast<const char*>(data);
    double expected = 42.0;
    double got = 42.0;
    const auto e = fromChars(first, first + size, expected);
    const auto g = fallback::fromChars(first, first + size, got);
    if (e.ptr != g.ptr || e.ec != g.ec ||
        bitCast<std::uint64_t>(expected) != bitCast<std::uint64_t>(got)) {
        std::fprintf(stderr,
                     "\"%.*s\": the standard library reads %td characters as %a (error %d), "
                     "the fallback %td as %a (error %d)\n",
                     static_cast<int>(size), first, e.ptr - first, expected,
                     static_cast<int>(e.ec), g.ptr - first, got, static_cast<int>(g.ec));
        std::abort();
    }
    return 0;
}
