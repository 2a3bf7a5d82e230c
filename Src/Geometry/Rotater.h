// Rotater: a rotation by one angle with its sine and cosine kept; the base of the axis rotaters.
#pragma once

#include "Geometry/CadPoint.h"

namespace tarnwick {

// The angle is kept in [0, 2 pi). An angle within `tolerance` (radians) of a whole turn leaves the rotater
// inactive: rotate() then leaves points exactly as they are.
class Rotater {
public:
    Rotater() = default;
    virtual ~Rotater() = default;

    void setAngle(double angle, double tolerance);   // a non-finite angle counts as 0
    double getAngle() const { return angle_; }
    bool isActive() const { return active_; }
    virtual void rotate(CadPoint& point) const = 0;   // in place

protected:
    double sin_ = 0.0;
    double cos_ = 1.0;

private:
    double angle_ = 0.0;
    bool active_ = false;
};

}   // namespace tarnwick
