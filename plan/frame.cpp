#include "frame.h"

#include "settings.h"
#include "writestate.h"

#include "numeric/trig.h"
#include "points/messagetext.h"
#include "points/runtimeerror.h"
#include "points/worksheet.h"

#include <cmath>

namespace karumenio::plan {

namespace {

// Insets of the 15 mm and 35 mm borders along the 45° diagonal.
constexpr double kMiddleInset = 21.21320344;
constexpr double kInnerInset = 49.49747468;
constexpr double kZeroGuard = 1E-19;

double extentCell(const points::Worksheet& sheet, int row, int column) {
    const points::CellValue& value = sheet.value(row, column);
    try {
        return value.toNumber();
    } catch (const points::RunTimeError&) {
        const std::string cell = points::cellName(row, column);
        throw points::RunTimeError(points::RunError::TypeMismatch,
                                   "型が一致しません: セル " + cell + " の「" +
                                       points::quotedInMessage(value.textForm()) +
                                       "」は数値として読めません。座標の最大値・最小値の計算式を"
                                       "確かめて下さい。",
                                   cell);
    }
}

} // namespace

void computeFrame(const points::Worksheet& dataSheet, const Settings& settings, WriteState& state) {
    const double degreesPerRadian = state.degreesPerRadian.toNumber();
    FrameValues f = state.frame;

    // Extent and centre. The centre is reached through the direction and half-length of the
    // diagonal, so it carries their rounding.
    f.maxX = extentCell(dataSheet, kExtentMaxRow, kExtentFirstColumn);
    f.minX = extentCell(dataSheet, kExtentMinRow, kExtentFirstColumn);
    f.maxY = extentCell(dataSheet, kExtentMaxRow, kExtentSecondColumn);
    f.minY = extentCell(dataSheet, kExtentMinRow, kExtentSecondColumn);
    f.diagonalDX = f.minX - f.maxX;
    f.diagonalDY = f.minY - f.maxY;
    f.halfDiagonal = std::sqrt(f.diagonalDX * f.diagonalDX + f.diagonalDY * f.diagonalDY) / 2;
    if (f.diagonalDX == 0) {
        f.diagonalDX = f.diagonalDX + kZeroGuard;
    }
    if (f.diagonalDY == 0) {
        f.diagonalDY = f.diagonalDY + kZeroGuard;
    }
    f.diagonalDirection = numeric::atan(f.diagonalDY / f.diagonalDX) * degreesPerRadian;
    if (f.diagonalDX > 0 && f.diagonalDY < 0) {
        f.diagonalDirection = f.diagonalDirection + 360;
    }
    if (f.diagonalDX < 0 && f.diagonalDY > 0) {
        f.diagonalDirection = f.diagonalDirection + 180;
    }
    if (f.diagonalDX < 0 && f.diagonalDY < 0) {
        f.diagonalDirection = f.diagonalDirection + 180;
    }
    f.diagonalDirection = f.diagonalDirection / degreesPerRadian;
    f.frameCentreX = f.maxX + f.halfDiagonal * numeric::cos(f.diagonalDirection);
    f.frameCentreY = f.maxY + f.halfDiagonal * numeric::sin(f.diagonalDirection);

    if (const PaperSize* paper = settings.paper) {
        f.firstCornerAngle = paper->firstCornerAngle / degreesPerRadian;
        double second = paper->firstCornerAngle + 180;
        if (second > 360) {
            second = second - 360;
        }
        f.secondCornerAngle = second / degreesPerRadian;
        f.paperHalfDiagonal = paper->halfDiagonal;
    }

    const double r = f.paperHalfDiagonal;
    const double a = 45 / degreesPerRadian;
    const double b = 225 / degreesPerRadian;
    f.outerFirstX = 0 + r * numeric::cos(f.firstCornerAngle);
    f.outerFirstY = 0 + r * numeric::sin(f.firstCornerAngle);
    f.outerSecondX = 0 + r * numeric::cos(f.secondCornerAngle);
    f.outerSecondY = 0 + r * numeric::sin(f.secondCornerAngle);
    f.middleFirstX = f.outerFirstX + numeric::cos(a) * kMiddleInset;
    f.middleFirstY = f.outerFirstY + numeric::sin(a) * kMiddleInset;
    f.middleSecondX = f.outerSecondX + numeric::cos(b) * kMiddleInset;
    f.middleSecondY = f.outerSecondY + numeric::sin(b) * kMiddleInset;
    f.innerFirstX = f.outerFirstX + numeric::cos(a) * kInnerInset;
    f.innerFirstY = f.outerFirstY + numeric::sin(a) * kInnerInset;
    f.innerSecondX = f.outerSecondX + numeric::cos(b) * kInnerInset;
    f.innerSecondY = f.outerSecondY + numeric::sin(b) * kInnerInset;

    state.frame = f;
    if (settings.scale != nullptr) {
        state.scaleFactor = settings.scale->factor;
    }
}

} // namespace karumenio::plan
