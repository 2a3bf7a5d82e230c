// Line: the directed straight line from one point to another.
#pragma once

#include "Geometry/CadPoint.h"

namespace tarnwick {

class Line {
public:
    Line() = default;
    Line(const CadPoint& begin, const CadPoint& end) : begin_(begin), end_(end) {}

    CadPoint getBegin() const { return begin_; }
    CadPoint getEnd() const { return end_; }
    double getAngle() const;   // plan direction in [0, 2 pi); 0 when the two points coincide in plan
    Line getReversed() const { return {end_, begin_}; }
    void reverse() { *this = getReversed(); }

private:
    CadPoint begin_;
    CadPoint end_;
};

}   // namespace tarnwick
