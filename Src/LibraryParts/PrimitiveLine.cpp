#include "LibraryParts/PrimitiveLine.h"

#include <ostream>

#include "Geometry/PolyEdge.h"
#include "LibraryParts/NativeCanvas.h"
#include "LibraryParts/ScriptWriter.h"

namespace tarnwick {

void PrimitiveLine::move(const CadPoint& offset) {
    static_cast<Line&>(*this) = Line(getBegin() + offset, getEnd() + offset);
}

bool PrimitiveLine::isHit(const CadPoint& point, double tolerance) const {
    return PolyEdge(PolyPoint(getBegin()), PolyPoint(getEnd())).planDistanceTo(point) <= tolerance;
}

std::unique_ptr<Cube> PrimitiveLine::getBounds() const {
    auto bounds = std::make_unique<Cube>(getBegin(), getBegin());
    bounds->include(getEnd());
    return bounds;
}

bool PrimitiveLine::write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                            int indentation) const {
    if (!isIn2D()) return true;
    // A line of a hatch takes the hatch's pen slot, so that it follows the hatch's fill pen parameter.
    ScriptWriter::writePenAndLineType(out, tracker, getPen(), getLineType(), indentation,
                                      isHatchLine() ? 2 : 0);
    ScriptWriter::writeIndentation(out, indentation);
    out << "line2 ";
    ScriptWriter::writeCoordinates2D(out, getBegin(), offset, /*moreFollows=*/true);
    out << ' ';
    ScriptWriter::writeCoordinates2D(out, getEnd(), offset, /*moreFollows=*/false);
    out << '\n';
    return ScriptWriter::isGood(out);
}

bool PrimitiveLine::write3D(std::ostream& out, AttributeTracker*, const CadPoint& offset,
                            int indentation) const {
    if (!isIn3D()) return true;
    ScriptWriter::writeIndentation(out, indentation);
    out << "lin_ ";
    ScriptWriter::writeCoordinates3D(out, getBegin(), offset, /*moreFollows=*/true);
    out << ' ';
    ScriptWriter::writeCoordinates3D(out, getEnd(), offset, /*moreFollows=*/false);
    out << '\n';
    return ScriptWriter::isGood(out);
}

bool PrimitiveLine::draw(NativeCanvas& canvas, const CadPoint& offset) const {
    return canvas.drawLine(*this, offset);
}

}   // namespace tarnwick
