#include "screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>

namespace karumenio::guide {

namespace {

// A common title bar and border, for a window whose frame nobody knows yet.
const QMargins kUsualFrame(4, 30, 4, 4);

QMargins shownFrame(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

} // namespace

QScreen* screenOf(const QWidget* window) {
    if (window == nullptr) {
        return QGuiApplication::primaryScreen();
    }
    if (QScreen* under = QGuiApplication::screenAt(window->frameGeometry().center())) {
        return under;
    }
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

QMargins frameMarginsOf(const QWidget* window, const QWidget* anchor) {
    for (const QWidget* candidate : {window, anchor}) {
        if (candidate != nullptr && candidate->isVisible()) {
            const QMargins frame = shownFrame(candidate);
            if (!frame.isNull()) {
                return frame;
            }
        }
    }
    return kUsualFrame;
}

QRect fitInside(QRect client, const QMargins& frame, const QRect& area, bool mayShrink) {
    const QRect room = area.marginsRemoved(frame);
    if (mayShrink) {
        client.setWidth(std::min(client.width(), std::max(1, room.width())));
        client.setHeight(std::min(client.height(), std::max(1, room.height())));
    }
    // Right and bottom first, so that a window too large for the area keeps its top-left.
    client.moveRight(std::min(client.right(), room.right()));
    client.moveBottom(std::min(client.bottom(), room.bottom()));
    client.moveLeft(std::max(client.left(), room.left()));
    client.moveTop(std::max(client.top(), room.top()));
    return client;
}

void placeOnScreen(QWidget* window, const QRect& wanted, const QWidget* anchor) {
    const QScreen* screen = screenOf(anchor != nullptr ? anchor : window);
    if (screen == nullptr) {
        window->setGeometry(wanted);
        return;
    }
    const bool mayShrink = window->minimumSize() != window->maximumSize();
    const QRect client =
        fitInside(wanted, frameMarginsOf(window, anchor), screen->availableGeometry(), mayShrink);
    window->setGeometry(client);
}

QRect besideOf(const QSize& size, int minimumWidth, const QRect& anchorFrame, const QMargins& frame,
               const QRect& area) {
    constexpr int kGap = 8;
    const int sides = frame.left() + frame.right();
    const int rightRoom = area.right() - anchorFrame.right() - kGap - sides;
    const int leftRoom = anchorFrame.left() - kGap - area.left() - sides;
    const int rightX = anchorFrame.right() + 1 + kGap + frame.left();
    QRect client(QPoint(rightX, anchorFrame.top() + frame.top()), size);
    if (rightRoom >= size.width()) {
        return fitInside(client, frame, area, true);
    }
    if (leftRoom >= size.width()) {
        client.moveRight(anchorFrame.left() - 1 - kGap - frame.right());
        return fitInside(client, frame, area, true);
    }
    // Narrower beside the anchor, as long as what matters still shows; else over it.
    const int room = std::max(rightRoom, leftRoom);
    if (room >= minimumWidth) {
        client.setWidth(room);
        if (room != rightRoom) {
            client.moveRight(anchorFrame.left() - 1 - kGap - frame.right());
        }
    }
    return fitInside(client, frame, area, true);
}

QRect clearOf(const QSize& size, const QSize& minimum, const QRect& anchorFrame,
              const QMargins& frame, const QRect& area, const QRect& keepClear) {
    constexpr int kGap = 8;
    // Where a client may lie; beside something a window stands level with the anchor's top,
    // below or above it level with the anchor's left edge.
    const QRect room = area.marginsRemoved(frame);
    const QPoint level(anchorFrame.left() + frame.left(), anchorFrame.top() + frame.top());
    struct Room {
        QRect rect;
        bool beside;
        bool before;
    };
    // The rooms to the right of, left of, below and above an obstacle.
    const auto roomsAround = [&](const QRect& obstacle) {
        return std::array<Room, 4>{{
            {{QPoint(obstacle.right() + 1 + kGap + frame.left(), room.top()), room.bottomRight()},
             true,
             false},
            {{room.topLeft(), QPoint(obstacle.left() - 1 - kGap - frame.right(), room.bottom())},
             true,
             true},
            {{QPoint(room.left(), obstacle.bottom() + 1 + kGap + frame.top()), room.bottomRight()},
             false,
             false},
            {{room.topLeft(), QPoint(room.right(), obstacle.top() - 1 - kGap - frame.bottom())},
             false,
             true},
        }};
    };
    // Clear of the whole anchor if it can be, else over it but clear of its buttons; the whole
    // size first, then cut to the room while at least the minimum.
    for (const QRect& obstacle : {anchorFrame, keepClear}) {
        for (const QSize& need : {size, minimum}) {
            for (const Room& side : roomsAround(obstacle)) {
                const QRect& r = side.rect;
                if (r.width() < need.width() || r.height() < need.height()) {
                    continue;
                }
                QRect client(
                    QPoint(side.beside ? r.left() : level.x(), side.beside ? level.y() : r.top()),
                    size.boundedTo(r.size()));
                if (side.before && side.beside) {
                    client.moveRight(r.right());
                } else if (side.before) {
                    client.moveBottom(r.bottom());
                }
                return fitInside(client, QMargins(), r, false);
            }
        }
    }
    return besideOf(size, minimum.width(), anchorFrame, frame, area);
}

void centreOnScreen(QWidget* window, const QWidget* anchor) {
    const QScreen* screen = screenOf(anchor != nullptr ? anchor : window);
    if (screen == nullptr) {
        return;
    }
    QRect wanted(QPoint(), window->size());
    wanted.moveCenter(screen->availableGeometry().center());
    placeOnScreen(window, wanted, anchor);
}

} // namespace karumenio::guide
