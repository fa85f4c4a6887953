#pragma once

#include <QByteArray>
#include <QString>

#include "transaction/fileoperations.h"
#include "transaction/writereport.h"

#include <vector>

namespace karumenio::job {
struct OutputFormat;
struct Settings;
} // namespace karumenio::job

namespace karumenio::app {

class PlanScene;

// The PDF prints at true scale: the page is the chosen sheet (landscape for all but A4
// portrait) and the frame's outer rectangle is the page edge, so a plan at 1:500 measures
// right with a scale ruler.
QByteArray pdfBytes(PlanScene& scene);
// Pictures of the whole drawing, the sheet included.
QByteArray pngBytes(PlanScene& scene, int longSide = 3000);
QByteArray svgBytes(PlanScene& scene);

// One way out of the preview: the output formats of the core, then the pictures the
// desktop program renders itself.
struct PlanExport {
    QString token;
    QString button;
    QString filter;
    QString suffix;
    // A format of the core, written from the plan; or else a picture of the scene.
    const job::OutputFormat* format = nullptr;
    QByteArray (*render)(PlanScene& scene) = nullptr;
};

// Every format the preview offers, in the order of its buttons.
const std::vector<PlanExport>& planExports();
// The export of this token; nullptr when there is none.
const PlanExport* findPlanExport(const QString& token);

// Writes the scene's plan as the export to the path through a temporary file put in place,
// holding the folder's lock as a write run does, so that the two never write into one folder
// at once; a write there that was interrupted is finished or undone first. The report's
// warnings say what that did, then what the format's writer found. A failure throws the
// file-access error with a Japanese message and changes nothing.
transaction::WriteReport
exportPlan(PlanScene& scene, const job::Settings& settings, const PlanExport& format,
           const QString& path,
           const transaction::FileOperations& operations = transaction::FileOperations::system());

} // namespace karumenio::app
