#include "Geometry/Rotater.h"

#include <cmath>
#include <numbers>

namespace tarnwick {

void Rotater::setAngle(double angle, double tolerance) {
    constexpr double kTurn = 2.0 * std::numbers::pi;
    double a = std::isfinite(angle) ? std::fmod(angle, kTurn) : 0.0;
    if (a < 0.0) a += kTurn;
    if (a >= kTurn) a = 0.0;   // fmod of a tiny negative angle plus a turn rounds to a whole turn
    angle_ = a;
    active_ = a > tolerance && kTurn - a > tolerance;
    sin_ = active_ ? std::sin(a) : 0.0;
    cos_ = active_ ? std::cos(a) : 1.0;
}

}   // namespace tarnwick
