#pragma once

#include <QStringList>

class QCoreApplication;

namespace karumenio::app {

// Where Qt's Japanese texts are looked for, first found first: beside the program (the
// Windows package), in the installed program's share folder, then Qt's own translations.
QStringList qtTranslationFolders();

// Loads Qt's own Japanese texts, so that the file dialogs and the standard buttons speak the
// program's language whatever the system's; false when no catalogue was found.
bool installQtTranslations(QCoreApplication& application);

} // namespace karumenio::app
