#include "groupwriter.h"

#include "numeric/conversion.h"

#include <cmath>

namespace karumenio::dxf {

void GroupWriter::code(int code) {
    // Every code a drawing uses has at most three digits: written by hand, right-aligned.
    char line[5] = {' ', ' ', ' ', '\r', '\n'};
    for (int at = 2; at >= 0; --at) {
        line[at] = static_cast<char>('0' + code % 10);
        code /= 10;
        if (code == 0) {
            break;
        }
    }
    m_out.append(line, sizeof line);
}

void GroupWriter::text(int code, std::string_view value) {
    this->code(code);
    m_out += value;
    m_out += "\r\n";
}

void GroupWriter::integer(int code, int value) {
    char buffer[16];
    const auto result = numeric::toChars(buffer, buffer + sizeof buffer, value);
    text(code, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

void GroupWriter::real(int code, double value) {
    char buffer[32];
    std::to_chars_result result;
    // Whole numbers (every z, heights, flags) skip the shortest-form search.
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        result = numeric::toChars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
    } else {
        result = numeric::toChars(buffer, buffer + sizeof buffer, value);
    }
    text(code, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

void GroupWriter::point(int code, double x, double y) {
    real(code, x);
    real(code + 10, y);
    real(code + 20, 0.0);
}

} // namespace karumenio::dxf
