// PrimitiveText: a text placed at a point of a library part's 2D appearance.
#pragma once

#include "Foundation/String.h"
#include "Geometry/CadPoint.h"
#include "LibraryParts/Primitive.h"

namespace tarnwick {

// A value with its attributes. The extra real comes from the host's text record and is handed on
// unchanged to whoever draws the text. 2D only.
class PrimitiveText : public String, public CadPoint, public Primitive {
public:
    PrimitiveText(const String& text, const CadPoint& position, double extra, std::uint16_t drawingOrder,
                  std::uint32_t pen, std::uint32_t lineType, bool in2D, bool in3D)
        : String(text),
          CadPoint(position),
          Primitive(drawingOrder, pen, lineType, in2D, in3D),
          extra_(extra) {}
    PrimitiveText(const String& text, const CadPoint& position, double extra, const Element& element,
                  bool in2D, bool in3D)
        : String(text), CadPoint(position), Primitive(element, in2D, in3D), extra_(extra) {}

    double getExtra() const { return extra_; }

    void move(const CadPoint& offset) override { static_cast<CadPoint&>(*this) += offset; }
    bool isHit(const CadPoint& point, double tolerance) const override;   // at the position in plan
    std::unique_ptr<Cube> getBounds() const override;                     // the box of the position
    bool write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;
    bool draw(NativeCanvas& canvas, const CadPoint& offset) const override;
    bool write3D(std::ostream&, AttributeTracker*, const CadPoint&, int) const override {
        return true;
    }   // none

private:
    double extra_ = 0.0;
};

}   // namespace tarnwick
