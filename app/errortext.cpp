#include "errortext.h"

#include "job/errormessage.h"

namespace karumenio::app {

QString errorText(const std::exception& error) {
    return QString::fromStdString(job::errorMessage(error));
}

} // namespace karumenio::app
