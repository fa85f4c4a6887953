#include "messageboxsink.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace karumenio::app {

void MessageBoxSink::information(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}

void MessageBoxSink::warning(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

int MessageBoxSink::question(QWidget* parent, const QString& title, const QString& text,
                             const QStringList& answers) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& answer : answers) {
        buttons.append(box.addButton(answer, QMessageBox::AcceptRole));
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
        box.setEscapeButton(buttons.last());
    }
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

QString MessageBoxSink::saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

} // namespace karumenio::app
