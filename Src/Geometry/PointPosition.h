// PointPosition: on which side of a directed line a point lies, within a tolerance (model metres).
#pragma once

#include "Geometry/CadPoint.h"
#include "Geometry/LinearEquation.h"

namespace tarnwick {

// The negative side is the right of the direction from the line's first point to its second.
// A line of coinciding points has no sides: every point is on it.
class PointPosition {
public:
    enum Code : int {
        onLine = 0,         // within tolerance of the line
        negativeSide = 1,   // right of the direction
        positiveSide = 2,   // left of the direction
    };

    PointPosition(const LinearEquation& line, const CadPoint& point, double tolerance);
    PointPosition(const CadPoint& lineBegin, const CadPoint& lineEnd, const CadPoint& point, double tolerance)
        : PointPosition(LinearEquation(lineBegin, lineEnd), point, tolerance) {}

    Code getCode() const { return code_; }
    bool isOnNegativeSide() const { return code_ == negativeSide; }

private:
    Code code_ = onLine;
};

}   // namespace tarnwick
