#include "Elements/Object.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

#include <FourCC.h>
#include <HostResult.h>

#include "Elements/ElementQuantity.h"
#include "Elements/PartAttributes.h"
#include "Environment/HostApi.h"
#include "Geometry/CadPolygon.h"
#include "Geometry/Cube.h"
#include "Geometry/Tolerance.h"
#include "LibraryParts/ObjectSource.h"
#include "Project/Drawing.h"
#include "Project/ElementMemoStore.h"
#include "Project/Finish.h"
#include "Project/HostProject.h"
#include "Project/Library.h"
#include "Project/LineStyle.h"
#include "Project/Pen.h"
#include "Project/Project.h"
#include "Project/Storey.h"

namespace tarnwick {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr std::size_t kAngle = host::kObjectAngleOffset;
constexpr std::size_t kElevation = host::kObjectElevationOffset;
constexpr std::size_t kWidthRatio = host::kObjectSizeOffset;
constexpr std::size_t kDepthRatio = host::kObjectSizeOffset + 8;
constexpr std::size_t kPoint = host::kObjectPointOffset;
constexpr std::size_t kPosition = host::kObjectPositionOffset;
constexpr std::size_t kLibraryIndex = host::kObjectLibraryIndexOffset;
constexpr std::size_t kOwner = host::kObjectOwnerGuidOffset;

Library* projectLibrary() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getLibrary() : nullptr;
}

// The angle a mirrored object stores: turned by pi, and 0 for what lies within the tolerance of a turn.
double mirroredAngle(double angle) {
    const double b = std::fmod(angle + std::numbers::pi, kTwoPi);
    if (std::abs(b) <= Tolerance::angle || std::abs(std::abs(b) - kTwoPi) <= Tolerance::angle) return 0.0;
    return b;
}

std::int32_t libraryIndexOf(const host::ElementRecord& record) {
    std::int32_t index = 0;
    std::memcpy(&index, reinterpret_cast<const unsigned char*>(&record) + kLibraryIndex, sizeof index);
    return index;
}

}   // namespace

std::unique_ptr<Element> Object::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<Object>(record, link);
}

// A kind made this way (a lamp) reads an object's defaults first and then its own over them.
Object::Object(const ElementLink& link, const ComponentLink& part) : ComponentElem(link, part) {
    Object::loadDefaults();
}

Object::Object(const host::ElementRecord& record, const ElementLink& link)
    : ComponentElem(link, ComponentLink(libraryIndexOf(record), kPartType, projectLibrary())) {
    copyRecord(record);
}

Object::Object(const host::ElementRecord& record, const ElementLink& link, const ComponentLink& part)
    : ComponentElem(link, part) {
    copyRecord(record);
}

Object::Object(bool withMemo, std::int32_t variation)
    : ComponentElem(ElementLink(kType, variation), ComponentLink()) {
    std::unique_ptr<ElementMemoStore> memo = withMemo ? std::make_unique<ElementMemoStore>() : nullptr;
    if (readDefaults(memo.get()) && memo) ComponentElem::loadMemo(kFullMemoMask, memo);
    const std::int32_t index = get<std::int32_t>(kLibraryIndex);
    setComponent(ComponentLink(index, kPartType, index != 0 ? projectLibrary() : nullptr), !withMemo,
                 !withMemo);
}

Object::Object(const ComponentLink& part, std::int32_t variation)
    : ComponentElem(ElementLink(kType, variation), part) {
    loadDefaults();
}

Object::Object(const String& partName, Library* library, std::int32_t variation)
    : ComponentElem(ElementLink(kType, variation), ComponentLink(partName, kPartType, library)) {
    loadDefaults();
}

Object::Object(std::int32_t libraryIndex, Library* library, std::int32_t variation)
    : ComponentElem(ElementLink(kType, variation),
                    ComponentLink(libraryIndex, kPartType, library != nullptr ? library : projectLibrary())) {
    loadDefaults();
}

