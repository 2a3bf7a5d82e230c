#include "Elements/Lamp.h"

#include <cstring>

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
    std::memcpy(&index, reinterpret_cast<const unsigned char*>(&record) + host::kObjectLibraryIndexOffset,
                sizeof index);
    return index;
}

}   // namespace

std::unique_ptr<Element> Lamp::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<Lamp>(record, link);
}

Lamp::Lamp(const host::ElementRecord& record, const ElementLink& link)
    : Object(record, link, ComponentLink(libraryIndexOf(record), kPartType, projectLibrary())) {}

Lamp::Lamp(const ComponentLink& part, std::int32_t variation) : Object(ElementLink(kType, variation), part) {
    loadDefaults();
}

Lamp::Lamp(const String& partName, Library* library, std::int32_t variation)
    : Lamp(ComponentLink(partName, kPartType, library), variation) {}

Lamp::Lamp(const ElementLink& link, const ComponentLink& part) : Object(link, part) { loadDefaults(); }

Lamp::Lamp(bool withMemo) : Object(ElementLink(kType, 0), ComponentLink()) {
    std::unique_ptr<ElementMemoStore> memo = withMemo ? std::make_unique<ElementMemoStore>() : nullptr;
    if (readDefaults(memo.get()) && memo) ComponentElem::loadMemo(kFullMemoMask, memo);
    const std::int32_t index = getLibraryIndex();
    Object::setComponent(ComponentLink(index, kPartType, index != 0 ? projectLibrary() : nullptr), !withMemo,
                         !withMemo);
}

Lamp::Lamp(const Lamp& other) = default;
Lamp::~Lamp() = default;

std::unique_ptr<Element> Lamp::clone() const { return std::make_unique<Lamp>(*this); }

void Lamp::loadDefaults() {
    readDefaults(nullptr);
    getMutableTypeRecord().writeNeedsMemo = 1;
    put(host::kObjectLibraryIndexOffset, componentLink_.getIndex());
}

}   // namespace tarnwick
