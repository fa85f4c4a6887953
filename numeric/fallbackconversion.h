#pragma once

// Double to text and back without the standard library's floating-point std::to_chars and
// std::from_chars, byte for byte what they give: the shortest digits from fmt's Dragonbox, the
// digits of a given precision from fmt, and the reading from fast_float. conversion.h calls
// these where the standard library lacks its own; the tests and the fuzzer compare the two
// wherever both are built (KARUMENIO_FALLBACK_CONVERSION defined).

#include "numeric/notation.h"

#include <charconv>
#include <cstring>
#include <type_traits>

namespace karumenio::numeric::fallback {

std::to_chars_result toChars(char* first, char* last, double value);
std::to_chars_result toChars(char* first, char* last, double value, Notation notation);
std::to_chars_result toChars(char* first, char* last, double value, Notation notation,
                             int precision);
std::from_chars_result fromChars(const char* first, const char* last, double& value);

template <class To, class From> To bitCast(const From& from) {
    static_assert(sizeof(To) == sizeof(From), "bitCast needs two types of one size");
    static_assert(std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>,
                  "bitCast copies bytes");
    static_assert(std::is_trivially_default_constructible_v<To>, "bitCast makes the result");
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

} // namespace karumenio::numeric::fallback
