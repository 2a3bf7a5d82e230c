// PrimitiveHatch: a hatched polygon of a library part's 2D appearance: fill, gradient, contour, pens.
#pragma once

#include "LibraryParts/PrimitivePolygon.h"

namespace tarnwick {

// The host keeps the background pen and the fill index in 16 bits; they are held and passed as 32-bit
// values and tested in their low 16 bits. A gradient is linear or, with the linear flag clear, radial.
class PrimitiveHatch : public PrimitivePolygon {
public:
    PrimitiveHatch(const CadPolygon& polygon, std::uint32_t fillPen, std::uint32_t backgroundPen,
                   std::uint32_t fillIndex, bool contour, bool gradient, bool linear,
                   std::uint16_t drawingOrder, std::uint32_t pen, std::uint32_t lineType, bool in2D,
                   bool in3D)
        : PrimitivePolygon(polygon, fillPen, /*filled=*/true, drawingOrder, pen, lineType, in2D, in3D),
          backgroundPen_(backgroundPen),
          fillIndex_(fillIndex),
          contour_(contour),
          gradient_(gradient),
          linear_(linear) {}
    PrimitiveHatch(const CadPolygon& polygon, std::uint32_t fillPen, std::uint32_t backgroundPen,
                   std::uint32_t fillIndex, bool contour, bool gradient, bool linear, const Element& element,
                   bool in2D, bool in3D)
        : PrimitivePolygon(polygon, fillPen, /*filled=*/true, element, in2D, in3D),
          backgroundPen_(backgroundPen),
          fillIndex_(fillIndex),
          contour_(contour),
          gradient_(gradient),
          linear_(linear) {}

    virtual bool hasFill() const { return (fillIndex_ & 0xFFFFu) != 0 || gradient_; }
    virtual bool hasContour() const { return contour_; }
    virtual bool isGradient() const { return gradient_; }
    virtual bool isLinear() const { return linear_; }
    virtual std::uint32_t getBackgroundPen() const { return hasFill() ? backgroundPen_ : getFillPen(); }
    virtual std::uint32_t getFillIndex() const { return fillIndex_; }
    virtual void setContour(bool contour) { contour_ = contour; }
    virtual void setGradient(bool gradient) { gradient_ = gradient; }
    virtual void setLinear(bool linear) { linear_ = linear; }
    virtual void setBackgroundPen(std::uint32_t pen) { backgroundPen_ = pen; }
    virtual void setFillIndex(std::uint32_t fillIndex) { fillIndex_ = fillIndex; }

    bool write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;
    bool draw(NativeCanvas&, const CadPoint&) const override { return true; }   // nothing
    // The fill before the statement (only with a tracker): an ordinary fill as a "fill" line when it
    // changes; a gradient defined once per script under its own name, then selected with "set fill"
    // unless it is the fill in force. True.
    bool writeGradient(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                       int indentation) const;

protected:
    // The put block, the pen and line-type lines and the fill: what every hatch writes before its
    // statement. The entry count; 0 when the hatch writes nothing.
    std::uint16_t writeHead(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                            int indentation) const;

private:
    std::uint32_t backgroundPen_ = 0;
    std::uint32_t fillIndex_ = 0;
    bool contour_ = false;
    bool gradient_ = false;
    bool linear_ = false;
};

}   // namespace tarnwick