Object::Object(const Object& other) = default;
Object::~Object() = default;

void Object::copyRecord(const host::ElementRecord& record) {
    std::memcpy(record_.bytes.data(), &record, host::kObjectRecordSize);
}

bool Object::readDefaults(ElementMemoStore* memo) {
    auto defaults = std::make_unique<host::ElementRecord>();
    const bool read = getHostDefaults(*defaults, memo != nullptr ? memo->getMemo() : nullptr);
    if (read)
        copyRecord(*defaults);
    else
        record_.bytes.fill(0);
    return read;
}

std::unique_ptr<Element> Object::clone() const { return std::make_unique<Object>(*this); }

// --- Element ------------------------------------------------------------------------------------------

ElementLink Object::getOwnerLink() const { return getOwnerGuidLink(); }

double Object::getQuantityC() {
    ElementQuantity request;
    request.setMask(host::kQuantityMaskObject + 0);
    request.request(link_);
    return request.getReal(0);
}

double Object::getQuantityD() { return getQuantityC(); }

double Object::getQuantityE() {
    ElementQuantity request;
    request.setMask(host::kQuantityMaskObject + 8);
    request.request(link_);
    return request.getReal(8);
}

CadPoint Object::getPosition() const {
    return CadPoint(get<double>(kPosition), get<double>(kPosition + 8), getElevation(true));
}

double Object::getElevation(bool absolute) const {
    double elevation = get<double>(kElevation);
    if (absolute)
        if (const Storey* storey = getStorey()) elevation += storey->getLevel();
    return elevation;
}

void Object::setPosition(const CadPoint& point) {
    put(kPosition, point.getX());
    put(kPosition + 8, point.getY());
    setElevation(point.getZ(), true);
}

void Object::setElevation(double value, bool absolute) {
    if (absolute)
        if (const Storey* storey = getStorey()) value -= storey->getLevel();
    put(kElevation, value);
}

std::unique_ptr<CadPolygon> Object::getOutline() {
    const std::unique_ptr<Cube> bounds = getBounds(true);
    if (!bounds) return nullptr;
    const Cube size(CadPoint(), CadPoint(getParameterWidth(), getParameterDepth(), 0.0));
    auto outline = std::make_unique<CadPolygon>(size, get<double>(kAngle));
    outline->moveCentreTo(bounds->getCentre());
    return outline;
}

bool Object::applyChanges(Element& newer, Element& older) {
    auto* newObject = dynamic_cast<Object*>(&newer);
    auto* oldObject = dynamic_cast<Object*>(&older);
    if (newObject != nullptr && oldObject != nullptr) {
        // The fields the user can change, each taken over when it changed between older and newer.
        static constexpr std::pair<std::size_t, std::size_t> kFields[] = {
            {112, 2}, {114, 2}, {116, 2},          {118, 2}, {120, 2}, {122, 2}, {124, 2},   // attributes
            {128, 1}, {129, 1}, {130, 1},          {131, 1}, {132, 1}, {133, 1}, {134, 2},   // flags, word
            {136, 8}, {144, 8}, {152, 8},          {160, 8},   // angle ... ratios
            {224, 1}, {225, 1}, {226, 1},          {228, 2}, {230, 2}, {232, 2}, {234, 1},
            {236, 1}, {237, 1}, {kLibraryIndex, 4}};
        const auto& from = newObject->record_.bytes;
        const auto& before = oldObject->record_.bytes;
        for (const auto& [offset, size] : kFields)
            if (std::memcmp(from.data() + offset, before.data() + offset, size) != 0)
                std::memcpy(record_.bytes.data() + offset, from.data() + offset, size);
        // The colour goes as a whole when a channel moved by more than the tolerance.
        for (std::size_t channel = 0; channel < 3; ++channel) {
            const std::size_t at = host::kObjectColourOffset + 8 * channel;
            if (std::abs(newObject->get<double>(at) - oldObject->get<double>(at)) > Tolerance::plan) {
                std::memcpy(record_.bytes.data() + host::kObjectColourOffset,
                            from.data() + host::kObjectColourOffset, 24);
                break;
            }
        }
    }
    const bool changed = ComponentElem::applyChanges(newer, older);
    // The IFC data goes to the host as it changes: a merge only reads what it would compare.
    auto* newMemo = dynamic_cast<IFCMemo*>(&newer);
    auto* oldMemo = dynamic_cast<IFCMemo*>(&older);
    if (newMemo != nullptr && oldMemo != nullptr) IFCMemo::applyChanges(*newMemo, *oldMemo);
    return changed;
}

