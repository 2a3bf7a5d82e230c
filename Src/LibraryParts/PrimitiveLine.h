// PrimitiveLine: a straight line of a library part's 2D or 3D appearance.
#pragma once

#include "Geometry/Line.h"
#include "LibraryParts/Primitive.h"

namespace tarnwick {

// A value with its attributes. A line drawn by the host as a line of a hatch (isHatchLine) is
// written in 2D with the hatch's pen slot.
class PrimitiveLine : public Line, public Primitive {
public:
    PrimitiveLine(const Line& line, std::uint16_t drawingOrder, std::uint32_t pen, std::uint32_t lineType,
                  bool in2D, bool in3D)
        : Line(line), Primitive(drawingOrder, pen, lineType, in2D, in3D) {}
    PrimitiveLine(const Line& line, const Element& element, bool in2D, bool in3D)
        : Line(line), Primitive(element, in2D, in3D) {}

    void move(const CadPoint& offset) override;
    bool isHit(const CadPoint& point, double tolerance) const override;   // on the segment in plan
    std::unique_ptr<Cube> getBounds() const override;                     // the box of the two ends
    bool write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;
    bool draw(NativeCanvas& canvas, const CadPoint& offset) const override;
    bool write3D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;
};

}   // namespace tarnwick
