#include "planscene.h"

#include "guide/formlook.h"
#include "job/messages.h"
#include "points/pointtable.h"

#include <QFontMetricsF>
#include <QGraphicsEllipseItem>
#include <QGraphicsPathItem>
#include <QGraphicsSimpleTextItem>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace karumenio::app {

namespace {

// The size of a point marker in world units: small beside a 3-unit label.
constexpr qreal kMarkerRadius = 0.4;

QPainterPath pathOf(const plan::Polyline& line) {
    QPainterPath path;
    if (line.vertices.empty()) {
        return path;
    }
    path.moveTo(toScene(line.vertices.front()));
    for (std::size_t i = 1; i < line.vertices.size(); ++i) {
        path.lineTo(toScene(line.vertices[i]));
    }
    if (line.closed) {
        path.closeSubpath();
    }
    return path;
}

// A hairline: one device pixel whatever the zoom, the thinnest line a printer draws.
QPen hairline(const QColor& colour) {
    QPen pen(colour, 0);
    pen.setCosmetic(true);
    return pen;
}

QString fromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PlanScene::PlanScene(QObject* parent) : QGraphicsScene(parent) {
    setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    rebuild();
}

void PlanScene::setPlan(const plan::Plan& plan, const layout::SheetLayout* surveyMap) {
    m_plan = plan;
    m_surveyMap.reset();
    if (surveyMap != nullptr) {
        m_surveyMap = *surveyMap;
    }
    rebuild();
}

void PlanScene::setCellText(CellText cellText) {
    m_cellText = std::move(cellText);
    rebuild();
}

QString PlanScene::cellText(double value, int row, int column) const {
    return m_cellText ? m_cellText(value, row, column) : QString::number(value, 'f', 3);
}

void PlanScene::setBackground(Background background) {
    m_background = background;
    rebuild();
}

QColor PlanScene::layerColour(plan::LayerId layer) const {
    return colourNumber(plan::layer(layer).colour);
}

QColor PlanScene::colourNumber(int colour) const {
    const bool dark = m_background == Background::Dark;
    // The drawing program's colours 1, 7, 2, 3 and 4; on paper the light ones are darkened so
    // that they stay legible.
    switch (colour) {
    case 1:
        return dark ? QColor(255, 70, 70) : QColor(200, 0, 0);
    case 2:
        return dark ? QColor(255, 255, 0) : QColor(170, 130, 0);
    case 3:
        return dark ? QColor(0, 255, 0) : QColor(0, 140, 0);
    case 4:
        return dark ? QColor(0, 255, 255) : QColor(0, 120, 170);
    default:
        return dark ? QColor(255, 255, 255) : QColor(0, 0, 0);
    }
}

void PlanScene::rebuild() {
    clear();
    m_markers.clear();
    setBackgroundBrush(m_background == Background::Dark ? QColor(33, 40, 48) : QColor(Qt::white));
    if (m_surveyMap) {
        drawSurveyMap(*m_surveyMap);
        setSceneRect(drawingRect());
        return;
    }

    for (const plan::Polyline& rectangle : m_plan.frameRectangles) {
        addPath(pathOf(rectangle), hairline(layerColour(plan::LayerId::Frame)));
    }
    QPainterPath lines;
    for (const plan::Polyline& line : m_plan.polylines) {
        lines.addPath(pathOf(line));
    }
    addPath(lines, hairline(layerColour(plan::LayerId::Line)));

    const QPen circlePen = hairline(layerColour(plan::LayerId::Plot));
    for (const plan::Circle& circle : m_plan.circles) {
        const qreal r = std::fabs(circle.radius);
        const QPointF c = toScene(circle.centre);
        addEllipse(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), circlePen);
    }

    // Labels at their true height, horizontal; the font has the Japanese glyphs.
    QFont font = guide::gothicFont(10);
    font.setPixelSize(100);
    const QFontMetricsF metrics(font);
    const QBrush textBrush(layerColour(plan::LayerId::Text));
    for (const plan::Label& label : m_plan.labels) {
        auto* item = addSimpleText(fromStd(label.text), font);
        item->setBrush(textBrush);
        const qreal scale = label.height / metrics.ascent();
        item->setScale(scale);
        // Bottom-left at the insertion point: the baseline sits on it.
        const QPointF at = toScene(label.insertion);
        item->setPos(at.x(), at.y() - metrics.ascent() * scale);
    }

    for (std::size_t slot = 0; slot < m_plan.points.size(); ++slot) {
        const plan::PlanPoint& p = m_plan.points[slot];
        addMarker(m_plan.transform.toWorld(p.x, p.y), static_cast<int>(slot));
    }
    setSceneRect(drawingRect());
}

// A marker to hover and click, with the point's numbers as the surveyor sees them in the
// sheet, not rounded otherwise.
void PlanScene::addMarker(plan::WorldPoint world, int slot) {
    const QPen markerPen =
        hairline(m_background == Background::Dark ? QColor(200, 200, 200) : QColor(90, 90, 90));
    const plan::PlanPoint& p = m_plan.points[static_cast<std::size_t>(slot)];
    const QPointF at = toScene(world);
    auto* marker = addEllipse(QRectF(at.x() - kMarkerRadius, at.y() - kMarkerRadius,
                                     2 * kMarkerRadius, 2 * kMarkerRadius),
                              markerPen);
    marker->setData(0, slot);
    const int row = points::kFirstDataRow + slot;
    const auto shown = [&](double value, int column) {
        return cellText(value, row, column).trimmed().toStdString();
    };
    marker->setToolTip(fromStd(job::pointTip(
        p.label, row, shown(p.x, points::kPointXColumn), shown(p.y, points::kPointYColumn),
        p.radius != 0 ? shown(p.radius, points::kMarkRadiusColumn) : std::string())));
    m_markers.append(marker);
}

