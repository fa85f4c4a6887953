#include "frame.h"

#include "extent.h"
#include "papersize.h"

#include "numeric/trig.h"

#include <cmath>

namespace karumenio::plan {

namespace {

// Insets of the 15 mm and 35 mm borders along the 45° diagonal: 15√2 and 35√2 to 8 decimals,
// so that each border lies 15 (35) mm in on both axes to within a few nanometres.
constexpr double kMiddleInset = 21.21320344;
constexpr double kInnerInset = 49.49747468;
// Added to a diagonal component that is 0, so that its direction is defined.
constexpr double kZeroGuard = 1E-19;

} // namespace

FrameValues computeFrame(const Extent& extent, const PaperSize& paper, double degreesPerRadian) {
    FrameValues f;
    f.maxX = extent.maxX;
    f.minX = extent.minX;
    f.maxY = extent.maxY;
    f.minY = extent.minY;
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

    f.firstCornerAngle = paper.firstCornerAngle / degreesPerRadian;
    double second = paper.firstCornerAngle + 180;
    if (second > 360) {
        second = second - 360;
    }
    f.secondCornerAngle = second / degreesPerRadian;
    f.paperHalfDiagonal = paper.halfDiagonal;

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
    return f;
}

} // namespace karumenio::plan
