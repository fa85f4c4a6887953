#pragma once

#include <stdexcept>
#include <string>

namespace karumenio::spreadsheet {

// Run-time error numbers as the surveyor's support notes know them.
enum class RunError : int {
    Overflow = 6,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    PathFileAccess = 75,
    ObjectNotSet = 91,
};

// The one exception the core throws: an error number, a Japanese message for the surveyor
// and, where the failure belongs to a worksheet cell, that cell's name ("C12").
class RunTimeError : public std::runtime_error {
  public:
    RunTimeError(RunError error, const std::string& message, std::string cell = {});

    RunError error() const { return m_error; }
    int number() const { return static_cast<int>(m_error); }
    const std::string& cell() const { return m_cell; }

  private:
    RunError m_error;
    std::string m_cell;
};

} // namespace karumenio::spreadsheet
