#include "Elements/PolygonConstructor.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "Foundation/Memory.h"
#include "Foundation/String.h"
#include "Geometry/PolyEdge.h"
#include "Geometry/Tolerance.h"
#include "LibraryParts/PrimitiveArc.h"
#include "LibraryParts/PrimitiveDistortedHatch.h"
#include "LibraryParts/PrimitiveHatch.h"
#include "LibraryParts/PrimitiveLine.h"
#include "LibraryParts/PrimitivePoint.h"
#include "LibraryParts/PrimitivePolygon.h"
#include "LibraryParts/PrimitiveText.h"
#include "Project/ElementMemoStore.h"

namespace tarnwick {
namespace {
// The collection that runs, if any.
struct Collection {
    PrimitiveList* receiver = nullptr;
    bool keepHatchLines = false;
    bool hatchValid = false;   // `hatch` holds the record of the border being drawn
    bool inHatchBorder = false;
    bool inHatchLines = false;
    host::HatchRecord hatch{};
};

Collection& collection() {
    static Collection state;
    return state;
}

CadPoint pointOf(const host::ShapeCoord& coord) { return CadPoint(coord.x, coord.y); }
CadPoint pointOf(const host::PolygonCoord& coord) { return CadPoint(coord.x, coord.y); }

// Releases the handles made for one polygon piece, also when reading it throws.
struct PolygonHandles {
    host::Handle coords = nullptr;
    host::Handle pends = nullptr;
    host::Handle parcs = nullptr;
    ~PolygonHandles() {
        disposeHandle(coords);
        disposeHandle(pends);
        disposeHandle(parcs);
    }
};

std::shared_ptr<Primitive> hotspotPiece(const host::ShapePrimitive& record) {
    return std::make_shared<PrimitivePoint>(pointOf(record.point), record.drawOrder, record.pen,
                                            /*lineType=*/1, /*in2D=*/true, /*in3D=*/false);
}

std::shared_ptr<Primitive> makeArc(const host::ShapePrimitive& record) {
    return std::make_shared<PrimitiveArc>(
        pointOf(record.point), record.radius, record.beginAngle, record.endAngle, record.clockwise != 0,
        record.axisRatio, record.mainAxisAngle, record.drawOrder, record.pen, record.lineType, true, false);
}

std::shared_ptr<Primitive> makeText(const host::ShapePrimitive& record, const void* plain,
                                    const void* unicode) {
    String text = unicode != nullptr ? String(static_cast<const char16_t*>(unicode), String::npos)
                                     : String(static_cast<const char*>(plain));
    // Drawn in previews, not written as script.
    return std::make_shared<PrimitiveText>(text, pointOf(record.point), record.textReal, record.drawOrder,
                                           record.pen, /*lineType=*/1, /*in2D=*/false, /*in3D=*/false);
}

// A polyline: a hotspot, a line or an arc, or a polygon through its points. The record's pen and line
// type hold for every form. A polyline that returns to its first point is a closed polygon (without the
// repeated point); any other stays open, so that nothing draws the edge it does not have.
std::shared_ptr<Primitive> makePolyline(const host::ShapePrimitive& record, const void* data1,
                                        const void* data3) {
    if (data1 == nullptr || record.pointCount < 1) return nullptr;
    const auto* points = static_cast<const host::PolygonCoord*>(data1);   // 1-based
    const auto* arcs = static_cast<const host::PolygonArc*>(data3);
    const std::int32_t arcCount = arcs != nullptr ? record.arcCount : 0;
    const std::int32_t n = record.pointCount;
    if (n == 1)
        return std::make_shared<PrimitivePoint>(pointOf(points[1]), record.drawOrder, record.pen,
                                                record.lineType, true, false);
    // The angle of the edge that ends at point k (k from 2).
    const auto angleAt = [&](std::int32_t k) {
        for (std::int32_t a = 0; a < arcCount; ++a)
            if (arcs[a].begin == k - 1 && arcs[a].end == k) return arcs[a].angle;
        return 0.0;
    };
    if (n == 2) {
        const double angle = arcCount > 0 ? arcs[0].angle : 0.0;
        if (std::abs(angle) > Tolerance::angle) {
            const CadArc arc =
                PolyEdge(PolyPoint(pointOf(points[1])), PolyPoint(pointOf(points[2]), angle)).getArc();
            return std::make_shared<PrimitiveArc>(arc, record.drawOrder, record.pen, record.lineType, true,
                                                  false);
        }
        return std::make_shared<PrimitiveLine>(Line(pointOf(points[1]), pointOf(points[2])), record.drawOrder,
                                               record.pen, record.lineType, true, false);
    }
    const bool closed = pointOf(points[n]).planEquals(pointOf(points[1]), Tolerance::plan);
    const std::int32_t last = closed ? n - 1 : n;
    CadPolygon polygon(0, 0, closed);
    // A closed polygon's first vertex carries the edge that returns to it.
    polygon.append(PolyPoint(pointOf(points[1]), closed ? angleAt(n) : 0.0));
    for (std::int32_t k = 2; k <= last; ++k) polygon.append(PolyPoint(pointOf(points[k]), angleAt(k)));
    return std::make_shared<PrimitivePolygon>(polygon, record.pen, /*filled=*/false, record.drawOrder,
                                              record.pen, record.lineType, true, false);
}

std::shared_ptr<Primitive> makeTriangle(const host::ShapePrimitive& record) {
    CadPolygon polygon;
    for (const host::ShapeCoord& corner : record.corners) polygon.append(PolyPoint(pointOf(corner)));
    return std::make_shared<PrimitivePolygon>(polygon, record.pen, record.filled != 0, record.drawOrder,
                                              record.pen, record.lineType, true, false);
}

std::shared_ptr<Primitive> polygonPiece(const host::ShapePrimitive& record, const void* data1,
                                        const void* data2, const void* data3) {
    const host::PolygonCounts& counts = record.counts;
    if (data1 == nullptr || data2 == nullptr || counts.coordinates < 1 || counts.contours < 1) return nullptr;
    if (counts.arcs > 0 && data3 == nullptr) return nullptr;
    PolygonHandles handles;
    handles.coords = ptrToHandle(data1, 16 * (static_cast<std::size_t>(counts.coordinates) + 1));
    handles.pends = ptrToHandle(data2, 4 * (static_cast<std::size_t>(counts.contours) + 1));
    if (counts.arcs > 0) handles.parcs = ptrToHandle(data3, 16 * static_cast<std::size_t>(counts.arcs));
    PolygonConstructor constructor;
    const std::unique_ptr<CadPolygon> polygon =
        constructor.fromElement(counts, handles.coords, handles.pends, handles.parcs);
    if (!polygon || polygon->getSize() < 2) return nullptr;

    const Collection& state = collection();
    if (polygon->isClosed() && state.inHatchBorder && state.hatchValid) {
        const host::HatchRecord& hatch = state.hatch;
        const PrimitiveHatch made(*polygon, PrimitivePolygon::chooseFillPen(hatch.fillPen, record.pen),
                                  static_cast<std::uint16_t>(hatch.backgroundPen),
                                  static_cast<std::uint16_t>(hatch.fillIndex), hatch.contour != 0,
                                  hatch.gradient != 0, hatch.linear != 0, record.drawOrder, record.pen,
                                  record.lineType, true, false);
        if (hatch.distortion == 0) return std::make_shared<PrimitiveHatch>(made);
        const std::array<double, 5> transformation = {hatch.transformation[0], hatch.transformation[1],
                                                      hatch.transformation[2], hatch.transformation[3],
                                                      hatch.transformation[4]};
        return std::make_shared<PrimitiveDistortedHatch>(made, CadPoint(hatch.origin[0], hatch.origin[1]),
                                                         transformation);
    }
    if (polygon->getSize() == 2)
        return std::make_shared<PrimitiveLine>(Line(polygon->getPoint(0).point, polygon->getPoint(1).point),
                                               record.drawOrder, record.pen, record.lineType, true, false);
    return std::make_shared<PrimitivePolygon>(*polygon, record.pen, record.filled != 0, record.drawOrder,
                                              record.pen, record.lineType, true, false);
}
}   // namespace

PolygonConstructor::PolygonConstructor() = default;
PolygonConstructor::~PolygonConstructor() = default;

bool PolygonConstructor::load(std::uint64_t, std::unique_ptr<MemoStore>&) { return false; }

host::PolygonCounts PolygonConstructor::getReadCounts() const { return sourceCounts_; }

std::unique_ptr<CadPolygon> PolygonConstructor::fromElement(const host::PolygonCounts& counts,
                                                            host::Handle coords, host::Handle pends,
                                                            host::Handle parcs) {
    sourceCounts_ = counts;
    // The handles stay the caller's: the memo record is ours and on the stack, the store keeps off it.
    host::ElementMemo memo{};
    memo.coords = coords;
    memo.pends = pends;
    memo.parcs = parcs;
    {
        ElementMemoStore store(&memo, /*keep=*/true);
        makePolygon(store);
    }
    std::unique_ptr<CadPolygon> polygon = takePolygon();
    setLoaded(false);
    return polygon;
}

// --- Collection ------------------------------------------------------------------------------------

void PolygonConstructor::beginCollect(PrimitiveList& receiver, bool keepHatchLines) {
    Collection& state = collection();
    state = Collection{};
    state.receiver = &receiver;
    state.keepHatchLines = keepHatchLines;
}

void PolygonConstructor::endCollect() { collection().receiver = nullptr; }

bool PolygonConstructor::isCollecting() { return collection().receiver != nullptr; }

std::uint32_t PolygonConstructor::shapePrimitiveCallback(const host::ShapePrimitive* primitive,
                                                         const void* data1, const void* data2,
                                                         const void* data3) {
    Collection& state = collection();
    if (state.receiver == nullptr) return host::kErrNoReceiver;
    if (primitive == nullptr) return 0;
    const host::ShapePrimitive& record = *primitive;
    std::shared_ptr<Primitive> made;
    switch (record.type) {
        case host::kShapePoint:
            made = hotspotPiece(record);
            break;
        case host::kShapeLine:
            made =
                std::make_shared<PrimitiveLine>(Line(pointOf(record.point), pointOf(record.end)),
                                                record.drawOrder, record.pen, record.lineType, true, false);
            break;
        case host::kShapeArc:
            made = makeArc(record);
            break;
        case host::kShapeText:
            made = makeText(record, data1, data2);
            break;
        case host::kShapePolyline:
            made = makePolyline(record, data1, data3);
            break;
        case host::kShapeTriangle:
            made = makeTriangle(record);
            break;
        case host::kShapePolygon:
            made = polygonPiece(record, data1, data2, data3);
            break;
        case host::kShapeHatchBegin:
            state.inHatchBorder = true;
            state.hatchValid = data1 != nullptr;
            if (data1 != nullptr) std::memcpy(&state.hatch, data1, sizeof state.hatch);
            break;
        case host::kShapeHatchEnd:
            state.inHatchBorder = state.hatchValid = false;
            break;
        case host::kShapeHatchLinesBegin:
            state.inHatchLines = true;
            break;
        case host::kShapeHatchLinesEnd:
            state.inHatchLines = false;
            break;
        default:
            break;
    }
    if (!made || (state.inHatchLines && !state.keepHatchLines)) return 0;
    made->setHatchLine(state.inHatchLines);
    made->setHatchBorder(state.inHatchBorder);
    state.receiver->push_back(std::move(made));
    return 0;
}

}   // namespace tarnwick
