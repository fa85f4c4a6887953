#pragma once

#include "spreadsheet/cellvalue.h"

#include <string>
#include <string_view>

namespace karumenio::scripts {

// One script built in memory before anything goes to disk. Items are written back to back,
// with nothing between them; every line, the last included, ends with CR LF. The text is
// UTF-8 until the write run converts it for the drawing program.
class ScriptFile {
  public:
    void reserve(std::size_t bytes) { m_text.reserve(bytes); }

    // An item that leaves the line open for the next one.
    void write(std::string_view item) { m_text += item; }
    void writeCoordinate(const spreadsheet::CellValue& value);
    void writeCoordinate(double value);
    void writePlain(const spreadsheet::CellValue& value);
    void endLine() { m_text += "\r\n"; }
    // A whole line: the item followed by CR LF.
    void writeLine(std::string_view item);
    // "first,second" in the coordinate form, ended by CR LF.
    void pointLine(const spreadsheet::CellValue& first, const spreadsheet::CellValue& second);
    void pointLine(double first, double second);

    const std::string& text() const { return m_text; }
    std::string take() { return std::move(m_text); }

  private:
    std::string m_text;
};

} // namespace karumenio::scripts
