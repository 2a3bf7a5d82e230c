// Primitive: what every drawing primitive (hotspot, line, arc, text, polygon, hatch, body) carries
// besides its geometry: drawing order, pen, line type and where it takes part, and the operations on it.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <vector>

#include "Geometry/CadPoint.h"
#include "Geometry/Cube.h"

namespace tarnwick {

class AttributeTracker;
class Element;
class NativeCanvas;

// A mixin beside a geometry base. Primitives are kept by shared pointers to their own class; the
// destructor is virtual all the same, so that one deleted through a Primitive pointer is deleted whole.
// The writers take the attribute defaults of the script being written (may be null), an offset added to
// every written coordinate and an indentation in tabs; they return true when there is nothing to write in
// that dimension or the stream is still good afterwards.
class Primitive {
public:
    Primitive(std::uint16_t drawingOrder, std::uint32_t pen, std::uint32_t lineType, bool in2D, bool in3D)
        : drawingOrder_(drawingOrder), pen_(pen), lineType_(lineType), in2D_(in2D), in3D_(in3D) {}
    // The pen and line type of the element's attributes (its part 0) and its drawing-order byte.
    Primitive(const Element& element, bool in2D, bool in3D);
    virtual ~Primitive();

    virtual void move(const CadPoint& offset) = 0;                           // the geometry only
    virtual bool isHit(const CadPoint& point, double tolerance) const = 0;   // tolerance in metres
    virtual std::unique_ptr<Cube> getBounds() const = 0;                     // never null
    virtual bool write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                         int indentation) const = 0;
    virtual bool write3D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                         int indentation) const = 0;
    // Draws on a preview canvas, each model point moved by the offset first; true (what draws nothing
    // draws nothing and succeeds).
    virtual bool draw(NativeCanvas& canvas, const CadPoint& offset) const = 0;

    std::uint16_t getDrawingOrder() const { return drawingOrder_; }
    std::uint32_t getPen() const { return pen_; }
    std::uint32_t getLineType() const { return lineType_; }
    bool isIn2D() const { return in2D_; }
    bool isIn3D() const { return in3D_; }
    bool isHatchLine() const { return hatchLine_; }       // drawn by the host as a line of a hatch
    bool isHatchBorder() const { return hatchBorder_; }   // drawn inside a hatch's border
    void setPen(std::uint32_t pen) { pen_ = pen; }
    void setLineType(std::uint32_t lineType) { lineType_ = lineType; }
    void setHatchLine(bool hatchLine) { hatchLine_ = hatchLine; }
    void setHatchBorder(bool hatchBorder) { hatchBorder_ = hatchBorder; }

private:
    std::uint16_t drawingOrder_ = 0;
    std::uint32_t pen_ = 0;
    std::uint32_t lineType_ = 0;
    bool in2D_ = false;
    bool in3D_ = false;
    bool hatchLine_ = false;
    bool hatchBorder_ = false;
};

// A list of primitives, each held by a shared pointer of its own class (so deleted whole).
using PrimitiveList = std::vector<std::shared_ptr<Primitive>>;

}   // namespace tarnwick
