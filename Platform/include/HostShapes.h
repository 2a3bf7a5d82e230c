// The host's shape drawing: the host draws an element's (or a library part's) plan shape piece by piece
// into a callback of the add-on. Both sides compile this header. The layout of the primitive record is
// this host's own choice (named fields, offsets asserted); the hatch record is the host's 152 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostElementRecords.h"

namespace host {

extern "C" {

// What a shape primitive is (the record's type field).
enum ShapePrimitiveType : std::int32_t {
    kShapePoint = 1,              // a hotspot at `point`
    kShapeLine = 2,               // from `point` to `end`
    kShapeArc = 3,                // about `point` (the centre) with radius, begin and end angles
    kShapeText = 4,               // at `point`; data1 the plain text (UTF-8), data2 the UTF-16 text
    kShapePolyline = 5,           // data1 the 1-based points (PolygonCoord), data3 the arcs (PolygonArc)
    kShapeTriangle = 6,           // the three `corners`
    kShapePolygon = 7,            // data1 coords, data2 contour ends, data3 arcs, as an element memo's
    kShapeHatchBegin = 10,        // a hatch's border follows; data1 the HatchRecord (may be null)
    kShapeHatchEnd = 11,          // the hatch's border ends
    kShapeHatchLinesBegin = 12,   // the lines that fill a hatch follow
    kShapeHatchLinesEnd = 13,     // they end
};

struct ShapeCoord {
    double x;
    double y;
};
static_assert(sizeof(ShapeCoord) == 16);

// One drawn piece. Lengths in metres, angles in radians counter-clockwise from the x axis.
struct ShapePrimitive {
    std::int32_t type;        // ShapePrimitiveType
    std::int32_t pen;         // pen index
    std::int16_t drawOrder;   // the element's drawing-order value
    std::int16_t lineType;    // line type index
    std::uint8_t filled;      // triangles and polygons: 1 filled
    std::uint8_t clockwise;   // arcs: 1 runs from begin to end clockwise
    std::uint8_t reserved14[2];
    ShapeCoord point;          // the point, a line's begin, an arc's centre, a text's position
    ShapeCoord end;            // a line's end
    double radius;             // arcs
    double beginAngle;         // arcs
    double endAngle;           // arcs
    double axisRatio;          // arcs: 1 for a circular one
    double textReal;           // texts: handed on to whoever draws the text
    double mainAxisAngle;      // arcs: of an elliptic one
    ShapeCoord corners[3];     // triangles
    std::int32_t pointCount;   // polylines
    std::int32_t arcCount;     // polylines
    PolygonCounts counts;      // polygons
};
static_assert(sizeof(ShapePrimitive) == 176);
static_assert(offsetof(ShapePrimitive, point) == 16);
static_assert(offsetof(ShapePrimitive, radius) == 48);
static_assert(offsetof(ShapePrimitive, textReal) == 80);
static_assert(offsetof(ShapePrimitive, corners) == 96);
static_assert(offsetof(ShapePrimitive, pointCount) == 144);
static_assert(offsetof(ShapePrimitive, counts) == 152);

// The hatch a border belongs to (with kShapeHatchBegin).
struct HatchRecord {
    std::uint8_t contour;   // 1: the border is drawn
    std::uint8_t reserved1;
    std::int16_t fillIndex;   // 0: no fill pattern
    std::int32_t fillPen;     // 0 in the low 16 bits: the contour's pen
    std::int16_t backgroundPen;
    std::uint8_t reserved10[62];
    std::uint8_t gradient;   // 1: a gradient fill
    std::uint8_t linear;     // with gradient: 1 linear, 0 radial
    std::uint8_t reserved74[6];
    std::int32_t distortion;   // not 0: the pattern follows origin and transformation
    std::uint8_t reserved84[12];
    double origin[2];
    double transformation[5];
};
static_assert(sizeof(HatchRecord) == 152);
static_assert(offsetof(HatchRecord, fillIndex) == 2);
static_assert(offsetof(HatchRecord, fillPen) == 4);
static_assert(offsetof(HatchRecord, backgroundPen) == 8);
static_assert(offsetof(HatchRecord, gradient) == 72);
static_assert(offsetof(HatchRecord, linear) == 73);
static_assert(offsetof(HatchRecord, distortion) == 80);
static_assert(offsetof(HatchRecord, origin) == 96);
static_assert(offsetof(HatchRecord, transformation) == 112);

// The add-on's receiver of the pieces: 0 to go on; the host stops at the first other result and
// answers it.
using HostShapeCallback = std::uint32_t (*)(const ShapePrimitive* primitive, const void* data1,
                                            const void* data2, const void* data3);

}   // extern "C"

}   // namespace host
