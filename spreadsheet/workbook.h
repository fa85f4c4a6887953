#pragma once

#include "worksheet.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::spreadsheet {

// The worksheets of one workbook. Sheets never move once added, so references to them stay
// valid for the workbook's life.
class Workbook {
  public:
    Worksheet& addSheet(std::string name);

    // Finds a sheet by name without regard to ASCII case ("SHEET1" finds "Sheet1").
    Worksheet* findSheet(std::string_view name);
    const Worksheet* findSheet(std::string_view name) const;
    // As findSheet, but a missing sheet is the subscript error.
    Worksheet& worksheets(std::string_view name);

    int sheetCount() const { return static_cast<int>(m_sheets.size()); }
    Worksheet& sheet(int index) { return *m_sheets.at(static_cast<std::size_t>(index)); }
    const Worksheet& sheet(int index) const {
        return *m_sheets.at(static_cast<std::size_t>(index));
    }

  private:
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
};

} // namespace karumenio::spreadsheet