bool Object::openSettingsDialog() {
    // 1.
    std::uint64_t mask = 0;
    std::unique_ptr<ElementMemoStore> memo = getMemo(mask);
    if (!memo) return false;
    // 2. Every byte of the record may change.
    std::unique_ptr<host::ElementRecord> record = getHostElement();
    auto everything = std::make_unique<host::ElementRecord>();
    std::memset(static_cast<void*>(everything.get()), 0xFF, sizeof(host::ElementRecord));
    // 3. The dialog works on the record; the parameters stay aside meanwhile.
    host::Handle& parameters = memo->getMemo()->parameters;
    const bool hadParameters = parameters != nullptr;
    const host::Handle aside = std::exchange(parameters, nullptr);
    const bool accepted =
        hostApi().interface(fourcc("OBJS"), record.get(), everything.get()) == host::kNoError;
    parameters = aside;
    // 4.
    if (accepted) {
        copyRecord(*record);
        if (hadParameters) ComponentElem::loadMemo(kParameterBit, memo);
        const std::int32_t index = get<std::int32_t>(kLibraryIndex);
        setComponent(ComponentLink(index, kPartType, projectLibrary()), !hadParameters, !hadParameters);
    }
    // 5.
    return accepted;
}

std::unique_ptr<host::ElementRecord> Object::getHostElement() const {
    auto record = std::make_unique<host::ElementRecord>();   // zeroed
    std::memcpy(static_cast<void*>(record.get()), record_.bytes.data(), host::kObjectRecordSize);
    ElementLink(link_).getElemType(record->head, /*withStorey=*/true);
    return record;
}

// --- Attributes by part -------------------------------------------------------------------------------

Pen Object::getPen(std::int32_t part) const { return parts().getPen(part); }
LineStyle Object::getLineStyle(std::int32_t part) const { return parts().getLineStyle(part); }
Finish Object::getFinish(std::int32_t part) const { return parts().getFinish(part); }
std::unique_ptr<Attribute> Object::getFill(std::int32_t part) { return parts().getFill(part); }
std::int32_t Object::setPen(const AttributeLink& pen, std::int32_t part) { return parts().setPen(pen, part); }
void Object::setFill(const AttributeLink& fill, std::int32_t part) { parts().setFill(fill, part); }
void Object::setLineStyle(const AttributeLink& lineStyle, std::int32_t part) {
    parts().setLineStyle(lineStyle, part);
}
void Object::setFinish(const AttributeLink& finish, std::int32_t part) { parts().setFinish(finish, part); }

PenLineRecord Object::getPenLineRecord() const {
    return PenLineRecord(get<host::StoreyShowRecord>(host::kObjectPenPairOffset),
                         get<host::StoreyOffsetRecord>(host::kObjectLineRecordOffset));
}

void Object::setPenLineRecord(const PenLineRecord& record) {
    put(host::kObjectPenPairOffset, record.toPenPair());
    put(host::kObjectLineRecordOffset, record.toLineRecord());
}

// --- ComponentElem ------------------------------------------------------------------------------------

double Object::getAngle() const {
    const double stored = get<double>(kAngle);
    return isMirrored() ? mirroredAngle(stored) : stored;
}

