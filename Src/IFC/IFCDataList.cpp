#include "IFC/IFCDataList.h"

#include "IFC/IFCAttribute.h"
#include "IFC/IFCClassificationReference.h"
#include "IFC/IFCProperty.h"

namespace tarnwick {
namespace {

template <typename T>
T* as(const std::unique_ptr<IFCData>& datum) {
    return dynamic_cast<T*>(datum.get());
}

}   // namespace

IFCDataList::IFCDataList() = default;

IFCDataList::IFCDataList(const IFCDataList& other) {
    for (const auto& datum : other)
        if (datum) push_back(datum->clone());
}

IFCDataList::~IFCDataList() {
    propertyIndex_.reset();
    attributeIndex_.reset();
    referenceIndex_.reset();
    clear();
}

// --- Lookups -------------------------------------------------------------------------------------------
IFCProperty* IFCDataList::findProperty(const String& name, const String& setName) const {
    for (const auto& datum : *this)
        if (auto* property = as<IFCProperty>(datum))
            if (property->getName() == name && (setName.isEmpty() || property->getSetName() == setName))
                return property;
    return nullptr;
}

IFCAttribute* IFCDataList::findAttribute(const String& name) const {
    for (const auto& datum : *this)
        if (auto* attribute = as<IFCAttribute>(datum))
            if (attribute->getName() == name) return attribute;
    return nullptr;
}

IFCClassificationReference* IFCDataList::findReference(const String& name) const {
    for (const auto& datum : *this)
        if (auto* reference = as<IFCClassificationReference>(datum))
            if (reference->getName() == name) return reference;
    return nullptr;
}

IFCDataList::iterator IFCDataList::findHeld(const IFCData* datum) {
    for (auto it = begin(); it != end(); ++it)
        if (it->get() == datum) return it;
    return end();
}

// --- Adding and removing ---------------------------------------------------------------------------------
void IFCDataList::addProperty(std::unique_ptr<IFCProperty> property) {
    if (!property) return;
    if (const auto held = findHeld(property.get()); held != end()) {
        // Already ours: removing it first would delete what is about to be appended. A built index
        // follows it to the end.
        if (propertyIndex_) propertyIndex_->remove(property->getSetName(), property->getName());
        indexAdded(*push_back(release(held)));
        property.release();   // NOLINT: the list's own node owns it
        return;
    }
    removeProperty(*property);
    const IFCData& added = *push_back(std::move(property));
    indexAdded(added);
}

void IFCDataList::addAttribute(std::unique_ptr<IFCAttribute> attribute) {
    if (!attribute) return;
    if (const auto held = findHeld(attribute.get()); held != end()) {
        if (attributeIndex_) attributeIndex_->remove(String(), attribute->getName());
        indexAdded(*push_back(release(held)));
        attribute.release();   // NOLINT: the list's own node owns it
        return;
    }
    removeAttribute(*attribute);
    const IFCData& added = *push_back(std::move(attribute));
    indexAdded(added);
}

void IFCDataList::removeProperty(const IFCProperty& property) {
    const String name = property.getName();   // copies: the property may be the one deleted
    const String setName = property.getSetName();
    if (propertyIndex_) propertyIndex_->remove(setName, name);
    for (auto it = begin(); it != end(); ++it) {
        const auto* held = as<IFCProperty>(*it);
        if (held && held->getName() == name && held->getSetName() == setName) {
            erase(it);
            return;
        }
    }
}

void IFCDataList::removeAttribute(const IFCAttribute& attribute) {
    const String name = attribute.getName();
    if (attributeIndex_) attributeIndex_->remove(String(), name);
    for (auto it = begin(); it != end(); ++it) {
        const auto* held = as<IFCAttribute>(*it);
        if (held && held->getName() == name) {
            erase(it);
            return;
        }
    }
}

// --- Indexes -----------------------------------------------------------------------------------------------
void IFCDataList::indexAdded(const IFCData& datum) {
    if (const auto* property = dynamic_cast<const IFCProperty*>(&datum)) {
        if (propertyIndex_) propertyIndex_->add(property->getSetName(), property->getName());
    } else if (dynamic_cast<const IFCAttribute*>(&datum)) {
        if (attributeIndex_) attributeIndex_->add(String(), datum.getName());
    } else if (dynamic_cast<const IFCClassificationReference*>(&datum)) {
        if (referenceIndex_) referenceIndex_->add(String(), datum.getName());
    }
}

const IFCNameIndex* IFCDataList::propertyIndex() {
    if (!propertyIndex_) {
        propertyIndex_ = std::make_unique<IFCNameIndex>();
        for (const auto& datum : *this)
            if (const auto* property = as<IFCProperty>(datum))
                propertyIndex_->add(property->getSetName(), property->getName());
    }
    return propertyIndex_.get();
}

const IFCNameIndex* IFCDataList::attributeIndex() {
    if (!attributeIndex_) {
        attributeIndex_ = std::make_unique<IFCNameIndex>();
        for (const auto& datum : *this)
            if (as<IFCAttribute>(datum)) attributeIndex_->add(String(), datum->getName());
    }
    return attributeIndex_.get();
}

const IFCNameIndex* IFCDataList::referenceIndex() {
    if (!referenceIndex_) {
        referenceIndex_ = std::make_unique<IFCNameIndex>();
        for (const auto& datum : *this)
            if (as<IFCClassificationReference>(datum)) referenceIndex_->add(String(), datum->getName());
    }
    return referenceIndex_.get();
}

// --- Host arrays ---------------------------------------------------------------------------------------
bool IFCDataList::appendProperties(const host::Array<host::IFCPropertyRecord>& records) {
    bool all = true;
    for (const host::IFCPropertyRecord& record : records) {
        if (std::unique_ptr<IFCProperty> property = IFCProperty::create(record))
            indexAdded(*push_back(std::move(property)));
        else
            all = false;
    }
    return all;
}

bool IFCDataList::appendAttributes(const host::Array<host::IFCAttributeRecord>& records) {
    bool all = true;
    for (const host::IFCAttributeRecord& record : records) {
        if (std::unique_ptr<IFCAttribute> attribute = IFCAttribute::create(record))
            indexAdded(*push_back(std::move(attribute)));
        else
            all = false;
    }
    return all;
}

bool IFCDataList::appendReferences(const host::Array<host::IFCClassificationReferenceRecord>& records) {
    for (const host::IFCClassificationReferenceRecord& record : records)
        indexAdded(*push_back(IFCClassificationReference::create(record)));
    return true;
}

}   // namespace tarnwick
