#include "Elements/ZoneElement.h"

#include <algorithm>

#include "Elements/ElementQuantity.h"
#include "Geometry/CadPolygon.h"
#include "Geometry/Vector3.h"
#include "Project/ElementMemoStore.h"
#include "Project/Finish.h"
#include "Project/HostProject.h"
#include "Project/Library.h"
#include "Project/Pen.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Project/Specification.h"
#include "Project/Storey.h"
#include "Project/ZoneCategory.h"

namespace tarnwick {

namespace {

constexpr std::size_t kCategory = host::kZoneCategoryOffset;
constexpr std::size_t kStampIndex = host::kZoneStampIndexOffset;
constexpr std::size_t kElevation = host::kZoneElevationOffset;
constexpr std::size_t kUpperStoreys = host::kZoneUpperStoreyOffset;

Library* projectLibrary() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getLibrary() : nullptr;
}

std::int32_t stampIndexOf(const host::ElementRecord& record) {
    std::int32_t index = 0;
    std::memcpy(&index, reinterpret_cast<const unsigned char*>(&record) + kStampIndex, sizeof index);
    return index;
}

AttributeLink categoryLink(std::int16_t index) { return AttributeLink(index, AttributeType::zoneCategory); }

// A text into a field of `units` 16-bit units: cut to the field (a surrogate pair is not split), the rest
// zero; a text that fills the field has no terminator, as the host reads it.
void putText(unsigned char* field, std::size_t units, const String& text) {
    std::u16string chars = text.toUniString();
    if (chars.size() > units) {
        std::size_t n = units;
        if (chars[n] >= 0xDC00 && chars[n] <= 0xDFFF) --n;   // keep pairs whole
        chars.resize(n);
    }
    chars.resize(units, u'\0');
    std::memcpy(field, chars.data(), units * sizeof(char16_t));
}

String textOf(const unsigned char* field, std::size_t units) {
    std::u16string chars(units, u'\0');
    std::memcpy(chars.data(), field, units * sizeof(char16_t));
    return String(chars.data(), static_cast<std::uint32_t>(units));   // stops at a terminator
}

}   // namespace

ComponentLink getStampLink(const AttributeLink& category) {
    Specification* specification = category.getOwner();
    if (specification == nullptr) {
        Project* project = HostProject::getProject();
        specification = project != nullptr ? project->getSpecification() : nullptr;
    }
    if (specification == nullptr || !category.isValid()) return ComponentLink();
    const std::unique_ptr<Attribute> made = specification->getAttribute(category);
    const auto* zoneCategory = dynamic_cast<const ZoneCategory*>(made.get());
    return zoneCategory != nullptr ? zoneCategory->getStampLink() : ComponentLink();
}

std::unique_ptr<Element> ZoneElement::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<ZoneElement>(record, link);
}

ZoneElement::ZoneElement(bool withMemo) : ComponentElem(ElementLink(kType, 0), ComponentLink()) {
    // 2., 3.
    std::unique_ptr<ElementMemoStore> memo = withMemo ? std::make_unique<ElementMemoStore>() : nullptr;
    auto defaults = std::make_unique<host::ElementRecord>();
    if (getHostDefaults(*defaults, memo ? memo->getMemo() : nullptr)) {
        copyRecord(*defaults);
        if (memo) {
            ComponentElem::loadMemo(kFullMemoMask, memo);
            if (memo)
                makePolygon(*memo);
            else
                PolygonMemo::setLoaded(true);
        }
    }
    // 4. The stamp of the default category.
    const ComponentLink stamp = getStampLink(categoryLink(get<std::int16_t>(kCategory)));
    setComponent(stamp, !withMemo, !withMemo);
}

// The stamp of the category as the project stores it: the zone names the category by that index.
ZoneElement::ZoneElement(const ZoneCategory& category)
    : ComponentElem(ElementLink(kType, 0), getStampLink(category.getLink())) {
    loadDefaults();
    put(kCategory, category.getLink().getShortIndex());
    put(kStampIndex, componentLink_.getIndex());
}

