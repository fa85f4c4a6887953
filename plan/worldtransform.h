#pragma once

namespace karumenio::plan {

// A point of the drawing in world coordinates: where the scripts' entities land once the
// drawing program has run them.
struct WorldPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const WorldPoint&, const WorldPoint&) = default;
};

// Between survey coordinates and world. The scripts draw in a mirrored system (a point typed
// "a,b" lies at world (b, a)) aligned to the rotation line, whose X axis is world
// (sin θ, cos θ) and whose Y axis is world (cos θ, −sin θ). The matrix is its own inverse.
class WorldTransform {
  public:
    WorldTransform() = default;
    // θ in degrees, turned into radians the way every script angle is.
    WorldTransform(double rotationDegrees, double degreesPerRadian);

    WorldPoint toWorld(double x, double y) const {
        return {x * m_sin + y * m_cos, x * m_cos - y * m_sin};
    }
    // Survey (x, y) of a world point.
    WorldPoint toSurvey(WorldPoint world) const { return toWorld(world.x, world.y); }

    double rotationDegrees() const { return m_degrees; }

  private:
    double m_degrees = 0.0;
    double m_sin = 0.0;
    double m_cos = 1.0;
};

} // namespace karumenio::plan
