#include "transversemercator.h"

#include "elementary.h"
#include "numeric/trig.h"

#include <cmath>

namespace karumenio::geodesy {

namespace {

// GRS80.
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kInverseFlattening = 298.257222101;

constexpr double kRadiansPerDegree = 0x1.1df46a2529d39p-6;
constexpr double kDegreesPerRadian = 0x1.ca5dc1a63c1f8p+5;

constexpr double kLimitNorthing = 5.0e6;
constexpr double kLimitEasting = 1.0e6;
constexpr double kLimitLatitude = 89.0;
constexpr double kLimitLongitude = 20.0;

constexpr int kOrder = 5;

// The coefficients of the series, polynomials in the third flattening n = f / (2 − f).
struct Series {
    double n = 0.0;
    double arc0 = 0.0;                  // the meridian arc's linear term
    std::array<double, kOrder> arc{};   // its sin(2jφ) terms
    std::array<double, kOrder> alpha{}; // conformal sphere → plane
    std::array<double, kOrder> beta{};  // plane → conformal sphere
    std::array<double, 6> delta{};      // conformal latitude → latitude
    double conformalFactor = 0.0;       // 2√n / (1 + n)
};

Series makeSeries() {
    Series s;
    const double n = 1.0 / (2.0 * kInverseFlattening - 1.0);
    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n4 = n3 * n;
    const double n5 = n4 * n;
    const double n6 = n5 * n;
    s.n = n;
    s.arc0 = 1.0 + n2 / 4.0 + n4 / 64.0;
    s.arc = {
        -3.0 / 2.0 * (n - n3 / 8.0 - n5 / 64.0),
        15.0 / 16.0 * (n2 - n4 / 4.0),
        -35.0 / 48.0 * (n3 - 5.0 / 16.0 * n5),
        315.0 / 512.0 * n4,
        -693.0 / 1280.0 * n5,
    };
    s.alpha = {
        n / 2.0 - 2.0 / 3.0 * n2 + 5.0 / 16.0 * n3 + 41.0 / 180.0 * n4 - 127.0 / 288.0 * n5,
        13.0 / 48.0 * n2 - 3.0 / 5.0 * n3 + 557.0 / 1440.0 * n4 + 281.0 / 630.0 * n5,
        61.0 / 240.0 * n3 - 103.0 / 140.0 * n4 + 15061.0 / 26880.0 * n5,
        49561.0 / 161280.0 * n4 - 179.0 / 168.0 * n5,
        34729.0 / 80640.0 * n5,
    };
    s.beta = {
        n / 2.0 - 2.0 / 3.0 * n2 + 37.0 / 96.0 * n3 - 1.0 / 360.0 * n4 - 81.0 / 512.0 * n5,
        1.0 / 48.0 * n2 + 1.0 / 15.0 * n3 - 437.0 / 1440.0 * n4 + 46.0 / 105.0 * n5,
        17.0 / 480.0 * n3 - 37.0 / 840.0 * n4 - 209.0 / 4480.0 * n5,
        4397.0 / 161280.0 * n4 - 11.0 / 504.0 * n5,
        4583.0 / 161280.0 * n5,
    };
    s.delta = {
        2.0 * n - 2.0 / 3.0 * n2 - 2.0 * n3 + 116.0 / 45.0 * n4 + 26.0 / 45.0 * n5 -
            2854.0 / 675.0 * n6,
        7.0 / 3.0 * n2 - 8.0 / 5.0 * n3 - 227.0 / 45.0 * n4 + 2704.0 / 315.0 * n5 +
            2323.0 / 945.0 * n6,
        56.0 / 15.0 * n3 - 136.0 / 35.0 * n4 - 1262.0 / 105.0 * n5 + 73814.0 / 2835.0 * n6,
        4279.0 / 630.0 * n4 - 332.0 / 35.0 * n5 - 399572.0 / 14175.0 * n6,
        4174.0 / 315.0 * n5 - 144838.0 / 6237.0 * n6,
        601676.0 / 22275.0 * n6,
    };
    s.conformalFactor = 2.0 * std::sqrt(n) / (1.0 + n);
    return s;
}

const Series& series() {
    static const Series s = makeSeries();
    return s;
}

// sin(2jθ) and cos(2jθ) for j = 1 … N from sin 2θ and cos 2θ by the angle-sum rule: two
// trigonometric calls instead of 2N.
template <std::size_t N> struct Multiples {
    std::array<double, N> sin{};
    std::array<double, N> cos{};
};

template <std::size_t N> Multiples<N> circularMultiples(double s1, double c1) {
    Multiples<N> m;
    m.sin[0] = s1;
    m.cos[0] = c1;
    for (std::size_t j = 1; j < N; ++j) {
        m.sin[j] = m.sin[j - 1] * c1 + m.cos[j - 1] * s1;
        m.cos[j] = m.cos[j - 1] * c1 - m.sin[j - 1] * s1;
    }
    return m;
}

// sinh(2jη) and cosh(2jη) the same way.
template <std::size_t N> Multiples<N> hyperbolicMultiples(double sh1, double ch1) {
    Multiples<N> m;
    m.sin[0] = sh1;
    m.cos[0] = ch1;
    for (std::size_t j = 1; j < N; ++j) {
        m.sin[j] = m.sin[j - 1] * ch1 + m.cos[j - 1] * sh1;
        m.cos[j] = m.cos[j - 1] * ch1 + m.sin[j - 1] * sh1;
    }
    return m;
}

// sinh x and cosh x from one e^x − 1, accurate for small x as well.
struct Hyperbolic {
    double sinh = 0.0;
    double cosh = 0.0;
};

Hyperbolic sinhCosh(double x) {
    const double em = expm1(x);
    const double e = 1.0 + em;
    return {0.5 * (em + em / e), 1.0 + em * em / (e + e)};
}

// Sine and cosine of an angle of at most a hundredth of a radian by their series to the
// seventh power, whose remainder is below 10^-18 there.
struct Rotation {
    double sin = 0.0;
    double cos = 1.0;
};

Rotation smallRotation(double a) {
    const double a2 = a * a;
    return {a * (1.0 - a2 / 6.0 * (1.0 - a2 / 20.0 * (1.0 - a2 / 42.0))),
            1.0 - a2 / 2.0 * (1.0 - a2 / 12.0 * (1.0 - a2 / 30.0))};
}

// Σ c_j·sin(2jξ)·cosh(2jη) and Σ c_j·cos(2jξ)·sinh(2jη): the series between the plane and the
// conformal sphere, either way, from sin ξ, cos ξ and η.
struct KruegerSums {
    double xi = 0.0;
    double eta = 0.0;
};

KruegerSums kruegerSums(const std::array<double, kOrder>& c, double sinXi, double cosXi,
                        double eta) {
    const auto circular =
        circularMultiples<kOrder>(2.0 * sinXi * cosXi, (cosXi - sinXi) * (cosXi + sinXi));
    const Hyperbolic twoEta = sinhCosh(2.0 * eta);
    const auto hyperbolic = hyperbolicMultiples<kOrder>(twoEta.sinh, twoEta.cosh);
    KruegerSums sums;
    for (int j = kOrder - 1; j >= 0; --j) {
        sums.xi += c[j] * circular.sin[j] * hyperbolic.cos[j];
        sums.eta += c[j] * circular.cos[j] * hyperbolic.sin[j];
    }
    return sums;
}

double meridianArc(const Series& s, double latitude) {
    const auto m = circularMultiples<kOrder>(numeric::sin(2.0 * latitude), numeric::cos(2.0 * latitude));
    double sum = 0.0;
    for (int j = kOrder - 1; j >= 0; --j) {
        sum += s.arc[j] * m.sin[j];
    }
    return s.arc0 * latitude + sum;
}

} // namespace

TransverseMercator::TransverseMercator(const PlaneSystem& system) : m_system(system) {
    const Series& s = series();
    const double scaledRadius = system.scaleFactor * kSemiMajorAxis / (1.0 + s.n);
    m_radius = scaledRadius * s.arc0;
    m_originArc = scaledRadius * meridianArc(s, system.originLatitude() * kRadiansPerDegree);
}

std::optional<GeographicPoint> TransverseMercator::toGeographic(PlanePoint p) const {
    if (!(std::fabs(p.x) <= kLimitNorthing && std::fabs(p.y) <= kLimitEasting)) {
        return std::nullopt;
    }
    const Series& s = series();
    const double xi = (p.x + m_originArc) / m_radius;
    const double eta = p.y / m_radius;

    // From the plane to the conformal sphere (ξ′, η′).
    const double sinXi = numeric::sin(xi);
    const double cosXi = numeric::cos(xi);
    const KruegerSums sums = kruegerSums(s.beta, sinXi, cosXi, eta);
    const double etaPrime = eta - sums.eta;
    // ξ′ = ξ − sums.xi, turned back by a few thousandths of a radian: its sine and cosine follow
    // by the angle-sum rule from short series, instead of two more calls.
    const Rotation shift = smallRotation(sums.xi);
    const double sinXiPrime = sinXi * shift.cos - cosXi * shift.sin;
    const double cosXiPrime = cosXi * shift.cos + sinXi * shift.sin;

    // The conformal latitude χ and the longitude from the central meridian.
    const Hyperbolic h = sinhCosh(etaPrime);
    const double sinChi = sinXiPrime / h.cosh;
    const double chi = asin(sinChi);
    const double longitude = atan2(h.sinh, cosXiPrime);

    // χ to the latitude; sin 2χ and cos 2χ follow from sin χ without further calls.
    const double cosChi = std::sqrt((1.0 - sinChi) * (1.0 + sinChi));
    const auto latitudeTerms =
        circularMultiples<6>(2.0 * sinChi * cosChi, 1.0 - 2.0 * sinChi * sinChi);
    double latitudeSum = 0.0;
    for (int j = 5; j >= 0; --j) {
        latitudeSum += s.delta[j] * latitudeTerms.sin[j];
    }
    const double latitude = chi + latitudeSum;
    return GeographicPoint{latitude * kDegreesPerRadian,
                           m_system.originLongitude() + longitude * kDegreesPerRadian};
}

std::optional<PlanePoint> TransverseMercator::toPlane(GeographicPoint g) const {
    const double fromMeridian = g.longitude - m_system.originLongitude();
    if (!(std::fabs(g.latitude) <= kLimitLatitude && std::fabs(fromMeridian) <= kLimitLongitude)) {
        return std::nullopt;
    }
    const Series& s = series();
    const double latitude = g.latitude * kRadiansPerDegree;
    const double longitude = fromMeridian * kRadiansPerDegree;

    // The conformal latitude, as t = tan χ.
    const double sinPhi = numeric::sin(latitude);
    const double t = sinh(atanh(sinPhi) - s.conformalFactor * atanh(s.conformalFactor * sinPhi));
    const double tBar = std::sqrt(1.0 + t * t);
    const double cosLongitude = numeric::cos(longitude);
    const double xiPrime = atan2(t, cosLongitude);
    const double etaPrime = atanh(numeric::sin(longitude) / tBar);

    // sin ξ′ and cos ξ′ are t and cos λ over their hypotenuse.
    const double hypotenuse = std::sqrt(t * t + cosLongitude * cosLongitude);
    const double sinXiPrime = t / hypotenuse;
    const double cosXiPrime = cosLongitude / hypotenuse;
    const KruegerSums sums = kruegerSums(s.alpha, sinXiPrime, cosXiPrime, etaPrime);
    return PlanePoint{m_radius * (xiPrime + sums.xi) - m_originArc,
                      m_radius * (etaPrime + sums.eta)};
}

} // namespace karumenio::geodesy
