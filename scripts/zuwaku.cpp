#include "zuwaku.h"

#include "scriptfile.h"
#include "writestate.h"

#include "points/runtimeerror.h"
#include "points/worksheet.h"

#include <cmath>

namespace karumenio::scripts {

namespace {

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
                                   "型が一致しません: セル " + cell + " の「" + value.textForm() +
                                       "」は数値として読めません。座標の最大値・最小値の計算式を"
                                       "確かめて下さい。",
                                   cell);
    }
}

} // namespace

void ZUWAKU(ScriptFile& script, const points::Worksheet& dataSheet, int paperIndex, int scaleIndex,
            WriteState& state) {
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
    f.diagonalDirection = std::atan(f.diagonalDY / f.diagonalDX) * degreesPerRadian;
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
    f.frameCentreX = f.maxX + f.halfDiagonal * std::cos(f.diagonalDirection);
    f.frameCentreY = f.maxY + f.halfDiagonal * std::sin(f.diagonalDirection);

    if (paperIndex >= 0 && paperIndex < static_cast<int>(kPaperSizes.size())) {
        const PaperSize& paper = kPaperSizes[static_cast<std::size_t>(paperIndex)];
        f.firstCornerAngle = paper.firstCornerAngle / degreesPerRadian;
        double second = paper.firstCornerAngle + 180;
        if (second > 360) {
            second = second - 360;
        }
        f.secondCornerAngle = second / degreesPerRadian;
        f.paperHalfDiagonal = paper.halfDiagonal;
    }

    const double r = f.paperHalfDiagonal;
    const double a = 45 / degreesPerRadian;
    const double b = 225 / degreesPerRadian;
    f.outerFirstX = 0 + r * std::cos(f.firstCornerAngle);
    f.outerFirstY = 0 + r * std::sin(f.firstCornerAngle);
    f.outerSecondX = 0 + r * std::cos(f.secondCornerAngle);
    f.outerSecondY = 0 + r * std::sin(f.secondCornerAngle);
    f.middleFirstX = f.outerFirstX + std::cos(a) * kMiddleInset;
    f.middleFirstY = f.outerFirstY + std::sin(a) * kMiddleInset;
    f.middleSecondX = f.outerSecondX + std::cos(b) * kMiddleInset;
    f.middleSecondY = f.outerSecondY + std::sin(b) * kMiddleInset;
    f.innerFirstX = f.outerFirstX + std::cos(a) * kInnerInset;
    f.innerFirstY = f.outerFirstY + std::sin(a) * kInnerInset;
    f.innerSecondX = f.outerSecondX + std::cos(b) * kInnerInset;
    f.innerSecondY = f.outerSecondY + std::sin(b) * kInnerInset;

    double scaleFactor = state.scaleFactor;
    if (scaleIndex >= 0 && scaleIndex < static_cast<int>(kDrawingScales.size())) {
        scaleFactor = kDrawingScales[static_cast<std::size_t>(scaleIndex)].factor;
    }

    state.frame = f;
    state.scaleFactor = scaleFactor;

    script.writeLine("-LAYER M P_WAKU C 7  ");
    script.writeLine("UCS W");
    script.writeLine("RECTANG");
    script.pointLine(f.outerFirstX, f.outerFirstY);
    script.pointLine(f.outerSecondX, f.outerSecondY);
    script.writeLine("RECTANG");
    script.pointLine(f.middleFirstX, f.middleFirstY);
    script.pointLine(f.middleSecondX, f.middleSecondY);
    script.writeLine("RECTANG");
    script.pointLine(f.innerFirstX, f.innerFirstY);
    script.pointLine(f.innerSecondX, f.innerSecondY);
    script.writeLine("ROTATE ALL  0,0 90");
    script.write("SCALE ALL  0,0 ");
    script.writeCoordinate(scaleFactor);
    script.endLine();
    script.writeLine("UCS R U1");
    script.writeLine("MOVE ALL  0,0");
    script.pointLine(f.frameCentreX, f.frameCentreY);
}

} // namespace karumenio::scripts
