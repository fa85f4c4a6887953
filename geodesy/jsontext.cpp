#include "jsontext.h"

#include "spreadsheet/ascii.h"
#include "spreadsheet/codepage.h"

namespace karumenio::geodesy {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

void appendAsciiEscaped(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
        constexpr char kHex[] = "0123456789abcdef";
        out += "\\u00";
        out += kHex[(c >> 4) & 0xf];
        out += kHex[c & 0xf];
        return;
    }
    out += c;
}

std::size_t digitsFrom(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && spreadsheet::ascii::isDigit(text[end])) {
        ++end;
    }
    return end;
}

} // namespace

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            appendAsciiEscaped(out, text[pos]);
            ++pos;
            continue;
        }
        const std::size_t length = spreadsheet::utf8SequenceLength(lead);
        if (pos + length <= text.size() && length > 1 &&
            spreadsheet::isValidUtf8(text.substr(pos, length))) {
            out.append(text, pos, length);
            pos += length;
        } else {
            out += kReplacementCharacter;
            ++pos;
        }
    }
    out += '"';
}

bool isJsonNumber(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '-') {
        ++pos;
    }
    if (pos < text.size() && text[pos] == '0') {
        ++pos;
    } else {
        const std::size_t end = digitsFrom(text, pos);
        if (end == pos) {
            return false;
        }
        pos = end;
    }
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t end = digitsFrom(text, pos + 1);
        if (end == pos + 1) {
            return false;
        }
        pos = end;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        const std::size_t end = digitsFrom(text, pos);
        if (end == pos) {
            return false;
        }
        pos = end;
    }
    return pos == text.size();
}

} // namespace karumenio::geodesy
