// ScriptWriter: the text conventions of the library-part scripts that primitives write: reals,
// angles, coordinates, quoted texts, arc statuses and the "put" block of a polygon.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "Geometry/CadPoint.h"

namespace tarnwick {

class PolyEdge;
class PrimitivePolygon;

// Reals are rounded to the step 1e-5 and written without exponent below 1e15, keeping every digit
// the rounding leaves (so 123.45678 stays 123.45678). Angles arrive in radians and are written in degrees.
class ScriptWriter {
public:
    static std::string formatReal(double value);
    static std::string formatDegrees(double radians);
    static void writeIndentation(std::ostream& out, int indentation);   // that many tabs
    // x, ", ", y of point + offset; "," after it when more follows.
    static void writeCoordinates2D(std::ostream& out, const CadPoint& point, const CadPoint& offset,
                                   bool moreFollows);
    static void writeCoordinates3D(std::ostream& out, const CadPoint& point, const CadPoint& offset,
                                   bool moreFollows);
    // The text in double quotes; a double quote inside becomes a joined '"', so no text ends the
    // string early, and line breaks become blanks, as a statement ends at a line end.
    static void writeQuoted(std::ostream& out, std::string_view text);
    // The entry (or, for an arc edge, the two entries) for the edge ending at its end point; the count.
    static int writeArcStatus(std::ostream& out, const PolyEdge& edge, const CadPoint& offset,
                              int indentation, bool moreFollows);
    // The polygon's contours as "put" entries; the entry count, 0 (nothing written) unless the
    // primitive is in 2D and the polygon is valid without self-intersection.
    static std::uint16_t writePutPoints(const PrimitivePolygon& polygon, std::ostream& out,
                                        const CadPoint& offset, int indentation, bool writeWord);
    static bool isGood(const std::ostream& out);   // neither fail nor bad is set
};

}   // namespace tarnwick
