// Cube: an axis-aligned 3D box held as its minimum and maximum corners (model metres).
#pragma once

#include <array>

#include "Geometry/CadPoint.h"

namespace tarnwick {

// A value. The corners are kept as given; normalise() orders them. Sizes are maximum minus minimum,
// so they are negative for a box that is not normalised.
class Cube {
public:
    Cube() = default;
    Cube(const CadPoint& first, const CadPoint& second) : min_(first), max_(second) {}
    // From the host's 32-byte plan box: minimum x, minimum y, maximum x, maximum y; z is 0.
    explicit Cube(const std::array<double, 4>& hostBox);

    CadPoint getMinimum() const { return min_; }
    CadPoint getMaximum() const { return max_; }
    CadPoint getCentre() const { return (min_ + max_) * 0.5; }
    void setMinimum(const CadPoint& corner) { min_ = corner; }
    void setMaximum(const CadPoint& corner) { max_ = corner; }

    double getWidth() const { return max_.getX() - min_.getX(); }    // x extent
    double getDepth() const { return max_.getY() - min_.getY(); }    // y extent
    double getHeight() const { return max_.getZ() - min_.getZ(); }   // z extent
    double getLargestSize() const;                                   // the largest of the three
    std::array<double, 4> getExtent() const;   // the plan box: minimum x, minimum y, maximum x, maximum y

    void normalise();                      // swaps coordinates so that minimum <= maximum on each axis
    void enlarge(double distance);         // both corners move outwards by the distance on all three axes
    void include(const CadPoint& point);   // grows to hold the point (on a normalised box)
    // Turns the box by a plan angle about the z axis through the origin and becomes the axis-aligned
    // box of the turned corners; z is unchanged.
    void turn(double angle);

private:
    CadPoint min_;
    CadPoint max_;
};

}   // namespace tarnwick
