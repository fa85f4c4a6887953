#pragma once

#include <string>
#include <string_view>

namespace karumenio::dxf {

// Writes DXF group code / value pairs: the code right-aligned in three columns on its own
// line, the value on the next, CR LF after each. Numbers use the shortest text that reads
// back as the same double, with "." whatever the locale.
class GroupWriter {
  public:
    void reserve(std::size_t bytes) { m_out.reserve(bytes); }
    void text(int code, std::string_view value);
    void integer(int code, int value);
    void real(int code, double value);
    // A point as the three groups 10/20/30 (or 11/21/31 and so on); z is always 0.
    void point(int code, double x, double y);

    std::string take() { return std::move(m_out); }

  private:
    void code(int code);
    std::string m_out;
};

} // namespace karumenio::dxf
