#include "Project/CutPlaneReference.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

#include "Geometry/Line.h"
#include "Geometry/PointPosition.h"
#include "Geometry/Tolerance.h"
#include "Geometry/Vector3.h"
#include "Project/Drawing.h"
#include "Project/ElementMemoStore.h"
#include "Project/Storey.h"

namespace tarnwick {

CutPlaneReference::CutPlaneReference(const ElementLink& link) : Element(link) {}

CutPlaneReference::CutPlaneReference(const host::ElementRecord& record, const ElementLink& link)
    : Element(link) {
    std::memcpy(record_.data(), &record, record_.size());
}

CutPlaneReference::CutPlaneReference(const CutPlaneReference& other) = default;
CutPlaneReference::~CutPlaneReference() = default;

std::unique_ptr<Element> CutPlaneReference::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != host::kElementSectionMarker && record.head.type != host::kElementElevationMarker)
        return nullptr;
    return std::make_unique<CutPlaneReference>(record, link);
}

std::unique_ptr<Element> CutPlaneReference::clone() const {
    return std::make_unique<CutPlaneReference>(*this);
}

template <typename T>
T CutPlaneReference::field(std::size_t offset) const {
    T value;
    std::memcpy(&value, record_.data() + offset, sizeof value);
    return value;
}

template <typename T>
void CutPlaneReference::setField(std::size_t offset, T value) {
    std::memcpy(record_.data() + offset, &value, sizeof value);
}

const host::ElementHead& CutPlaneReference::getTypeRecord() const {
    return *reinterpret_cast<const host::ElementHead*>(record_.data());
}

host::ElementHead& CutPlaneReference::getMutableTypeRecord() {
    return *reinterpret_cast<host::ElementHead*>(record_.data());
}

void CutPlaneReference::copyRecord(const host::ElementRecord& record) {
    std::memcpy(record_.data(), &record, record_.size());
}

double CutPlaneReference::getHeight() {
    return field<double>(host::kMarkerUpperOffset) - field<double>(host::kMarkerLowerOffset);
}

std::uint64_t CutPlaneReference::getMarkerValue() const {
    return field<std::uint64_t>(host::kMarkerValueOffset);
}

void CutPlaneReference::setHeight(double height) {
    setField(host::kMarkerUpperOffset, field<double>(host::kMarkerLowerOffset) + height);
}

double CutPlaneReference::storeyLevel() const {
    const Storey* storey = getStorey();
    return storey != nullptr ? storey->getLevel() : 0.0;
}

// --- Position ------------------------------------------------------------------------------------------
CadPoint CutPlaneReference::getPosition() const {
    const CadPolygon* line = linePolygon();
    if (line == nullptr || line->getSize() == 0) return Element::getPosition();
    const CadPoint first = line->getPoint(0).point;
    return CadPoint(first.getX(), first.getY(), getElevation(/*absolute=*/true));
}

double CutPlaneReference::getElevation(bool absolute) const {
    const double elevation = field<double>(host::kMarkerElevationOffset);
    return absolute ? elevation : elevation - storeyLevel();
}

void CutPlaneReference::setElevation(double value, bool absolute) {
    setField(host::kMarkerElevationOffset, absolute ? value : value + storeyLevel());
}

// All three lists move: moving the line alone would leave the marker's depth and distance behind.
void CutPlaneReference::setPosition(const CadPoint& point) {
    if (CadPolygon* line = linePolygon(); line != nullptr && line->getSize() > 0) {
        const CadPoint from = getPosition();
        const Vector3 step(point.getX() - from.getX(), point.getY() - from.getY(), 0.0);
        for (CadPolygon* polygon : {line, distancePolygon(), depthPolygon()})
            if (polygon != nullptr) polygon->translate(step);
        markChanged();
    }
    setElevation(point.getZ(), /*absolute=*/true);
}

// --- Record and memo -----------------------------------------------------------------------------------
std::array<std::uint16_t, 3> CutPlaneReference::getStoredPointCounts() const {
    return {field<std::uint16_t>(host::kMarkerLineCountOffset),
            field<std::uint16_t>(host::kMarkerDistanceCountOffset),
            field<std::uint16_t>(host::kMarkerDepthCountOffset)};
}

