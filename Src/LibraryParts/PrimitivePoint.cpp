#include "LibraryParts/PrimitivePoint.h"

#include <ostream>

#include "LibraryParts/ScriptWriter.h"
#include "Project/AttributeLink.h"
#include "Project/Pen.h"

namespace tarnwick {

bool PrimitivePoint::isHit(const CadPoint& point, double tolerance) const {
    return planEquals(point, tolerance);
}

std::unique_ptr<Cube> PrimitivePoint::getBounds() const { return std::make_unique<Cube>(*this, *this); }

bool PrimitivePoint::write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                             int indentation) const {
    if (!isIn2D()) return true;
    ScriptWriter::writeAttribute(Pen(AttributeLink(static_cast<std::int32_t>(getPen()), AttributeType::pen)),
                                 out, tracker, indentation, /*penSlot=*/0, /*onlyWhenChanged=*/true,
                                 /*asLine=*/true);
    ScriptWriter::writeIndentation(out, indentation);
    out << "hotspot2 ";
    ScriptWriter::writeCoordinates2D(out, *this, offset, /*moreFollows=*/false);
    out << '\n';
    return ScriptWriter::isGood(out);
}

bool PrimitivePoint::write3D(std::ostream& out, AttributeTracker*, const CadPoint& offset,
                             int indentation) const {
    if (!isIn3D()) return true;
    ScriptWriter::writeIndentation(out, indentation);
    out << "hotspot ";
    ScriptWriter::writeCoordinates3D(out, *this, offset, /*moreFollows=*/false);
    out << '\n';
    return ScriptWriter::isGood(out);
}

}   // namespace tarnwick
