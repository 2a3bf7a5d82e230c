#include "Geometry/Vector3.h"

#include <cmath>

#include "Geometry/Tolerance.h"

namespace tarnwick {

double Vector3::length() const { return std::hypot(x_, y_, z_); }

Vector3 Vector3::normalised() const {
    const double size = length();
    if (exactlyEqual(size, 0.0) || !std::isfinite(size)) return {};   // no direction to keep
    return *this * (1.0 / size);
}

bool Vector3::isNormalised(double tolerance) const { return std::abs(length() - 1.0) <= tolerance; }

// Compared as unit vectors: the sine of the angle between them is |a x b|.
bool Vector3::isParallel(const Vector3& other, double tolerance) const {
    const Vector3 a = normalised(), b = other.normalised();
    if (exactlyEqual(a.length(), 0.0) || exactlyEqual(b.length(), 0.0))
        return false;   // a zero vector has no direction
    return a.cross(b).length() <= tolerance;
}

bool Vector3::isSameSense(const Vector3& other, double tolerance) const {
    return isParallel(other, tolerance) && dot(other) > 0.0;
}

}   // namespace tarnwick
