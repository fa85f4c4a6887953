#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace karumenio::app {

// Where the windows send their message boxes. The program shows real boxes; tests record the
// messages instead of blocking on a modal box.
class MessageSink {
  public:
    virtual ~MessageSink() = default;

    // A report of success: information icon, one OK button.
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // A failure the user can put right; the program keeps running.
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // A choice between the answers, the first of them the default; returns the index of the
    // answer taken, or -1 when the box was closed without one.
    virtual int question(QWidget* parent, const QString& title, const QString& text,
                         const QStringList& answers) = 0;
    // The file to save to, chosen in a save dialog with the filter that starts at the suggested
    // path (its folder and name); empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& suggested) = 0;
};

} // namespace karumenio::app
