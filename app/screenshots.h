#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace karumenio::app {

// The example window's picture: the worksheet view drawn at 623 x 251 pixels from the heading
// row down, with the worked example pasted at A6 of a fresh template.
QImage renderExamplePicture(const QString& workedExampleText);

// Saves pictures of the main window, the worksheet window (holding the worked example when
// one is given), the usage window and the example window into the folder; returns the files.
QStringList saveScreenshots(const QString& folder, const QString& workedExampleText);

} // namespace karumenio::app
