#include "IFC/PropertyMemo.h"

#include <HostIFCRecords.h>

#include "Elements/Element.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/PropertyDatabase.h"
#include "IFC/PropertyTemplate.h"

namespace tarnwick {
namespace {

using Records = host::Array<host::PropertyRecord>;

host::Array<host::GuidRecord> guidsOf(const PropertyLinks& links) {
    host::Array<host::GuidRecord> guids;
    for (const PropertyLink& link : links) guids.push_back(link.getRecord());
    return guids;
}

}   // namespace

PropertyMemo::PropertyMemo() = default;

PropertyMemo::PropertyMemo(const PropertyMemo& other)
    : list_(other.list_ ? std::make_unique<PropertyList>(*other.list_) : nullptr) {}

PropertyMemo& PropertyMemo::operator=(const PropertyMemo& other) {
    if (this != &other) list_ = other.list_ ? std::make_unique<PropertyList>(*other.list_) : nullptr;
    return *this;
}

PropertyMemo::~PropertyMemo() = default;

Element* PropertyMemo::element() { return dynamic_cast<Element*>(this); }

bool PropertyMemo::addRecords(const Records& records) {
    for (const host::PropertyRecord& record : records)
        if (std::unique_ptr<Property> property = Property::fromHost(record))
            list_->addOrReplace(*property, /*markChanged=*/false);
    return true;
}

// --- Loading and storing -----------------------------------------------------------------------------------
void PropertyMemo::ensureLoaded() {
    // 1. and 2.
    PropertyDatabase* database = Host::getPropertyDatabase();
    if (list_ || database == nullptr) return;
    list_ = std::make_unique<PropertyList>();
    // 3.
    Element* owner = element();
    auto* classifications = dynamic_cast<ClassificationMemo*>(this);
    if (owner == nullptr || !owner->getGuid().isValid() || classifications == nullptr) return;
    // 4.
    std::vector<Guid> items;
    if (!classifications->getItemGuids(items)) return;
    // 5.
    PropertyLinks links;
    database->findForClassifications(items, links);
    if (filter_) filter(links, *filter_);
    if (links.empty()) return;
    // 6.
    const Guid guid = owner->getGuid();
    const host::Array<host::GuidRecord> definitions = guidsOf(links);
    Records records;
    if (hostApi().call<host::HostSlot::getElementProperties>(&guid.getRecord(), &definitions, &records) !=
        host::kNoError)
        return;
    addRecords(records);
}

bool PropertyMemo::loadDefaults() {
    list_ = std::make_unique<PropertyList>();
    Element* owner = element();
    if (owner == nullptr) return false;
    const auto type = static_cast<std::int32_t>(owner->getTypeId());
    const std::int32_t variation = owner->getVariation();
    host::Array<host::PropertyDefinitionRecord> definitions;
    Records records;
    if (hostApi().call<host::HostSlot::getDefaultPropertyDefinitions>(type, variation, 0, &definitions) !=
            host::kNoError ||
        hostApi().call<host::HostSlot::getDefaultProperties>(type, variation, &definitions, &records) !=
            host::kNoError)
        return false;
    return addRecords(records);
}

bool PropertyMemo::reload(const PropertyLinks* links) {
    if (!list_) {
        ensureLoaded();
        return list_ != nullptr;
    }
    Element* owner = element();
    if (owner == nullptr || !owner->getGuid().isValid()) return false;
    PropertyLinks wanted;
    for (std::size_t i = 0; i < list_->size(); ++i) {
        const PropertyLink link = list_->at(i)->getLink();
        if (links == nullptr || tarnwick::contains(*links, link)) wanted.push_back(link);
    }
    if (wanted.empty()) return true;
    const Guid guid = owner->getGuid();
    const host::Array<host::GuidRecord> definitions = guidsOf(wanted);
    Records records;
    if (hostApi().call<host::HostSlot::getElementProperties>(&guid.getRecord(), &definitions, &records) !=
        host::kNoError)
        return false;
    return addRecords(records);
}

bool PropertyMemo::store(bool toDefault, bool force) {
    // 1. and 2.
    if (!list_) return true;
    if (!force && !toDefault && !list_->isChanged()) return true;
    // 3.
    Element* owner = element();
    if (owner == nullptr) return false;
    const Guid guid = toDefault ? Guid() : owner->getGuid();
    if (!toDefault && !guid.isValid()) return false;
    // 4. Properties no longer available for the element are left out; a changed one that cannot become a
    // record makes the store fail, so that its change is not reported as written.
    Records records;
    bool complete = true;
    const auto collect = [&](Property& property, bool wanted) {
        if (!wanted || !property.isAvailableFor(*owner)) return;
        host::PropertyRecord record{};
        if (property.toHost(record))
            records.push_back(std::move(record));
        else if (property.isChanged())
            complete = false;
    };
    for (std::size_t i = 0; i < list_->size(); ++i) {
        Property& property = *list_->at(i);
        collect(property, force || property.isChanged());
    }
    for (const auto& removed : list_->getRemoved()) collect(*removed, true);
    if (!complete) return false;
    // 5.
    std::uint32_t result = host::kNoError;
    if (!records.empty())
        result = toDefault
                     ? hostApi().call<host::HostSlot::setDefaultProperties>(
                           static_cast<std::int32_t>(owner->getTypeId()), owner->getVariation(), &records)
                     : hostApi().call<host::HostSlot::setElementProperties>(&guid.getRecord(), &records);
    // 6. and 7.
    if (result != host::kNoError) return false;
    if (!toDefault) list_->markStored();
    return true;
}

bool PropertyMemo::storeToDefault() { return store(/*toDefault=*/true, /*force=*/false); }

// --- Queries and edits -------------------------------------------------------------------------------------
Property* PropertyMemo::find(const PropertyName& name) {
    ensureLoaded();
    return list_ ? list_->find(name) : nullptr;
}

Property* PropertyMemo::find(const PropertyLink& link) {
    ensureLoaded();
    return list_ ? list_->find(link) : nullptr;
}

const PropertyList& PropertyMemo::getList() {
    ensureLoaded();
    if (!list_) list_ = std::make_unique<PropertyList>();   // no project: an empty list
    return *list_;
}

const Setting* PropertyMemo::getValue(const PropertyName& name, std::size_t i) {
    return getList().getValue(name, i);
}

const Setting* PropertyMemo::getValue(const PropertyLink& link, std::size_t i) {
    return getList().getValue(link, i);
}

bool PropertyMemo::contains(const Property& property, bool compareValues) {
    return getList().contains(property, compareValues);
}

bool PropertyMemo::isAvailable(const Property& property) {
    Element* owner = element();
    return owner != nullptr && property.isAvailableFor(*owner);
}

bool PropertyMemo::add(const Property& property) {
    getList();
    return list_->addOrReplace(property, /*markChanged=*/true);
}

bool PropertyMemo::setValue(const Setting& setting, const PropertyName& name, std::size_t i) {
    getList();
    return list_->setValue(setting, name, i);
}

bool PropertyMemo::setValue(const Setting& setting, const PropertyLink& link, std::size_t i) {
    getList();
    return list_->setValue(setting, link, i);
}

bool PropertyMemo::remove(const PropertyName& name) {
    getList();
    return list_->remove(name);
}

bool PropertyMemo::remove(const PropertyLink& link) {
    getList();
    return list_->remove(link);
}

bool PropertyMemo::removeGroup(const String& groupName) {
    getList();
    return list_->removeGroup(groupName);
}

bool PropertyMemo::removeGroup(const Guid& groupGuid) {
    getList();
    return list_->removeGroup(groupGuid);
}

void PropertyMemo::markAll() {
    if (list_) list_->markAll();
}

bool PropertyMemo::setChanged(bool changed) {
    if (!changed && !list_) return false;
    getList();
    return list_->setChanged(changed);
}

bool PropertyMemo::update(PropertyMemo*, PropertyMemo*) { return false; }

}   // namespace tarnwick
