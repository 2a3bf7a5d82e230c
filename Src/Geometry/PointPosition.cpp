#include "Geometry/PointPosition.h"

namespace tarnwick {

PointPosition::PointPosition(const LinearEquation& line, const CadPoint& point, double tolerance) {
    const double distance = line.getValue(point);
    if (distance < -tolerance)
        code_ = negativeSide;
    else if (distance > tolerance)
        code_ = positiveSide;
}

}   // namespace tarnwick
