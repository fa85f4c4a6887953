#include "groupwriter.h"

#include <charconv>

namespace karumenio::dxf {

void GroupWriter::code(int code) {
    char buffer[8];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, code);
    const auto digits = static_cast<std::size_t>(result.ptr - buffer);
    if (digits < 3) {
        m_out.append(3 - digits, ' ');
    }
    m_out.append(buffer, digits);
    m_out += "\r\n";
}

void GroupWriter::text(int code, std::string_view value) {
    this->code(code);
    m_out += value;
    m_out += "\r\n";
}

void GroupWriter::integer(int code, int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text(code, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

void GroupWriter::real(int code, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text(code, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

void GroupWriter::point(int code, double x, double y) {
    real(code, x);
    real(code + 10, y);
    real(code + 20, 0.0);
}

} // namespace karumenio::dxf
