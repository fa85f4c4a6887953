#include "windowplacement.h"

#include "guide/formlook.h"
#include "guide/screenfit.h"

#include <QFontDatabase>
#include <QLabel>
#include <QScreen>

#include <algorithm>

namespace karumenio::app {

using guide::twips;

void placeRightAlignedLabel(QLabel* label, int leftTwips, int topTwips, int widthTwips) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->adjustSize();
    const int right = twips(leftTwips + widthTwips);
    label->move(right - label->width(), twips(topTwips));
}

void placeCentredLabel(QLabel* label, int leftTwips, int topTwips, int widthTwips,
                       int heightTwips) {
    label->setAlignment(Qt::AlignCenter);
    const int width = std::max(twips(widthTwips), label->sizeHint().width());
    const int height = std::max(twips(heightTwips), label->sizeHint().height());
    const int centre = twips(leftTwips) + twips(widthTwips) / 2;
    label->setGeometry(centre - width / 2, twips(topTwips), width, height);
}

void giveTitleRoom(QWidget* window) {
    // Beside the title the bar holds the icon and the close button, with some room between.
    constexpr int kTitleBarAllowance = 96;
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const int needed =
        QFontMetrics(font).horizontalAdvance(window->windowTitle()) + kTitleBarAllowance;
    int most = needed;
    if (const QScreen* screen = guide::screenOf(window)) {
        const QMargins frame = guide::frameMarginsOf(window);
        most = screen->availableGeometry().width() - frame.left() - frame.right();
    }
    const int wide = std::max(window->width(), std::min(needed, most));
    if (wide == window->width()) {
        return;
    }
    // The controls keep their places relative to each other, in the middle of the window.
    const QPoint shift((wide - window->width()) / 2, 0);
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->move(child->pos() + shift);
    }
    window->setFixedSize(wide, window->height());
    guide::centreOnScreen(window);
}

void placeBeside(QWidget* window, int neededWidth, QWidget* anchor) {
    const QScreen* screen = guide::screenOf(anchor);
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QMargins frame = guide::frameMarginsOf(window, anchor);
    const int need = neededWidth + frame.left() + frame.right() + 8;
    const QRect main = anchor->frameGeometry();
    if (main.right() + need > area.right() && main.left() - need < area.left() &&
        main.width() + need <= area.width()) {
        anchor->move(area.left(), main.top());
    }
    window->setGeometry(
        guide::besideOf(window->size(), neededWidth, anchor->frameGeometry(), frame, area));
}

void placeClearOf(QWidget* window, const QSize& minimum, QWidget* anchor,
                  const QList<QWidget*>& keepClear) {
    const QScreen* screen = guide::screenOf(anchor);
    if (screen == nullptr) {
        return;
    }
    QRect buttons;
    for (const QWidget* widget : keepClear) {
        buttons |= QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    }
    // No narrower than its controls allow, whatever the caller would accept.
    window->setGeometry(guide::clearOf(
        window->size(), minimum.expandedTo(window->minimumSizeHint()), anchor->frameGeometry(),
        guide::frameMarginsOf(window, anchor), screen->availableGeometry(), buttons));
}

} // namespace karumenio::app
