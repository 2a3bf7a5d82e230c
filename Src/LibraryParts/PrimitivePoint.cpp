#include "LibraryParts/PrimitivePoint.h"

#include <ostream>

#include "LibraryParts/ScriptWriter.h"

namespace tarnwick {

bool PrimitivePoint::isHit(const CadPoint& point, double tolerance) const {
    return planEquals(point, tolerance);
}

std::unique_ptr<Cube> PrimitivePoint::getBounds() const { return std::make_unique<Cube>(*this, *this); }

bool PrimitivePoint::write2D(std::ostream& out, const CadPoint& offset, int indentation) const {
    if (!isIn2D()) return true;
    ScriptWriter::writeIndentation(out, indentation);
    out << "hotspot2 ";
    ScriptWriter::writeCoordinates2D(out, *this, offset, /*moreFollows=*/false);
    out << '\n';
    return ScriptWriter::isGood(out);
}

bool PrimitivePoint::write3D(std::ostream& out, const CadPoint& offset, int indentation) const {
    if (!isIn3D()) return true;
    ScriptWriter::writeIndentation(out, indentation);
    out << "hotspot ";
    ScriptWriter::writeCoordinates3D(out, *this, offset, /*moreFollows=*/false);
    out << '\n';
    return ScriptWriter::isGood(out);
}

}   // namespace tarnwick
