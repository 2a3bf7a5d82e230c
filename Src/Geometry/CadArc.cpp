#include "Geometry/CadArc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarnwick {
namespace {
constexpr double kTurn = 2.0 * std::numbers::pi;

double positiveModulo(double angle) {
    double a = std::fmod(angle, kTurn);
    if (a < 0.0) a += kTurn;
    return a >= kTurn ? 0.0 : a;
}
}   // namespace

CadPoint CadArc::pointAt(double angle) const {
    return {centre_.getX() + radius_ * std::cos(angle), centre_.getY() + radius_ * std::sin(angle),
            centre_.getZ()};
}

double CadArc::getLength() const { return std::abs(radius_ * sweep_); }

Cube CadArc::getBounds() const {
    Cube bounds(getStartPoint(), getStartPoint());
    bounds.include(getEndPoint());
    for (int quarter = 0; quarter < 4; ++quarter) {   // the four axis extremes, where the sweep passes them
        const double angle = quarter * std::numbers::pi / 2.0;
        if (containsAngle(angle, 0.0)) bounds.include(pointAt(angle));
    }
    return bounds;
}

// Measure from the start in the sweep's own direction; a sweep of a full turn or more holds every angle.
bool CadArc::containsAngle(double angle, double angleTolerance) const {
    const double span = std::abs(sweep_);
    if (span + angleTolerance >= kTurn) return true;
    const double offset = positiveModulo(sweep_ >= 0.0 ? angle - startAngle_ : startAngle_ - angle);
    return offset <= span + angleTolerance || kTurn - offset <= angleTolerance;
}

CadPoint CadArc::closestPoint(const CadPoint& point) const {
    const double dx = point.getX() - centre_.getX(), dy = point.getY() - centre_.getY();
    if (std::hypot(dx, dy) <= 0.0) return getStartPoint();   // every point of the arc is as close
    const double angle = std::atan2(dy, dx);
    if (containsAngle(angle, 0.0)) return pointAt(angle);
    const CadPoint start = getStartPoint(), end = getEndPoint();
    return point.planDistanceTo(start) <= point.planDistanceTo(end) ? start : end;
}

int CadArc::getPosition(const CadPoint& point, double tolerance) const {
    int code = 0;
    if (point.planDistanceTo(getStartPoint()) <= tolerance) code |= kAtStart;
    if (point.planDistanceTo(closestPoint(point)) <= tolerance) code |= kOnArc;
    if (point.planDistanceTo(getEndPoint()) <= tolerance) code |= kAtEnd;
    return code;
}

}   // namespace tarnwick
