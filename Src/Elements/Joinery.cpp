#include "Elements/Joinery.h"

#include <optional>

#include "Elements/ElementQuantity.h"
#include "Elements/PartAttributes.h"
#include "LibraryParts/LengthParameter.h"
#include "Project/ElementMemoStore.h"
#include "Project/Finish.h"
#include "Project/HostProject.h"
#include "Project/LineStyle.h"
#include "Project/Pen.h"
#include "Project/Project.h"
#include "Project/Storey.h"

namespace tarnwick {
namespace {

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

Joinery::Joinery(const host::ElementRecord& record, const ElementLink& link, const ComponentLink& part)
    : Opening(link, part) {
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
    // Another part brings its own "A" and "ZZYZX": the opening takes them, so that the two agree.
    if (link.getIndex() != kept && ParameterMemo::isLoaded()) {
        if (const std::optional<double> width = lengthOf(getParameters(), "A")) setOpeningWidth(*width);
        if (const std::optional<double> height = lengthOf(getParameters(), "ZZYZX"))
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

void Joinery::setOwnerWall(const ElementLink& wall) {
    put(host::kOpeningWallGuidOffset, wall.getGuid().getRecord());
}

std::int32_t Joinery::getAttributeOption(std::int16_t* index) const {
    const std::int32_t kind = get<std::int32_t>(188);
    if ((kind == 1 || kind == 3) && index != nullptr) *index = get<std::int16_t>(194);
    return kind;
}

void Joinery::setAttributeOption(std::int32_t kind, std::int16_t index) {
    put(188, kind);
    put(194, kind == 1 || kind == 3 ? index : std::int16_t{0});
}

double Joinery::quantity(std::size_t maskBase, std::size_t field) {
    ElementQuantity request;
    request.setMask(maskBase + field);
    request.request(link_);
    return request.getReal(field);
}

// --- Attributes by part -------------------------------------------------------------------------------

Pen Joinery::getPen(std::int32_t part) const { return parts().getPen(part); }
LineStyle Joinery::getLineStyle(std::int32_t part) const { return parts().getLineStyle(part); }
Finish Joinery::getFinish(std::int32_t part) const { return parts().getFinish(part); }
std::unique_ptr<Attribute> Joinery::getFill(std::int32_t part) { return parts().getFill(part); }
std::int32_t Joinery::setPen(const AttributeLink& pen, std::int32_t part) {
    return parts().setPen(pen, part);
}
void Joinery::setFill(const AttributeLink& fill, std::int32_t part) { parts().setFill(fill, part); }
void Joinery::setLineStyle(const AttributeLink& lineStyle, std::int32_t part) {
    parts().setLineStyle(lineStyle, part);
}
void Joinery::setFinish(const AttributeLink& finish, std::int32_t part) { parts().setFinish(finish, part); }

}   // namespace tarnwick
