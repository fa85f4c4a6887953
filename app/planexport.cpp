#include "planexport.h"

#include "planscene.h"

#include "job/outputformat.h"
#include "job/settings.h"
#include "transaction/atomicfileset.h"
#include "transaction/foldersession.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <filesystem>

namespace karumenio::app {

namespace {

// A sheet of the plan in millimetres.
QSizeF sheetMillimetres(const PlanScene& scene) {
    const plan::Plan& plan = scene.plan();
    return {plan.paper->sheetWidth, plan.paper->sheetHeight};
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
        // One page per sheet of the survey map, each sheet's edge the page's.
        QPainter painter(&writer);
        const QRectF page(0, 0, writer.width(), writer.height());
        const QList<QRectF> sheets = scene.sheetRects();
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            if (i > 0) {
                writer.newPage();
            }
            scene.renderDrawing(painter, page, sheets[i]);
        }
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

transaction::WriteReport exportPlan(PlanScene& scene, const job::Settings& settings,
                                    const PlanExport& format, const QString& path,
                                    const transaction::FileOperations& operations) {
    const std::filesystem::path target(path.toStdU16String());
    job::FormatBytes file;
    if (format.format != nullptr) {
        file = format.format->write({scene.plan(), settings, target, scene.surveyMap()});
    } else {
        file.bytes = format.render(scene).toStdString();
    }
    // The folder may be the scripts' own: a run interrupted there is put right first, and an
    // export of the same kind interrupted there too.
    transaction::RecoveryScope scope = job::outputFolderScope();
    scope.extensions.push_back(format.suffix.toStdString());
    const transaction::FolderSession session(target.parent_path(), scope, operations);
    return session.run([&] {
        transaction::AtomicFileSet files;
        files.add(target, std::move(file.bytes));
        files.commit(operations);
        transaction::WriteReport report;
        report.files.push_back(target);
        report.warnings = std::move(file.warnings);
        return report;
    });
}

} // namespace karumenio::app
