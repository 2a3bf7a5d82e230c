#include "Elements/Joinery.h"

#include <optional>

#include "Elements/ElementQuantity.h"
#include "LibraryParts/LengthParameter.h"
#include "Project/Attribute.h"
#include "Project/Drawing.h"
#include "Project/ElementMemoStore.h"
#include "Project/HostProject.h"
#include "Project/Material.h"
#include "Project/Project.h"
#include "Project/Storey.h"

namespace tarnwick {
namespace {

constexpr std::uint16_t kWallType = 1;               // the host's walls: no kind here wraps them
constexpr std::size_t kAttributeOptionKind = 188;    // 32-bit
constexpr std::size_t kAttributeOptionIndex = 194;   // 16-bit

Library* projectLibrary() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getLibrary() : nullptr;
}

// A size parameter's value; none when the list lacks it or holds it as something other than a length.
std::optional<double> lengthOf(ParameterList& parameters, const char* name) {
    const auto* length = dynamic_cast<const LengthParameter*>(parameters.find(name));
    if (length == nullptr || !length->holdsCell(0, 0)) return std::nullopt;
    return length->get(0, 0);
}

}   // namespace

Material makeMaterial(std::int16_t index) { return Material(AttributeLink(index, AttributeType::material)); }

Joinery::Joinery(const host::ElementRecord& record, const ElementLink& link, const ComponentLink& part)
    : EnvironsOpening(link, part) {
    copyRecord(record);
}

Joinery::~Joinery() = default;

ComponentLink Joinery::partOf(const host::ElementRecord& record, std::uint32_t partType) {
    std::int32_t index = 0;
    std::memcpy(&index, reinterpret_cast<const unsigned char*>(&record) + host::kOpeningLibraryIndexOffset,
                sizeof index);
    return ComponentLink(index, partType, projectLibrary());
}

ComponentLink Joinery::partNamed(const String& name, std::uint32_t partType, Library* library) {
    return ComponentLink(name, partType, library != nullptr ? library : projectLibrary());
}

void Joinery::takeHostDefaults(bool withMemo, std::uint32_t partType) {
    std::unique_ptr<ElementMemoStore> memo = withMemo ? std::make_unique<ElementMemoStore>() : nullptr;
    if (readDefaults(memo.get()) && memo) ComponentElem::loadMemo(kFullMemoMask, memo);
    const std::int32_t index = getLibraryIndex();
    Joinery::setComponent(ComponentLink(index, partType, index != 0 ? projectLibrary() : nullptr), !withMemo,
                          !withMemo);
}

bool Joinery::setPartOfType(const ComponentLink& link, std::uint32_t partType, bool resetSizes,
                            bool mergeParameters) {
    if (link.getType() != 0 && link.getType() != partType) return false;
    const ComponentLink part(link.getIndex(), partType,
                             link.getLibrary() != nullptr ? link.getLibrary() : projectLibrary());
    return Joinery::setComponent(part, resetSizes, mergeParameters);
}

void Joinery::loadOpeningDefaults() {
    readDefaults(nullptr);   // a failed call leaves zeros
    getMutableTypeRecord().writeNeedsMemo = 1;
    put(host::kOpeningLibraryIndexOffset, componentLink_.getIndex());
}

void Joinery::copyRecord(const host::ElementRecord& record) {
    std::memcpy(record_.bytes.data(), &record, host::kJoineryRecordSize);
}

bool Joinery::readDefaults(ElementMemoStore* memo) {
    auto defaults = std::make_unique<host::ElementRecord>();
    const bool read = getHostDefaults(*defaults, memo != nullptr ? memo->getMemo() : nullptr);
    if (read)
        copyRecord(*defaults);
    else
        record_.bytes.fill(0);
    return read;
}

CadPoint Joinery::getPosition() const { return CadPoint(); }

double Joinery::getElevation(bool absolute) const {
    double elevation = getElevationInWall();
    if (const std::unique_ptr<Element> wall = getOwnerWall()) return elevation + wall->getElevation(absolute);
    if (absolute)
        if (const Storey* storey = getStorey()) elevation += storey->getLevel();
    return elevation;
}

std::unique_ptr<host::ElementRecord> Joinery::getHostElement() const {
    auto record = std::make_unique<host::ElementRecord>();   // zeroed
    std::memcpy(static_cast<void*>(record.get()), record_.bytes.data(), host::kJoineryRecordSize);
    ElementLink(link_).getElemType(record->head, /*withStorey=*/true);
    return record;
}

bool Joinery::setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) {
    const std::int32_t kept = getLibraryIndex();
    put(host::kOpeningLibraryIndexOffset, link.getIndex());
    if (!ComponentElem::setComponent(link, resetSizes, mergeParameters)) {
        put(host::kOpeningLibraryIndexOffset, kept);
        return false;
    }
    // The opening keeps its size in its wall under another part: that part's "A" and "ZZYZX" take it, so
    // that the two agree. An opening of no size yet takes the part's.
    if (link.getIndex() != kept && ParameterMemo::isLoaded()) {
        if (getOpeningWidth() > 0.0)
            ComponentElem::setWidth(getOpeningWidth());
        else if (const std::optional<double> width = lengthOf(getParameters(), "A"))
            setOpeningWidth(*width);
        if (getOpeningHeight() > 0.0)
            ComponentElem::setHeight(getOpeningHeight());
        else if (const std::optional<double> height = lengthOf(getParameters(), "ZZYZX"))
            setOpeningHeight(*height);
    }
    return true;
}

void Joinery::setWidth(double value) {
    setOpeningWidth(value);
    ComponentElem::setWidth(value);
}

void Joinery::setHeight(double value) {
    setOpeningHeight(value);
    ComponentElem::setHeight(value);
}

ElementLink Joinery::getOwnerWallLink() const {
    return ElementLink(Guid(get<host::GuidRecord>(host::kOpeningWallGuidOffset)), getDrawing());
}

std::unique_ptr<Element> Joinery::getOwnerWall() const {
    Drawing* drawing = getDrawing();
    const ElementLink wall = getOwnerWallLink();
    if (drawing == nullptr || !wall.hasGuid()) return nullptr;   // no wall to ask for
    std::unique_ptr<Element> made = drawing->getElement(wall);
    if (!made || made->getTypeId() != kWallType) return nullptr;
    return made;
}

void Joinery::setOwnerWall(const ElementLink& wall) {
    put(host::kOpeningWallGuidOffset, wall.getGuid().getRecord());
}

std::int32_t Joinery::getAttributeOption(std::int16_t* index) const {
    const std::int32_t kind = get<std::int32_t>(kAttributeOptionKind);
    if ((kind == 1 || kind == 3) && index != nullptr) *index = get<std::int16_t>(kAttributeOptionIndex);
    return kind;
}

void Joinery::setAttributeOption(std::int32_t kind, const Attribute* attribute) {
    const bool carriesIndex = (kind == 1 || kind == 3) && attribute != nullptr;
    put(kAttributeOptionKind, kind);
    put(kAttributeOptionIndex,
        carriesIndex ? static_cast<std::int16_t>(attribute->getIndex()) : std::int16_t{0});
}

double Joinery::quantity(std::size_t maskBase, std::size_t field) {
    ElementQuantity request;
    request.setMask(maskBase + field);
    request.request(link_);
    return request.getReal(field);
}

}   // namespace tarnwick
