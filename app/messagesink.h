#pragma once

#include <QString>

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
};

} // namespace karumenio::app
