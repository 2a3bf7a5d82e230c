#include "IFC/Property.h"

#include "Elements/Element.h"
#include "Environment/Host.h"
#include "Foundation/TracedException.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/PropertyDatabase.h"
#include "IFC/PropertyGroup.h"
#include "IFC/PropertyTemplate.h"

namespace tarnwick {
namespace {

PropertyDatabase* database() { return Host::getPropertyDatabase(); }

std::shared_ptr<PropertyTemplate> templateOf(const PropertyLink& link) {
    PropertyDatabase* properties = database();
    return properties != nullptr && link.isValid() ? properties->getDefinition(link) : nullptr;
}

void setAllStates(SettingPairList& pairs, SettingState state) {
    for (SettingPair& pair : pairs) pair.setState(state);
}

}   // namespace

// --- Property ----------------------------------------------------------------------------------------------
Property::Property() = default;

Property::Property(std::shared_ptr<PropertyTemplate> definition) : template_(std::move(definition)) {}

Property::Property(std::shared_ptr<PropertyTemplate> definition, const SettingPair& first)
    : values_(std::make_unique<SettingPairList>()), template_(std::move(definition)) {
    values_->push_back(first);
}

Property::Property(const PropertyLink& definition) : Property(templateOf(definition)) {}

Property::Property(const PropertyLink& definition, const SettingPair& first)
    : Property(templateOf(definition), first) {}

Property::Property(const Property& other)
    : values_(other.values_ ? std::make_unique<SettingPairList>(*other.values_) : nullptr),
      template_(other.template_),
      usesDefault_(other.usesDefault_),
      changed_(other.changed_) {}

Property& Property::operator=(const Property& other) {
    if (this != &other) {
        values_ = other.values_ ? std::make_unique<SettingPairList>(*other.values_) : nullptr;
        template_ = other.template_;
        usesDefault_ = other.usesDefault_;
        changed_ = other.changed_;
    }
    return *this;
}

Property::~Property() = default;

std::unique_ptr<Property> Property::fromHost(const host::PropertyRecord& record) {
    PropertyDatabase* properties = database();
    std::shared_ptr<PropertyTemplate> definition =
        properties != nullptr ? properties->getDefinition(record.definition) : nullptr;
    if (!definition) return nullptr;
    auto property = std::make_unique<Property>(definition);
    property->values_ = std::make_unique<SettingPairList>();
    if (!definition->readValues(record.value, *property->values_)) return nullptr;
    property->usesDefault_ = record.isDefault != 0;
    return property;
}

bool Property::toHost(host::PropertyRecord& record) const {
    // A property on its default needs no values of its own: the host is told to use the default.
    if (!template_ || (!values_ && !usesDefault_)) return false;
    record.isDefault = usesDefault_ ? 1 : 0;
    if (!template_->write(record.definition)) return false;
    return template_->writeValues(values_ ? *values_ : SettingPairList(), record.value);
}

PropertyLink Property::getLink() const { return template_ ? template_->getLink() : PropertyLink(); }
String Property::getName() const { return template_ ? template_->getName() : String(); }
String Property::getDescription() const { return template_ ? template_->getDescription() : String(); }

String Property::getGroupName() const {
    const std::shared_ptr<PropertyGroup> group = template_ ? template_->getGroup() : nullptr;
    return group ? group->getName() : String();
}

PropertyName Property::getPropertyName() const { return PropertyName(getName(), getGroupName()); }

bool Property::onDefault() const { return usesDefault_ && template_ && !template_->hasExpressions(); }

std::size_t Property::getValueCount() const {
    return onDefault() ? template_->getDefaultValueCount() : ownCount();
}

const SettingPair& Property::getValue(std::size_t i) const {
    if (usesDefault_ && !template_) throw TracedException("bad_access", "Property::getValue");
    if (onDefault()) return template_->getDefaultValue(i);
    if (i >= ownCount()) throw TracedException("out_of_range", "Property::getValue");
    return values_->at(i);
}

bool Property::isUndefined(bool ignoreDefault) const {
    if (onDefault()) {
        if (ignoreDefault) return false;
        return isDefaultUndefined();
    }
    if (ownCount() == 0) return true;
    if (ownCount() > 1) return false;
    return values_->at(0).getState() == SettingState::undefined;
}

bool Property::isDefaultUndefined() const {
    if (!template_ || template_->getDefaultValueCount() == 0) return true;
    return template_->getDefaultValue(0).getState() == SettingState::undefined;
}

bool Property::isEqual(const Property& other) const {
    if (getLink() != other.getLink()) return false;
    // Undefined-ness of both sides first, so that the answer does not depend on which side asks.
    const bool undefined = isUndefined(false);
    if (undefined != other.isUndefined(false)) return false;
    if (undefined) return true;
    if (usesDefault_ != other.usesDefault_) return false;
    const SettingPairList none;
    return (values_ ? *values_ : none).isEqual(other.values_ ? *other.values_ : none);
}

bool Property::materialize() {
    if (!template_) return true;
    if (usesDefault_) return true;
    changed_ = true;
    if (!values_) values_ = std::make_unique<SettingPairList>();
    if (isUndefined(/*ignoreDefault=*/true)) {
        values_->clear();
        if (template_->getDefaultValueCount() > 0) {
            for (std::size_t i = 0; i < template_->getDefaultValueCount(); ++i)
                values_->push_back(template_->getDefaultValue(i));
        } else if (template_->getAllowedValueCount() > 0) {
            values_->push_back(template_->getAllowedValue(0));
        } else if (std::unique_ptr<Setting> fresh = MakePropertySetting().make(template_->getKind())) {
            values_->push_back(SettingPair(*fresh));
        } else {
            values_->push_back(SettingPair());
        }
    }
    setAllStates(*values_, SettingState::defined);
    return true;
}

void Property::leaveDefault() {
    if (!usesDefault_) return;
    usesDefault_ = false;
    changed_ = true;
    materialize();
}

bool Property::setValue(const SettingPair& pair, std::size_t i) {
    if (!template_) return false;
    SettingPair admitted(pair);
    if (!template_->admits(admitted, /*allowUndefined=*/i == 0)) return false;
    if (i >= getValueCount() && !setValueCount(i + 1)) return false;
    if (usesDefault_ && !values_) leaveDefault();
    if (i >= ownCount()) {   // the default had fewer values than the property now needs
        if (i > 0 && !template_->isListValued()) return false;
        if (!values_) values_ = std::make_unique<SettingPairList>();
        values_->resize(i + 1);
    }
    if (values_->at(i).isEqual(admitted)) return true;
    values_->at(i) = admitted;
    changed_ = true;
    leaveDefault();
    return true;
}

bool Property::setValueCount(std::size_t n) {
    if (!template_ || (n > 1 && !template_->isListValued())) return false;
    if (!values_) values_ = std::make_unique<SettingPairList>();
    values_->resize(n);
    changed_ = true;
    leaveDefault();
    return true;
}

bool Property::removeValue(std::size_t i) {
    if (i >= ownCount()) return true;
    values_->erase(i);
    changed_ = true;
    leaveDefault();
    return true;
}

bool Property::setUsesDefault(bool usesDefault) {
    if (usesDefault == usesDefault_) return true;
    changed_ = true;
    usesDefault_ = usesDefault;
    if (!usesDefault) materialize();
    return true;
}

bool Property::setUndefined(bool undefined) {
    if (isUndefined(false) == undefined && !usesDefault_) return true;
    changed_ = true;
    leaveDefault();
    if (!undefined && ownCount() == 0) materialize();
    if (!values_) values_ = std::make_unique<SettingPairList>();
    for (SettingPair& pair : *values_) {
        pair.setState(undefined ? SettingState::undefined : SettingState::defined);
        if (!undefined && template_) template_->fixDefault(pair);
    }
    return true;
}

bool Property::isAvailableFor(Element& element) const {
    auto* memo = dynamic_cast<ClassificationMemo*>(&element);
    if (memo == nullptr || !template_) return false;
    std::vector<Guid> items;
    memo->getItemGuids(items);
    return template_->isAvailableFor(items);
}

bool Property::normalize(PropertyDatabase& properties) {
    if (!properties.resolve(template_)) return false;
    if (usesDefault_ || isUndefined(false)) return true;
    std::size_t i = 0;
    while (i < ownCount()) {
        SettingPair admitted(values_->at(i));
        if (!template_->admits(admitted, /*allowUndefined=*/i == 0)) {
            values_->erase(i);
            continue;
        }
        values_->at(i++) = admitted;
    }
    if (ownCount() > 1) {
        SettingPair first(values_->at(0));
        if (!template_->admits(first, /*allowUndefined=*/false)) values_->erase(0);
    }
    return true;
}

// --- PropertyList ------------------------------------------------------------------------------------------
PropertyList::PropertyList(const PropertyList& other) : changed_(other.changed_) {
    for (const auto& item : other.items_) items_.push_back(std::make_unique<Property>(*item));
    for (const auto& item : other.removed_) removed_.push_back(std::make_unique<Property>(*item));
}

PropertyList& PropertyList::operator=(const PropertyList& other) {
    if (this != &other) {
        PropertyList copy(other);
        items_ = std::move(copy.items_);
        removed_ = std::move(copy.removed_);
        changed_ = other.changed_;
    }
    return *this;
}

bool PropertyList::isChanged() const {
    if (changed_) return true;
    for (const auto& item : items_)
        if (item->isChanged()) return true;
    return false;
}

std::ptrdiff_t PropertyList::indexOf(const PropertyLink& link) const {
    if (!link.isValid()) return -1;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->getLink() == link) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

Property* PropertyList::find(const PropertyLink& link) const {
    const std::ptrdiff_t i = indexOf(link);
    return i < 0 ? nullptr : items_[static_cast<std::size_t>(i)];
}

Property* PropertyList::find(const PropertyName& name) const {
    PropertyDatabase* properties = database();
    const std::shared_ptr<PropertyTemplate> definition =
        properties != nullptr ? properties->findDefinition(name) : nullptr;
    return definition ? find(definition->getLink()) : nullptr;
}

bool PropertyList::contains(const Property& property, bool compareValues) const {
    const Property* held = find(property.getLink());
    return held != nullptr && (!compareValues || held->isEqual(property));
}

bool PropertyList::addOrReplace(const Property& property, bool markChanged) {
    const PropertyLink link = property.getLink();
    if (!property.getTemplate() || !link.isValid()) return false;
    for (std::size_t i = 0; i < removed_.size(); ++i)
        if (removed_[i]->getLink() == link) {
            removed_.erase(i);
            break;
        }
    Property* stored = find(link);
    if (stored == nullptr) {
        stored = items_.push_back(std::make_unique<Property>(property));
    } else {
        *stored = property;
        stored->setChanged(true);   // the entry no longer holds what was loaded or stored
    }
    if (markChanged) stored->setChanged(true);
    return true;
}

const Setting* PropertyList::getValue(const PropertyName& name, std::size_t i) const {
    const Property* property = find(name);
    return property != nullptr && i < property->getValueCount() ? &property->getValue(i).value() : nullptr;
}

const Setting* PropertyList::getValue(const PropertyLink& link, std::size_t i) const {
    const Property* property = find(link);
    return property != nullptr && i < property->getValueCount() ? &property->getValue(i).value() : nullptr;
}

bool PropertyList::setValueAt(const Setting& setting, std::shared_ptr<PropertyTemplate> definition,
                              std::size_t i) {
    if (!definition) return false;
    const PropertyLink link = definition->getLink();
    bool added = false;
    if (find(link) == nullptr) {
        Property fresh(definition);
        fresh.setChanged(true);
        if (!addOrReplace(fresh, /*markChanged=*/true)) return false;
        added = true;
    }
    if (find(link)->setValue(SettingPair(setting), i)) return true;
    if (added) items_.erase(static_cast<std::size_t>(indexOf(link)));   // leave no empty entry behind
    return false;
}

bool PropertyList::setValue(const Setting& setting, const PropertyName& name, std::size_t i) {
    if (const Property* held = find(name)) return setValueAt(setting, held->getTemplate(), i);
    PropertyDatabase* properties = database();
    return properties != nullptr && setValueAt(setting, properties->findDefinition(name), i);
}

bool PropertyList::setValue(const Setting& setting, const PropertyLink& link, std::size_t i) {
    if (const Property* held = find(link)) return setValueAt(setting, held->getTemplate(), i);
    return setValueAt(setting, templateOf(link), i);
}

bool PropertyList::removeAt(std::ptrdiff_t i) {
    if (i < 0) return false;
    std::unique_ptr<Property> taken = items_.release(static_cast<std::size_t>(i));
    taken->setUsesDefault(true);
    removed_.push_back(std::move(taken));
    changed_ = true;
    return true;
}

bool PropertyList::remove(const PropertyName& name) {
    const Property* held = find(name);
    return held != nullptr && removeAt(indexOf(held->getLink()));
}

bool PropertyList::remove(const PropertyLink& link) { return removeAt(indexOf(link)); }

bool PropertyList::removeGroup(const String& groupName) {
    bool any = false;
    for (std::size_t i = items_.size(); i-- > 0;)
        if (items_[i]->getTemplate() && items_[i]->getGroupName() == groupName)
            any = removeAt(static_cast<std::ptrdiff_t>(i)) || any;
    return any;
}

bool PropertyList::removeGroup(const Guid& groupGuid) {
    bool any = false;
    for (std::size_t i = items_.size(); i-- > 0;) {
        const auto& definition = items_[i]->getTemplate();
        const std::shared_ptr<PropertyGroup> group = definition ? definition->getGroup() : nullptr;
        if (group && group->getGuid() == groupGuid) any = removeAt(static_cast<std::ptrdiff_t>(i)) || any;
    }
    return any;
}

void PropertyList::markAll() {
    if (items_.empty()) return;
    changed_ = true;
    for (const auto& item : items_) item->setChanged(true);
}

bool PropertyList::setChanged(bool changed) {
    bool any = false;
    for (const auto& item : items_) {
        any = any || item->isChanged() != changed;
        item->setChanged(changed);
    }
    return any;
}

bool PropertyList::update(const PropertyList*, const PropertyList*) const { return false; }

void PropertyList::markStored() {
    setChanged(false);
    removed_.clear();
    changed_ = false;
}

}   // namespace tarnwick
