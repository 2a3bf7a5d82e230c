#include "LibraryParts/ScriptWriter.h"

#include <cmath>
#include <iomanip>
#include <numbers>
#include <optional>
#include <ostream>
#include <sstream>

#include "Geometry/PolyEdge.h"
#include "Geometry/Tolerance.h"
#include "LibraryParts/AttributeTracker.h"
#include "LibraryParts/Parameter.h"
#include "LibraryParts/PrimitivePolygon.h"
#include "Project/AttributeLink.h"
#include "Project/Finish.h"
#include "Project/LineStyle.h"
#include "Project/Pen.h"

namespace tarnwick {
namespace {
constexpr double kStep = 1e-5;   // written reals are multiples of this
// Enough significant digits for a multiple of kStep up to 1e9 to be written exactly, few enough that
// the rounding's binary residue (123.45678000000001) does not show.
constexpr int kSignificantDigits = 15;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr std::int32_t kModeNever = -4;   // the tracker never writes the attribute
constexpr std::int32_t kModeIndex = -3;   // by index, never as a parameter

const char* keywordOf(AttributeType kind) {
    switch (kind) {
        case AttributeType::pen:
            return "pen ";
        case AttributeType::fill:
            return "fill ";
        case AttributeType::finish:
            return "material ";
        case AttributeType::lineStyle:
            return "line_type ";
        default:
            return "";
    }
}

// Status codes of "put" entries.
constexpr int kStatusLine = 1;           // a straight edge to this point
constexpr int kStatusArcCentre = 901;    // the centre of the arc that follows
constexpr int kStatusArcSweep = 4001;    // an arc of the given sweep (degrees) about that centre
constexpr int kStatusEndContour = 700;   // the contour ends (no holes)
constexpr int kStatusHoleEnd = -1;       // the contour ends at its first point (with holes)

// One contour of a polygon; `first` tells whether it opens the block; the count of entries.
int writeContour(std::ostream& out, const CadPolygon& contour, bool closed, bool withHoles, bool last,
                 bool first, const CadPoint& offset, int indentation) {
    const std::size_t size = contour.getSize();
    const std::size_t pointCount = size + (closed ? 1 : 0);
    const bool closingEntry = withHoles || closed;
    if (!first) ScriptWriter::writeIndentation(out, indentation + 1);
    ScriptWriter::writeCoordinates2D(out, contour.getPoint(0).point, offset, /*moreFollows=*/true);
    out << ' ' << kStatusLine << ",\n";
    int entries = 1;
    for (std::size_t i = 1; i < pointCount; ++i) {
        const PolyEdge edge(contour.getPoint(i - 1), contour.getPoint(i));   // wraps to the first point
        const bool moreFollows = i + 1 < pointCount || closingEntry;
        entries += ScriptWriter::writeArcStatus(out, edge, offset, indentation + 1, moreFollows);
    }
    if (!closingEntry) return entries;
    ScriptWriter::writeIndentation(out, indentation + 1);
    if (!withHoles) {
        ScriptWriter::writeCoordinates2D(out, CadPoint(), offset, /*moreFollows=*/true);
        out << ' ' << kStatusEndContour << '\n';
    } else {
        ScriptWriter::writeCoordinates2D(out, contour.getPoint(0).point, offset, /*moreFollows=*/true);
        out << ' ' << kStatusHoleEnd;
        if (!last) out << ',';
        out << '\n';
    }
    return entries + 1;
}
}   // namespace

std::string ScriptWriter::formatReal(double value) {
    const double rounded = std::floor(value / kStep + 0.5) * kStep;
    std::ostringstream text;
    text << std::setprecision(kSignificantDigits)
         << (exactlyEqual(rounded, 0.0) ? 0.0 : rounded);   // no "-0"
    return text.str();
}

std::string ScriptWriter::formatDegrees(double radians) { return formatReal(radians * kDegreesPerRadian); }

void ScriptWriter::writeIndentation(std::ostream& out, int indentation) {
    for (int i = 0; i < indentation; ++i) out << '\t';
}

void ScriptWriter::writeCoordinates2D(std::ostream& out, const CadPoint& point, const CadPoint& offset,
                                      bool moreFollows) {
    out << formatReal(point.getX() + offset.getX()) << ", " << formatReal(point.getY() + offset.getY());
    if (moreFollows) out << ',';
}

void ScriptWriter::writeCoordinates3D(std::ostream& out, const CadPoint& point, const CadPoint& offset,
                                      bool moreFollows) {
    out << formatReal(point.getX() + offset.getX()) << ", " << formatReal(point.getY() + offset.getY())
        << ", " << formatReal(point.getZ() + offset.getZ());
    if (moreFollows) out << ',';
}

void ScriptWriter::writeQuoted(std::ostream& out, std::string_view text) {
    // The script's strings have no escapes: a double quote is joined on as a string of its own.
    out << '"';
    for (const char c : text) {
        if (c == '"')
            out << "\" + '\"' + \"";
        else if (c == '\n' || c == '\r')
            out << ' ';
        else
            out << c;
    }
    out << '"';
}

int ScriptWriter::writeArcStatus(std::ostream& out, const PolyEdge& edge, const CadPoint& offset,
                                 int indentation, bool moreFollows) {
    writeIndentation(out, indentation);
    int entries = 1;
    if (!edge.isCurved()) {
        writeCoordinates2D(out, edge.getEnd(), offset, /*moreFollows=*/true);
        out << ' ' << kStatusLine;
    } else {
        writeCoordinates2D(out, edge.getCentre(), offset, /*moreFollows=*/true);
        out << ' ' << kStatusArcCentre << ",\n";
        writeIndentation(out, indentation);
        out << "0, " << formatDegrees(edge.getSweep()) << ", " << kStatusArcSweep;
        entries = 2;
    }
    if (moreFollows) out << ',';
    out << '\n';
    return entries;
}

std::uint16_t ScriptWriter::writePutPoints(const PrimitivePolygon& polygon, std::ostream& out,
                                           AttributeTracker*, const CadPoint& offset, int indentation,
                                           bool writeWord) {
    if (!polygon.isIn2D() || !polygon.isValid(/*checkSelfIntersection=*/true, Tolerance::plan)) return 0;
    if (writeWord) {
        writeIndentation(out, indentation);
        out << "put ";
    }
    const bool withHoles = polygon.getHoleCount() > 0;
    const bool closed = polygon.isClosed();
    int entries = writeContour(out, polygon, closed, withHoles, /*last=*/!withHoles, /*first=*/true, offset,
                               indentation);
    for (std::size_t h = 0; h < polygon.getHoleCount(); ++h)
        entries +=
            writeContour(out, polygon.getHoles()[h], closed, withHoles,
                         /*last=*/h + 1 == polygon.getHoleCount(), /*first=*/false, offset, indentation);
    return static_cast<std::uint16_t>(entries);
}

void ScriptWriter::writeAttribute(const Attribute& attribute, std::ostream& out, AttributeTracker* tracker,
                                  int indentation, int penSlot, bool onlyWhenChanged, bool asLine) {
    const AttributeType kind = attribute.getType();
    const std::int32_t index = attribute.getIndex();
    // A statement needs its value whatever the tracker would rather leave out.
    const auto fallback = [&] {
        if (!asLine) out << index;
    };
    // 1. The mode; 2. the change test.
    const std::int32_t mode = tracker != nullptr ? tracker->getMode(kind, penSlot) : 0;
    if (mode == kModeNever) return fallback();
    if (onlyWhenChanged && tracker != nullptr && !tracker->isChanged(attribute, penSlot)) return fallback();
    // 3. A parameter that carries the attribute. A value inside a statement puts nothing in force (no
    // "pen" line was written), so what the tracker had in force is kept for the change tests after it.
    std::string text;
    if (mode != kModeIndex && tracker != nullptr && tracker->getOwner() != nullptr) {
        const std::optional<AttributeTracker> inForce = asLine ? std::nullopt : std::optional(*tracker);
        std::uint64_t row = 0;
        if (const Parameter* parameter = tracker->apply(attribute, row, onlyWhenChanged, penSlot)) {
            text = std::string(parameter->getName().getView());
            if (parameter->isArray()) text += "[" + std::to_string(row + 1) + "]";
        }
        if (inForce) *tracker = *inForce;
    }
    // 4. Else the index, or a named surface material by its name.
    if (text.empty()) {
        if (index < 1) return fallback();
        const String name = kind == AttributeType::finish ? attribute.getName() : String();
        if (!name.isEmpty()) {
            std::ostringstream quoted;
            writeQuoted(quoted, name.getView());
            text = quoted.str();
        } else {
            text = std::to_string(index);
        }
    }
    if (!asLine) {
        out << text;
        return;
    }
    // 5. Now in force.
    if (tracker != nullptr) tracker->setCurrent(kind, static_cast<std::uint32_t>(index), penSlot);
    writeIndentation(out, indentation);
    out << keywordOf(kind) << text << '\n';
}

void ScriptWriter::writePenAndLineType(std::ostream& out, AttributeTracker* tracker, std::uint32_t pen,
                                       std::uint32_t lineType, int indentation, int penSlot) {
    writeAttribute(Pen(AttributeLink(static_cast<std::int32_t>(pen), AttributeType::pen)), out, tracker,
                   indentation, penSlot, /*onlyWhenChanged=*/true, /*asLine=*/true);
    writeAttribute(LineStyle(AttributeLink(static_cast<std::int32_t>(lineType), AttributeType::lineStyle)),
                   out, tracker, indentation, /*penSlot=*/0, /*onlyWhenChanged=*/true, /*asLine=*/true);
}

void ScriptWriter::writePenValue(std::ostream& out, AttributeTracker* tracker, std::uint32_t pen,
                                 int penSlot) {
    writeAttribute(Pen(AttributeLink(static_cast<std::int32_t>(pen), AttributeType::pen)), out, tracker,
                   /*indentation=*/0, penSlot, /*onlyWhenChanged=*/false, /*asLine=*/false);
}

bool ScriptWriter::isGood(const std::ostream& out) { return !out.fail() && !out.bad(); }

}   // namespace tarnwick
