#include "Geometry/CadPolygon.h"

#include <algorithm>
#include <cmath>

#include "Geometry/EdgeSweep.h"
#include "Geometry/Tolerance.h"
#include "Geometry/ZRotater.h"

namespace tarnwick {

CadPolygon::CadPolygon(std::size_t vertexCount, std::size_t holeCapacity, bool closed) : closed_(closed) {
    points_.reserve(vertexCount);
    holes_.reserve(holeCapacity);
}

CadPolygon::CadPolygon(const Cube& box, double angle) : CadPolygon(4, 0, true) {
    Cube plan = box;
    plan.normalise();
    const CadPoint origin = plan.getMinimum();
    const double w = plan.getWidth(), d = plan.getDepth();
    const ZRotater rotater(angle, 0.0);
    for (const CadPoint corner : {CadPoint(0.0, 0.0), CadPoint(w, 0.0), CadPoint(w, d), CadPoint(0.0, d)}) {
        CadPoint point = corner;
        rotater.rotate(point);
        append(PolyPoint(origin + point));
    }
}

CadPolygon::~CadPolygon() = default;

// --- Vertices ----------------------------------------------------------------------------------
std::size_t CadPolygon::wrapIndex(std::size_t index) const {
    return points_.empty() ? 0 : index % points_.size();
}

PolyPoint CadPolygon::getPoint(std::size_t index) const {
    return points_.empty() ? PolyPoint() : points_[wrapIndex(index)];
}

void CadPolygon::setPoint(std::size_t index, const PolyPoint& point) {
    if (!points_.empty()) points_[wrapIndex(index)] = point;
}

void CadPolygon::append(const PolyPoint& point) { points_.push_back(point); }

std::size_t CadPolygon::countAllVertices() const {
    std::size_t count = points_.size();
    for (const CadPolygon& hole : holes_) count += hole.points_.size();
    return count;
}

std::size_t CadPolygon::countCurvedEdges() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < getEdgeCount(); ++i)
        if (getEdge(i).isCurved()) ++count;
    for (const CadPolygon& hole : holes_) count += hole.countCurvedEdges();
    return count;
}

void CadPolygon::clear() {
    points_.clear();
    holes_.clear();
}

void CadPolygon::numberVertices(bool renumberAll) {
    if (!renumberAll) {   // kept ids must not come round again
        for (const PolyPoint& point : points_) counter_ = std::max(counter_, point.id);
        for (const CadPolygon& hole : holes_)
            for (const PolyPoint& point : hole.points_) counter_ = std::max(counter_, point.id);
    } else {
        counter_ = 0;
    }
    const auto number = [&](std::vector<PolyPoint>& points) {
        for (PolyPoint& point : points)
            if (renumberAll || point.id == 0) point.id = ++counter_;
    };
    number(points_);
    for (CadPolygon& hole : holes_) number(hole.points_);
}

// --- Edges -------------------------------------------------------------------------------------
std::size_t CadPolygon::getEdgeCount() const {
    if (points_.size() < 2) return 0;   // a single vertex bounds nothing
    return closed_ ? points_.size() : points_.size() - 1;
}

PolyEdge CadPolygon::getEdge(std::size_t index) const { return {getPoint(index), getPoint(index + 1)}; }

// --- Holes -------------------------------------------------------------------------------------
const CadPolygon* CadPolygon::getHole(std::size_t index) const {
    return index < holes_.size() ? &holes_[index] : nullptr;
}

void CadPolygon::addHole(const CadPolygon& contour) {
    CadPolygon hole(contour.points_.size(), 0, closed_);
    hole.points_ = contour.points_;
    holes_.push_back(std::move(hole));
}

// --- Measures ----------------------------------------------------------------------------------
// Shoelace over the chords plus, for each arc, the signed area between chord and arc.
double CadPolygon::getArea(bool absolute, bool subtractHoles) const {
    if (!closed_ || points_.size() < 2) return 0.0;
    double twice = 0.0, segments = 0.0;
    const std::size_t n = points_.size();
    for (std::size_t i = 0; i < n; ++i) {
        const PolyPoint& a = points_[i];
        const PolyPoint& b = points_[i + 1 < n ? i + 1 : 0];
        twice += a.point.getX() * b.point.getY() - b.point.getX() * a.point.getY();
        if (!exactlyEqual(b.angle, 0.0)) segments += PolyEdge(a, b).getSegmentArea();   // straight ones add 0
    }
    double area = twice / 2.0 + segments;
    if (subtractHoles) {
        double holes = 0.0;
        for (const CadPolygon& hole : holes_) holes += hole.getArea(true, false);
        area = area < 0.0 ? area + holes : area - holes;
    }
    return absolute ? std::abs(area) : area;
}

double CadPolygon::getPlanLength() const {
    double length = 0.0;
    for (std::size_t i = 0; i < getEdgeCount(); ++i) length += getEdge(i).getLength();
    return length;
}

std::optional<Cube> CadPolygon::getBounds() const {
    if (points_.empty()) return std::nullopt;
    Cube bounds(points_[0].point, points_[0].point);
    for (const PolyPoint& point : points_) bounds.include(point.point);
    for (std::size_t i = 0; i < getEdgeCount(); ++i) {
        const PolyEdge edge = getEdge(i);
        if (!edge.isCurved()) continue;
        const Cube arc = edge.getBounds();
        bounds.include(arc.getMinimum());
        bounds.include(arc.getMaximum());
    }
    return bounds;
}

