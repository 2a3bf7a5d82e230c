// CadArc: a circular arc in plan: centre, radius, start angle and signed sweep (radians).
#pragma once

#include "Geometry/CadPoint.h"
#include "Geometry/Cube.h"

namespace tarnwick {

// A value. A positive sweep runs counter-clockwise, a negative one clockwise; the arc lies at the
// centre's z. Tolerances are model metres; on the angle they become tolerance / radius.
class CadArc {
public:
    // Bits of getPosition: a point can be at the start and on the arc at once (2 | 4).
    static constexpr int kAtStart = 2;
    static constexpr int kOnArc = 4;
    static constexpr int kAtEnd = 8;

    CadArc() = default;
    CadArc(const CadPoint& centre, double radius, double startAngle, double sweep)
        : centre_(centre), radius_(radius), startAngle_(startAngle), sweep_(sweep) {}

    CadPoint getCentre() const { return centre_; }
    double getRadius() const { return radius_; }
    double getStartAngle() const { return startAngle_; }
    double getSweep() const { return sweep_; }
    double getEndAngle() const { return startAngle_ + sweep_; }
    CadPoint getStartPoint() const { return pointAt(startAngle_); }
    CadPoint getEndPoint() const { return pointAt(getEndAngle()); }
    CadPoint getMidPoint() const { return pointAt(startAngle_ + sweep_ / 2.0); }
    CadPoint pointAt(double angle) const;
    double getLength() const;   // radius x |sweep|
    Cube getBounds() const;     // includes the axis extremes the sweep passes; flat at the centre's z

    bool containsAngle(double angle, double angleTolerance) const;    // within the sweep, inclusive
    CadPoint closestPoint(const CadPoint& point) const;               // in plan; the start for the centre
    int getPosition(const CadPoint& point, double tolerance) const;   // kAtStart | kOnArc | kAtEnd, or 0

private:
    CadPoint centre_;
    double radius_ = 0.0;
    double startAngle_ = 0.0;
    double sweep_ = 0.0;
};

}   // namespace tarnwick
