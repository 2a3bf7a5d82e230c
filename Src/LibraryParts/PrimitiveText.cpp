#include "LibraryParts/PrimitiveText.h"

#include <ostream>

#include "LibraryParts/NativeCanvas.h"
#include "LibraryParts/ScriptWriter.h"

namespace tarnwick {

bool PrimitiveText::isHit(const CadPoint& point, double tolerance) const {
    return planEquals(point, tolerance);
}

std::unique_ptr<Cube> PrimitiveText::getBounds() const {
    const CadPoint& position = *this;
    return std::make_unique<Cube>(position, position);
}

bool PrimitiveText::write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                            int indentation) const {
    if (!isIn2D()) return true;
    ScriptWriter::writePenAndLineType(out, tracker, getPen(), getLineType(), indentation);
    ScriptWriter::writeIndentation(out, indentation);
    out << "text2 ";
    ScriptWriter::writeCoordinates2D(out, *this, offset, /*moreFollows=*/true);
    out << ' ';
    ScriptWriter::writeQuoted(out, getView());
    out << '\n';
    return ScriptWriter::isGood(out);
}

bool PrimitiveText::draw(NativeCanvas& canvas, const CadPoint& offset) const {
    return canvas.drawText(*this, offset);
}

}   // namespace tarnwick
