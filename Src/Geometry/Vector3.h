// Vector3: a 3D vector of three doubles (directions and normals), passed by value.
#pragma once

#include "Geometry/CadPoint.h"

namespace tarnwick {

// The tolerance of the direction tests is dimensionless: it applies to unit vectors.
class Vector3 {
public:
    constexpr Vector3() = default;
    constexpr Vector3(double x, double y, double z) : x_(x), y_(y), z_(z) {}
    constexpr explicit Vector3(const CadPoint& point)
        : x_(point.getX()), y_(point.getY()), z_(point.getZ()) {}

    constexpr double getX() const { return x_; }
    constexpr double getY() const { return y_; }
    constexpr double getZ() const { return z_; }
    constexpr CadPoint toPoint() const { return {x_, y_, z_}; }

    constexpr Vector3 operator+(const Vector3& o) const { return {x_ + o.x_, y_ + o.y_, z_ + o.z_}; }
    constexpr Vector3 operator-(const Vector3& o) const { return {x_ - o.x_, y_ - o.y_, z_ - o.z_}; }
    constexpr Vector3 operator*(double factor) const { return {x_ * factor, y_ * factor, z_ * factor}; }
    constexpr double dot(const Vector3& o) const { return x_ * o.x_ + y_ * o.y_ + z_ * o.z_; }
    constexpr Vector3 cross(const Vector3& o) const {
        return {y_ * o.z_ - z_ * o.y_, z_ * o.x_ - x_ * o.z_, x_ * o.y_ - y_ * o.x_};
    }
    double length() const;
    Vector3 normalised() const;   // the zero vector stays zero

    bool isNormalised(double tolerance) const;                        // | |v| - 1 | <= tolerance
    bool isParallel(const Vector3& other, double tolerance) const;    // false when either is zero
    bool isSameSense(const Vector3& other, double tolerance) const;   // parallel and pointing the same way

private:
    double x_ = 0.0;
    double y_ = 0.0;
    double z_ = 0.0;
};

}   // namespace tarnwick
