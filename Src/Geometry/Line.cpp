#include "Geometry/Line.h"

#include <cmath>
#include <numbers>

namespace tarnwick {

double Line::getAngle() const {
    const double angle =
        std::atan2(end_.getY() - begin_.getY(), end_.getX() - begin_.getX());   // 0 for (0, 0)
    return angle < 0.0 ? angle + 2.0 * std::numbers::pi : angle;
}

}   // namespace tarnwick
