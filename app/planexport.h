#pragma once

#include <QByteArray>
#include <QString>

#include "scripts/fileoperations.h"

#include <string>
#include <vector>

namespace karumenio::app {

class PlanScene;

enum class ExportFormat { Dxf, Pdf, Png, Svg };

// The PDF prints at true scale: the page is the chosen sheet (landscape for all but A4
// portrait) and the frame's outer rectangle is the page edge, so a plan at 1:500 measures
// right with a scale ruler.
QByteArray pdfBytes(PlanScene& scene);
// Pictures of the whole drawing, the sheet included.
QByteArray pngBytes(PlanScene& scene, int longSide = 3000);
QByteArray svgBytes(PlanScene& scene);

// One way out of the preview: the button, the save dialog's filter, the file's ending and
// the bytes of the plan in that format.
struct PlanExport {
    ExportFormat format;
    const char* button;
    const char* filter;
    const char* suffix;
    QByteArray (*bytes)(PlanScene& scene);
};

// Every format the preview offers, in the order of its buttons.
const std::vector<PlanExport>& planExports();
const PlanExport& planExport(ExportFormat format);

// Writes the plan in the format to the path through a temporary file put in place, holding
// the folder's lock as a write run does, so that the two never write into one folder at
// once; a write there that was interrupted is finished or undone first, and what that did
// is returned. A failure throws the file-access error with a Japanese message and changes
// nothing.
std::vector<std::string>
exportPlan(PlanScene& scene, ExportFormat format, const QString& path,
           const scripts::FileOperations& operations = scripts::FileOperations::system());

} // namespace karumenio::app