ZoneElement::ZoneElement(const ComponentLink& stamp) : ComponentElem(ElementLink(kType, 0), stamp) {
    loadDefaults();
}

ZoneElement::ZoneElement(const String& stampName, Library* library)
    : ZoneElement(ComponentLink(stampName, kPartType, library != nullptr ? library : projectLibrary())) {}

ZoneElement::ZoneElement(const ElementLink& link, const ComponentLink& stamp) : ComponentElem(link, stamp) {
    loadDefaults();
}

// A placed zone keeps the stamp its record names: the category's default stamp would replace it at the
// next write.
ZoneElement::ZoneElement(const host::ElementRecord& record, const ElementLink& link)
    : ComponentElem(link, ComponentLink(stampIndexOf(record), kPartType, projectLibrary())) {
    copyRecord(record);
}

ZoneElement::ZoneElement(const ZoneElement& other) = default;
ZoneElement::~ZoneElement() = default;

std::unique_ptr<Element> ZoneElement::clone() const { return std::make_unique<ZoneElement>(*this); }

void ZoneElement::copyRecord(const host::ElementRecord& record) {
    std::memcpy(record_.bytes.data(), &record, host::kZoneRecordSize);
}

void ZoneElement::loadDefaults() {
    auto defaults = std::make_unique<host::ElementRecord>();
    getHostDefaults(*defaults, nullptr);   // a failed call leaves the zeroed record
    copyRecord(*defaults);
    record_.head.writeNeedsMemo = 1;
    // The zone is placed with its own stamp, not the defaults' (as objects, doors and windows are).
    put(kStampIndex, componentLink_.getIndex());
}

// --- Quantities ---------------------------------------------------------------------------------------

double ZoneElement::quantity(std::size_t field) {
    ElementQuantity request;
    request.setMask(host::kQuantityMaskZone + field);
    request.request(link_);
    return request.getReal(field);
}

std::int32_t ZoneElement::wholeQuantity(std::size_t field) {
    ElementQuantity request;
    request.setMask(host::kQuantityMaskZone + field);
    request.request(link_);
    return request.getInteger(field);
}

double ZoneElement::getQuantityA() { return quantity(0); }
double ZoneElement::getQuantityB() { return getQuantityA(); }
double ZoneElement::getQuantityC() { return getQuantityA(); }
double ZoneElement::getQuantityE() { return quantity(120); }
double ZoneElement::getQuantityL() { return quantity(16); }

std::int32_t ZoneElement::getQuantityI() {
    const CadPolygon* polygon = getPolygon();
    return polygon != nullptr ? static_cast<std::int32_t>(polygon->getHoleCount()) : 0;
}

double ZoneElement::getQuantityJ() {
    const CadPolygon* polygon = getPolygon();
    double area = 0.0;
    if (polygon != nullptr)
        for (const CadPolygon& hole : polygon->getHoles()) area += hole.getArea(true, false);
    return area;
}

// --- Attributes by part -------------------------------------------------------------------------------

Pen ZoneElement::getPen(std::int32_t part) const {
    std::int16_t pen = 0;
    if (part == 0 || part == 1)
        pen = get<std::int16_t>(host::kZonePenOffset);
    else if (part == 2)
        pen = get<std::int16_t>(host::kZonePen2Offset);
    else if (part == 6)
        pen = get<std::int16_t>(host::kZonePen6Offset);
    else if (part == 8)
        pen = get<std::int16_t>(host::kZonePen8Offset);
    return Pen(AttributeLink(pen, AttributeType::pen));
}

Finish ZoneElement::getFinish(std::int32_t part) const {
    const bool own = part == 0 || part == 1;
    return Finish(AttributeLink(own ? get<std::int16_t>(host::kZoneFinishOffset) : std::int16_t{0},
                                AttributeType::finish));
}

