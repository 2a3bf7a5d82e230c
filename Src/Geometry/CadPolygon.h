// CadPolygon: a plan polygon with optional holes, whose edges are straight or circular arcs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "Geometry/CadPoint.h"
#include "Geometry/Cube.h"
#include "Geometry/PolyEdge.h"
#include "Geometry/PolyPoint.h"
#include "Geometry/Vector3.h"

namespace tarnwick {

// Conventions (lengths and tolerances in model metres, angles in radians):
// - The outline and each hole are contours of owned PolyPoints. Orientation is free: a counter-clockwise
//   contour has a positive signed area. Holes are CadPolygons without holes of their own.
// - A PolyPoint's angle is the signed sweep of the edge that ends at it (see PolyPoint). Edge i runs from
//   vertex i to vertex i + 1; a closed contour also has the closing edge from its last vertex to its
//   first, which carries the first vertex's angle. An open contour has one edge fewer.
// - Indices wrap: vertex n is vertex 0 again (wrapIndex); an empty contour has no vertices.
// - The id counter is the last vertex id given out; numberVertices gives ids above it.
// - isValid's flag asks for the full test: no two edges touch except where consecutive edges meet, and
//   every hole lies inside the outline and outside the other holes.
// Copying copies the holes.
class CadPolygon {
public:
    enum class PointLocation { outside, inside, onEdge };

    // Room for `vertexCount` vertices and `holeCapacity` holes; the polygon starts empty.
    explicit CadPolygon(std::size_t vertexCount = 0, std::size_t holeCapacity = 0, bool closed = true);
    // The rectangle of the box's plan extent at its minimum z, turned by `angle` about the box's
    // minimum corner; counter-clockwise, straight edges, ids 0.
    CadPolygon(const Cube& box, double angle);
    CadPolygon(const CadPolygon&) = default;
    CadPolygon& operator=(const CadPolygon&) = default;
    CadPolygon(CadPolygon&&) noexcept = default;
    CadPolygon& operator=(CadPolygon&&) noexcept = default;
    virtual ~CadPolygon();

    // --- Vertices
    std::size_t getSize() const { return points_.size(); }   // vertices of the outline
    bool isEmpty() const { return points_.empty(); }
    std::size_t wrapIndex(std::size_t index) const;             // index modulo the size; 0 when empty
    PolyPoint getPoint(std::size_t index) const;                // wraps; a default PolyPoint when empty
    void setPoint(std::size_t index, const PolyPoint& point);   // wraps; nothing when empty
    void append(const PolyPoint& point);
    std::size_t countAllVertices() const;   // outline and holes
    std::size_t countCurvedEdges() const;   // outline and holes
    void clear();                           // vertices and holes; the flags and counter stay

    bool isClosed() const { return closed_; }
    void setClosed(bool closed) { closed_ = closed; }
    std::uint32_t getCounter() const { return counter_; }
    void setCounter(std::uint32_t counter) { counter_ = counter; }
    // Gives ids from the counter up to the vertices of outline and holes: with `renumberAll` to every
    // vertex, else only to those whose id is 0. The counter first rises to the largest id kept.
    void numberVertices(bool renumberAll);

    // --- Edges
    std::size_t getEdgeCount() const;            // of the outline: size when closed, size - 1 when open
    PolyEdge getEdge(std::size_t index) const;   // from vertex index to the next (wraps)

    // --- Holes
    std::size_t getHoleCount() const { return holes_.size(); }
    const std::vector<CadPolygon>& getHoles() const { return holes_; }
    const CadPolygon* getHole(std::size_t index) const;   // null past the end
    void addHole(const CadPolygon& contour);              // its outline only; closed like this outline

    // --- Measures
    // Area in square metres, arc edges counted exactly. `absolute`: the magnitude, else signed
    // (positive counter-clockwise). `subtractHoles`: less the magnitude of each hole's area (the hole's
    // area takes the outline's sign). An open contour or one of fewer than two vertices has no area.
    double getArea(bool absolute = true, bool subtractHoles = true) const;
    double getPlanLength() const;            // the outline's edges in plan, arcs along their length
    std::optional<Cube> getBounds() const;   // of the outline, arcs included; none when empty
    CadPoint getCentre() const;              // centre of the bounds; the origin when empty

    // Closed contours need three vertices (two when an edge is curved) and a mean width
    // (2 area / perimeter) above `tolerance`; open ones two vertices. No coordinate may be NaN or
    // infinite, no edge shorter than `tolerance`, no arc angle a full turn or more. Holes are tested
    // alike. With `checkSelfIntersection`, also no contact between edges (see the class comment),
    // found in O(n log n) by a sweep.
    bool isValid(bool checkSelfIntersection, double tolerance) const;

    // Inside the outline and outside every hole, or on an edge of either within `tolerance`.
    PointLocation locate(const CadPoint& point, double tolerance) const;
    bool isInside(const CadPoint& point, double tolerance) const {
        return locate(point, tolerance) != PointLocation::outside;
    }

    // --- Moves (outline and holes alike)
    void translate(const Vector3& offset);
    CadPolygon& operator+=(const CadPoint& offset);
    void moveCentreTo(const CadPoint& centre);   // in plan: the bounds' centre comes to the point's x, y

private:
    bool isContourValid(double tolerance) const;
    bool containsInContour(const CadPoint& point) const;   // strictly, without tolerance

    std::vector<PolyPoint> points_;
    std::vector<CadPolygon> holes_;
    std::uint32_t counter_ = 0;
    bool closed_ = true;
};

}   // namespace tarnwick
