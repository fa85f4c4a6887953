#pragma once

#include "app/messagesink.h"

#include <QList>
#include <QString>

// Keeps the messages the windows would show, so tests neither block nor miss one.
class RecordingSink : public karumenio::app::MessageSink {
  public:
    struct Message {
        bool warning = false;
        QString title;
        QString text;
    };

    void information(QWidget*, const QString& title, const QString& text) override {
        messages.append({false, title, text});
    }
    void warning(QWidget*, const QString& title, const QString& text) override {
        messages.append({true, title, text});
    }
    // Questions are recorded like messages and answered with `answer`.
    int question(QWidget*, const QString& title, const QString& text, const QStringList&) override {
        questions.append({false, title, text});
        return answer;
    }

    // Save dialogs are answered with `savePath` (empty: cancelled), and their filters and the
    // paths they started at are kept.
    QString saveFileName(QWidget*, const QString&, const QString& filter,
                         const QString& suggested) override {
        saveFilters.append(filter);
        saveSuggestions.append(suggested);
        return savePath;
    }

    QList<Message> messages;
    QList<Message> questions;
    int answer = 0;
    QStringList saveFilters;
    QStringList saveSuggestions;
    QString savePath;
};