std::int32_t ZoneElement::setPen(const AttributeLink& pen, std::int32_t part) {
    const std::int16_t index = pen.getShortIndex();
    switch (part) {
        case 0:   // the whole zone: every pen
            for (std::size_t offset :
                 {host::kZonePenOffset, host::kZonePen6Offset, host::kZonePen2Offset, host::kZonePen8Offset})
                put(offset, index);
            break;
        case 1:
            put(host::kZonePenOffset, index);
            break;
        case 2:
            put(host::kZonePen2Offset, index);
            break;
        case 6:
            put(host::kZonePen6Offset, index);
            break;
        case 8:
            put(host::kZonePen8Offset, index);
            break;
        default:
            return 0;
    }
    return index;
}

void ZoneElement::setFinish(const AttributeLink& finish, std::int32_t part) {
    if (part == 0 || part == 1) put(host::kZoneFinishOffset, finish.getShortIndex());
}

// --- Place --------------------------------------------------------------------------------------------

CadPoint ZoneElement::getPosition() const {
    const CadPolygon* polygon = const_cast<ZoneElement*>(this)->getPolygon();   // loads on demand
    if (polygon == nullptr || polygon->isEmpty()) return getPointB();
    const CadPoint first = polygon->getPoint(0).point;
    return CadPoint(first.getX(), first.getY(), getElevation(true));
}

double ZoneElement::getElevation(bool absolute) const {
    double elevation = get<double>(kElevation);
    if (absolute)
        if (const Storey* storey = getStorey()) elevation += storey->getLevel();
    return elevation;
}

// Relative to the home storey unless asked for as absolute: what getElevation(false) gives back.
void ZoneElement::setElevation(double value, bool absolute) {
    if (absolute)
        if (const Storey* storey = getStorey()) value -= storey->getLevel();
    put(kElevation, value);
}

double ZoneElement::getHeight() { return get<double>(host::kZoneHeightOffset); }

std::unique_ptr<CadPolygon> ZoneElement::getOutline() {
    const CadPolygon* polygon = getPolygon();
    return polygon != nullptr ? std::make_unique<CadPolygon>(*polygon) : nullptr;
}

void ZoneElement::setPosition(const CadPoint& point) {
    const CadPoint from = getPosition();
    if (CadPolygon* polygon = getMutablePolygon())
        polygon->translate(Vector3(point.getX() - from.getX(), point.getY() - from.getY(), 0.0));
    setElevation(point.getZ(), /*absolute=*/true);
}

CadPoint ZoneElement::getPointA() const {
    return CadPoint(get<double>(host::kZonePointAOffset), get<double>(host::kZonePointAOffset + 8),
                    getElevation(true));
}

CadPoint ZoneElement::getPointB() const {
    return CadPoint(get<double>(host::kZonePointBOffset), get<double>(host::kZonePointBOffset + 8),
                    getElevation(true));
}

void ZoneElement::setPointA(const CadPoint& point) {
    put(host::kZonePointAOffset, point.getX());
    put(host::kZonePointAOffset + 8, point.getY());
}

void ZoneElement::setPointB(const CadPoint& point) {
    put(host::kZonePointBOffset, point.getX());
    put(host::kZonePointBOffset + 8, point.getY());
}

Storey* ZoneElement::getUpperStorey() const {
    const auto up = get<std::int16_t>(kUpperStoreys);
    Plan* plan = HostProject::getPlan();
    if (up == 0 || plan == nullptr) return nullptr;
    return plan->getStorey(static_cast<std::int16_t>(homeStorey() + up));
}

void ZoneElement::setUpperStorey(const Storey* storey) {
    std::int16_t up = 0;
    if (HostProject::getPlan() != nullptr && storey != nullptr && storey->getIndex() > homeStorey())
        up = static_cast<std::int16_t>(storey->getIndex() - homeStorey());
    put(kUpperStoreys, up);
}

// --- Texts --------------------------------------------------------------------------------------------

String ZoneElement::getName() const {
    return textOf(record_.bytes.data() + host::kZoneNameOffset, host::kZoneNameChars);
}

void ZoneElement::setName(const String& text) {
    putText(record_.bytes.data() + host::kZoneNameOffset, host::kZoneNameChars, text);
}

