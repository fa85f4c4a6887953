#pragma once

#include <QList>

class QLabel;
class QSize;
class QWidget;

namespace karumenio::app {

// A label sized to its text whose right edge stays where the design put it (twips).
void placeRightAlignedLabel(QLabel* label, int leftTwips, int topTwips, int widthTwips);

// A centred label that keeps its design width unless its text needs more, then widens evenly.
void placeCentredLabel(QLabel* label, int leftTwips, int topTwips, int widthTwips, int heightTwips);

// Widens a fixed window to its whole title where the screen has room, its controls moved to
// stay in the middle: window managers cut a title longer than the bar.
void giveTitleRoom(QWidget* window);

// Puts the window beside the anchor, on the anchor's screen, wide enough for neededWidth where
// it can be. Where both fit side by side only with the anchor at the screen's edge, the anchor
// moves there once rather than have the window cover its buttons.
void placeBeside(QWidget* window, int neededWidth, QWidget* anchor);

// Puts the window next to the anchor on the anchor's screen, beside or below it where the
// screen allows, never over the anchor's widgets given (its buttons); no smaller than minimum
// where it can be.
void placeClearOf(QWidget* window, const QSize& minimum, QWidget* anchor,
                  const QList<QWidget*>& keepClear);

} // namespace karumenio::app
