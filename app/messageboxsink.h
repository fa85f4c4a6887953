#pragma once

#include "messagesink.h"

namespace karumenio::app {

// Shows each message in a modal message box and waits until it is closed; files are chosen
// in the file dialog.
class MessageBoxSink : public MessageSink {
  public:
    void information(QWidget* parent, const QString& title, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    int question(QWidget* parent, const QString& title, const QString& text,
                 const QStringList& answers) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& suggested) override;
};

} // namespace karumenio::app
