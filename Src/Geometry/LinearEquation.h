// LinearEquation: the plan line a x + b y + c = 0 through two points, with (a, b) a unit normal.
#pragma once

#include "Geometry/CadPoint.h"

namespace tarnwick {

// The normal (a, b) points to the left of the direction from the first point to the second, so
// getValue is the signed plan distance: positive on the left, negative on the right. Two points that
// coincide in plan give no line: a = b = c = 0, isValid() is false and every value is 0.
class LinearEquation {
public:
    LinearEquation(const CadPoint& first, const CadPoint& second);

    double getA() const { return a_; }
    double getB() const { return b_; }
    double getC() const { return c_; }
    bool isValid() const;
    double getValue(const CadPoint& point) const { return a_ * point.getX() + b_ * point.getY() + c_; }

private:
    double a_ = 0.0;
    double b_ = 0.0;
    double c_ = 0.0;
};

}   // namespace tarnwick
