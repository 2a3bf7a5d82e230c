#include "LibraryParts/PrimitiveDistortedHatch.h"

#include <ostream>

#include "LibraryParts/ScriptWriter.h"

namespace tarnwick {

bool PrimitiveDistortedHatch::write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                                      int indentation) const {
    if (!hasFill() || tracker == nullptr) return PrimitiveHatch::write2D(out, tracker, offset, indentation);
    if (!isWritable()) return true;
    const std::uint16_t entries = writeHead(out, tracker, offset, indentation);
    ScriptWriter::writeIndentation(out, indentation);
    out << "poly2_b{5} " << entries << ", " << 2 + (hasContour() ? 1 : 0) << ", 1, " << kFillControl << ",\n";
    ScriptWriter::writeIndentation(out, indentation + 1);
    ScriptWriter::writePenValue(out, tracker, getFillPen(), kFillPenSlot);
    out << ", ";
    ScriptWriter::writePenValue(out, tracker, getBackgroundPen(), kBackgroundPenSlot);
    out << ",\n";
    ScriptWriter::writeIndentation(out, indentation + 1);
    ScriptWriter::writeCoordinates2D(out, fillOrigin_, offset, /*moreFollows=*/true);
    out << '\n';
    ScriptWriter::writeIndentation(out, indentation + 1);
    for (std::size_t i = 0; i < 4; ++i)
        out << (i > 0 ? ", " : "") << ScriptWriter::formatReal(fillTransformation_[i]);
    out << ",\n";
    ScriptWriter::writeIndentation(out, indentation + 1);
    out << ScriptWriter::formatReal(fillTransformation_[4]) << ",\n";
    ScriptWriter::writeIndentation(out, indentation + 1);
    out << "get(" << 3u * entries << ")\n";
    return ScriptWriter::isGood(out);
}

}   // namespace tarnwick
