// PolyEdge: the edge between two consecutive vertices of a CadPolygon, straight or a circular arc.
#pragma once

#include "Geometry/CadArc.h"
#include "Geometry/CadPoint.h"
#include "Geometry/Cube.h"
#include "Geometry/PolyPoint.h"

namespace tarnwick {

// Made from the vertex where the edge begins and the one where it ends; the sweep is the end vertex's
// arc angle. The edge is curved when that angle's magnitude lies above Tolerance::angle and below a full
// turn; any other angle (including NaN) leaves it straight, and hasUsableAngle() then tells whether the
// angle was a straight edge's or one no arc can have. A curved edge whose ends coincide has radius 0.
class PolyEdge {
public:
    PolyEdge(const PolyPoint& begin, const PolyPoint& end);

    CadPoint getBegin() const { return begin_; }
    CadPoint getEnd() const { return end_; }
    bool isCurved() const { return curved_; }
    bool hasUsableAngle() const { return usable_; }
    double getSweep() const { return curved_ ? sweep_ : 0.0; }
    CadPoint getCentre() const { return centre_; }   // the arc's centre; a straight edge's midpoint
    double getRadius() const { return radius_; }     // 0 for a straight edge
    CadArc getArc() const;                           // the curved edge as an arc
    double getChordLength() const;                   // in plan
    double getLength() const;                        // in plan, along the arc for a curved edge
    CadPoint getMidPoint() const;                    // halfway along the edge
    Cube getBounds() const;
    CadPoint closestPoint(const CadPoint& point) const;   // in plan
    double planDistanceTo(const CadPoint& point) const;
    // Signed area between the chord and the arc, for the shoelace sum: r^2 / 2 (sweep - sin sweep).
    double getSegmentArea() const;

private:
    CadPoint begin_;
    CadPoint end_;
    double sweep_ = 0.0;
    bool curved_ = false;
    bool usable_ = true;
    CadPoint centre_;
    double radius_ = 0.0;
};

}   // namespace tarnwick
