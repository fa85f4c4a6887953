#pragma once

namespace karumenio::plan {

// The working values of the drawing frame, as the ZAHYOU script draws it about the origin.
struct FrameValues {
    double maxX = 0.0;
    double minX = 0.0;
    double maxY = 0.0;
    double minY = 0.0;
    double diagonalDX = 0.0;
    double diagonalDY = 0.0;
    double halfDiagonal = 0.0;
    // Radians after a run.
    double diagonalDirection = 0.0;
    double frameCentreX = 0.0;
    double frameCentreY = 0.0;
    double firstCornerAngle = 0.0;
    double secondCornerAngle = 0.0;
    double paperHalfDiagonal = 0.0;
    // First (lower-left) and second (upper-right) corners of the three rectangles.
    double outerFirstX = 0.0;
    double outerFirstY = 0.0;
    double outerSecondX = 0.0;
    double outerSecondY = 0.0;
    double middleFirstX = 0.0;
    double middleFirstY = 0.0;
    double middleSecondX = 0.0;
    double middleSecondY = 0.0;
    double innerFirstX = 0.0;
    double innerFirstY = 0.0;
    double innerSecondX = 0.0;
    double innerSecondY = 0.0;
};

} // namespace karumenio::plan
