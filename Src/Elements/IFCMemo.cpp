#include "Elements/IFCMemo.h"

#include <vector>

#include <HostIFCRecords.h>

#include "Elements/Element.h"
#include "Environment/HostApi.h"
#include "Foundation/Setting.h"
#include "IFC/IFCAttribute.h"
#include "IFC/IFCDataList.h"
#include "IFC/IFCNameIndex.h"
#include "IFC/IFCProperty.h"

namespace tarnwick {
namespace {

// The guid of the placed element this memo belongs to; false for a new element or no element at all.
bool placedGuid(const IFCMemo& memo, Guid& guid) {
    const auto* const element = dynamic_cast<const Element*>(&memo);
    if (element == nullptr) return false;
    guid = element->getGuid();
    return guid.isValid();
}

// Reads one part of the element's IFC data into the list; the part's mark when the host refuses it, else 0.
template <host::HostSlot Slot, typename Record>
std::uint8_t readPart(const host::GuidRecord& guid, std::uint8_t storedOnly, IFCDataList& list,
                      bool (IFCDataList::*append)(const host::Array<Record>&), std::uint8_t part) {
    host::Array<Record> records;
    if (hostApi().call<Slot>(&guid, storedOnly, &records) != host::kNoError) return part;
    (list.*append)(records);
    return 0;
}

}   // namespace

IFCMemo::IFCMemo() = default;

IFCMemo::IFCMemo(const IFCMemo& other)
    : list_(other.list_ ? std::make_unique<IFCDataList>(*other.list_) : nullptr),
      unreadParts_(other.unreadParts_),
      allData_(other.allData_) {}

IFCMemo::~IFCMemo() = default;

// --- Loading -----------------------------------------------------------------------------------------------
void IFCMemo::load() {
    if (list_) return;
    list_ = std::make_unique<IFCDataList>();
    unreadParts_ = 0;
    Guid guid;
    if (!placedGuid(*this, guid)) return;
    const host::GuidRecord& record = guid.getRecord();
    const std::uint8_t storedOnly = allData_ == 0 ? 1 : 0;
    // Each part that the host refuses stays empty and is marked; the others are kept.
    unreadParts_ |= readPart<host::HostSlot::getElementIFCProperties>(
        record, storedOnly, *list_, &IFCDataList::appendProperties, kProperties);
    unreadParts_ |= readPart<host::HostSlot::getElementIFCAttributes>(
        record, storedOnly, *list_, &IFCDataList::appendAttributes, kAttributes);
    unreadParts_ |= readPart<host::HostSlot::getElementIFCReferences>(
        record, storedOnly, *list_, &IFCDataList::appendReferences, kReferences);
}

void IFCMemo::setAllData(bool flag) {
    if (flag && allData_ == 0) list_.reset();   // what was read lacks the derived data
    allData_ = flag ? 1 : 0;
}

// --- Lookups -----------------------------------------------------------------------------------------------
IFCProperty* IFCMemo::findProperty(const String& setName, const String& name) {
    load();
    return list_->findProperty(name, setName);
}

IFCAttribute* IFCMemo::findAttribute(const String& name) {
    load();
    return list_->findAttribute(name);
}

IFCClassificationReference* IFCMemo::findReference(const String& name) {
    load();
    return list_->findReference(name);
}

String IFCMemo::getGlobalId() {
    const IFCAttribute* const attribute = findAttribute("GlobalId");
    return attribute ? attribute->getValue().getText() : String();
}

const IFCNameIndex* IFCMemo::getPropertyIndex() {
    load();
    return list_ ? list_->propertyIndex() : nullptr;
}

const IFCNameIndex* IFCMemo::getAttributeIndex() {
    load();
    return list_ ? list_->attributeIndex() : nullptr;
}

const IFCNameIndex* IFCMemo::getReferenceIndex() {
    load();
    return list_ ? list_->referenceIndex() : nullptr;
}

// --- Changes -----------------------------------------------------------------------------------------------
// A new element keeps what is added in its list; the host, which does not know it yet, refuses the write.
void IFCMemo::addProperty(std::unique_ptr<IFCProperty> property) {
    load();
    const auto* const element = dynamic_cast<const Element*>(this);
    if (!property || element == nullptr) return;
    host::IFCPropertyRecord record;
    if (!property->toHost(record)) return;   // neither the list nor the host changes
    list_->addProperty(std::move(property));
    hostApi().call<host::HostSlot::setElementIFCProperty>(&element->getGuid().getRecord(), &record);
}

void IFCMemo::addAttribute(std::unique_ptr<IFCAttribute> attribute) {
    load();
    const auto* const element = dynamic_cast<const Element*>(this);
    if (!attribute || element == nullptr) return;
    host::IFCAttributeRecord record;
    if (!attribute->toHost(record)) return;
    list_->addAttribute(std::move(attribute));
    hostApi().call<host::HostSlot::setElementIFCAttribute>(&element->getGuid().getRecord(), &record);
}

void IFCMemo::removeProperty(const String& setName, const String& name) {
    load();
    const IFCProperty* const property = list_->findProperty(name, setName);
    if (property == nullptr) return;
    host::IFCPropertyRecord record;
    if (!property->toHost(record)) return;
    list_->removeProperty(*property);   // deletes it: the record is what the host is asked about
    // A new element only has its list: the host does not know it yet.
    Guid guid;
    if (placedGuid(*this, guid))
        hostApi().call<host::HostSlot::removeElementIFCProperty>(&guid.getRecord(), &record);
}

void IFCMemo::removePropertyFromAllSets(const String& name) {
    load();
    // The index is by set; removing changes it, so the sets are listed first.
    std::vector<String> sets;
    for (const auto& [setName, names] : *list_->propertyIndex())
        for (const String& held : names)
            if (held == name) {
                sets.push_back(setName);
                break;
            }
    for (const String& setName : sets) removeProperty(setName, name);
}

void IFCMemo::applyChanges(IFCMemo& newer, IFCMemo& older) {
    newer.load();
    if (newer.list_->propertyIndex()->empty()) return;
    older.load();
    if (older.list_->propertyIndex()->empty()) return;
    load();
}

}   // namespace tarnwick
