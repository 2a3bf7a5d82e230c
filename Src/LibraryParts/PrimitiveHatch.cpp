#include "LibraryParts/PrimitiveHatch.h"

#include <ostream>

#include "LibraryParts/AttributeTracker.h"
#include "LibraryParts/ScriptWriter.h"
#include "Project/AttributeLink.h"
#include "Project/Fill.h"

namespace tarnwick {
namespace {
// The names a script gives the gradient fills it defines.
constexpr const char* kLinearGradientName = "tarnwickLinearGradient";
constexpr const char* kRadialGradientName = "tarnwickRadialGradient";
}   // namespace

std::uint16_t PrimitiveHatch::writeHead(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                                        int indentation) const {
    const std::uint16_t entries =
        ScriptWriter::writePutPoints(*this, out, tracker, offset, indentation, /*writeWord=*/true);
    ScriptWriter::writePenAndLineType(out, tracker, getPen(), getLineType(), indentation);
    writeGradient(out, tracker, offset, indentation);
    return entries;
}

bool PrimitiveHatch::write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                             int indentation) const {
    if (!isWritable()) return true;
    const std::uint16_t entries = writeHead(out, tracker, offset, indentation);
    // Without a tracker, fill and background take the fill pen.
    writeStatement(out, tracker, entries, hasFill(), 2 + (contour_ ? 1 : 0), getFillPen(), getBackgroundPen(),
                   indentation);
    return ScriptWriter::isGood(out);
}

bool PrimitiveHatch::writeGradient(std::ostream& out, AttributeTracker* tracker, const CadPoint&,
                                   int indentation) const {
    if (!isWritable() || tracker == nullptr) return true;
    if (!gradient_) {
        ScriptWriter::writeAttribute(
            Fill(AttributeLink(static_cast<std::int32_t>(fillIndex_ & 0xFFFFu), AttributeType::fill)), out,
            tracker, indentation, /*penSlot=*/0, /*onlyWhenChanged=*/true,
            /*asLine=*/true);
        return true;
    }
    const char* const name = linear_ ? kLinearGradientName : kRadialGradientName;
    const std::uint32_t marker =
        linear_ ? AttributeTracker::kLinearGradient : AttributeTracker::kRadialGradient;
    const String& defined = linear_ ? tracker->getLinearGradientName() : tracker->getRadialGradientName();
    if (defined.isEmpty()) {
        ScriptWriter::writeIndentation(out, indentation);
        out << (linear_ ? "define linear_gradient_fill " : "define radial_gradient_fill ") << name << '\n';
        if (linear_)
            tracker->setLinearGradientName(String(name));
        else
            tracker->setRadialGradientName(String(name));
    }
    if ((tracker->getCurrent(AttributeType::fill) & 0xFFFFu) != marker) {
        ScriptWriter::writeIndentation(out, indentation);
        out << "set fill " << name << '\n';
        tracker->setCurrent(AttributeType::fill, marker);
    }
    return true;
}

}   // namespace tarnwick
