#include "textforms.h"

#include "points/numberformat.h"

namespace karumenio::scripts {

void appendCoordinateForm(std::string& out, double value) {
    points::appendNumber(out, value, false);
}

void appendCoordinateForm(std::string& out, const points::CellValue& value) {
    points::appendNumber(out, value.isNumber() ? value.numberValue() : value.toNumber(), false);
}

void appendPlainForm(std::string& out, const points::CellValue& value) {
    if (value.isNumber()) {
        points::appendNumber(out, value.numberValue(), true);
    } else {
        out += value.textForm();
    }
}

std::string coordinateForm(const points::CellValue& value) {
    std::string out;
    appendCoordinateForm(out, value);
    return out;
}

std::string plainForm(const points::CellValue& value) {
    std::string out;
    appendPlainForm(out, value);
    return out;
}

} // namespace karumenio::scripts