void Object::setAngle(double angle) {
    double a = std::fmod(angle, kTwoPi);
    if (a < 0.0) a += kTwoPi;
    put(kAngle, isMirrored() ? mirroredAngle(a) : a);
}

bool Object::isMirrored() const { return byte(host::kObjectMirroredOffset) != 0; }
bool Object::isOptionC() const { return byte(130) != 0; }
void Object::setOptionC(bool flag) { setByte(130, flag); }
std::int32_t Object::getLibraryIndex() const { return get<std::int32_t>(kLibraryIndex); }

bool Object::setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) {
    // 1.
    const std::uint32_t type = link.getType() == 0 ? kPartType : link.getType();
    if (type != host::kLibraryObject && type != host::kLibraryLamp) return false;
    // 2.
    Library* library = link.getLibrary() != nullptr ? link.getLibrary() : projectLibrary();
    if (library == nullptr) return false;
    const ComponentLink part(link.getIndex(), type, library);
    const std::unique_ptr<ComponentSource> source = library->getSource(part);
    auto* objectSource = dynamic_cast<ObjectSource*>(source.get());
    if (objectSource == nullptr) return false;
    // Without its details nobody can tell whether the part sizes its objects by ratio: taking it would
    // resize the object by a guess.
    if (objectSource->areDetailsUnread()) return false;
    // The kept sizes belong to the part the record names, under its size flag: a stored size is never
    // read under the new part's flag.
    const bool fixedSize = objectSource->getDetailFlag() != 0;
    const KeptSize size = resetSizes ? KeptSize{} : keptSize(part, fixedSize);
    const bool samePart = componentLink_.getIndex() == part.getIndex();
    // 3., 4. The record changes only once the part is taken.
    const auto kept = record_;
    put(kLibraryIndex, part.getIndex());
    setByte(host::kObjectFixedSizeOffset, fixedSize);
    if (!ComponentElem::setComponent(part, resetSizes, mergeParameters)) {
        record_ = kept;
        return false;
    }
    // 5.
    if (resetSizes) {
        setWidth(getDefaultWidth());
        setDepth(getDefaultDepth());
    } else if (size.kept) {
        // Without the merge the old part's default sizes may still be the ones at hand.
        if (!mergeParameters && !samePart)
            reloadDefaults(/*forget=*/true, /*merge=*/false, /*fromDefaults=*/false);
        if (size.lengths) {
            put(kWidthRatio, inPartTerms(size.width, getDefaultWidth()));
            put(kDepthRatio, inPartTerms(size.depth, getDefaultDepth()));
        } else {
            // Ratios stay ratios: the object takes the new part's size at the ratio it had. Under a
            // fixed size they become lengths of the new part's defaults.
            put(kWidthRatio, isOptionE() ? size.width * getDefaultWidth() : size.width);
            put(kDepthRatio, isOptionE() ? size.depth * getDefaultDepth() : size.depth);
        }
        // "A" and "B" say the size the object now has.
        ComponentElem::setWidth(getParameterWidth());
        ComponentElem::setDepth(getParameterDepth());
    }
    return true;
}

Object::KeptSize Object::keptSize(const ComponentLink& part, bool fixedSize) {
    const std::int32_t index = get<std::int32_t>(kLibraryIndex);
    // A record written for the part while the object stood on another (by its settings, or the tool's
    // defaults) already holds the part's sizes. One that stands on the part keeps them as any other.
    if (index == part.getIndex() && componentLink_.getIndex() != index) return {};
    const double width = get<double>(kWidthRatio), depth = get<double>(kDepthRatio);
    if (isOptionE()) return KeptSize{width, depth, /*lengths=*/true, /*kept=*/true};
    // Ratios stay ratios for a part that sizes by ratio too. Taken to a fixed size they need the defaults
    // of the part that wrote them; a part that cannot give them (a missing one) leaves ratios, which then
    // count as the new part's.
    const bool known =
        componentLink_.getIndex() == index && getDefaultWidth() > 0.0 && getDefaultDepth() > 0.0;
    if (!fixedSize || !known) return KeptSize{width, depth, /*lengths=*/false, /*kept=*/true};
    return KeptSize{width * getDefaultWidth(), depth * getDefaultDepth(), /*lengths=*/true, /*kept=*/true};
}

