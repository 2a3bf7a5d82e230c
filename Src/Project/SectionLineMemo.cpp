#include "Project/SectionLineMemo.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Foundation/Memory.h"
#include "Geometry/Tolerance.h"
#include "Project/MemoStore.h"

namespace tarnwick {
namespace {

struct StoredPoint {   // one point of a memo array
    double x;
    double y;
};
static_assert(sizeof(StoredPoint) == 16);

std::unique_ptr<CadPolygon> copyOf(const std::unique_ptr<CadPolygon>& polygon) {
    return polygon ? std::make_unique<CadPolygon>(*polygon) : nullptr;
}

// At most `count` points of the array, and never more than the handle holds.
std::unique_ptr<CadPolygon> polygonOf(host::Handle handle, std::size_t count) {
    count = std::min(count, getHandleSize(handle) / sizeof(StoredPoint));
    if (count == 0) return nullptr;
    auto polygon = std::make_unique<CadPolygon>(0, 0, /*closed=*/false);
    for (std::size_t i = 0; i < count; ++i) {
        StoredPoint point;
        std::memcpy(&point, *handle + i * sizeof point, sizeof point);
        polygon->append(PolyPoint(CadPoint(point.x, point.y, 0.0)));
    }
    return polygon;
}

// The polygon's points into the field, replacing what it held. False when memory fails.
bool storePoints(const CadPolygon& polygon, host::Handle* field) {
    std::vector<StoredPoint> points;
    for (std::size_t i = 0; i < polygon.getSize(); ++i) {
        const CadPoint point = polygon.getPoint(i).point;
        points.push_back({point.getX(), point.getY()});
    }
    host::Handle handle = ptrToHandle(points.data(), points.size() * sizeof(StoredPoint));
    if (handle == nullptr && !points.empty()) return false;
    disposeHandle(*field);
    *field = handle;
    return true;
}

}   // namespace

SectionLineMemo::SectionLineMemo(const SectionLineMemo& other)
    : Memo(other),
      line_(copyOf(other.line_)),
      distance_(copyOf(other.distance_)),
      depth_(copyOf(other.depth_)),
      changed_(other.changed_) {}

SectionLineMemo& SectionLineMemo::operator=(const SectionLineMemo& other) {
    if (this == &other) return *this;
    Memo::operator=(other);
    line_ = copyOf(other.line_);
    distance_ = copyOf(other.distance_);
    depth_ = copyOf(other.depth_);
    changed_ = other.changed_;
    return *this;
}

SectionLineMemo::~SectionLineMemo() = default;

void SectionLineMemo::update(Memo&, Memo&) {}

bool SectionLineMemo::isValid() const { return line_ && line_->isValid(false, Tolerance::plan); }

bool SectionLineMemo::write(MemoStore& store) {
    if (!isValid()) return false;
    if (!storePoints(*line_, store.sectionLineCoords())) return false;
    // The distance and depth arrays go only when they hold points; otherwise what the store has stays.
    if (distance_ && distance_->getSize() > 0 && !storePoints(*distance_, store.sectionDistanceCoords()))
        return false;
    if (depth_ && depth_->getSize() > 0 && !storePoints(*depth_, store.sectionDepthCoords())) return false;
    return true;
}

bool SectionLineMemo::read(MemoStore& store) {
    changed_ = false;
    line_.reset();
    distance_.reset();
    depth_.reset();
    const std::array<std::uint16_t, 3> counts = getStoredPointCounts();
    if (store.sectionLineCoords() == nullptr || *store.sectionLineCoords() == nullptr || counts[0] < 2)
        return false;
    line_ = polygonOf(*store.sectionLineCoords(), counts[0]);
    if (!line_ || line_->getSize() < 2) {   // the array held fewer points than the record said
        line_.reset();
        return false;
    }
    distance_ = polygonOf(*store.sectionDistanceCoords(), counts[1]);
    depth_ = polygonOf(*store.sectionDepthCoords(), counts[2]);
    setLoaded(true);
    return true;
}

// Loading on demand fills the cache a const reader asks for; the memo's value does not change.
const CadPolygon* SectionLineMemo::getLinePolygon() const {
    return const_cast<SectionLineMemo*>(this)->getLinePolygon();
}

CadPolygon* SectionLineMemo::getLinePolygon() {
    loadOnDemand(getPartMask());
    return line_.get();
}

const CadPolygon* SectionLineMemo::getDistancePolygon() const {
    return const_cast<SectionLineMemo*>(this)->getDistancePolygon();
}

CadPolygon* SectionLineMemo::getDistancePolygon() {
    loadOnDemand(getPartMask());
    return distance_.get();
}

const CadPolygon* SectionLineMemo::getDepthPolygon() const {
    return const_cast<SectionLineMemo*>(this)->getDepthPolygon();
}

CadPolygon* SectionLineMemo::getDepthPolygon() {
    loadOnDemand(getPartMask());
    return depth_.get();
}

void SectionLineMemo::setLinePolygon(std::unique_ptr<CadPolygon> polygon) {
    changed_ = true;
    line_ = std::move(polygon);
}

void SectionLineMemo::setDistancePolygon(std::unique_ptr<CadPolygon> polygon) {
    changed_ = true;
    distance_ = std::move(polygon);
}

void SectionLineMemo::setDepthPolygon(std::unique_ptr<CadPolygon> polygon) {
    changed_ = true;
    depth_ = std::move(polygon);
}

std::array<std::uint16_t, 3> SectionLineMemo::getPointCounts() {
    loadOnDemand(getPartMask());
    const auto count = [](const std::unique_ptr<CadPolygon>& p) {
        return static_cast<std::uint16_t>(p ? p->getSize() : 0);
    };
    return {count(line_), count(distance_), count(depth_)};
}

}   // namespace tarnwick
