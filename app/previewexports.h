#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace karumenio::job {
struct OutputFormat;
} // namespace karumenio::job

namespace karumenio::app {

class PlanScene;

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

} // namespace karumenio::app
