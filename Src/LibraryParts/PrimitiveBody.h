// PrimitiveBody: the 3D bodies of an element, as part of a library part's 3D appearance.
#pragma once

#include <memory>

#include "Geometry/CadPoint.h"
#include "Geometry/Element3D.h"
#include "LibraryParts/Primitive.h"

namespace tarnwick {

// Shares the element's 3D model; the point is the body's own position, which move changes and which
// the written vertices do not follow (they take the writer's offset). Never hit; 3D only; pen and line
// type 1 unless made for an element.
class PrimitiveBody : public CadPoint, public Primitive {
public:
    PrimitiveBody(std::shared_ptr<const Element3D> element, std::uint16_t drawingOrder, bool in2D, bool in3D)
        : Primitive(drawingOrder, /*pen=*/1, /*lineType=*/1, in2D, in3D), element_(std::move(element)) {}
    // The pen, line type and drawing order of the element the bodies show.
    PrimitiveBody(std::shared_ptr<const Element3D> element, const Element& shown, bool in2D, bool in3D)
        : Primitive(shown, in2D, in3D), element_(std::move(element)) {}

    const Element3D* getElement() const { return element_.get(); }   // null when made without one

    void move(const CadPoint& offset) override { static_cast<CadPoint&>(*this) += offset; }
    bool isHit(const CadPoint&, double) const override { return false; }
    std::unique_ptr<Cube> getBounds()
        const override;   // the bodies' bounds; a box at the origin without data
    bool write2D(std::ostream&, AttributeTracker*, const CadPoint&, int) const override { return true; }
    bool draw(NativeCanvas&, const CadPoint&) const override { return true; }   // nothing
    // Per body: "vert" lines, "edge" lines, the distinct face normals as "vect" lines, "pgon" lines and
    // "body"; vertices, edges, normals and faces are numbered from 1 within each body.
    bool write3D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;

private:
    std::shared_ptr<const Element3D> element_;
};

}   // namespace tarnwick
