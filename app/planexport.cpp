#include "planexport.h"

#include "planscene.h"

#include "dxf/dxfwriter.h"
#include "points/runtimeerror.h"
#include "scripts/atomicfileset.h"
#include "scripts/foldersession.h"
#include "scripts/scriptfolder.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <filesystem>

namespace karumenio::app {

namespace {

// A sheet of the plan in millimetres: the chosen paper, or what the frame shows.
QSizeF sheetMillimetres(const PlanScene& scene) {
    const plan::Plan& plan = scene.plan();
    if (plan.paper != nullptr) {
        return {plan.paper->sheetWidth, plan.paper->sheetHeight};
    }
    const QRectF sheet = scene.sheetRect();
    const double factor = plan.scaleFactor > 0 ? plan.scaleFactor : 1.0;
    return {sheet.width() / factor, sheet.height() / factor};
}

} // namespace

QByteArray pdfBytes(PlanScene& scene) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(QStringLiteral("測量図面"));
    writer.setCreator(QStringLiteral("Karumenio"));
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(sheetMillimetres(scene), QPageSize::Millimeter),
                                     QPageLayout::Portrait, QMarginsF()));
    const PlanScene::Background background = scene.background();
    scene.setBackground(PlanScene::Background::Light);
    {
        QPainter painter(&writer);
        const QRectF page(0, 0, writer.width(), writer.height());
        scene.renderDrawing(painter, page, scene.sheetRect());
    }
    scene.setBackground(background);
    return bytes;
}

QByteArray pngBytes(PlanScene& scene, int longSide) {
    const QRectF source = scene.drawingRect();
    const qreal scale = longSide / std::max(source.width(), source.height());
    QImage image(std::max(1, qRound(source.width() * scale)),
                 std::max(1, qRound(source.height() * scale)), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        scene.renderDrawing(painter, QRectF(image.rect()), source);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray svgBytes(PlanScene& scene) {
    const QRectF source = scene.drawingRect();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setTitle(QStringLiteral("測量図面"));
    const QSize size(qRound(source.width() * 10), qRound(source.height() * 10));
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    {
        QPainter painter(&generator);
        scene.renderDrawing(painter, QRectF(QPointF(0, 0), QSizeF(size)), source);
    }
    return bytes;
}

namespace {

QByteArray dxfBytes(PlanScene& scene) {
    const std::string bytes = dxf::writeDxf(scene.plan());
    return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

QByteArray pngOfDefaultSize(PlanScene& scene) {
    return pngBytes(scene);
}

} // namespace

const std::vector<PlanExport>& planExports() {
    static const std::vector<PlanExport> exports = {
        {ExportFormat::Dxf, "DXF 出力…", "DXF 図面 (*.dxf)", ".dxf", dxfBytes},
        {ExportFormat::Pdf, "PDF 出力…", "PDF (*.pdf)", ".pdf", pdfBytes},
        {ExportFormat::Png, "PNG 出力…", "PNG 画像 (*.png)", ".png", pngOfDefaultSize},
        {ExportFormat::Svg, "SVG 出力…", "SVG 画像 (*.svg)", ".svg", svgBytes},
    };
    return exports;
}

const PlanExport& planExport(ExportFormat format) {
    for (const PlanExport& entry : planExports()) {
        if (entry.format == format) {
            return entry;
        }
    }
    return planExports().front();
}

std::vector<std::string> exportPlan(PlanScene& scene, ExportFormat format, const QString& path,
                                    const scripts::FileOperations& operations) {
    const std::filesystem::path target(path.toStdU16String());
    const QByteArray bytes = planExport(format).bytes(scene);
    // The folder may be the scripts' own: a run interrupted there is put right first, and an
    // export of the same kind interrupted there too.
    scripts::RecoveryScope scope = scripts::outputFolderScope();
    scope.extensions.emplace_back(planExport(format).suffix);
    const scripts::FolderSession session(target.parent_path(), scope, operations);
    return session
        .run([&] {
            scripts::AtomicFileSet file;
            file.add(target, bytes.toStdString());
            file.commit(operations);
            return scripts::WriteReport{};
        })
        .warnings;
}

} // namespace karumenio::app
