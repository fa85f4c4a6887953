#pragma once

#include <string>

namespace karumenio::spreadsheet {

// Appends the number with at most 15 significant digits, trailing zeros dropped, "." as the
// separator whatever the locale, and the exponent form ("1E+15", "2.5E-17") for magnitudes of
// 10 to the 15th or more and below 0.0001. withLeadingZero decides between ".5" and "0.5"; a
// negative number gets "-", nothing else gets a sign.
void appendNumber(std::string& out, double value, bool withLeadingZero);

std::string formatNumber(double value, bool withLeadingZero);

} // namespace karumenio::spreadsheet
