// PolyPoint: a vertex of a CadPolygon: a point, the arc angle of the edge that ends at it and an id.
#pragma once

#include <cstdint>

#include "Geometry/CadPoint.h"

namespace tarnwick {

// The arc angle is the signed sweep of the edge from the previous vertex to this one, in radians:
// 0 for a straight edge, positive for a counter-clockwise arc, negative for a clockwise one.
// The id is the host's vertex id; 0 means not numbered yet.
struct PolyPoint {
    PolyPoint() = default;
    PolyPoint(const CadPoint& point, double angle = 0.0, std::uint32_t id = 0)
        : point(point), angle(angle), id(id) {}

    CadPoint point;
    double angle = 0.0;
    std::uint32_t id = 0;
};

}   // namespace tarnwick
