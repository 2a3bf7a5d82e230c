#include "Geometry/LinearEquation.h"

#include <cmath>

#include "Geometry/Tolerance.h"

namespace tarnwick {

LinearEquation::LinearEquation(const CadPoint& first, const CadPoint& second) {
    const double dx = second.getX() - first.getX(), dy = second.getY() - first.getY();
    const double length = std::hypot(dx, dy);
    if (exactlyEqual(length, 0.0) || !std::isfinite(length)) return;   // no direction: no line
    a_ = -dy / length;
    b_ = dx / length;
    c_ = -(a_ * first.getX() + b_ * first.getY());
}

bool LinearEquation::isValid() const { return !exactlyEqual(a_, 0.0) || !exactlyEqual(b_, 0.0); }

}   // namespace tarnwick
