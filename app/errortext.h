#pragma once

#include <QString>

#include <exception>

namespace karumenio::app {

// The text a message box shows for a failure of the core: the message, then the error number
// and, where there is one, the cell.
QString errorText(const std::exception& error);

} // namespace karumenio::app
