#include "formlook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace karumenio::guide {

namespace {

// Japanese fonts that commonly stand in for the two Windows fonts, best match first.
const QStringList kGothicStandIns = {
    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP"),
    QStringLiteral("IPAPGothic"),       QStringLiteral("VL PGothic"),
    QStringLiteral("TakaoPGothic"),     QStringLiteral("Meiryo"),
    QStringLiteral("Hiragino Sans")};
const QStringList kMinchoStandIns = {
    QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Source Han Serif JP"),
    QStringLiteral("IPAPMincho"),        QStringLiteral("TakaoPMincho"),
    QStringLiteral("Yu Mincho"),         QStringLiteral("Hiragino Mincho ProN"),
    QStringLiteral("Noto Sans CJK JP")};

void substituteWhenMissing(const QString& family, const QStringList& standIns) {
    if (QFontDatabase::hasFamily(family)) {
        return;
    }
    QStringList installed;
    for (const QString& candidate : standIns) {
        if (QFontDatabase::hasFamily(candidate)) {
            installed.append(candidate);
        }
    }
    if (!installed.isEmpty()) {
        QFont::insertSubstitutions(family, installed);
    }
}

} // namespace

void mapJapaneseFonts() {
    substituteWhenMissing(kGothic, kGothicStandIns);
    substituteWhenMissing(kMincho, kMinchoStandIns);
}

void applyProgramLook() {
    mapJapaneseFonts();
    QApplication::setFont(gothicFont(9));
    QApplication::setWindowIcon(programIcon());
}

QFont gothicFont(qreal pointSize, bool bold) {
    QFont font(kGothic);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont minchoFont(qreal pointSize) {
    QFont font(kMincho);
    font.setPointSizeF(pointSize);
    return font;
}

QColor highlightColour() {
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

QImage programIconImage(int pixels) {
    // A survey sheet: a gridded page with a closed boundary and its marked corners.
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / 32.0, pixels / 32.0);

    painter.setPen(QPen(QColor(31, 27, 101), 1.0));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRect(QRectF(2.5, 2.5, 27, 27));

    painter.setPen(QPen(QColor(160, 196, 255), 1.0));
    for (int i = 1; i < 4; ++i) {
        const qreal at = 2.5 + i * 27.0 / 4.0;
        painter.drawLine(QPointF(at, 3), QPointF(at, 29));
        painter.drawLine(QPointF(3, at), QPointF(29, at));
    }

    QPainterPath boundary;
    boundary.moveTo(7, 23);
    boundary.lineTo(12, 8);
    boundary.lineTo(25, 11);
    boundary.lineTo(22, 25);
    boundary.closeSubpath();
    painter.setPen(QPen(QColor(200, 0, 0), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(255, 235, 250, 160));
    painter.drawPath(boundary);

    painter.setPen(QPen(QColor(31, 27, 101), 1.2));
    painter.setBrush(QColor(94, 158, 255));
    for (const QPointF& corner :
         {QPointF(7, 23), QPointF(12, 8), QPointF(25, 11), QPointF(22, 25)}) {
        painter.drawEllipse(corner, 2.2, 2.2);
    }
    return image;
}

QIcon programIcon() {
    static const QIcon icon(QPixmap::fromImage(programIconImage()));
    return icon;
}

void setupFixedWindow(QWidget* window, int widthTwips, int heightTwips) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(twips(widthTwips), twips(heightTwips));
    window->setWindowIcon(programIcon());
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
}

void placeAutoSizeLabel(QLabel* label, int leftTwips, int topTwips) {
    label->setWordWrap(false);
    label->move(twips(leftTwips), twips(topTwips));
    label->adjustSize();
}

void condenseLabelsToFit(QWidget* window, int rightMarginTwips) {
    QList<QLabel*> labels;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->pixmap().isNull()) {
            labels.append(label);
        }
    }
    const int limit = window->width() - twips(rightMarginTwips);
    double factor = 1.0;
    for (const QLabel* label : labels) {
        const int width = label->sizeHint().width();
        if (width > 0 && label->x() + width > limit) {
            factor = std::min(factor, double(limit - label->x()) / width);
        }
    }
    if (factor >= 1.0) {
        return;
    }
    const int stretch = std::max(75, static_cast<int>(std::floor(factor * 100.0)));
    for (QLabel* label : labels) {
        QFont font = label->font();
        font.setStretch(stretch);
        label->setFont(font);
        label->adjustSize();
    }
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

} // namespace karumenio::guide