double Object::inPartTerms(double length, double defaultSize) const {
    if (isOptionE()) return length;
    return defaultSize > 0.0 ? length / defaultSize : 1.0;
}

double Object::getParameterWidth() {
    const double ratio = get<double>(kWidthRatio);
    return isOptionE() ? ratio : ratio * getDefaultWidth();
}

double Object::getParameterDepth() {
    const double ratio = get<double>(kDepthRatio);
    return isOptionE() ? ratio : ratio * getDefaultDepth();
}

void Object::setWidth(double value) {
    put(kWidthRatio, inPartTerms(value, getDefaultWidth()));
    ComponentElem::setWidth(value);
}

void Object::setDepth(double value) {
    put(kDepthRatio, inPartTerms(value, getDefaultDepth()));
    ComponentElem::setDepth(value);
}

// --- New operations -----------------------------------------------------------------------------------

ElementLink Object::getOwnerGuidLink() const {
    return ElementLink(Guid(get<host::GuidRecord>(kOwner)), getDrawing());
}

void Object::setOwnerGuid(const ElementLink& owner) { put(kOwner, owner.getGuid().getRecord()); }

CadPoint Object::getPoint() const { return CadPoint(get<double>(kPoint), get<double>(kPoint + 8), 0.0); }

void Object::setPoint(const CadPoint& point) {
    put(kPoint, point.getX());
    put(kPoint + 8, point.getY());
}

void Object::setPenLineAll(bool flag, std::int32_t which) {
    if (which != 0) return;
    for (const std::size_t offset : {224, 225, 226}) setByte(offset, flag);
}

void Object::setPenLineFlagB(bool flag, std::int32_t which) {
    if (which == 0) setByte(225, flag);
}

void Object::setPenLineFlagC(bool flag, std::int32_t which) {
    if (which == 0) setByte(226, flag);
}

std::int32_t Object::clearPoint() {
    put(kPoint, 0.0);
    put(kPoint + 8, 0.0);
    put(134, std::int16_t{0});
    return 0;
}

void Object::loadDefaults() {
    // 1. An object's defaults (type 6) whatever kind this is: a lamp reads its own over them. A failed
    // read leaves zeros, which tells a caller that no settings were given.
    auto defaults = std::make_unique<host::ElementRecord>();
    ElementLink(kType, link_.getVariation()).getElemType(defaults->head, /*withStorey=*/false);
    defaults->head.variation = link_.getVariation();
    if (hostApi().call<host::HostSlot::getElementDefaults>(defaults.get(), nullptr) == host::kNoError)
        copyRecord(*defaults);
    else
        record_.bytes.fill(0);
    // 2., 3.
    record_.head.writeNeedsMemo = 1;
    put(kLibraryIndex, componentLink_.getIndex());
    put(kPoint, 0.0);
    put(kPoint + 8, 0.0);
    // 4. The part's first detail byte; 1 without a part. Details the host refuses leave the record zero,
    // as refused defaults do: whether the part sizes by ratio is unknown, so no size can be set.
    std::uint8_t fixed = 1;
    if (componentLink_.isValid()) {
        auto details = std::make_unique<host::LibraryPartDetails>();   // zeroed
        if (hostApi().call<host::HostSlot::getLibraryPartDetails>(componentLink_.getIndex(), details.get()) !=
            host::kNoError) {
            record_.bytes.fill(0);
            return;
        }
        fixed = details->bytes[0];
    }
    record_.bytes[host::kObjectFixedSizeOffset] = fixed;
    // 5.
    setWidth(getDefaultWidth());
    setDepth(getDefaultDepth());
}

}   // namespace tarnwick
