#include "textforms.h"

#include "spreadsheet/numberformat.h"

namespace karumenio::scripts {

void appendCoordinateForm(std::string& out, double value) {
    spreadsheet::appendNumber(out, value, false);
}

void appendCoordinateForm(std::string& out, const spreadsheet::CellValue& value) {
    spreadsheet::appendNumber(out, value.isNumber() ? value.numberValue() : value.toNumber(),
                              false);
}

void appendPlainForm(std::string& out, const spreadsheet::CellValue& value) {
    if (value.isNumber()) {
        spreadsheet::appendNumber(out, value.numberValue(), true);
    } else {
        out += value.textForm();
    }
}

std::string coordinateForm(const spreadsheet::CellValue& value) {
    std::string out;
    appendCoordinateForm(out, value);
    return out;
}

std::string plainForm(const spreadsheet::CellValue& value) {
    std::string out;
    appendPlainForm(out, value);
    return out;
}

} // namespace karumenio::scripts
