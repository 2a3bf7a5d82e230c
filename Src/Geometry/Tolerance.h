// Tolerance: the tolerances the framework passes to geometry, named once, and exact comparison.
#pragma once

namespace tarnwick {

// Lengths are in model metres, angles in radians. Geometry code takes a tolerance as a parameter named
// `tolerance`; these are the values its callers pass.
struct Tolerance {
    static constexpr double plan = 1e-5;   // metres: coinciding points, points on edges, polygon validity
    // radians: rotater angles; an arc angle at or below it is straight
    static constexpr double angle = 1e-5;
};

// The few comparisons where exactness is meant (a stored zero, a value copied unchanged). NaN equals nothing.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"
constexpr bool exactlyEqual(double a, double b) { return a == b; }
#pragma GCC diagnostic pop

}   // namespace tarnwick
