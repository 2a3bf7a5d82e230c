// Transformation: one pending edit of a placed element, given to the host's element edit call.
#pragma once

#include <cstdint>

#include "Geometry/CadPoint.h"

namespace tarnwick {

// What the edit does with its three points (model metres):
//   move:    by end - begin;
//   rotate:  about origin, by the plan angle from (begin - origin) to (end - origin);
//   mirror:  across the plan line from begin to end;
//   elevate: by end.z - begin.z.
// A value; the host record is filled from these fields by the caller of the edit.
class Transformation {
public:
    enum class Kind : std::uint32_t { move = 1, rotate = 2, mirror = 3, elevate = 4 };   // stored

    Transformation(Kind kind, const CadPoint& origin, const CadPoint& begin, const CadPoint& end)
        : kind_(kind), origin_(origin), begin_(begin), end_(end) {}

    Kind getKind() const { return kind_; }
    CadPoint getOrigin() const { return origin_; }
    CadPoint getBegin() const { return begin_; }
    CadPoint getEnd() const { return end_; }

private:
    Kind kind_;
    CadPoint origin_;
    CadPoint begin_;
    CadPoint end_;
};

}   // namespace tarnwick
