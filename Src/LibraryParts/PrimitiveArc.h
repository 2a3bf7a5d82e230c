// PrimitiveArc: a circular or elliptic arc, or a full circle, of a library part's 2D appearance.
#pragma once

#include "Geometry/CadArc.h"
#include "LibraryParts/Primitive.h"

namespace tarnwick {

// A value with its attributes. An elliptic arc is the circular arc scaled by the axis ratio along its
// main axis, which is turned by the main-axis angle (radians) from the x axis. 2D only.
class PrimitiveArc : public CadArc, public Primitive {
public:
    PrimitiveArc(const CadArc& arc, std::uint16_t drawingOrder, std::uint32_t pen, std::uint32_t lineType,
                 bool in2D, bool in3D)
        : CadArc(arc), Primitive(drawingOrder, pen, lineType, in2D, in3D) {}
    PrimitiveArc(const CadArc& arc, const Element& element, bool in2D, bool in3D)
        : CadArc(arc), Primitive(element, in2D, in3D) {}
    // As the host gives an arc: begin and end angles and a clockwise flag. The sweep is end - begin
    // brought into [0, 2 pi), less 2 pi when clockwise; a full turn either way stays a full circle.
    PrimitiveArc(const CadPoint& centre, double radius, double beginAngle, double endAngle, bool clockwise,
                 double axisRatio, double mainAxisAngle, std::uint16_t drawingOrder, std::uint32_t pen,
                 std::uint32_t lineType, bool in2D, bool in3D);

    double getAxisRatio() const { return axisRatio_; }
    double getMainAxisAngle() const { return mainAxisAngle_; }

    void move(const CadPoint& offset) override;
    bool isHit(const CadPoint& point, double tolerance) const override;   // at an end or on the arc
    std::unique_ptr<Cube> getBounds() const override;                     // of the circular arc
    bool write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;
    bool draw(NativeCanvas& canvas, const CadPoint& offset) const override;
    bool write3D(std::ostream&, AttributeTracker*, const CadPoint&, int) const override {
        return true;
    }   // none

private:
    double axisRatio_ = 1.0;
    double mainAxisAngle_ = 0.0;
};

}   // namespace tarnwick
