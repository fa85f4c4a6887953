#pragma once

#include <QByteArray>
#include <QString>

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

// Writes the plan in the format to the path through a temporary file put in place; a failure
// throws the file-access error with a Japanese message and changes nothing.
void exportPlan(PlanScene& scene, ExportFormat format, const QString& path);

} // namespace karumenio::app
