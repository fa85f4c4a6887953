#include "previewexports.h"

#include "planexport.h"

#include "job/outputformat.h"

namespace karumenio::app {

namespace {

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray pngOfDefaultSize(PlanScene& scene) {
    return pngBytes(scene);
}

} // namespace

const std::vector<PlanExport>& planExports() {
    static const std::vector<PlanExport> exports = [] {
        std::vector<PlanExport> list;
        for (const job::OutputFormat& format : job::outputFormats()) {
            list.push_back({fromStd(format.token), fromStd(format.name) + QStringLiteral(" 出力…"),
                            fromStd(format.filter), fromStd(format.extension), &format, nullptr});
        }
        list.push_back({QStringLiteral("pdf"), QStringLiteral("PDF 出力…"),
                        QStringLiteral("PDF (*.pdf)"), QStringLiteral(".pdf"), nullptr, pdfBytes});
        list.push_back({QStringLiteral("png"), QStringLiteral("PNG 出力…"),
                        QStringLiteral("PNG 画像 (*.png)"), QStringLiteral(".png"), nullptr,
                        pngOfDefaultSize});
        list.push_back({QStringLiteral("svg"), QStringLiteral("SVG 出力…"),
                        QStringLiteral("SVG 画像 (*.svg)"), QStringLiteral(".svg"), nullptr,
                        svgBytes});
        return list;
    }();
    return exports;
}

const PlanExport* findPlanExport(const QString& token) {
    for (const PlanExport& entry : planExports()) {
        if (entry.token == token) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace karumenio::app
