#include "Elements/Door.h"

#include "Project/ElementMemoStore.h"
#include "Project/HostProject.h"
#include "Project/Project.h"

namespace tarnwick {

namespace {

Library* projectLibrary() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getLibrary() : nullptr;
}

std::int32_t libraryIndexOf(const host::ElementRecord& record) {
    std::int32_t index = 0;
    std::memcpy(&index, reinterpret_cast<const unsigned char*>(&record) + host::kOpeningLibraryIndexOffset,
                sizeof index);
    return index;
}

}   // namespace

std::unique_ptr<Element> Door::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<Door>(record, link);
}

Door::Door(const host::ElementRecord& record, const ElementLink& link)
    : Joinery(record, link, ComponentLink(libraryIndexOf(record), kPartType, projectLibrary())) {}

Door::Door(const ComponentLink& part) : Joinery(ElementLink(kType, 0), part) { loadDefaults(); }

Door::Door(const String& partName, Library* library)
    : Door(ComponentLink(partName, kPartType, library != nullptr ? library : projectLibrary())) {}

Door::Door(bool withMemo) : Joinery(ElementLink(kType, 0), ComponentLink()) {
    std::unique_ptr<ElementMemoStore> memo = withMemo ? std::make_unique<ElementMemoStore>() : nullptr;
    if (readDefaults(memo.get()) && memo) ComponentElem::loadMemo(kFullMemoMask, memo);
    const std::int32_t index = getLibraryIndex();
    Joinery::setComponent(ComponentLink(index, kPartType, index != 0 ? projectLibrary() : nullptr), !withMemo,
                          !withMemo);
}

Door::Door(const Door& other) = default;
Door::~Door() = default;

std::unique_ptr<Element> Door::clone() const { return std::make_unique<Door>(*this); }

double Door::getQuantityA() { return quantity(host::kQuantityMaskDoor, 32); }
double Door::getQuantityB() { return quantity(host::kQuantityMaskDoor, 40); }
double Door::getQuantityD() { return quantity(host::kQuantityMaskDoor, 120); }
double Door::getQuantityE() { return quantity(host::kQuantityMaskDoor, 96); }
double Door::getQuantityF() { return quantity(host::kQuantityMaskDoor, 112); }
double Door::getOpeningQuantityB() { return quantity(host::kQuantityMaskDoor, 0); }
double Door::getOpeningQuantityC() { return quantity(host::kQuantityMaskDoor, 16); }

bool Door::setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) {
    if (link.getType() != 0 && link.getType() != kPartType) return false;
    const ComponentLink part(link.getIndex(), kPartType,
                             link.getLibrary() != nullptr ? link.getLibrary() : projectLibrary());
    return Joinery::setComponent(part, resetSizes, mergeParameters);
}

void Door::loadDefaults() {
    readDefaults(nullptr);   // a failed call leaves zeros
    getMutableTypeRecord().writeNeedsMemo = 1;
    put(host::kOpeningLibraryIndexOffset, componentLink_.getIndex());
}

}   // namespace tarnwick
