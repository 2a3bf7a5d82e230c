#include "IFC/PropertyTemplate.h"

#include <algorithm>

#include "Elements/Element.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TracedException.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/HostUniText.h"
#include "IFC/PropertyDatabase.h"
#include "IFC/PropertyGroup.h"

namespace tarnwick {
namespace {

SettingState stateOf(std::int32_t status) {
    switch (status) {
        case host::kVariantStatusNull:
            return SettingState::notSet;
        case host::kVariantStatusNormal:
            return SettingState::defined;
        default:   // the host's user-undefined status, and anything it should not send
            return SettingState::undefined;
    }
}

template <typename T>
std::unique_ptr<T> copyOf(const std::unique_ptr<T>& owned) {
    return owned ? std::make_unique<T>(*owned) : nullptr;
}

bool contains(const std::vector<Guid>& guids, const Guid& guid) {
    return std::find(guids.begin(), guids.end(), guid) != guids.end();
}

}   // namespace

PropertyTemplate::PropertyTemplate()
    : stamp_(PropertyDatabase::definitionGeneration()), writable_(true), modified_(true), loaded_(true) {}

PropertyTemplate::PropertyTemplate(const Guid& guid) : link_(guid) {}

PropertyTemplate::PropertyTemplate(const host::PropertyDefinitionRecord& record) { read(record); }

PropertyTemplate::PropertyTemplate(const PropertyTemplate& other)
    : link_(other.link_),
      group_(other.group_),
      name_(other.name_),
      description_(other.description_),
      defaultValues_(copyOf(other.defaultValues_)),
      allowedValues_(copyOf(other.allowedValues_)),
      availability_(copyOf(other.availability_)),
      defaultExpressions_(copyOf(other.defaultExpressions_)),
      stamp_(other.stamp_),
      collectionType_(other.collectionType_),
      kind_(other.kind_),
      index_(other.index_),
      writable_(other.writable_),
      hostWritable_(other.hostWritable_),
      marked_(other.marked_),
      modified_(other.modified_),
      loaded_(other.loaded_) {}

PropertyTemplate::~PropertyTemplate() = default;

// --- Refresh and the host record --------------------------------------------------------------------------
void PropertyTemplate::refresh() {
    const std::uint32_t generation = PropertyDatabase::definitionGeneration();
    if (loaded_ && stamp_ == generation) return;
    if (link_.isValid()) {
        host::PropertyDefinitionRecord record{};
        record.guid = link_.getRecord();
        const std::uint32_t result = hostApi().call<host::HostSlot::getPropertyDefinition>(&record);
        if (result == host::kNoError) {
            read(record);
        } else if (result == host::kErrBadIndex) {   // the host no longer has it: read as empty
            link_.clear();
            group_.reset();
            name_.clear();
            description_.clear();
            defaultValues_.reset();
            allowedValues_.reset();
            availability_.reset();
            defaultExpressions_.reset();
        } else {
            modified_ = false;
            return;   // a passing failure: keep the link and ask again on the next access
        }
    }
    stamp_ = generation;
    loaded_ = true;
    modified_ = false;
}

void PropertyTemplate::read(const host::PropertyDefinitionRecord& record) {
    stamp_ = PropertyDatabase::definitionGeneration();
    loaded_ = true;
    link_ = PropertyLink(Guid(record.guid));
    PropertyDatabase* database = Host::getPropertyDatabase();
    const Guid groupGuid(record.groupGuid);
    group_ = !groupGuid.isValid()  ? nullptr
             : database != nullptr ? database->getGroup(groupGuid)
                                   : std::make_shared<PropertyGroup>(groupGuid);
    name_ = fromUniString(record.name);
    description_ = fromUniString(record.description);
    collectionType_ = record.collectionType;
    kind_ = kindOf(record.valueType, record.measureType);
    writable_ = hostWritable_ = record.canValueBeEditable != 0;
    modified_ = true;
    defaultValues_.reset();
    defaultExpressions_.reset();
    if (!record.defaultValue.expressions.empty()) {
        defaultExpressions_ = std::make_unique<std::vector<String>>();
        for (const host::UniString& expression : record.defaultValue.expressions)
            defaultExpressions_->push_back(fromUniString(expression));
    } else if (record.defaultValue.basicValue.variantStatus == host::kVariantStatusNormal) {
        defaultValues_ = std::make_unique<SettingPairList>();
        if (!readValues(record.defaultValue.basicValue, *defaultValues_)) defaultValues_.reset();
    }
    allowedValues_.reset();
    if ((collectionType_ == kSingleChoice || collectionType_ == kMultipleChoice) &&
        !record.possibleEnumValues.empty()) {
        allowedValues_ = std::make_unique<SettingPairList>();
        for (const host::EnumerationVariantRecord& entry : record.possibleEnumValues)
            allowedValues_->push_back(SettingPair(entry, SettingState::defined, measure()));
    }
    availability_.reset();
    if (!record.availability.empty()) {
        availability_ = std::make_unique<std::vector<Guid>>();
        for (const host::GuidRecord& item : record.availability) availability_->push_back(Guid(item));
    }
}

bool PropertyTemplate::write(host::PropertyDefinitionRecord& record) {
    refresh();
    if (!group_ || name_.isEmpty() || collectionType_ == 0) return false;
    if (isEnumeration() && (!allowedValues_ || allowedValues_->empty())) return false;
    record.guid = link_.getRecord();
    record.groupGuid = group_->getGuid().getRecord();
    record.name = toUniString(name_);
    record.description = toUniString(description_);
    record.collectionType = collectionType_;
    hostTypeOf(kind_, record.valueType, record.measureType);
    record.definitionType = host::kPropertyUserDefined;
    record.canValueBeEditable = writable_ ? 1 : 0;
    record.defaultValue.expressions.clear();
    if (hasExpressions()) {
        record.defaultValue.basicValue.variantStatus = host::kVariantStatusUserUndefined;
        for (const String& expression : *defaultExpressions_)
            record.defaultValue.expressions.push_back(toUniString(expression));
    } else {
        SettingPairList defaults = defaultValues_ ? *defaultValues_ : SettingPairList();
        if (collectionType_ == kSingle && defaults.empty()) {
            std::unique_ptr<Setting> empty = MakePropertySetting().make(kind_);
            if (!empty) empty = std::make_unique<StringSetting>();
            empty->setState(SettingState::undefined);   // no default: an undefined one
            defaults.push_back(SettingPair(*empty));
        } else if (collectionType_ == kSingleChoice) {
            SettingPairList allowedOnly;
            for (const SettingPair& pair : defaults)
                if (pair.hasGuidKey() && allowedValues_->findByKey(pair.key()) != nullptr)
                    allowedOnly.push_back(pair);
            if (allowedOnly.empty()) allowedOnly.push_back(allowedValues_->at(0));
            defaults = std::move(allowedOnly);
        }
        // A definition with defaults of its own sends them as normal, whatever their states, so that one
        // read back as normal and empty stays so; without, whatever stands in is sent as undefined.
        if (!writeValues(defaults, record.defaultValue.basicValue)) return false;
        const bool hasDefaults = defaultValues_ && !defaultValues_->empty();
        record.defaultValue.basicValue.variantStatus =
            hasDefaults ? host::kVariantStatusNormal : host::kVariantStatusUserUndefined;
    }
    record.possibleEnumValues.clear();
    if (isEnumeration())
        for (const SettingPair& pair : *allowedValues_) {
            host::EnumerationVariantRecord entry{};
            pair.toHostEnumeration(kind_, entry);
            record.possibleEnumValues.push_back(std::move(entry));
        }
    record.availability.clear();
    if (availability_)
        for (const Guid& item : *availability_) record.availability.push_back(item.getRecord());
    return true;
}

SettingKind PropertyTemplate::kindOf(std::int32_t valueType, std::int32_t measureType) {
    switch (valueType) {
        case host::kVariantInteger:
            return SettingKind::int32;
        case host::kVariantReal:
            switch (measureType) {
                case host::kMeasureLength:
                    return SettingKind::length;
                case host::kMeasureArea:
                    return SettingKind::area;
                case host::kMeasureVolume:
                    return SettingKind::volume;
                case host::kMeasureAngle:
                    return SettingKind::angle;
                default:
                    return SettingKind::real;
            }
        case host::kVariantString:
            return SettingKind::string;
        case host::kVariantBoolean:
            return SettingKind::boolean;
        case host::kVariantGuid:
            return SettingKind::id;
        default:
            return SettingKind::none;
    }
}

void PropertyTemplate::hostTypeOf(SettingKind kind, std::int32_t& valueType, std::int32_t& measureType) {
    measureType = host::kMeasureDefault;
    switch (kind) {
        case SettingKind::angle:
            valueType = host::kVariantReal;
            measureType = host::kMeasureAngle;
            break;
        case SettingKind::area:
            valueType = host::kVariantReal;
            measureType = host::kMeasureArea;
            break;
        case SettingKind::boolean:
            valueType = host::kVariantBoolean;
            break;
        case SettingKind::id:
            valueType = host::kVariantGuid;
            break;
        case SettingKind::int32:
        case SettingKind::int64:
            valueType = host::kVariantInteger;
            break;
        case SettingKind::length:
            valueType = host::kVariantReal;
            measureType = host::kMeasureLength;
            break;
        case SettingKind::real:
            valueType = host::kVariantReal;
            break;
        case SettingKind::string:
            valueType = host::kVariantString;
            break;
        case SettingKind::volume:
            valueType = host::kVariantReal;
            measureType = host::kMeasureVolume;
            break;
        default:   // time and unknown kinds
            valueType = host::kVariantNone;
            break;
    }
}

// --- Values ------------------------------------------------------------------------------------------------
bool PropertyTemplate::readValues(const host::PropertyValueRecord& value, SettingPairList& pairs) {
    const SettingState state = stateOf(value.variantStatus);
    switch (collectionType_) {
        case kSingle:
            pairs.push_back(SettingPair(value.singleVariant, state, measure()));
            return true;
        case kList:
            for (const host::VariantRecord& variant : value.listVariant)
                pairs.push_back(SettingPair(variant, state, measure()));
            if (value.listVariant.empty()) {
                StringSetting empty;
                empty.setState(SettingState::undefined);
                pairs.push_back(SettingPair(empty));
            }
            return true;
        case kSingleChoice:
            pairs.push_back(SettingPair(value.singleEnumVariant, state, measure()));
            return true;
        case kMultipleChoice:
            for (const host::EnumerationVariantRecord& entry : value.multipleEnumVariant)
                pairs.push_back(SettingPair(entry, state, measure()));
            return true;
        default:
            return false;
    }
}

bool PropertyTemplate::writeValues(const SettingPairList& pairs, host::PropertyValueRecord& value) {
    SettingState state = SettingState::undefined;
    switch (collectionType_) {
        case kSingle:
            if (pairs.empty()) break;
            state = pairs.at(0).toHost(kind_, value.singleVariant);
            if (state == SettingState::undefined) {
                std::int32_t measureType = 0;
                hostTypeOf(kind_, value.singleVariant.type, measureType);
            }
            break;
        case kList:
            value.listVariant.clear();
            for (const SettingPair& pair : pairs) {
                if (pair.getState() != SettingState::defined) continue;
                host::VariantRecord variant{};
                if (pair.toHost(kind_, variant) == SettingState::defined)
                    value.listVariant.push_back(std::move(variant));
            }
            state = value.listVariant.empty() ? SettingState::undefined : SettingState::defined;
            break;
        case kSingleChoice: {
            if (pairs.empty() || !pairs.at(0).isValid(/*checkKey=*/true)) break;
            const SettingPair& first = pairs.at(0);
            if (first.getState() != SettingState::undefined &&
                (!allowedValues_ || allowedValues_->findMatching(first) == nullptr))
                break;
            state = first.toHostEnumeration(kind_, value.singleEnumVariant);
            if (state == SettingState::undefined) {
                std::int32_t measureType = 0;
                hostTypeOf(kind_, value.singleEnumVariant.displayVariant.type, measureType);
                value.singleEnumVariant.keyVariant.type = host::kVariantGuid;
            }
            break;
        }
        case kMultipleChoice: {
            value.multipleEnumVariant.clear();
            if (pairs.empty() || !allowedValues_ || allowedValues_->empty()) break;
            SettingPairList written;
            for (const SettingPair& pair : pairs) {
                if (pair.getState() != SettingState::defined || written.findEqual(pair) != nullptr) continue;
                host::EnumerationVariantRecord entry{};
                if (pair.toHostEnumeration(kind_, entry) != SettingState::defined) continue;
                value.multipleEnumVariant.push_back(std::move(entry));
                written.push_back(pair);
            }
            state = written.empty() ? SettingState::undefined : SettingState::defined;
            break;
        }
        default:
            return false;
    }
    if (state == SettingState::notSet) return false;
    value.variantStatus = static_cast<std::int32_t>(state);
    return true;
}

bool PropertyTemplate::admits(SettingPair& pair, bool allowUndefined) {
    refresh();
    if (allowUndefined && pair.getState() == SettingState::undefined) return true;
    if (!isEnumeration()) {
        pair.clearKey();
        return pair.isValid(/*checkKey=*/false);
    }
    if (!allowedValues_ || allowedValues_->empty()) return false;
    if (pair.hasGuidKey()) {
        if (const SettingPair* allowed = allowedValues_->findByKey(pair.key())) {
            pair = *allowed;
            return true;
        }
    }
    const SettingPair* allowed = pair.hasValue() ? allowedValues_->findByValue(pair.value()) : nullptr;
    if (allowed == nullptr) return false;
    pair = *allowed;
    return pair.isValid(/*checkKey=*/true);
}

void PropertyTemplate::fixDefault(SettingPair& pair) {
    refresh();
    const bool noChoice = isEnumeration() && (!allowedValues_ || allowedValues_->empty());
    if (!pair.hasValue() || noChoice) {
        pair.setState(SettingState::undefined);
        return;
    }
    if (pair.getState() == SettingState::undefined) pair.setState(SettingState::defined);
    if (isEnumeration()) {
        const SettingPair* allowed = pair.hasGuidKey() ? allowedValues_->findByKey(pair.key()) : nullptr;
        pair = allowed != nullptr ? *allowed : allowedValues_->at(0);   // an allowed value stays
        pair.setState(SettingState::defined);
    }
}

// --- Reading -----------------------------------------------------------------------------------------------
PropertyLink PropertyTemplate::getLink() {
    refresh();
    return link_;
}
std::shared_ptr<PropertyGroup> PropertyTemplate::getGroup() {
    refresh();
    return group_;
}
String PropertyTemplate::getName() {
    refresh();
    return name_;
}
String PropertyTemplate::getDescription() {
    refresh();
    return description_;
}
std::int32_t PropertyTemplate::getCollectionType() {
    refresh();
    return collectionType_;
}
SettingKind PropertyTemplate::getKind() {
    refresh();
    return kind_;
}
bool PropertyTemplate::isWritable() {
    refresh();
    return writable_;
}
bool PropertyTemplate::isModified() {
    refresh();
    return modified_;
}
bool PropertyTemplate::isEnumeration() {
    const std::int32_t type = getCollectionType();
    return type == kSingleChoice || type == kMultipleChoice;
}
bool PropertyTemplate::isListValued() {
    const std::int32_t type = getCollectionType();
    return type == kList || type == kMultipleChoice;
}

std::size_t PropertyTemplate::getDefaultValueCount() {
    refresh();
    return defaultValues_ ? defaultValues_->size() : 0;
}

const SettingPair& PropertyTemplate::getDefaultValue(std::size_t i) {
    if (i >= getDefaultValueCount())
        throw TracedException("out_of_range", "PropertyTemplate::getDefaultValue");
    return defaultValues_->at(i);
}

std::size_t PropertyTemplate::getAllowedValueCount() {
    refresh();
    return allowedValues_ ? allowedValues_->size() : 0;
}

const SettingPair& PropertyTemplate::getAllowedValue(std::size_t i) {
    if (i >= getAllowedValueCount())
        throw TracedException("out_of_range", "PropertyTemplate::getAllowedValue");
    return allowedValues_->at(i);
}

std::unique_ptr<Setting> PropertyTemplate::findAllowedByKey(const Setting& key) {
    refresh();
    const SettingPair* found = allowedValues_ ? allowedValues_->findByKey(key) : nullptr;
    return found != nullptr && found->hasValue() ? found->value().clone() : nullptr;
}

std::unique_ptr<Setting> PropertyTemplate::findAllowedByValue(const Setting& value) {
    refresh();
    const SettingPair* found = allowedValues_ ? allowedValues_->findByValue(value) : nullptr;
    return found != nullptr && found->key().getKind() != SettingKind::none ? found->key().clone() : nullptr;
}

bool PropertyTemplate::isAllowedKey(const Setting& key) {
    if (!isEnumeration()) return true;
    return allowedValues_ && allowedValues_->findByKey(key) != nullptr;
}

bool PropertyTemplate::isAllowedValue(const Setting& value) {
    if (!isEnumeration()) return true;
    return allowedValues_ && allowedValues_->findByValue(value) != nullptr;
}

void PropertyTemplate::collectAvailability(std::vector<Guid>& items) {
    refresh();
    if (!availability_) return;
    for (const Guid& item : *availability_)
        if (!contains(items, item)) items.push_back(item);
}

bool PropertyTemplate::isAvailableFor(const std::vector<Guid>& items) {
    refresh();
    if (!availability_) return false;
    return std::any_of(items.begin(), items.end(),
                       [&](const Guid& item) { return contains(*availability_, item); });
}

bool PropertyTemplate::hasExpressions() {
    refresh();
    return defaultExpressions_ && !defaultExpressions_->empty();
}

std::size_t PropertyTemplate::getExpressionCount() {
    refresh();
    return defaultExpressions_ ? defaultExpressions_->size() : 0;
}

String PropertyTemplate::getExpression(std::size_t i) {
    return i < getExpressionCount() ? (*defaultExpressions_)[i] : String();
}

// --- Changing ----------------------------------------------------------------------------------------------
bool PropertyTemplate::setExpression(const String& text, std::size_t i) {
    if (!canChange()) return false;
    if (!defaultExpressions_) defaultExpressions_ = std::make_unique<std::vector<String>>();
    if (i >= defaultExpressions_->size()) defaultExpressions_->resize(i + 1);
    (*defaultExpressions_)[i] = text;
    return changed();
}

bool PropertyTemplate::setExpressionCount(std::size_t n) {
    if (!canChange()) return false;
    if (n == 0) {
        defaultExpressions_.reset();
    } else {
        if (!defaultExpressions_) defaultExpressions_ = std::make_unique<std::vector<String>>();
        defaultExpressions_->resize(n);
    }
    return changed();
}

bool PropertyTemplate::removeExpression(std::size_t i) {
    if (!canChange() || i >= getExpressionCount()) return false;
    defaultExpressions_->erase(defaultExpressions_->begin() + static_cast<std::ptrdiff_t>(i));
    return changed();
}

bool PropertyTemplate::setKind(SettingKind kind) {
    if (!canChange()) return false;
    kind_ = kind;
    if (defaultValues_) defaultValues_->convertAll(kind);
    if (allowedValues_) allowedValues_->convertAll(kind);
    return changed();
}

bool PropertyTemplate::setName(const String& name) {
    if (!canChange()) return false;
    name_ = name;
    return changed();
}

bool PropertyTemplate::setDescription(const String& description) {
    if (!canChange()) return false;
    description_ = description;
    return changed();
}

bool PropertyTemplate::setGroup(std::shared_ptr<PropertyGroup> group) {
    if (!group || !canChange()) return false;
    group_ = std::move(group);
    return changed();
}

bool PropertyTemplate::setGroupByGuid(const Guid& guid) {
    PropertyDatabase* database = Host::getPropertyDatabase();
    return database != nullptr && guid.isValid() && setGroup(database->getGroup(guid));
}

bool PropertyTemplate::setDefaultCount(std::size_t n) {
    if (!canChange() || hasExpressions() || n == getDefaultValueCount()) return false;
    if (!isListValued() && n > 1) n = 1;
    if (n == 0) {
        defaultValues_.reset();
    } else {
        if (!defaultValues_) defaultValues_ = std::make_unique<SettingPairList>();
        defaultValues_->resize(n);
    }
    return changed();
}

bool PropertyTemplate::setDefaultValue(const SettingPair& pair, std::size_t i) {
    if (!canChange() || hasExpressions() || !pair.isValid(isEnumeration())) return false;
    if (i > 0 && !isListValued()) return false;
    if (!defaultValues_) defaultValues_ = std::make_unique<SettingPairList>();
    defaultValues_->setAt(pair, i);
    return changed();
}

bool PropertyTemplate::removeDefaultValue(std::size_t i) {
    if (!canChange() || i >= getDefaultValueCount()) return false;
    defaultValues_->erase(i);
    if (defaultValues_->empty()) defaultValues_.reset();
    return changed();
}

bool PropertyTemplate::setAllowedCount(std::size_t n) {
    if (!canChange() || !isEnumeration()) return false;
    if (n == 0) {
        allowedValues_.reset();
    } else {
        if (!allowedValues_) allowedValues_ = std::make_unique<SettingPairList>();
        allowedValues_->resize(n);
    }
    return changed();
}

bool PropertyTemplate::setAllowedValue(const SettingPair& pair, std::size_t i) {
    if (!canChange() || !isEnumeration() || i >= getAllowedValueCount() || !pair.isValid(/*checkKey=*/true))
        return false;
    allowedValues_->setAt(pair, i);
    return changed();
}

bool PropertyTemplate::removeAllowedValue(std::size_t i) {
    if (!canChange() || i >= getAllowedValueCount()) return false;
    allowedValues_->erase(i);
    if (allowedValues_->empty()) allowedValues_.reset();
    return changed();
}

bool PropertyTemplate::setAvailability(const std::vector<Guid>& items) {
    if (!canChange()) return false;
    availability_ = items.empty() ? nullptr : std::make_unique<std::vector<Guid>>(items);
    return changed();
}

bool PropertyTemplate::addAvailability(const Guid& item) {
    if (!canChange()) return false;
    if (!availability_) availability_ = std::make_unique<std::vector<Guid>>();
    if (!contains(*availability_, item)) availability_->push_back(item);
    return changed();
}

bool PropertyTemplate::makeAvailableFor(const std::vector<Element*>& elements) {
    if (!canChange()) return false;
    for (Element* element : elements) {
        auto* memo = dynamic_cast<ClassificationMemo*>(element);
        if (memo == nullptr) continue;
        std::vector<Guid> items;
        memo->getItemGuids(items);
        for (const Guid& item : items) addAvailability(item);
    }
    return changed();
}

bool PropertyTemplate::setEnumeration(bool enumeration) {
    if (!canChange()) return false;
    const bool list = isListValued();
    collectionType_ = enumeration ? (list ? kMultipleChoice : kSingleChoice) : (list ? kList : kSingle);
    return changed();
}

bool PropertyTemplate::setList(bool list) {
    if (!canChange()) return false;
    const bool enumeration = isEnumeration();
    collectionType_ = enumeration ? (list ? kMultipleChoice : kSingleChoice) : (list ? kList : kSingle);
    return changed();
}

bool PropertyTemplate::setModified(bool modified) {
    if (!canChange()) return false;
    modified_ = modified;
    return true;
}

bool PropertyTemplate::makeWritable() {
    refresh();
    if (hostWritable_) return false;
    writable_ = true;
    return changed();
}

}   // namespace tarnwick
