#include "Geometry/PolyEdge.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Geometry/Tolerance.h"

namespace tarnwick {
namespace {
constexpr double kTurn = 2.0 * std::numbers::pi;
}

// The centre lies on the chord's perpendicular bisector, at signed distance (L / 2) / tan(sweep / 2) to
// the left of the chord: left for counter-clockwise sweeps below a half turn, right above it, and the
// reverse for clockwise sweeps. The radius is L / (2 |sin(sweep / 2)|).
PolyEdge::PolyEdge(const PolyPoint& begin, const PolyPoint& end)
    : begin_(begin.point), end_(end.point), sweep_(end.angle), centre_((begin.point + end.point) * 0.5) {
    const double span = std::abs(sweep_);
    usable_ = std::isfinite(sweep_) && span < kTurn;
    curved_ = usable_ && span > Tolerance::angle;
    if (!curved_) return;
    const double dx = end_.getX() - begin_.getX(), dy = end_.getY() - begin_.getY();
    const double length = std::sqrt(dx * dx + dy * dy);
    if (exactlyEqual(length, 0.0)) return;   // no chord, no circle: the arc is the point itself
    const double offset = (length / 2.0) / std::tan(sweep_ / 2.0);
    centre_ = {centre_.getX() - dy / length * offset, centre_.getY() + dx / length * offset, begin_.getZ()};
    radius_ = length / (2.0 * std::abs(std::sin(sweep_ / 2.0)));
}

CadArc PolyEdge::getArc() const {
    const double start = std::atan2(begin_.getY() - centre_.getY(), begin_.getX() - centre_.getX());
    return {centre_, radius_, start, getSweep()};
}

double PolyEdge::getChordLength() const { return begin_.planDistanceTo(end_); }

double PolyEdge::getLength() const { return curved_ ? radius_ * std::abs(sweep_) : getChordLength(); }

CadPoint PolyEdge::getMidPoint() const {
    if (curved_ && radius_ > 0.0) return getArc().getMidPoint();
    return (begin_ + end_) * 0.5;
}

Cube PolyEdge::getBounds() const {
    if (curved_ && radius_ > 0.0) return getArc().getBounds();
    Cube bounds(begin_, end_);
    bounds.normalise();
    return bounds;
}

CadPoint PolyEdge::closestPoint(const CadPoint& point) const {
    if (curved_ && radius_ > 0.0) return getArc().closestPoint(point);
    const double dx = end_.getX() - begin_.getX(), dy = end_.getY() - begin_.getY();
    const double squared = dx * dx + dy * dy;
    if (exactlyEqual(squared, 0.0)) return begin_;   // a zero-length edge is the point it is
    double t = ((point.getX() - begin_.getX()) * dx + (point.getY() - begin_.getY()) * dy) / squared;
    t = std::clamp(t, 0.0, 1.0);
    return begin_ + (end_ - begin_) * t;
}

double PolyEdge::planDistanceTo(const CadPoint& point) const {
    return point.planDistanceTo(closestPoint(point));
}

double PolyEdge::getSegmentArea() const {
    if (!curved_) return 0.0;
    return radius_ * radius_ / 2.0 * (sweep_ - std::sin(sweep_));
}

}   // namespace tarnwick
