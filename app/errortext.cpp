#include "errortext.h"

#include "points/runtimeerror.h"

namespace karumenio::app {

QString errorText(const std::exception& error) {
    QString text = QString::fromUtf8(error.what());
    if (const auto* runTime = dynamic_cast<const points::RunTimeError*>(&error)) {
        text += QStringLiteral("\n\n実行時エラー %1").arg(runTime->number());
        if (!runTime->cell().empty()) {
            text += QStringLiteral("（セル %1）").arg(QString::fromStdString(runTime->cell()));
        }
    }
    return text;
}

} // namespace karumenio::app
