#include "Geometry/Projection.h"

#include "Geometry/Tolerance.h"

namespace tarnwick {

Projection::~Projection() = default;

Vector3 Projection::getViewDirection() const {
    const Vector3 direction = getViewVector().normalised();
    return exactlyEqual(direction.length(), 0.0) ? Vector3(0.0, 1.0, 0.0) : direction;   // looks north
}

}   // namespace tarnwick
