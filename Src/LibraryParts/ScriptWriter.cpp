#include "LibraryParts/ScriptWriter.h"

#include <cmath>
#include <iomanip>
#include <numbers>
#include <ostream>
#include <sstream>

#include "Geometry/PolyEdge.h"
#include "Geometry/Tolerance.h"
#include "LibraryParts/PrimitivePolygon.h"

namespace tarnwick {
namespace {
constexpr double kStep = 1e-5;   // written reals are multiples of this
// Enough significant digits for a multiple of kStep up to 1e9 to be written exactly, few enough that
// the rounding's binary residue (123.45678000000001) does not show.
constexpr int kSignificantDigits = 15;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

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
                                           const CadPoint& offset, int indentation, bool writeWord) {
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

bool ScriptWriter::isGood(const std::ostream& out) { return !out.fail() && !out.bad(); }

}   // namespace tarnwick
