#pragma once

// A strict JSON reader for the tests: it rejects whatever RFC 8259 does not allow (trailing
// commas, leading zeros, raw control characters or bytes that are not UTF-8 in strings, lone
// surrogates in escapes), so that a writer's output that reads here is JSON.

#include "spreadsheet/codepage.h"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::geodesy::test {

struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text; // the string's value, or the number as written
    std::vector<JsonValue> items;
    // An object's members in order of appearance: names and values apart, as a vector may
    // hold the type being defined but a pair may not.
    std::vector<std::string> names;
    std::vector<JsonValue> values;

    // The member of that name, or nullptr.
    const JsonValue* member(std::string_view name) const {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name) {
                return &values[i];
            }
        }
        return nullptr;
    }
};

class JsonReader {
  public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    // The one value the text holds, or nothing with error() saying where it went wrong.
    std::optional<JsonValue> read() {
        JsonValue value;
        if (!parseValue(value, 0)) {
            return std::nullopt;
        }
        skipBlanks();
        if (m_pos != m_text.size()) {
            failed("text after the value");
            return std::nullopt;
        }
        return value;
    }

    const std::string& error() const { return m_error; }

  private:
    // Notes the first fault and returns false.
    bool failed(const std::string& what) {
        if (m_error.empty()) {
            m_error = what + " at byte " + std::to_string(m_pos);
        }
        return false;
    }

    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }

    bool take(char c) {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool takeWord(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) == word) {
            m_pos += word.size();
            return true;
        }
        return false;
    }

    bool parseValue(JsonValue& value, int depth) {
        if (depth > 64) {
            return failed("nested too deeply");
        }
        skipBlanks();
        if (m_pos >= m_text.size()) {
            return failed("value missing");
        }
        const char c = m_text[m_pos];
        if (c == '{') {
            return parseObject(value, depth);
        }
        if (c == '[') {
            return parseArray(value, depth);
        }
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            return parseString(value.text);
        }
        if (takeWord("null")) {
            value.kind = JsonValue::Kind::Null;
            return true;
        }
        if (takeWord("true") || takeWord("false")) {
            value.kind = JsonValue::Kind::Boolean;
            value.boolean = m_text[m_pos - 1] == 'e' && m_text[m_pos - 2] == 'u';
            return true;
        }
        return parseNumber(value);
    }

    bool parseObject(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Object;
        ++m_pos;
        if (take('}')) {
            return true;
        }
        do {
            skipBlanks();
            std::string key;
            if (m_pos >= m_text.size() || m_text[m_pos] != '"' || !parseString(key)) {
                return failed("member name expected");
            }
            if (!take(':')) {
                return failed("':' expected");
            }
            JsonValue member;
            if (!parseValue(member, depth + 1)) {
                return false;
            }
            value.names.push_back(std::move(key));
            value.values.push_back(std::move(member));
        } while (take(','));
        return take('}') || failed("'}' expected");
    }

    bool parseArray(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Array;
        ++m_pos;
        if (take(']')) {
            return true;
        }
        do {
            JsonValue item;
            if (!parseValue(item, depth + 1)) {
                return false;
            }
            value.items.push_back(std::move(item));
        } while (take(','));
        return take(']') || failed("']' expected");
    }

    bool parseNumber(JsonValue& value) {
        const std::size_t start = m_pos;
        const auto digits = [this] {
            const std::size_t from = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
                ++m_pos;
            }
            return m_pos - from;
        };
        if (m_pos < m_text.size() && m_text[m_pos] == '-') {
            ++m_pos;
        }
        const std::size_t intStart = m_pos;
        const std::size_t intDigits = digits();
        if (intDigits == 0 || (intDigits > 1 && m_text[intStart] == '0')) {
            return failed("bad number");
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            if (digits() == 0) {
                return failed("digits expected after '.'");
            }
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) {
                ++m_pos;
            }
            if (digits() == 0) {
                return failed("exponent digits expected");
            }
        }
        value.kind = JsonValue::Kind::Number;
        value.text = std::string(m_text.substr(start, m_pos - start));
        std::from_chars(value.text.data(), value.text.data() + value.text.size(), value.number);
        return true;
    }

    static void appendUtf8(std::string& out, char32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    std::optional<char32_t> hex4() {
        if (m_pos + 4 > m_text.size()) {
            return std::nullopt;
        }
        char32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            value <<= 4;
            if (c >= '0' && c <= '9') {
                value |= static_cast<char32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                value |= static_cast<char32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                value |= static_cast<char32_t>(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
        }
        return value;
    }

    bool parseString(std::string& out) {
        ++m_pos; // the opening quote
        std::size_t rawStart = m_pos;
        const auto flushRaw = [&] {
            const std::string_view raw = m_text.substr(rawStart, m_pos - rawStart);
            if (!spreadsheet::isValidUtf8(raw)) {
                return false;
            }
            out.append(raw);
            return true;
        };
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                if (!flushRaw()) {
                    return failed("string not UTF-8");
                }
                ++m_pos;
                return true;
            }
            if (c < 0x20) {
                return failed("control character in a string");
            }
            if (c != '\\') {
                ++m_pos;
                continue;
            }
            if (!flushRaw()) {
                return failed("string not UTF-8");
            }
            ++m_pos;
            if (m_pos >= m_text.size()) {
                break;
            }
            const char e = m_text[m_pos++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                auto unit = hex4();
                if (!unit) {
                    return failed("bad \\u escape");
                }
                char32_t code = *unit;
                if (code >= 0xD800 && code <= 0xDBFF) {
                    if (!takeWord("\\u")) {
                        return failed("lone high surrogate");
                    }
                    const auto low = hex4();
                    if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                        return failed("bad low surrogate");
                    }
                    code = 0x10000 + ((code - 0xD800) << 10) + (*low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    return failed("lone low surrogate");
                }
                appendUtf8(out, code);
                break;
            }
            default:
                return failed("bad escape");
            }
            rawStart = m_pos;
        }
        return failed("string not closed");
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

} // namespace karumenio::geodesy::test
