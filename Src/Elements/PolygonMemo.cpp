#include "Elements/PolygonMemo.h"

#include <cmath>
#include <vector>

#include "Foundation/Memory.h"
#include "Geometry/Tolerance.h"
#include "Project/MemoStore.h"

namespace tarnwick {

namespace {

// Entries of `size` bytes a handle holds.
std::size_t entries(host::Handle handle, std::size_t size) { return tarnwick::getHandleSize(handle) / size; }

// The contours in writing order: the outline, then each hole.
std::vector<const CadPolygon*> contoursOf(const CadPolygon& polygon) {
    std::vector<const CadPolygon*> contours{&polygon};
    for (const CadPolygon& hole : polygon.getHoles()) contours.push_back(&hole);
    return contours;
}

bool isArc(double angle) { return std::abs(angle) > Tolerance::angle; }

// The arcs a write gives: one per entry after a contour's first whose vertex carries an arc angle. The
// closing entry repeats the first vertex, so in a closed contour every vertex's angle is written once.
std::int32_t arcsOf(const CadPolygon& contour, bool closed) {
    std::int32_t arcs = 0;
    for (std::size_t k = 1; k < contour.getSize(); ++k)
        if (isArc(contour.getPoint(k).angle)) ++arcs;
    if (closed && contour.getSize() > 0 && isArc(contour.getPoint(0).angle)) ++arcs;
    return arcs;
}

}   // namespace

PolygonMemo::PolygonMemo() = default;

PolygonMemo::PolygonMemo(const PolygonMemo& other)
    : Memo(other),
      polygon_(other.polygon_ ? std::make_unique<CadPolygon>(*other.polygon_) : nullptr),
      counts_(other.counts_),
      hasVertexIds_(other.hasVertexIds_) {}

PolygonMemo& PolygonMemo::operator=(const PolygonMemo& other) {
    if (this == &other) return *this;
    Memo::operator=(other);
    polygon_ = other.polygon_ ? std::make_unique<CadPolygon>(*other.polygon_) : nullptr;
    counts_ = other.counts_;
    hasVertexIds_ = other.hasVertexIds_;
    return *this;
}

PolygonMemo::~PolygonMemo() = default;

bool PolygonMemo::isValid() const {
    return polygon_ && polygon_->isValid(/*checkSelfIntersection=*/false, Tolerance::plan);
}

bool PolygonMemo::read(MemoStore& store) { return makePolygon(store); }

CadPolygon* PolygonMemo::getMutablePolygon() {
    loadOnDemand(kMemoKind);
    return polygon_.get();
}

const CadPolygon* PolygonMemo::getPolygon() { return getMutablePolygon(); }

void PolygonMemo::adoptPolygon(std::unique_ptr<CadPolygon> polygon) {
    setLoaded(true);
    if (polygon.get() != polygon_.get()) polygon_ = std::move(polygon);
}

void PolygonMemo::setPolygon(const CadPolygon& polygon) {
    setLoaded(true);
    polygon_ = std::make_unique<CadPolygon>(polygon);
}

PolyPoint PolygonMemo::makePoint(MemoStore&, std::size_t, const CadPoint& point, std::uint32_t id,
                                 double angle) {
    return PolyPoint(point, angle, id);
}

bool PolygonMemo::prepareHandles() { return true; }
void PolygonMemo::onPointWritten(const PolyPoint&, MemoStore&, std::size_t) {}
bool PolygonMemo::isClosed() const { return true; }
bool PolygonMemo::skipsPlaceholder() const { return true; }
bool PolygonMemo::skipsFirstVertex() const { return isClosed(); }
bool PolygonMemo::countsHoles() const { return isClosed(); }
host::PolygonCounts& PolygonMemo::getWriteCounts() { return counts_; }

bool PolygonMemo::lockHandles(MemoStore& store, const host::PolygonCounts& counts, Arrays& arrays) {
    const MemoStore& read = store;
    // Only the coordinate and contour counts must be there: most polygons have no arcs.
    if (counts.coordinates < 1 || counts.contours < 1) return false;
    if (counts.arcs > 0 && read.parcs() == nullptr) return false;
    if (read.coords() == nullptr || read.pends() == nullptr) return false;
    arrays = {};
    const auto lock = [](host::Handle handle) {
        if (handle != nullptr) tarnwick::lockHandle(handle);
        return handle != nullptr ? static_cast<void*>(*handle) : nullptr;
    };
    arrays.coords = static_cast<host::PolygonCoord*>(lock(read.coords()));
    arrays.pends = static_cast<std::int32_t*>(lock(read.pends()));
    arrays.parcs = static_cast<host::PolygonArc*>(lock(read.parcs()));
    arrays.vertexIDs = static_cast<std::uint32_t*>(lock(read.vertexIDs()));
    arrays.meshPolyZ = static_cast<double*>(lock(read.meshPolyZ()));
    return true;
}

void PolygonMemo::unlockHandles(MemoStore& store) {
    const MemoStore& read = store;
    for (host::Handle handle :
         {read.coords(), read.pends(), read.vertexIDs(), read.parcs(), read.meshPolyZ()})
        if (handle != nullptr) tarnwick::unlockHandle(handle);
}

bool PolygonMemo::allocateHandles(MemoStore& store, const host::PolygonCounts& counts, Arrays& arrays) {
    if (counts.coordinates < 1 || counts.contours < 1) return false;
    const auto coordinates = static_cast<std::size_t>(counts.coordinates);
    const auto contours = static_cast<std::size_t>(counts.contours);
    // Handles the store already held are replaced, not leaked.
    const auto replace = [](host::Handle* slot, std::size_t size) {
        tarnwick::disposeHandle(*slot);
        *slot = size > 0 ? tarnwick::allocateHandle(size) : nullptr;
    };
    replace(store.vertexIDs(), 4 * coordinates + 4);
    replace(store.coords(), 16 * (coordinates + 1));
    replace(store.pends(), 4 * contours + 4);
    replace(store.parcs(), counts.arcs >= 1 ? 16 * static_cast<std::size_t>(counts.arcs) : 0);
    if (host::Handle* mesh = store.meshPolyZ(); *mesh != nullptr)
        tarnwick::setHandleSize(*mesh, 8 * coordinates + 8);
    return lockHandles(store, counts, arrays);
}

void PolygonMemo::writeCounts(host::PolygonCounts& counts) {
    counts = {};
    loadOnDemand(kMemoKind);
    if (!polygon_) return;
    polygon_->numberVertices(/*renumberAll=*/false);
    if (countsHoles()) {
        counts.contours = static_cast<std::int32_t>(polygon_->getHoleCount() + 1);
        counts.coordinates = static_cast<std::int32_t>(polygon_->countAllVertices()) + counts.contours;
    } else {
        counts.contours = 1;
        counts.coordinates = static_cast<std::int32_t>(polygon_->getSize());
    }
    for (const CadPolygon* contour : contoursOf(*polygon_)) {
        counts.arcs += arcsOf(*contour, isClosed());
        if (!countsHoles()) break;
    }
}

bool PolygonMemo::makePolygon(MemoStore& store) {
    // 1.
    setLoaded(false);
    polygon_.reset();
    // 2.
    const host::PolygonCounts counts = getReadCounts();
    const MemoStore& read = store;
    hasVertexIds_ = read.vertexIDs() != nullptr;
    // 3.
    Arrays arrays;
    if (!lockHandles(store, counts, arrays)) return false;
    // 4. Every array is checked against what the counts make it read: nothing is read past a handle.
    const std::size_t available = entries(read.coords(), sizeof(host::PolygonCoord));
    const std::size_t ids = entries(read.vertexIDs(), sizeof(std::uint32_t));
    const std::size_t heights = entries(read.meshPolyZ(), sizeof(double));
    const std::size_t arcs = std::min(entries(read.parcs(), sizeof(host::PolygonArc)),
                                      static_cast<std::size_t>(std::max(counts.arcs, 0)));
    std::size_t i = skipsPlaceholder() ? 1 : 0;
    // 5.
    const bool withEnds = arrays.pends != nullptr;
    const auto contours = static_cast<std::size_t>(withEnds ? counts.contours : 1);
    const bool endsComplete = !withEnds || entries(read.pends(), sizeof(std::int32_t)) >= contours + 1;
    std::unique_ptr<CadPolygon> built;
    bool broken = !endsComplete;
    for (std::size_t c = 0; c < contours && !broken; ++c) {
        std::int64_t n = withEnds ? std::int64_t{arrays.pends[c + 1]} - arrays.pends[c] : counts.coordinates;
        if (c > 0 || skipsFirstVertex()) {
            n -= 1;
            i += 1;
        }
        if (n < 1 || static_cast<std::size_t>(n) + i > available) {
            broken = true;
            break;
        }
        // 6.
        CadPolygon contour(0, c == 0 ? contours - 1 : 0, isClosed());
        // 7.
        for (std::int64_t k = 0; k < n; ++k, ++i) {
            const std::uint32_t id = hasVertexIds_ && i < ids ? arrays.vertexIDs[i] : 0;
            double angle = 0.0;
            for (std::size_t a = 0; a < arcs; ++a)
                if (arrays.parcs[a].end == static_cast<std::int32_t>(i)) angle = arrays.parcs[a].angle;
            const double z = arrays.meshPolyZ != nullptr && i < heights ? arrays.meshPolyZ[i] : 0.0;
            contour.append(
                makePoint(store, i, CadPoint(arrays.coords[i].x, arrays.coords[i].y, z), id, angle));
        }
        if (!built)
            built = std::make_unique<CadPolygon>(std::move(contour));
        else
            built->addHole(contour);
    }
    if (!broken && built) {
        // 8.
        built->setClosed(isClosed());
        if (hasVertexIds_ && ids > 0)
            built->setCounter(arrays.vertexIDs[0]);
        else
            built->numberVertices(/*renumberAll=*/false);
        polygon_ = std::move(built);
    }
    // 9.
    unlockHandles(store);
    setLoaded(polygon_ != nullptr);
    return polygon_ != nullptr;
}

bool PolygonMemo::write(MemoStore& store) {
    // 1.
    loadOnDemand(kMemoKind);
    if (!isValid()) return false;
    // 2.
    host::PolygonCounts& counts = getWriteCounts();
    writeCounts(counts);
    if (!prepareHandles()) return false;
    Arrays arrays;
    if (!allocateHandles(store, counts, arrays)) return false;
    // 3.
    if (arrays.vertexIDs != nullptr) arrays.vertexIDs[0] = polygon_->getCounter();
    if (skipsPlaceholder())
        arrays.coords[0] = isClosed() ? host::PolygonCoord{0, 0} : host::PolygonCoord{-1, 0};
    arrays.pends[0] = 0;
    if (arrays.meshPolyZ != nullptr) arrays.meshPolyZ[0] = 0.0;
    // 4. Never past the counted sizes, whatever the polygon holds.
    const auto limit = static_cast<std::size_t>(counts.coordinates);
    std::size_t arc = 0;
    std::size_t i = skipsPlaceholder() ? 1 : 0;
    std::size_t c = 0;
    for (const CadPolygon* contour : contoursOf(*polygon_)) {
        const std::size_t size = contour->getSize();
        for (std::size_t k = 0; k <= size && i <= limit; ++k, ++i) {
            const PolyPoint point = contour->getPoint(k);   // k == size wraps to the first vertex
            if (arrays.vertexIDs != nullptr) arrays.vertexIDs[i] = point.id;
            arrays.coords[i] = {point.point.getX(), point.point.getY()};
            if (arrays.meshPolyZ != nullptr) arrays.meshPolyZ[i] = point.point.getZ();
            if (k > 0 && isArc(point.angle) && arc < static_cast<std::size_t>(counts.arcs))
                arrays.parcs[arc++] = {static_cast<std::int32_t>(i - 1), static_cast<std::int32_t>(i),
                                       point.angle};
            onPointWritten(point, store, i);
        }
        arrays.pends[++c] = static_cast<std::int32_t>(i - 1);
        if (!countsHoles()) break;
    }
    // 5.
    unlockHandles(store);
    return true;
}

}   // namespace tarnwick
