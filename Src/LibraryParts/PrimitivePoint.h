// PrimitivePoint: a hotspot of a library part's 2D or 3D appearance.
#pragma once

#include "Geometry/CadPoint.h"
#include "LibraryParts/Primitive.h"

namespace tarnwick {

// A value with its attributes; the point is the hotspot.
class PrimitivePoint : public CadPoint, public Primitive {
public:
    PrimitivePoint(const CadPoint& point, std::uint16_t drawingOrder, std::uint32_t pen,
                   std::uint32_t lineType, bool in2D, bool in3D)
        : CadPoint(point), Primitive(drawingOrder, pen, lineType, in2D, in3D) {}
    PrimitivePoint(const CadPoint& point, const Element& element, bool in2D, bool in3D)
        : CadPoint(point), Primitive(element, in2D, in3D) {}

    void move(const CadPoint& offset) override { *this += offset; }
    bool isHit(const CadPoint& point, double tolerance) const override;   // equal in plan
    std::unique_ptr<Cube> getBounds() const override;                     // the box of the point
    bool write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;
    bool draw(NativeCanvas&, const CadPoint&) const override { return true; }   // nothing
    bool write3D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;
};

}   // namespace tarnwick
