// ScriptWriter: the text conventions of the library-part scripts that primitives write: reals,
// angles, coordinates, quoted texts, arc statuses and the "put" block of a polygon.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "Geometry/CadPoint.h"

namespace tarnwick {

class Attribute;
class AttributeTracker;
class PolyEdge;
class PrimitivePolygon;

// Attributes (pens, line types, fills, surface materials) go through an AttributeTracker when the caller
// gives one: written only when they change, and by the name of the part's parameter that carries them
// when the tracker exposes them. Without a tracker only the geometry is written, and the values that a
// statement needs (a polygon's fill pens) by index.
//
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
                                        AttributeTracker* tracker, const CadPoint& offset, int indentation,
                                        bool writeWord);
    // The attribute as a statement line ("pen 3", "line_type lineParam", "material \"Oak\"") or, without
    // asLine, as a value inside a statement (a value is always written: the index when nothing else).
    // A line is left out without a tracker, for mode -4, an index below 1 or, with onlyWhenChanged, no
    // change.
    static void writeAttribute(const Attribute& attribute, std::ostream& out, AttributeTracker* tracker,
                               int indentation, int penSlot, bool onlyWhenChanged, bool asLine);
    // The pen (in the slot) and line-type lines of a primitive, each only when it changes.
    static void writePenAndLineType(std::ostream& out, AttributeTracker* tracker, std::uint32_t pen,
                                    std::uint32_t lineType, int indentation, int penSlot = 0);
    // A pen as a value inside a statement (the tracker may name it).
    static void writePenValue(std::ostream& out, AttributeTracker* tracker, std::uint32_t pen, int penSlot);
    static bool isGood(const std::ostream& out);   // neither fail nor bad is set
};

}   // namespace tarnwick
