#pragma once

// Numbers to text and text to numbers for the whole core: the same bytes on every platform and
// in every locale, "." as the separator. Where the standard library converts doubles itself
// (__cpp_lib_to_chars) its functions do it; where it does not, the same bytes come from
// fallbackconversion.h. The functions take and return what std::to_chars and std::from_chars
// do, and behave as they do.

#include "numeric/fallbackconversion.h"

#include <charconv>
#include <concepts>
#include <system_error>
#include <version>

#if defined(__cpp_lib_bit_cast)
#include <bit>
#endif

namespace karumenio::numeric {

#if defined(__cpp_lib_to_chars)
inline constexpr bool kStandardFloatConversion = true;

constexpr std::chars_format standardFormat(Notation notation) {
    return notation == Notation::Fixed ? std::chars_format::fixed : std::chars_format::scientific;
}
#else
inline constexpr bool kStandardFloatConversion = false;
#endif

// The shortest text that reads back as the same double: fixed or scientific, whichever is
// shorter, fixed on a tie ("1e+06", "10000", "0.001", "1e-04", "inf", "-0").
inline std::to_chars_result toChars(char* first, char* last, double value) {
#if defined(__cpp_lib_to_chars)
    return std::to_chars(first, last, value);
#else
    return fallback::toChars(first, last, value);
#endif
}

// The shortest text that reads back as the same double in the given notation. In fixed
// notation a whole number above 2^53 shows all its digits (1e23 gives
// "99999999999999991611392").
inline std::to_chars_result toChars(char* first, char* last, double value, Notation notation) {
#if defined(__cpp_lib_to_chars)
    return std::to_chars(first, last, value, standardFormat(notation));
#else
    return fallback::toChars(first, last, value, notation);
#endif
}

// Exactly `precision` digits after the point (6 for a negative one), the exact binary value
// rounded to nearest, ties to even, as printf's "%.*f" and "%.*e" do.
inline std::to_chars_result toChars(char* first, char* last, double value, Notation notation,
                                    int precision) {
#if defined(__cpp_lib_to_chars)
    return std::to_chars(first, last, value, standardFormat(notation), precision);
#else
    return fallback::toChars(first, last, value, notation, precision);
#endif
}

// A decimal ("-" but no "+", digits with an optional point, an optional exponent that is taken
// only when it has digits: "1e" reads as 1 and stops at "e"), "inf", "infinity" or "nan". A
// number beyond the range of a double, or one that is not zero but rounds to zero, gives
// std::errc::result_out_of_range and leaves value as it was.
inline std::from_chars_result fromChars(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars)
    return std::from_chars(first, last, value);
#else
    return fallback::fromChars(first, last, value);
#endif
}

// Integers: every standard library has these, they are here so that one header serves all.
template <std::integral Integer>
std::to_chars_result toChars(char* first, char* last, Integer value, int base = 10) {
    return std::to_chars(first, last, value, base);
}

template <std::integral Integer>
std::from_chars_result fromChars(const char* first, const char* last, Integer& value,
                                 int base = 10) {
    return std::from_chars(first, last, value, base);
}

// The bits of one object as another type of the same size.
template <class To, class From> To bitCast(const From& from) {
#if defined(__cpp_lib_bit_cast)
    return std::bit_cast<To>(from);
#else
    return fallback::bitCast<To>(from);
#endif
}

} // namespace karumenio::numeric
