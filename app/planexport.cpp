#include "planexport.h"

#include "planscene.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

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

} // namespace karumenio::app
