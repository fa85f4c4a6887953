#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace karumenio::spreadsheet {

// The loosely typed value of a worksheet cell or a working value. Text is held as UTF-8.
class CellValue {
  public:
    enum class Kind { Empty, Number, Text, Boolean, Error };

    CellValue() = default;
    static CellValue number(double value);
    static CellValue text(std::string value);
    static CellValue boolean(bool value);
    // A spreadsheet error such as "#VALUE!" or "#DIV/0!".
    static CellValue error(std::string code);

    Kind kind() const;
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isNumber() const { return kind() == Kind::Number; }
    bool isText() const { return kind() == Kind::Text; }
    bool isBoolean() const { return kind() == Kind::Boolean; }
    bool isError() const { return kind() == Kind::Error; }

    // Raw contents; each asks for the matching kind.
    double numberValue() const;
    const std::string& textValue() const;
    bool booleanValue() const;
    const std::string& errorCode() const;

    // Equality with empty text: Empty and "" are equal to it, everything else is not.
    bool equalsEmptyText() const;
    // Equality with the number 0; text that does not read as a number is a type mismatch.
    bool equalsZero() const;
    // The value as it takes part in arithmetic; text that does not read as a number is a
    // type mismatch.
    double toNumber() const;
    // The number form with a leading blank for values not negative (" 12", " .5", "-.25").
    std::string strForm() const;
    // The text form, trimmed of ASCII blanks ("0.5", "1E+15"; text unchanged but trimmed).
    std::string textForm() const;
    // The text form used when a value is joined to a message: numbers as in textForm, not
    // trimmed.
    std::string joinForm() const;

    // Values of the same kind and content are equal; numbers compare as doubles do.
    friend bool operator==(const CellValue& a, const CellValue& b);

  private:
    // Text is shared between copies, which are made far more often than new text, and keeps
    // a value small enough for sheets and point tables of thousands of cells.
    struct ErrorValue {
        std::shared_ptr<const std::string> code;
    };
    struct TextValue {
        std::shared_ptr<const std::string> text;
    };
    std::variant<std::monostate, double, TextValue, bool, ErrorValue> m_value;
};

// Reads text as a number the way cell text takes part in arithmetic: blanks around it, an
// optional sign, digits with at most one ".", an optional exponent. Nothing else may follow.
std::optional<double> readNumber(std::string_view text);

// Removes ASCII blanks (U+0020 only) at both ends.
std::string trimBlanks(std::string_view text);

// Removes ASCII and full-width (U+3000) blanks at both ends: how a text that a surveyor types
// in Japanese (a kind of mark, a location, a point name in a list) is compared.
std::string trimWideBlanks(std::string_view text);

} // namespace karumenio::spreadsheet
