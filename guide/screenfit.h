#pragma once

#include <QMargins>
#include <QRect>

class QScreen;
class QSize;
class QWidget;

namespace karumenio::guide {

// The screen a window is on: the one under the centre of its frame, else its own.
QScreen* screenOf(const QWidget* window);

// The window frame's margins (title bar and borders). A window not yet shown has no frame
// yet: it gets the anchor's, or a usual title bar and border when the anchor has none either.
QMargins frameMarginsOf(const QWidget* window, const QWidget* anchor = nullptr);

// The client rectangle moved, and shrunk where it may be, so that the frame around it lies
// inside the area: a rectangle larger than the area keeps its top-left corner (and so its
// title bar) inside.
QRect fitInside(QRect client, const QMargins& frame, const QRect& area, bool mayShrink);

// Places the window at the wanted client rectangle, fitted inside the available area of the
// screen the anchor is on (the window's own screen without an anchor). A window of fixed
// size is only moved.
void placeOnScreen(QWidget* window, const QRect& wanted, const QWidget* anchor = nullptr);

// The client rectangle of a window of the size beside the anchor's frame: to its right, else
// to its left, else narrowed to the larger side's room while that is at least minimumWidth,
// else over the anchor; always inside the area, shrunk to it when larger.
QRect besideOf(const QSize& size, int minimumWidth, const QRect& anchorFrame, const QMargins& frame,
               const QRect& area);

// The client rectangle of a window of the size next to the anchor's frame: whole to its right,
// left, below or above, else cut to the largest of those rooms while at least the minimum
// size; where none is clear of the anchor, over it but clear of keepClear (the anchor's
// buttons, in screen coordinates); always inside the area.
QRect clearOf(const QSize& size, const QSize& minimum, const QRect& anchorFrame,
              const QMargins& frame, const QRect& area, const QRect& keepClear);

// Centres the window on the screen the anchor is on, inside its available area.
void centreOnScreen(QWidget* window, const QWidget* anchor = nullptr);

} // namespace karumenio::guide
