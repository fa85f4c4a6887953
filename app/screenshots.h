#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace karumenio::app {

// The example window's picture: the worksheet view drawn at 623 x 251 pixels from the heading
// row down, with the worked example pasted at A6 of a fresh template.
QImage renderExamplePicture(const QString& workedExampleText);

// The example window's drawing: the plan of the worked example as the preview draws it on
// paper, the sheet A1 at the scale the fit check finds for it.
QImage renderExamplePlan(const QString& workedExampleText);

// The files that saveScreenshots makes without a display: the pictures of windows and the
// PDF of the survey map.
inline constexpr int kScreenshotCount = 12;

// Saves pictures of every window into the folder: the main window, the worksheet window
// (holding the worked example when one is given), the preview current and out of date and
// with the survey map (and its PDF), the 図面情報 dialog, the worksheet after a message that
// names a cell, both pages of the usage window, the
// example window and a save dialog; on a real display the
// whole screen beside each. Returns the files written.
QStringList saveScreenshots(const QString& folder, const QString& workedExampleText);

} // namespace karumenio::app
