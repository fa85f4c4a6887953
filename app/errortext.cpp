#include "errortext.h"

#include "points/runtimeerror.h"

namespace karumenio::app {

QString errorText(const std::exception& error) {
    QString text = QString::fromUtf8(error.what());
    if (const auto* runTime = dynamic_cast<const points::RunTimeError*>(&error)) {
        text += QStringLiteral("\n\n実行時エラー %1").arg(runTime->number());
        const QString cell = QString::fromStdString(runTime->cell());
        if (!cell.isEmpty() && !text.contains(cell)) {
            text += QStringLiteral("（セル %1）").arg(cell);
        }
    }
    return text;
}

} // namespace karumenio::app
