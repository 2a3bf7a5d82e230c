#include "Geometry/Cube.h"

#include <algorithm>
#include <cmath>

namespace tarnwick {

Cube::Cube(const std::array<double, 4>& hostBox)
    : min_(hostBox[0], hostBox[1], 0.0), max_(hostBox[2], hostBox[3], 0.0) {}

double Cube::getLargestSize() const { return std::max({getWidth(), getDepth(), getHeight()}); }

std::array<double, 4> Cube::getExtent() const { return {min_.getX(), min_.getY(), max_.getX(), max_.getY()}; }

void Cube::normalise() {
    const CadPoint a = min_, b = max_;
    min_ = {std::min(a.getX(), b.getX()), std::min(a.getY(), b.getY()), std::min(a.getZ(), b.getZ())};
    max_ = {std::max(a.getX(), b.getX()), std::max(a.getY(), b.getY()), std::max(a.getZ(), b.getZ())};
}

void Cube::enlarge(double distance) {
    const CadPoint step(distance, distance, distance);
    min_ = min_ - step;
    max_ = max_ + step;
}

void Cube::include(const CadPoint& point) {
    min_ = {std::min(min_.getX(), point.getX()), std::min(min_.getY(), point.getY()),
            std::min(min_.getZ(), point.getZ())};
    max_ = {std::max(max_.getX(), point.getX()), std::max(max_.getY(), point.getY()),
            std::max(max_.getZ(), point.getZ())};
}

void Cube::turn(double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double xs[2] = {min_.getX(), max_.getX()}, ys[2] = {min_.getY(), max_.getY()};
    const double zMin = min_.getZ(), zMax = max_.getZ();
    bool first = true;
    for (double x : xs) {
        for (double y : ys) {
            const CadPoint turned(x * c - y * s, x * s + y * c, zMin);
            if (first)
                min_ = max_ = turned, first = false;
            else
                include(turned);
        }
    }
    max_.setZ(zMax);
}

}   // namespace tarnwick
