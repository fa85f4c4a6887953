#include "messageboxsink.h"

#include <QMessageBox>

namespace karumenio::app {

void MessageBoxSink::information(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}

void MessageBoxSink::warning(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

} // namespace karumenio::app
