#include "runtimeerror.h"

#include <utility>

namespace karumenio::spreadsheet {

RunTimeError::RunTimeError(RunError error, const std::string& message, std::string cell)
    : std::runtime_error(message), m_error(error), m_cell(std::move(cell)) {}

} // namespace karumenio::spreadsheet
