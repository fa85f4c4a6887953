#include "qttranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace karumenio::app {

QStringList qtTranslationFolders() {
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.path(), program.filePath(QStringLiteral("translations")),
            program.filePath(QStringLiteral("../share/karumenio/translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool installQtTranslations(QCoreApplication& application) {
    for (const QString& folder : qtTranslationFolders()) {
        // Owned by the application, which keeps using it until it ends.
        auto* translator = new QTranslator(&application);
        if (translator->load(QStringLiteral("qtbase_ja"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}

} // namespace karumenio::app
