#pragma once

// Readable test failure output for the worksheet types.

#include "spreadsheet/cellcontent.h"

#include <ostream>

namespace karumenio::spreadsheet {

inline void PrintTo(const CellValue& v, std::ostream* os) {
    switch (v.kind()) {
    case CellValue::Kind::Empty:
        *os << "Empty";
        break;
    case CellValue::Kind::Text:
        *os << "Text \"" << v.textValue() << '"';
        break;
    case CellValue::Kind::Error:
        *os << "Error " << v.errorCode();
        break;
    default:
        *os << v.joinForm();
        break;
    }
}

inline void PrintTo(const CellContent& c, std::ostream* os) {
    if (c.isFormula()) {
        *os << "Formula " << c.formula();
    } else {
        PrintTo(c.constant(), os);
    }
}

} // namespace karumenio::spreadsheet
