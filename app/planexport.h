#pragma once

#include <QByteArray>
#include <QString>

namespace karumenio::app {

class PlanScene;

// The PDF prints at true scale: the page is the chosen sheet (landscape for all but A4
// portrait) and the frame's outer rectangle is the page edge, so a plan at 1:500 measures
// right with a scale ruler.
QByteArray pdfBytes(PlanScene& scene);
// Pictures of the whole drawing, the sheet included.
QByteArray pngBytes(PlanScene& scene, int longSide = 3000);
QByteArray svgBytes(PlanScene& scene);

} // namespace karumenio::app
