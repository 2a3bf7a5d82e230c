#include "LibraryParts/PrimitiveHatch.h"

#include <ostream>

#include "LibraryParts/ScriptWriter.h"

namespace tarnwick {

bool PrimitiveHatch::write2D(std::ostream& out, const CadPoint& offset, int indentation) const {
    if (!isWritable()) return true;
    const std::uint16_t entries =
        ScriptWriter::writePutPoints(*this, out, offset, indentation, /*writeWord=*/true);
    // Without attribute parameters to name them, fill and background take the fill pen.
    writeStatement(out, entries, hasFill(), 2 + (contour_ ? 1 : 0), getFillPen(), getFillPen(), indentation);
    return ScriptWriter::isGood(out);
}

}   // namespace tarnwick
