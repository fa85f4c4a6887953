#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QString>

class QLabel;
class QWidget;

namespace karumenio::guide {

inline const QString kGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kMincho = QStringLiteral("ＭＳ Ｐ明朝");

// Window layouts are designed in twips; 15 twips make one device-independent pixel, and Qt's
// high-DPI scaling takes care of denser screens.
constexpr int twips(int value) {
    return (value + 7) / 15;
}

// Maps the two Japanese font names the windows and the worksheet use onto installed Japanese
// fonts when the originals are missing, so that no text shows as boxes. Call once after the
// application object exists.
void mapJapaneseFonts();

// What every window of the program shares, set once after the application object exists:
// the Japanese fonts, the default window font and the program icon.
void applyProgramLook();

QFont gothicFont(qreal pointSize, bool bold = false);
QFont minchoFont(qreal pointSize);

// The system highlight colour, used as text colour by several labels.
QColor highlightColour();

// The program's 32 x 32 icon, drawn here so every window shows the same picture; larger for
// the browser edition's installed icons.
QImage programIconImage(int pixels = 32);
QIcon programIcon();

// Fixed client size, no resizing, no minimise or maximise button, the program icon, centred
// on the screen.
void setupFixedWindow(QWidget* window, int widthTwips, int heightTwips);

// A label that keeps its left and top and grows to its text on one line.
void placeAutoSizeLabel(QLabel* label, int leftTwips, int topTwips);

// Narrows the window's font just enough that every label, grown to its text, ends inside the
// window with the margin to spare; fonts wider than the designer's stay readable on one line.
void condenseLabelsToFit(QWidget* window, int rightMarginTwips);

// Gives a label the colour as its text colour.
void setTextColour(QWidget* widget, const QColor& colour);

} // namespace karumenio::guide
