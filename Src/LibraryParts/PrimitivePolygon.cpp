#include "LibraryParts/PrimitivePolygon.h"

#include <ostream>

#include "Geometry/Tolerance.h"
#include "LibraryParts/NativeCanvas.h"
#include "LibraryParts/ScriptWriter.h"

namespace tarnwick {

bool PrimitivePolygon::isHit(const CadPoint& point, double tolerance) const {
    return isInside(point, tolerance);
}

std::unique_ptr<Cube> PrimitivePolygon::getBounds() const {
    const std::optional<Cube> bounds = CadPolygon::getBounds();
    return std::make_unique<Cube>(bounds ? *bounds : Cube());
}

bool PrimitivePolygon::isWritable() const {
    return isIn2D() && isValid(/*checkSelfIntersection=*/true, Tolerance::plan);
}

void PrimitivePolygon::writeStatement(std::ostream& out, AttributeTracker* tracker, std::uint16_t entries,
                                      bool filled, int status, std::uint32_t fillPen,
                                      std::uint32_t backgroundPen, int indentation) const {
    ScriptWriter::writeIndentation(out, indentation);
    const unsigned values = 3u * entries;
    if (filled) {
        out << "poly2_b " << entries << ", " << status << ", ";
        if (tracker != nullptr) {
            ScriptWriter::writePenValue(out, tracker, fillPen, kFillPenSlot);
            out << ", ";
            ScriptWriter::writePenValue(out, tracker, backgroundPen, kBackgroundPenSlot);
        } else {
            out << fillPen << ", " << fillPen;
        }
        out << ", get(" << values << ")\n";
    } else
        out << "poly2_a " << entries << ", 1, " << getPen() << ", get(" << values << ")\n";
}

bool PrimitivePolygon::write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                               int indentation) const {
    if (!isWritable()) return true;
    const std::uint16_t entries =
        ScriptWriter::writePutPoints(*this, out, tracker, offset, indentation, /*writeWord=*/true);
    ScriptWriter::writePenAndLineType(out, tracker, getPen(), getLineType(), indentation);
    // Status 2 fills; 1 more draws the contour, which only a pen can.
    writeStatement(out, tracker, entries, filled_, 2 + (getPen() > 0 ? 1 : 0), fillPen_, fillPen_,
                   indentation);
    return ScriptWriter::isGood(out);
}

bool PrimitivePolygon::draw(NativeCanvas& canvas, const CadPoint& offset) const {
    return canvas.drawPolygon(*this, offset);
}

}   // namespace tarnwick
