#pragma once

#include <exception>
#include <string>

namespace karumenio::job {

// The Japanese message for a failure, as the surveyor sees it in a window or on the command
// line: the failure's own text and, for a run-time error, its number and the cell it
// belongs to ("実行時エラー 13（セル C8）").
std::string errorMessage(const std::exception& error);

} // namespace karumenio::job
