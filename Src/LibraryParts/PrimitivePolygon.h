// PrimitivePolygon: a polygon, filled or not, of a library part's 2D appearance.
#pragma once

#include "Geometry/CadPolygon.h"
#include "LibraryParts/Primitive.h"

namespace tarnwick {

// A polygon with its attributes and a fill pen. Written in 2D as a "put" block of its contours and a
// polygon statement that takes them back; a polygon that is not valid (self-intersecting or degenerate
// at Tolerance::plan) writes nothing. 2D only.
class PrimitivePolygon : public CadPolygon, public Primitive {
public:
    PrimitivePolygon(const CadPolygon& polygon, std::uint32_t fillPen, bool filled,
                     std::uint16_t drawingOrder, std::uint32_t pen, std::uint32_t lineType, bool in2D,
                     bool in3D)
        : CadPolygon(polygon),
          Primitive(drawingOrder, pen, lineType, in2D, in3D),
          fillPen_(fillPen),
          filled_(filled) {}
    PrimitivePolygon(const CadPolygon& polygon, std::uint32_t fillPen, bool filled, const Element& element,
                     bool in2D, bool in3D)
        : CadPolygon(polygon), Primitive(element, in2D, in3D), fillPen_(fillPen), filled_(filled) {}
    // As the host gives one: a fill pen whose low 16 bits are 0 means the contour's pen.
    static std::uint32_t chooseFillPen(std::uint32_t recordFillPen, std::uint32_t recordPen) {
        return (recordFillPen & 0xFFFFu) != 0 ? recordFillPen : recordPen;
    }

    virtual bool isFilled() const { return filled_; }
    virtual std::uint32_t getFillPen() const { return fillPen_; }
    virtual void setFilled(bool filled) { filled_ = filled; }
    virtual void setFillPen(std::uint32_t fillPen) { fillPen_ = fillPen; }

    void move(const CadPoint& offset) override { *this += offset; }
    bool isHit(const CadPoint& point, double tolerance) const override;   // inside or on an edge
    std::unique_ptr<Cube> getBounds() const override;                     // of the outline; empty: the origin
    bool write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;
    bool draw(NativeCanvas& canvas, const CadPoint& offset) const override;
    bool write3D(std::ostream&, AttributeTracker*, const CadPoint&, int) const override {
        return true;
    }   // none

protected:
    static constexpr int kFillPenSlot = 2;         // the tracker's pen slots of fills
    static constexpr int kBackgroundPenSlot = 3;   // and of fill backgrounds

    bool isWritable() const;   // in 2D and valid
    // "poly2_b" with the status and the two pens when filled, else "poly2_a" with the contour's pen.
    // With a tracker the two pens are values of pen slots 2 and 3, which it may name.
    void writeStatement(std::ostream& out, AttributeTracker* tracker, std::uint16_t entries, bool filled,
                        int status, std::uint32_t fillPen, std::uint32_t backgroundPen,
                        int indentation) const;

private:
    std::uint32_t fillPen_ = 0;
    bool filled_ = false;
};

}   // namespace tarnwick
