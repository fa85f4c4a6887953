#include "mainwindow.h"
#include "qttranslations.h"
#include "screenshots.h"

#include "guide/formlook.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// True when the command line only asks for pictures, which need no screen.
bool picturesOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith("--screenshot") || argument.startsWith("--example-picture") ||
            argument.startsWith("--example-plan-picture") || argument.startsWith("--write-icon")) {
            return true;
        }
    }
    return false;
}

// Ends the program once the window it watches has painted itself.
class QuitOnFirstPaint : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    using namespace karumenio;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (picturesOnly(argc, argv)) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
        else if (qEnvironmentVariableIsEmpty("DISPLAY") &&
                 qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            // Say so at once rather than let the platform plugin abort; callers fall back on
            // the exit status.
            std::fprintf(stderr, "karumenio: no display to open the windows on\n");
            return 2;
        }
#endif
    }
    // A display that cannot be opened still ends the program here with a non-zero status.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("karumenio"));
    // Where the chosen output folder is kept between runs.
    QApplication::setOrganizationName(QStringLiteral("Karumenio"));
    guide::applyProgramLook();
    app::installQtTranslations(application);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("AutoCad 測量図面カルメニオ"));
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save pictures of the windows into <folder> and exit."),
        QStringLiteral("folder"));
    const QCommandLineOption examplePicture(
        QStringLiteral("example-picture"),
        QStringLiteral("Save the example window's picture as <file> and exit."),
        QStringLiteral("file"));
    const QCommandLineOption examplePlanPicture(
        QStringLiteral("example-plan-picture"),
        QStringLiteral("Save the example window's drawing of the plan as <file> and exit."),
        QStringLiteral("file"));
    const QCommandLineOption writeIcon(QStringLiteral("write-icon"),
                                       QStringLiteral("Save the program icon as <file> and exit."),
                                       QStringLiteral("file"));
    const QCommandLineOption iconSize(
        QStringLiteral("icon-size"),
        QStringLiteral("The icon's width and height for --write-icon (default 32)."),
        QStringLiteral("pixels"), QStringLiteral("32"));
    const QCommandLineOption example(
        QStringLiteral("example"),
        QStringLiteral("Worked example as TAB-separated <text file>, for the pictures."),
        QStringLiteral("text file"));
    const QCommandLineOption quitWhenShown(
        QStringLiteral("quit-when-shown"),
        QStringLiteral("Exit as soon as the main window has been shown (for start-up timing)."));
    parser.addOptions({screenshot, examplePicture, examplePlanPicture, writeIcon, iconSize, example,
                       quitWhenShown});
    parser.process(application);

    const QString exampleText = parser.isSet(example) ? readText(parser.value(example)) : QString();
    if (parser.isSet(example) && exampleText.isEmpty()) {
        std::fprintf(stderr, "karumenio: cannot read %s\n", qPrintable(parser.value(example)));
        return 1;
    }
    if (parser.isSet(writeIcon)) {
        const int pixels = parser.value(iconSize).toInt();
        if (pixels < 16 || pixels > 1024) {
            std::fprintf(stderr, "karumenio: --icon-size must be 16 to 1024\n");
            return 1;
        }
        return guide::programIconImage(pixels).save(parser.value(writeIcon)) ? 0 : 1;
    }
    for (const QCommandLineOption* picture : {&examplePicture, &examplePlanPicture}) {
        if (!parser.isSet(*picture)) {
            continue;
        }
        if (exampleText.isEmpty()) {
            std::fprintf(stderr, "karumenio: --%s needs --example\n",
                         qPrintable(picture->names().constFirst()));
            return 1;
        }
        const QImage image = picture == &examplePicture ? app::renderExamplePicture(exampleText)
                                                        : app::renderExamplePlan(exampleText);
        return image.save(parser.value(*picture)) ? 0 : 1;
    }
    if (parser.isSet(screenshot)) {
        const QStringList files = app::saveScreenshots(parser.value(screenshot), exampleText);
        for (const QString& file : files) {
            std::printf("%s\n", qPrintable(file));
        }
        // Every window's picture (and, on a display, the screen's beside each).
        return files.size() >= app::kScreenshotCount ? 0 : 1;
    }

    auto* window = new app::MainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QuitOnFirstPaint quitter;
    if (parser.isSet(quitWhenShown)) {
        window->installEventFilter(&quitter);
    }
    return QApplication::exec();
}
