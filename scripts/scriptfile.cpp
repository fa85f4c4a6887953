#include "scriptfile.h"

#include "textforms.h"

namespace karumenio::scripts {

void ScriptFile::writeCoordinate(const spreadsheet::CellValue& value) {
    appendCoordinateForm(m_text, value);
}

void ScriptFile::writeCoordinate(double value) {
    appendCoordinateForm(m_text, value);
}

void ScriptFile::writePlain(const spreadsheet::CellValue& value) {
    appendPlainForm(m_text, value);
}

void ScriptFile::writeLine(std::string_view item) {
    m_text += item;
    endLine();
}

void ScriptFile::pointLine(const spreadsheet::CellValue& first,
                           const spreadsheet::CellValue& second) {
    appendCoordinateForm(m_text, first);
    m_text += ',';
    appendCoordinateForm(m_text, second);
    endLine();
}

void ScriptFile::pointLine(double first, double second) {
    appendCoordinateForm(m_text, first);
    m_text += ',';
    appendCoordinateForm(m_text, second);
    endLine();
}

} // namespace karumenio::scripts