CadPoint CadPolygon::getCentre() const {
    const std::optional<Cube> bounds = getBounds();
    return bounds ? bounds->getCentre() : CadPoint();
}

// --- Validity ----------------------------------------------------------------------------------
bool CadPolygon::isContourValid(double tolerance) const {
    const std::size_t size = points_.size();
    for (const PolyPoint& point : points_)
        if (!point.point.isFinite()) return false;
    if (size < 2) return false;
    bool curved = false;
    for (std::size_t i = 0; i < getEdgeCount(); ++i) {
        const PolyEdge edge = getEdge(i);
        if (!edge.hasUsableAngle()) return false;
        if (edge.getChordLength() <= tolerance) return false;   // a zero-length edge has no direction
        curved = curved || edge.isCurved();
    }
    if (!closed_) return true;
    if (size < 3 && !curved) return false;   // two straight edges enclose nothing
    // A sliver: the mean width 2 A / P (the width of a long thin strip) within the tolerance.
    return 2.0 * getArea(true, false) > tolerance * getPlanLength();
}

bool CadPolygon::isValid(bool checkSelfIntersection, double tolerance) const {
    if (!(tolerance >= 0.0)) tolerance = 0.0;   // a negative or NaN tolerance asks for exactness
    if (!isContourValid(tolerance)) return false;
    for (const CadPolygon& hole : holes_)
        if (!hole.isContourValid(tolerance) || !hole.holes_.empty()) return false;
    if (!checkSelfIntersection) return true;

    EdgeSweep sweep(tolerance);
    sweep.addContour(*this);
    for (const CadPolygon& hole : holes_) sweep.addContour(hole);
    if (sweep.findContact()) return false;
    // No edges touch, so one point of a hole tells where the whole hole lies: take an edge's midpoint,
    // which, unlike a vertex, no other contour can share.
    if (!closed_) return holes_.empty();
    for (std::size_t i = 0; i < holes_.size(); ++i) {
        const CadPoint probe = holes_[i].getEdge(0).getMidPoint();
        if (!containsInContour(probe)) return false;
        for (std::size_t j = 0; j < holes_.size(); ++j)
            if (j != i && holes_[j].containsInContour(probe)) return false;
    }
    return true;
}

// --- Point location ----------------------------------------------------------------------------
// Crossings of a ray to +x with the chords, then each arc flips the answer inside its circular segment
// (the region between chord and arc): an arc bulges out of or into the chord polygon.
bool CadPolygon::containsInContour(const CadPoint& point) const {
    if (!closed_ || points_.size() < 2) return false;
    const double x = point.getX(), y = point.getY();
    bool inside = false;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const PolyEdge edge = getEdge(i);
        const CadPoint a = edge.getBegin(), b = edge.getEnd();
        if ((a.getY() > y) != (b.getY() > y)) {
            const double crossX = a.getX() + (y - a.getY()) / (b.getY() - a.getY()) * (b.getX() - a.getX());
            if (x < crossX) inside = !inside;
        }
        if (edge.isCurved() && edge.getRadius() > 0.0) {
            const double side =
                (b.getX() - a.getX()) * (y - a.getY()) - (b.getY() - a.getY()) * (x - a.getX());
            // A counter-clockwise arc lies right of its chord, a clockwise one left.
            const bool arcSide = edge.getSweep() > 0.0 ? side < 0.0 : side > 0.0;
            if (arcSide && point.planDistanceTo(edge.getCentre()) < edge.getRadius()) inside = !inside;
        }
    }
    return inside;
}

CadPolygon::PointLocation CadPolygon::locate(const CadPoint& point, double tolerance) const {
    if (points_.empty()) return PointLocation::outside;
    // Cheap rejection first: outside the bounds widened by the tolerance.
    const Cube bounds = *getBounds();
    if (point.getX() < bounds.getMinimum().getX() - tolerance ||
        point.getX() > bounds.getMaximum().getX() + tolerance ||
        point.getY() < bounds.getMinimum().getY() - tolerance ||
        point.getY() > bounds.getMaximum().getY() + tolerance)
        return PointLocation::outside;
    const auto onContour = [&](const CadPolygon& contour) {
        if (contour.points_.size() == 1) return contour.points_[0].point.planDistanceTo(point) <= tolerance;
        for (std::size_t i = 0; i < contour.getEdgeCount(); ++i)
            if (contour.getEdge(i).planDistanceTo(point) <= tolerance) return true;
        return false;
    };
    if (onContour(*this)) return PointLocation::onEdge;
    for (const CadPolygon& hole : holes_)
        if (onContour(hole)) return PointLocation::onEdge;
    if (!containsInContour(point)) return PointLocation::outside;
    for (const CadPolygon& hole : holes_)
        if (hole.containsInContour(point)) return PointLocation::outside;
    return PointLocation::inside;
}

// --- Moves -------------------------------------------------------------------------------------
void CadPolygon::translate(const Vector3& offset) { *this += offset.toPoint(); }

CadPolygon& CadPolygon::operator+=(const CadPoint& offset) {
    for (PolyPoint& point : points_) point.point += offset;
    for (CadPolygon& hole : holes_) hole += offset;
    return *this;
}

void CadPolygon::moveCentreTo(const CadPoint& centre) {
    if (points_.empty()) return;
    const CadPoint now = getCentre();
    *this += CadPoint(centre.getX() - now.getX(), centre.getY() - now.getY(), 0.0);
}

}   // namespace tarnwick