void PlanScene::drawSurveyMap(const layout::SheetLayout& map) {
    // One path per layer and sheet, hairlines as the map's lines are meant to be (0.2 mm or
    // finer on paper).
    for (const layout::Sheet& sheet : map.sheets) {
        const auto scenePoint = [&](layout::Point p) { return toScene(sheet.toWorld(p)); };
        for (const layout::SheetLayer& layer : layout::kSheetLayers) {
            QPainterPath path;
            for (const layout::Line& line : sheet.lines) {
                if (line.layer != layer.id || line.vertices.empty()) {
                    continue;
                }
                path.moveTo(scenePoint(line.vertices.front()));
                for (std::size_t i = 1; i < line.vertices.size(); ++i) {
                    path.lineTo(scenePoint(line.vertices[i]));
                }
                if (line.closed) {
                    path.closeSubpath();
                }
            }
            for (const layout::Circle& circle : sheet.circles) {
                if (circle.layer == layer.id) {
                    path.addEllipse(scenePoint(circle.centre), circle.radius * sheet.unit,
                                    circle.radius * sheet.unit);
                }
            }
            if (!path.isEmpty()) {
                addPath(path, hairline(colourNumber(layer.colour)));
            }
        }
        // The font's em is 1.15 of the text's height, so that capitals stand about as tall
        // as the drawing programs draw them; a text wider than its box is narrowed into it.
        QFont font = guide::gothicFont(10);
        font.setPixelSize(100);
        const QFontMetricsF metrics(font);
        constexpr qreal kEmPerHeight = 1.15;
        for (const layout::Text& text : sheet.texts) {
            auto* item = addSimpleText(fromStd(text.text), font);
            item->setBrush(colourNumber(layout::sheetLayer(text.layer).colour));
            const qreal scale = text.height * kEmPerHeight * sheet.unit / font.pixelSize();
            const qreal natural = item->boundingRect().width() * scale;
            const qreal room = layout::textWidth(text.text, text.height) * sheet.unit;
            const qreal squeeze = natural > room && natural > 0 ? room / natural : 1.0;
            qreal along = 0;
            if (text.alignment == layout::Alignment::BottomCentre) {
                along = item->boundingRect().width() / 2;
            } else if (text.alignment == layout::Alignment::BottomRight) {
                along = item->boundingRect().width();
            }
            // The alignment point on the baseline, turned about that point; the scene's y runs
            // south, so the world's counter-clockwise turn is clockwise here.
            QTransform transform = QTransform::fromTranslate(-along, -metrics.ascent());
            transform *= QTransform::fromScale(scale * squeeze, scale);
            transform *= QTransform().rotate(-text.rotation);
            const QPointF at = scenePoint(text.at);
            transform *= QTransform::fromTranslate(at.x(), at.y());
            item->setTransform(transform);
        }
        for (const layout::PointMark& mark : sheet.marks) {
            if (mark.slot >= 0 && static_cast<std::size_t>(mark.slot) < m_plan.points.size()) {
                addMarker(sheet.toWorld(mark.at), mark.slot);
            }
        }
    }
}

QRectF PlanScene::sheetRect() const {
    return sheetRects().value(0);
}

QList<QRectF> PlanScene::sheetRects() const {
    QList<QRectF> rects;
    if (m_surveyMap) {
        for (const layout::Sheet& sheet : m_surveyMap->sheets) {
            rects.append(QRectF(toScene(sheet.toWorld({sheet.outer.minX, sheet.outer.maxY})),
                                toScene(sheet.toWorld({sheet.outer.maxX, sheet.outer.minY}))));
        }
    } else {
        rects.append(pathOf(m_plan.frameRectangles[0]).boundingRect());
    }
    return rects;
}

QRectF PlanScene::drawingRect() const {
    const QRectF all = itemsBoundingRect();
    const qreal margin = std::max(all.width(), all.height()) * 0.02 + 1;
    return all.adjusted(-margin, -margin, margin, margin);
}

void PlanScene::renderDrawing(QPainter& painter, const QRectF& target, const QRectF& source) {
    for (QGraphicsItem* marker : std::as_const(m_markers)) {
        marker->setVisible(false);
    }
    painter.fillRect(target, backgroundBrush());
    render(&painter, target, source, Qt::KeepAspectRatio);
    for (QGraphicsItem* marker : std::as_const(m_markers)) {
        marker->setVisible(true);
    }
}

int PlanScene::slotAt(const QPointF& scenePosition, qreal tolerance) const {
    int best = -1;
    qreal bestDistance = tolerance;
    for (QGraphicsItem* marker : m_markers) {
        const QPointF centre = marker->boundingRect().center();
        const qreal distance = QLineF(centre, scenePosition).length();
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = marker->data(0).toInt();
        }
    }
    return best;
}

} // namespace karumenio::app
