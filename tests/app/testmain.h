#pragma once

#include "app/qttranslations.h"
#include "guide/formlook.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

// A Qt Test main that gives the windows the program's own fonts, as the program does.
#define KARUMENIO_QTEST_MAIN(TestClass)                                                            \
    int main(int argc, char* argv[]) {                                                             \
        QApplication application(argc, argv);                                                      \
        QStandardPaths::setTestModeEnabled(true); /* settings never touch the user's own */        \
        karumenio::guide::applyProgramLook();                                                      \
        karumenio::app::installQtTranslations(application); /* as the program does */              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
