#include "IFC/ClassificationMemo.h"

#include <algorithm>

#include <HostIFCRecords.h>
#include <HostRecords.h>

#include "Elements/Element.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "IFC/Classification.h"
#include "IFC/ClassificationDatabase.h"
#include "IFC/ClassificationName.h"
#include "IFC/ClassificationSystem.h"

namespace tarnwick {
namespace {

using Pairs = host::Array<host::ClassificationPairRecord>;

bool isZone(const Element& element) { return (element.getTypeId() & 0xFF) == host::kElementZone; }

}   // namespace

ClassificationMemo::ClassificationMemo() = default;

ClassificationMemo::ClassificationMemo(const ClassificationMemo& other)
    : items_(other.items_ ? std::make_unique<std::vector<std::shared_ptr<Classification>>>(*other.items_)
                          : nullptr),
      loaded_(other.loaded_),
      changed_(other.changed_) {}

ClassificationMemo& ClassificationMemo::operator=(const ClassificationMemo& other) {
    if (this != &other) {
        items_ = other.items_ ? std::make_unique<std::vector<std::shared_ptr<Classification>>>(*other.items_)
                              : nullptr;
        loaded_ = other.loaded_;
        changed_ = other.changed_;
    }
    return *this;
}

ClassificationMemo::~ClassificationMemo() = default;

const Element* ClassificationMemo::element() const { return dynamic_cast<const Element*>(this); }

// --- Loading ---------------------------------------------------------------------------------------------
void ClassificationMemo::ensureLoaded() {
    if (items_) return;
    items_ = std::make_unique<std::vector<std::shared_ptr<Classification>>>();
    changed_ = false;
    const Element* owner = element();
    ClassificationDatabase* database = Host::getClassificationDatabase();
    if (owner == nullptr || !owner->getGuid().isValid() || database == nullptr) return;
    Pairs pairs;
    const Guid guid = owner->getGuid();
    if (hostApi().call<host::HostSlot::getElementClassifications>(&guid.getRecord(), &pairs) !=
        host::kNoError)
        return;
    for (const host::ClassificationPairRecord& pair : pairs)
        items_->push_back(database->getClassification(Guid(pair.item)));
}

bool ClassificationMemo::loadDefaults() {
    items_ = std::make_unique<std::vector<std::shared_ptr<Classification>>>();
    const Element* owner = element();
    if (owner == nullptr) return false;
    Pairs pairs;
    if (hostApi().call<host::HostSlot::getDefaultClassifications>(
            static_cast<std::int32_t>(owner->getTypeId()), owner->getVariation(), &pairs) != host::kNoError)
        return false;
    items_->clear();
    loaded_ = true;
    changed_ = true;   // a later store writes these items
    for (const host::ClassificationPairRecord& pair : pairs) add(Guid(pair.item));
    return true;
}

// --- Queries -----------------------------------------------------------------------------------------------
bool ClassificationMemo::getItemGuids(std::vector<Guid>& guids) {
    ensureLoaded();
    for (const auto& item : *items_) guids.push_back(item->getGuid());
    return !items_->empty();
}

bool ClassificationMemo::hasItem(const ClassificationName& name) {
    ensureLoaded();
    return std::any_of(items_->begin(), items_->end(),
                       [&](const auto& item) { return ClassificationName(*item) == name; });
}

bool ClassificationMemo::hasItem(const Guid& guid) {
    ensureLoaded();
    return std::any_of(items_->begin(), items_->end(),
                       [&](const auto& item) { return item->getGuid() == guid; });
}

// --- Changes -----------------------------------------------------------------------------------------------
bool ClassificationMemo::suits(const Classification& item) const {
    const Element* owner = element();
    const bool zone = owner != nullptr && isZone(*owner);
    switch (item.getState()) {
        case 1:
            return !zone;
        case 2:
            return zone;
        case 3:
            return true;
        default:
            return false;
    }
}

bool ClassificationMemo::add(std::shared_ptr<Classification> item) {
    ensureLoaded();
    // 1. to 3.
    if (!item || !suits(*item) || hasItem(item->getGuid())) return false;
    // 4.
    const Guid system = item->getSystemGuid();
    const auto same = std::find_if(items_->begin(), items_->end(),
                                   [&](const auto& held) { return held->getSystemGuid() == system; });
    if (same != items_->end()) items_->erase(same);
    // 5.
    items_->push_back(std::move(item));
    changed_ = true;
    return true;
}

bool ClassificationMemo::add(const Guid& guid) {
    ClassificationDatabase* database = Host::getClassificationDatabase();
    return database != nullptr && add(database->getClassification(guid));
}

bool ClassificationMemo::addAll(const std::vector<Guid>& guids) {
    bool any = false;
    for (const Guid& guid : guids) any = add(guid) || any;
    return any;
}

bool ClassificationMemo::removeWhere(bool (*test)(const Classification&, const void*), const void* what) {
    ensureLoaded();
    const auto found =
        std::find_if(items_->begin(), items_->end(), [&](const auto& item) { return test(*item, what); });
    if (found == items_->end()) return false;
    items_->erase(found);
    changed_ = true;
    return true;
}

bool ClassificationMemo::remove(const ClassificationName& name) {
    return removeWhere(
        [](const Classification& item, const void* n) {
            return ClassificationName(item) == *static_cast<const ClassificationName*>(n);
        },
        &name);
}

bool ClassificationMemo::remove(const Guid& guid) {
    return removeWhere([](const Classification& item,
                          const void* g) { return item.getGuid() == *static_cast<const Guid*>(g); },
                       &guid);
}

bool ClassificationMemo::removeAll(const std::vector<Guid>& guids) {
    bool any = false;
    for (const Guid& guid : guids) any = remove(guid) || any;
    return any;
}

bool ClassificationMemo::removeSystem(const String& systemName) {
    ClassificationDatabase* database = Host::getClassificationDatabase();
    const auto system = database != nullptr ? database->findSystem(systemName) : nullptr;
    return system != nullptr && removeSystem(system->getGuid());
}

bool ClassificationMemo::removeSystem(const Guid& systemGuid) {
    return removeWhere([](const Classification& item,
                          const void* g) { return item.getSystemGuid() == *static_cast<const Guid*>(g); },
                       &systemGuid);
}

void ClassificationMemo::clear() {
    ensureLoaded();
    items_->clear();
    loaded_ = true;
    changed_ = true;
}

bool ClassificationMemo::update(ClassificationMemo* other, ClassificationMemo* base) {
    if (other != nullptr && base != nullptr) {
        other->ensureLoaded();
        base->ensureLoaded();
        ensureLoaded();
    }
    return false;
}

// --- Storing -----------------------------------------------------------------------------------------------
bool ClassificationMemo::store(bool toDefault, bool force) {
    // 1. and 2.
    if (!items_) return true;
    if (!force && !toDefault && !changed_) return true;
    // 3.
    const Element* owner = element();
    if (owner == nullptr) return false;
    const Guid guid = toDefault ? Guid() : owner->getGuid();
    if (!toDefault && !guid.isValid()) return false;
    // 4. and 5.
    const auto type = static_cast<std::int32_t>(owner->getTypeId());
    const std::int32_t variation = owner->getVariation();
    Pairs current;
    const std::uint32_t read =
        guid.isValid()
            ? hostApi().call<host::HostSlot::getElementClassifications>(&guid.getRecord(), &current)
            : hostApi().call<host::HostSlot::getDefaultClassifications>(type, variation, &current);
    if (read != host::kNoError) current.clear();   // every held item is then added
    // 6.
    std::vector<Guid> added;
    std::vector<Guid> removed;
    for (const auto& item : *items_)
        if (std::none_of(current.begin(), current.end(),
                         [&](const auto& pair) { return Guid(pair.item) == item->getGuid(); }))
            added.push_back(item->getGuid());
    for (const host::ClassificationPairRecord& pair : current)
        if (!hasItem(Guid(pair.item))) removed.push_back(Guid(pair.item));
    bool all = true;
    // 7.
    for (const Guid& item : added) {
        const std::uint32_t result = toDefault ? hostApi().call<host::HostSlot::addDefaultClassification>(
                                                     type, variation, &item.getRecord())
                                               : hostApi().call<host::HostSlot::addElementClassification>(
                                                     &guid.getRecord(), &item.getRecord());
        all = all && result == host::kNoError;
    }
    // 8.
    for (const Guid& item : removed) {
        const std::uint32_t result = toDefault ? hostApi().call<host::HostSlot::removeDefaultClassification>(
                                                     type, variation, &item.getRecord())
                                               : hostApi().call<host::HostSlot::removeElementClassification>(
                                                     &guid.getRecord(), &item.getRecord());
        all = all && result == host::kNoError;
    }
    // 9.
    if (all && !toDefault) changed_ = false;
    return all;
}

bool ClassificationMemo::storeToDefault() { return store(/*toDefault=*/true, /*force=*/false); }

}   // namespace tarnwick
