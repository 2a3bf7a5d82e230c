// CadPoint: a 3D point of three doubles (model metres), passed by value.
#pragma once

namespace tarnwick {

struct PlanPair {   // a plan coordinate pair
    double x = 0.0;
    double y = 0.0;
};

class CadPoint {
public:
    constexpr CadPoint() = default;
    constexpr CadPoint(double x, double y, double z = 0.0) : x_(x), y_(y), z_(z) {}
    constexpr CadPoint(PlanPair plan, double z) : x_(plan.x), y_(plan.y), z_(z) {}

    constexpr double getX() const { return x_; }
    constexpr double getY() const { return y_; }
    constexpr double getZ() const { return z_; }
    constexpr PlanPair getPlan() const { return {x_, y_}; }
    void setX(double x) { x_ = x; }
    void setY(double y) { y_ = y; }
    void setZ(double z) { z_ = z; }
    void setPlan(double x, double y) { x_ = x, y_ = y, z_ = 0.0; }   // z becomes 0

    constexpr CadPoint operator+(const CadPoint& other) const {
        return {x_ + other.x_, y_ + other.y_, z_ + other.z_};
    }
    constexpr CadPoint operator-(const CadPoint& other) const {
        return {x_ - other.x_, y_ - other.y_, z_ - other.z_};
    }
    constexpr CadPoint operator*(double factor) const { return {x_ * factor, y_ * factor, z_ * factor}; }
    CadPoint& operator+=(const CadPoint& other) { return *this = *this + other; }

    double distanceTo(const CadPoint& other) const;                    // in 3D
    double planDistanceTo(const CadPoint& other) const;                // x and y only
    bool planEquals(const CadPoint& other, double tolerance) const {   // plan distance <= tolerance
        return planDistanceTo(other) <= tolerance;
    }
    bool isFinite() const;   // no coordinate is NaN or infinite

private:
    double x_ = 0.0;
    double y_ = 0.0;
    double z_ = 0.0;
};

}   // namespace tarnwick