String ZoneElement::getNumber() const {
    return textOf(record_.bytes.data() + host::kZoneNumberOffset, host::kZoneNumberChars);
}

void ZoneElement::setNumber(const String& text) {
    putText(record_.bytes.data() + host::kZoneNumberOffset, host::kZoneNumberChars, text);
}

// --- Category and stamp -------------------------------------------------------------------------------

ZoneCategory ZoneElement::getCategory() const {
    return ZoneCategory(categoryLink(get<std::int16_t>(kCategory)));
}

bool ZoneElement::setCategory(const ZoneCategory& category) {
    // A zone is shown by its stamp: a category whose stamp cannot be had leaves the zone as it is.
    const ComponentLink& stamp = category.getStampLink();
    if (!stamp.isValid()) return false;
    ParameterMemo::loadOnDemand(kParameterBit);   // the zone's values are what the merge carries over
    const Record kept = record_;
    put(kCategory, category.getLink().getShortIndex());
    if (!setComponent(stamp, /*resetSizes=*/true, /*mergeParameters=*/true)) {
        record_ = kept;
        return false;
    }
    put(kStampIndex, componentLink_.getIndex());
    return true;
}

bool ZoneElement::setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) {
    const Record kept = record_;
    put(kStampIndex, link.getIndex());
    if (!ComponentElem::setComponent(ComponentLink(link.getIndex(), kPartType, link.getLibrary()), resetSizes,
                                     mergeParameters)) {
        record_ = kept;
        return false;
    }
    return true;
}

// --- Record and memo ----------------------------------------------------------------------------------

std::unique_ptr<host::ElementRecord> ZoneElement::getHostElement() const {
    auto record = std::make_unique<host::ElementRecord>();   // zeroed
    std::memcpy(static_cast<void*>(record.get()), record_.bytes.data(), host::kZoneRecordSize);
    ElementLink(link_).getElemType(record->head, /*withStorey=*/true);
    host::PolygonCounts counts{};
    const_cast<ZoneElement*>(this)->writeCounts(counts);   // loads the polygon on demand
    std::memcpy(reinterpret_cast<unsigned char*>(record.get()) + host::kZoneCountsOffset, &counts,
                sizeof counts);
    return record;
}

host::PolygonCounts ZoneElement::getReadCounts() const {
    return get<host::PolygonCounts>(host::kZoneCountsOffset);
}

void ZoneElement::loadMemo(std::uint64_t mask, std::unique_ptr<ElementMemoStore>& store) {
    // 1., 2.
    if (memoLoadingSuspended == 0 && (!PolygonMemo::isLoaded() || !PolygonMemo::isValid()))
        mask |= kPolygonBit;
    // 3. The Element's own load runs inside.
    ComponentElem::loadMemo(mask, store);
    // 4. A placed zone whose memo the host could not give keeps its polygon unloaded, as the
    // parameters and gables stay: an empty one would be taken for the zone's.
    if (!store) {
        if (exists() && memoLoadingSuspended == 0) return;
        if ((mask & kPolygonBit) != 0) PolygonMemo::setLoaded(true);
        return;
    }
    if ((mask & kPolygonBit) != 0) makePolygon(*store);
}

bool ZoneElement::load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) {
    const bool loaded = ComponentElem::load(mask, store);
    return (mask & kPolygonBit) != 0 ? PolygonMemo::isLoaded() : loaded;
}

std::unique_ptr<ElementMemoStore> ZoneElement::getMemo(std::uint64_t& mask) const {
    std::unique_ptr<ElementMemoStore> store = ComponentElem::getMemo(mask);
    if (!store) return nullptr;
    auto& self = const_cast<ZoneElement&>(*this);   // the polygon loads on demand
    mask = 0;
    if (!self.PolygonMemo::write(*store)) return nullptr;   // the store frees what it holds
    const host::ElementMemo& memo = *store->getMemo();
    if (memo.coords != nullptr) mask |= kPolygonBit;
    if (memo.gables != nullptr) mask |= kGableBit;
    if (memo.parameters != nullptr) mask |= kParameterBit;
    return store;
}

}   // namespace tarnwick