std::unique_ptr<host::ElementRecord> CutPlaneReference::getHostElement() const {
    auto record = std::make_unique<host::ElementRecord>();   // zeroed
    std::memcpy(record.get(), record_.data(), record_.size());
    ElementLink link = getLink();
    link.getElemType(record->head, /*withStorey=*/true);
    if (isLoaded() && linePolygon() != nullptr) {
        auto* bytes = reinterpret_cast<std::uint8_t*>(record.get());
        const auto put = [bytes](std::size_t offset, const CadPolygon* polygon) {
            const auto count = static_cast<std::uint16_t>(polygon != nullptr ? polygon->getSize() : 0);
            std::memcpy(bytes + offset, &count, sizeof count);
        };
        put(host::kMarkerLineCountOffset, linePolygon());
        put(host::kMarkerDistanceCountOffset, distancePolygon());
        put(host::kMarkerDepthCountOffset, depthPolygon());
    }
    return record;
}

bool CutPlaneReference::load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) {
    // An access that needs the line loads it, whatever the switch says for the Drawing's own loads.
    const std::uint8_t suspended = std::exchange(memoLoadingSuspended, std::uint8_t{0});
    std::unique_ptr<ElementMemoStore> elementStore(dynamic_cast<ElementMemoStore*>(store.get()));
    if (elementStore) store.release();
    try {
        loadMemo(mask | getPartMask(), elementStore);
    } catch (...) {
        memoLoadingSuspended = suspended;
        throw;
    }
    memoLoadingSuspended = suspended;
    store = std::move(elementStore);
    return linePolygon() != nullptr;   // a read that failed leaves no line
}

void CutPlaneReference::loadMemo(std::uint64_t mask, std::unique_ptr<ElementMemoStore>& store) {
    Element::loadMemo(mask, store);
    // A line set here or read before and still valid is kept; anything else is read with the rest.
    // While loading is deferred only the line a memo given to us (or the mask) asks for is read.
    if (memoLoadingSuspended == 0 && (!isLoaded() || !isValid())) mask |= getPartMask();
    if (!store) {
        if (Drawing* drawing = getDrawing()) store = drawing->loadMemo(getLink(), mask);
        if (!store) {
            setLoaded(true);   // no Drawing, or the host failed: loaded, and empty
            return;
        }
    }
    if ((mask & getPartMask()) != 0) SectionLineMemo::read(*store);
}

std::unique_ptr<ElementMemoStore> CutPlaneReference::getMemo(std::uint64_t& mask) const {
    mask = 0;
    auto& self = const_cast<CutPlaneReference&>(*this);   // loading on demand completes the object
    auto store = std::make_unique<ElementMemoStore>();
    if (!self.write(*store)) return nullptr;
    mask = host::kMemoSectionLine;
    if (self.distancePolygon() != nullptr || self.depthPolygon() != nullptr)
        mask |= host::kMemoSectionDistances;
    return store;
}

// --- Marker fields -------------------------------------------------------------------------------------
Pen CutPlaneReference::getPen(std::int32_t part) const {
    const std::int16_t index = part == 0 || part == 1 ? field<std::int16_t>(host::kMarkerPenOffset) : 0;
    return Pen(AttributeLink(index, AttributeType::pen));
}

std::int32_t CutPlaneReference::setPen(const AttributeLink& pen, std::int32_t part) {
    if (part == 0 || part == 1) setField(host::kMarkerPenOffset, pen.getShortIndex());
    return pen.getShortIndex();
}

bool CutPlaneReference::isOnNegativeSide() const {
    const CadPolygon* line = linePolygon();
    const CadPolygon* distance = distancePolygon();
    if (line == nullptr || line->getSize() < 2 || distance == nullptr || distance->getSize() < 1)
        return false;
    return PointPosition(line->getPoint(0).point, line->getPoint(1).point, distance->getPoint(0).point,
                         Tolerance::plan)
        .isOnNegativeSide();
}

ElementLink CutPlaneReference::getLinkedElement() const {
    host::GuidRecord guid;
    std::memcpy(&guid, record_.data() + host::kMarkerElementGuidOffset, sizeof guid);
    return ElementLink(Guid(guid), getDrawing());
}

Guid CutPlaneReference::getViewGuid() const {
    host::GuidRecord guid;
    std::memcpy(&guid, record_.data() + host::kMarkerViewGuidOffset, sizeof guid);
    return Guid(guid);
}

double CutPlaneReference::getDirection() const {
    const CadPolygon* line = linePolygon();
    double angle = 0.0;   // the x axis without a valid line
    if (line != nullptr && line->getSize() >= 2 && line->isValid(false, Tolerance::plan))
        angle = Line(line->getPoint(0).point, line->getPoint(1).point).getAngle();
    if (!isOnNegativeSide()) angle = std::fmod(angle + std::numbers::pi, 2.0 * std::numbers::pi);
    return angle;
}

}   // namespace tarnwick
