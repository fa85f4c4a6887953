#include "cellvalue.h"

#include "decimalscan.h"
#include "messagetext.h"
#include "numberformat.h"
#include "runtimeerror.h"

#include "numeric/conversion.h"

#include <cmath>

namespace karumenio::spreadsheet {

namespace {

[[noreturn]] void throwTypeMismatch(const std::string& shown) {
    throw RunTimeError(RunError::TypeMismatch, "型が一致しません: 「" + quotedInMessage(shown) +
                                                   "」は数値として読めません。");
}

std::string booleanText(bool value) {
    return value ? "TRUE" : "FALSE";
}

} // namespace

CellValue CellValue::number(double value) {
    CellValue v;
    v.m_value = value;
    return v;
}

namespace {

std::shared_ptr<const std::string> sharedText(std::string text) {
    // Formulas yield empty text by the thousand; they need no text of their own.
    static const auto empty = std::make_shared<const std::string>();
    return text.empty() ? empty : std::make_shared<const std::string>(std::move(text));
}

} // namespace

CellValue CellValue::text(std::string value) {
    CellValue v;
    v.m_value = TextValue{sharedText(std::move(value))};
    return v;
}

CellValue CellValue::boolean(bool value) {
    CellValue v;
    v.m_value = value;
    return v;
}

CellValue CellValue::error(std::string code) {
    CellValue v;
    v.m_value = ErrorValue{sharedText(std::move(code))};
    return v;
}

CellValue::Kind CellValue::kind() const {
    return static_cast<Kind>(m_value.index());
}

double CellValue::numberValue() const {
    return std::get<double>(m_value);
}

const std::string& CellValue::textValue() const {
    return *std::get<TextValue>(m_value).text;
}

bool CellValue::booleanValue() const {
    return std::get<bool>(m_value);
}

const std::string& CellValue::errorCode() const {
    return *std::get<ErrorValue>(m_value).code;
}

bool operator==(const CellValue& a, const CellValue& b) {
    if (a.kind() != b.kind()) {
        return false;
    }
    switch (a.kind()) {
    case CellValue::Kind::Empty:
        return true;
    case CellValue::Kind::Number:
        return a.numberValue() == b.numberValue();
    case CellValue::Kind::Text:
        return a.textValue() == b.textValue();
    case CellValue::Kind::Boolean:
        return a.booleanValue() == b.booleanValue();
    case CellValue::Kind::Error:
        return a.errorCode() == b.errorCode();
    }
    return false;
}

bool CellValue::equalsEmptyText() const {
    switch (kind()) {
    case Kind::Empty:
        return true;
    case Kind::Text:
        return textValue().empty();
    default:
        return false;
    }
}

bool CellValue::equalsZero() const {
    return toNumber() == 0.0;
}

double CellValue::toNumber() const {
    switch (kind()) {
    case Kind::Empty:
        return 0.0;
    case Kind::Number:
        return numberValue();
    case Kind::Boolean:
        // True takes part as -1, as the scripting runtime has always counted it.
        return booleanValue() ? -1.0 : 0.0;
    case Kind::Text:
        if (auto n = readNumber(textValue())) {
            return *n;
        }
        throwTypeMismatch(textValue());
    case Kind::Error:
        throwTypeMismatch(errorCode());
    }
    return 0.0;
}

std::string CellValue::strForm() const {
    const double n = toNumber();
    const std::string digits = formatNumber(n, false);
    return std::signbit(n) && n != 0.0 ? digits : " " + digits;
}

std::string CellValue::textForm() const {
    // Text is trimmed where it is held, without a copy of the whole first.
    if (isText()) {
        return trimBlanks(textValue());
    }
    return trimBlanks(joinForm());
}

std::string CellValue::joinForm() const {
    switch (kind()) {
    case Kind::Empty:
        return {};
    case Kind::Number:
        return formatNumber(numberValue(), true);
    case Kind::Text:
        return textValue();
    case Kind::Boolean:
        return booleanText(booleanValue());
    case Kind::Error:
        return errorCode();
    }
    return {};
}

std::optional<double> readNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view s = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    // from_chars reads "." as the separator whatever the locale; it takes no "+" sign.
    const std::size_t start = s[0] == '+' || s[0] == '-' ? 1 : 0;
    const DecimalScan scan = scanDecimal(s, start);
    if (scan.digits == 0 || scan.end != s.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto result =
        numeric::fromChars(s.data() + (s[0] == '+' ? 1 : 0), s.data() + s.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string trimWideBlanks(std::string_view text) {
    constexpr std::string_view kWideBlank = "\u3000";
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        for (const std::string_view blank : {std::string_view(" "), kWideBlank}) {
            if (text.starts_with(blank)) {
                text.remove_prefix(blank.size());
                trimmed = true;
            }
            if (text.ends_with(blank)) {
                text.remove_suffix(blank.size());
                trimmed = true;
            }
        }
    }
    return std::string(text);
}

} // namespace karumenio::spreadsheet
