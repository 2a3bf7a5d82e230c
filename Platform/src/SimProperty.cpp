#include "SimProperty.h"

#include <algorithm>
#include <set>

#include "HostText.h"

namespace host {
namespace {

std::string text(const UniString& value) { return utf16ToUtf8(value.view()); }
UniString uni(const std::string& value) { return UniString(utf8ToUtf16(value)); }

SimIFCState& data(SimulatedHost& host) { return host.project().state.ifc; }

// --- Records and the project's form --------------------------------------------------------------------
VariantRecord variantRecord(const SimVariant& variant) {
    VariantRecord record{};
    record.type = variant.type;
    record.intValue = variant.integer;
    record.doubleValue = variant.real;
    record.boolValue = variant.boolean ? 1 : 0;
    record.uniStringValue = uni(variant.text);
    record.guidValue = toGuidRecord(variant.guid);
    return record;
}

// Only the field of the variant's type is kept, so that two equal values compare equal.
SimVariant simVariant(const VariantRecord& record) {
    SimVariant variant;
    variant.type = record.type;
    switch (record.type) {
        case kVariantInteger:
            variant.integer = record.intValue;
            break;
        case kVariantReal:
            variant.real = record.doubleValue;
            break;
        case kVariantString:
            variant.text = text(record.uniStringValue);
            break;
        case kVariantBoolean:
            variant.boolean = record.boolValue != 0;
            break;
        case kVariantGuid:
            variant.guid = toGuidBytes(record.guidValue);
            break;
        default:
            break;
    }
    return variant;
}

EnumerationVariantRecord enumRecord(const SimEnumValue& value) {
    return {variantRecord(value.key), variantRecord(value.display)};
}
SimEnumValue simEnum(const EnumerationVariantRecord& record) {
    return {simVariant(record.keyVariant), simVariant(record.displayVariant)};
}

PropertyValueRecord valueRecord(const SimPropertyValue& value) {
    PropertyValueRecord record{};
    record.variantStatus = value.status;
    record.singleVariant = variantRecord(value.single);
    for (const SimVariant& variant : value.list) record.listVariant.push_back(variantRecord(variant));
    record.singleEnumVariant = enumRecord(value.choice);
    for (const SimEnumValue& choice : value.choices) record.multipleEnumVariant.push_back(enumRecord(choice));
    return record;
}

// The value in the form the collection type keeps; the other forms stay empty.
SimPropertyValue simValue(const PropertyValueRecord& record, std::int32_t collection) {
    SimPropertyValue value;
    value.status = record.variantStatus;
    if (collection == kPropertySingle) value.single = simVariant(record.singleVariant);
    if (collection == kPropertyList)
        for (const VariantRecord& variant : record.listVariant) value.list.push_back(simVariant(variant));
    if (collection == kPropertySingleChoice) value.choice = simEnum(record.singleEnumVariant);
    if (collection == kPropertyMultipleChoice)
        for (const EnumerationVariantRecord& choice : record.multipleEnumVariant)
            value.choices.push_back(simEnum(choice));
    return value;
}

PropertyGroupRecord groupRecord(const SimPropertyGroup& group) {
    PropertyGroupRecord record{};
    record.guid = toGuidRecord(group.guid);
    record.groupType = group.type;
    record.name = uni(group.name);
    return record;
}

PropertyDefinitionRecord definitionRecord(const SimPropertyDefinition& definition) {
    PropertyDefinitionRecord record{};
    record.guid = toGuidRecord(definition.guid);
    record.groupGuid = toGuidRecord(definition.group);
    record.name = uni(definition.name);
    record.description = uni(definition.description);
    record.collectionType = definition.collection;
    record.valueType = definition.valueType;
    record.measureType = definition.measure;
    record.definitionType = definition.definitionType;
    record.canValueBeEditable = definition.editable ? 1 : 0;
    record.defaultValue.basicValue = valueRecord(definition.defaultValue);
    for (const std::string& expression : definition.expressions)
        record.defaultValue.expressions.push_back(uni(expression));
    for (const SimEnumValue& allowed : definition.allowed)
        record.possibleEnumValues.push_back(enumRecord(allowed));
    for (const GuidBytes& item : definition.availability) record.availability.push_back(toGuidRecord(item));
    return record;
}

SimPropertyDefinition simDefinition(const PropertyDefinitionRecord& record) {
    SimPropertyDefinition definition;
    definition.guid = toGuidBytes(record.guid);
    definition.group = toGuidBytes(record.groupGuid);
    definition.name = text(record.name);
    definition.description = text(record.description);
    definition.collection = record.collectionType;
    definition.valueType = record.valueType;
    definition.measure = record.measureType;
    definition.definitionType = kPropertyUserDefined;
    definition.editable = record.canValueBeEditable != 0;
    definition.defaultValue = simValue(record.defaultValue.basicValue, record.collectionType);
    for (const UniString& expression : record.defaultValue.expressions)
        definition.expressions.push_back(text(expression));
    for (const EnumerationVariantRecord& allowed : record.possibleEnumValues)
        definition.allowed.push_back(simEnum(allowed));
    for (const GuidRecord& item : record.availability) definition.availability.push_back(toGuidBytes(item));
    return definition;
}

// --- Lookups and checks --------------------------------------------------------------------------------
const SimPropertyGroup* findGroup(const SimIFCState& ifc, const GuidBytes& guid) {
    for (const SimPropertyGroup& group : *ifc.propertyGroups)
        if (group.guid == guid) return &group;
    return nullptr;
}

const SimPropertyDefinition* findDefinition(const SimIFCState& ifc, const GuidBytes& guid) {
    for (const SimPropertyDefinition& definition : *ifc.propertyDefinitions)
        if (definition.guid == guid) return &definition;
    return nullptr;
}

bool groupNameTaken(const SimIFCState& ifc, const std::string& name, const GuidBytes& self) {
    return std::any_of(ifc.propertyGroups->begin(), ifc.propertyGroups->end(),
                       [&](const SimPropertyGroup& g) { return g.name == name && g.guid != self; });
}

bool allowedChoice(const SimPropertyDefinition& definition, const SimEnumValue& choice) {
    return std::any_of(definition.allowed.begin(), definition.allowed.end(),
                       [&](const SimEnumValue& allowed) {
                           return allowed.key == choice.key && allowed.display == choice.display;
                       });
}

// Whether the value fits the definition: a known status, and when normal, values of the definition's type
// (for an enumeration, allowed pairs).
bool fits(const SimPropertyDefinition& definition, const SimPropertyValue& value) {
    if (value.status == kVariantStatusUserUndefined) return true;
    if (value.status != kVariantStatusNormal) return false;
    const auto ofType = [&](const SimVariant& variant) { return variant.type == definition.valueType; };
    switch (definition.collection) {
        case kPropertySingle:
            return ofType(value.single);
        case kPropertyList:
            return std::all_of(value.list.begin(), value.list.end(), ofType);
        case kPropertySingleChoice:
            return allowedChoice(definition, value.choice);
        case kPropertyMultipleChoice:
            return std::all_of(value.choices.begin(), value.choices.end(),
                               [&](const SimEnumValue& choice) { return allowedChoice(definition, choice); });
        default:
            return false;
    }
}

}   // namespace

Result checkPropertyDefinition(const SimIFCState& ifc, const SimPropertyDefinition& definition) {
    if (definition.name.empty()) return kErrBadName;
    if (!findGroup(ifc, definition.group)) return kErrBadIndex;
    for (const SimPropertyDefinition& other : *ifc.propertyDefinitions)
        if (other.group == definition.group && other.name == definition.name && other.guid != definition.guid)
            return kErrBadName;
    if (definition.collection < kPropertySingle || definition.collection > kPropertyMultipleChoice ||
        definition.valueType < kVariantInteger || definition.valueType > kVariantGuid ||
        definition.measure < kMeasureUndefined || definition.measure > kMeasureAngle)
        return kErrBadParameters;
    const bool enumeration =
        definition.collection == kPropertySingleChoice || definition.collection == kPropertyMultipleChoice;
    if (enumeration && definition.allowed.empty()) return kErrBadParameters;
    for (const SimEnumValue& allowed : definition.allowed)
        if (allowed.key.type != kVariantGuid || isNullGuid(allowed.key.guid) ||
            allowed.display.type != definition.valueType)
            return kErrBadParameters;
    if (definition.expressions.empty() && !fits(definition, definition.defaultValue))
        return kErrBadParameters;
    return kNoError;
}

SimPropertyValue canonicalValue(const SimPropertyDefinition& definition, SimPropertyValue value) {
    if (value.status != kVariantStatusUserUndefined) return value;
    SimPropertyValue undefined;
    undefined.status = kVariantStatusUserUndefined;
    if (definition.collection == kPropertySingle) undefined.single.type = definition.valueType;
    if (definition.collection == kPropertySingleChoice) {
        undefined.choice.key.type = kVariantGuid;
        undefined.choice.display.type = definition.valueType;
    }
    return undefined;
}

namespace {

bool availableFor(const SimIFCState& ifc, const SimPropertyDefinition& definition,
                  const SimElementData* holder) {
    if (!holder) return false;
    (void)ifc;
    return std::any_of(
        holder->classifications.begin(), holder->classifications.end(), [&](const GuidBytes& item) {
            return std::find(definition.availability.begin(), definition.availability.end(), item) !=
                   definition.availability.end();
        });
}

PropertyRecord propertyRecord(const SimPropertyDefinition& definition, const SimElementData* holder) {
    PropertyRecord record{};
    record.definition = definitionRecord(definition);
    const SimPropertyEntry* own = nullptr;
    if (holder)
        for (const SimPropertyEntry& entry : holder->propertyValues)
            if (entry.definition == definition.guid) own = &entry;
    record.isDefault = own ? 0 : 1;
    record.value = valueRecord(own ? own->value : definition.defaultValue);
    return record;
}

Result listValues(const SimIFCState& ifc, const SimElementData* holder, const std::vector<GuidBytes>& guids,
                  Array<PropertyRecord>& properties) {
    std::vector<const SimPropertyDefinition*> definitions;
    for (const GuidBytes& guid : guids) {
        const SimPropertyDefinition* definition = findDefinition(ifc, guid);
        if (!definition) return kErrBadIndex;
        definitions.push_back(definition);
    }
    properties.clear();
    for (const SimPropertyDefinition* definition : definitions)
        properties.push_back(propertyRecord(*definition, holder));
    return kNoError;
}

// Every record is checked before any is taken: all or none. A holder left empty goes.
template <typename Holders, typename Key>
Result setValues(SimIFCState& ifc, Holders& holders, const Key& key,
                 const Array<PropertyRecord>& properties) {
    for (const PropertyRecord& record : properties) {
        const SimPropertyDefinition* definition = findDefinition(ifc, toGuidBytes(record.definition.guid));
        if (!definition) return kErrBadIndex;
        if (!availableFor(ifc, *definition, holders.find(key))) return kErrBadParameters;
        if (record.isDefault == 0 && !fits(*definition, simValue(record.value, definition->collection)))
            return kErrBadParameters;
    }
    if (properties.empty()) return kNoError;
    SimElementData& holder = holders[key];
    for (const PropertyRecord& record : properties) {
        const GuidBytes guid = toGuidBytes(record.definition.guid);
        std::erase_if(holder.propertyValues, [&](const SimPropertyEntry& e) { return e.definition == guid; });
        const SimPropertyDefinition& definition = *findDefinition(ifc, guid);
        if (record.isDefault == 0)
            holder.propertyValues.push_back(
                {guid, canonicalValue(definition, simValue(record.value, definition.collection))});
    }
    if (holder.empty()) holders.erase(key);
    return kNoError;
}

bool knownElement(SimulatedHost& host, const GuidRecord* element) {
    return element && host.project().findElement(toGuidBytes(*element));
}

const SimElementData* holderOf(const SimIFCState& ifc, const GuidBytes& guid) {
    return ifc.elements.find(guid);
}

const SimElementData* defaultOf(const SimIFCState& ifc, std::int32_t type, std::int32_t variation) {
    return ifc.defaults.find({type, variation});
}

}   // namespace

// --- Groups and definitions ----------------------------------------------------------------------------
Result SimPropertySlots::getPropertyGroups(SimulatedHost& host, Addon&, Array<PropertyGroupRecord>* groups) {
    if (!groups) return kErrBadParameters;
    groups->clear();
    for (const SimPropertyGroup& group : *data(host).propertyGroups) groups->push_back(groupRecord(group));
    return kNoError;
}

Result SimPropertySlots::getPropertyGroup(SimulatedHost& host, Addon&, PropertyGroupRecord* group) {
    if (!group) return kErrBadParameters;
    const SimPropertyGroup* found = findGroup(data(host), toGuidBytes(group->guid));
    if (!found) return kErrBadIndex;
    *group = groupRecord(*found);
    return kNoError;
}

Result SimPropertySlots::getPropertyDefinitions(SimulatedHost& host, Addon&, const GuidRecord* group,
                                                Array<PropertyDefinitionRecord>* definitions) {
    if (!definitions) return kErrBadParameters;
    const GuidBytes wanted = group ? toGuidBytes(*group) : GuidBytes{};
    const SimIFCState& ifc = data(host);
    if (!isNullGuid(wanted) && !findGroup(ifc, wanted)) return kErrBadIndex;
    definitions->clear();
    for (const SimPropertyDefinition& definition : *ifc.propertyDefinitions)
        if (isNullGuid(wanted) || definition.group == wanted)
            definitions->push_back(definitionRecord(definition));
    return kNoError;
}

Result SimPropertySlots::getPropertyDefinition(SimulatedHost& host, Addon&,
                                               PropertyDefinitionRecord* definition) {
    if (!definition) return kErrBadParameters;
    const SimPropertyDefinition* found = findDefinition(data(host), toGuidBytes(definition->guid));
    if (!found) return kErrBadIndex;
    *definition = definitionRecord(*found);
    return kNoError;
}

Result SimPropertySlots::createPropertyGroup(SimulatedHost& host, Addon&, PropertyGroupRecord* group) {
    if (!group) return kErrBadParameters;
    SimIFCState& ifc = data(host);
    const std::string name = text(group->name);
    if (name.empty() || groupNameTaken(ifc, name, {})) return kErrBadName;
    const SimPropertyGroup made{newGuidBytes(), kPropertyUserDefined, name};
    ifc.propertyGroups.edit().push_back(made);
    *group = groupRecord(made);
    return kNoError;
}

Result SimPropertySlots::changePropertyGroup(SimulatedHost& host, Addon&, const PropertyGroupRecord* group) {
    if (!group) return kErrBadParameters;
    SimIFCState& ifc = data(host);
    const GuidBytes guid = toGuidBytes(group->guid);
    const std::string name = text(group->name);
    const SimPropertyGroup* found = findGroup(ifc, guid);
    if (!found) return kErrBadIndex;
    if (found->type != kPropertyUserDefined) return kErrBadParameters;   // the host's own groups stay
    if (name.empty() || groupNameTaken(ifc, name, guid)) return kErrBadName;
    for (SimPropertyGroup& held : ifc.propertyGroups.edit())
        if (held.guid == guid) held.name = name;
    return kNoError;
}

Result SimPropertySlots::createPropertyDefinition(SimulatedHost& host, Addon&,
                                                  PropertyDefinitionRecord* definition) {
    if (!definition) return kErrBadParameters;
    SimIFCState& ifc = data(host);
    SimPropertyDefinition made = simDefinition(*definition);
    made.guid = newGuidBytes();
    made.defaultValue = canonicalValue(made, made.defaultValue);
    if (const Result refused = checkPropertyDefinition(ifc, made)) return refused;
    ifc.propertyDefinitions.edit().push_back(made);
    *definition = definitionRecord(made);
    return kNoError;
}

Result SimPropertySlots::changePropertyDefinition(SimulatedHost& host, Addon&,
                                                  const PropertyDefinitionRecord* definition) {
    if (!definition) return kErrBadParameters;
    SimIFCState& ifc = data(host);
    SimPropertyDefinition changed = simDefinition(*definition);
    changed.defaultValue = canonicalValue(changed, changed.defaultValue);
    const SimPropertyDefinition* found = findDefinition(ifc, changed.guid);
    if (!found) return kErrBadIndex;
    if (found->definitionType != kPropertyUserDefined) return kErrBadParameters;
    if (const Result refused = checkPropertyDefinition(ifc, changed)) return refused;
    for (SimPropertyDefinition& held : ifc.propertyDefinitions.edit())
        if (held.guid == changed.guid) held = changed;
    // Values that no longer fit the changed definition fall back to its default.
    const auto unfit = [&](const SimPropertyEntry& e) {
        return e.definition == changed.guid && !fits(changed, e.value);
    };
    const auto drop = [&](auto& holders) {
        std::vector<std::decay_t<decltype((*holders.begin()).first)>> keys;   // only those changed are copied
        for (const auto& [key, holder] : holders)
            if (std::any_of(holder.propertyValues.begin(), holder.propertyValues.end(), unfit))
                keys.push_back(key);
        for (const auto& key : keys) std::erase_if(holders.edit(key)->propertyValues, unfit);
    };
    drop(ifc.elements);
    drop(ifc.defaults);
    return kNoError;
}

// --- Values --------------------------------------------------------------------------------------------
Result SimPropertySlots::getElementProperties(SimulatedHost& host, Addon&, const GuidRecord* element,
                                              const Array<GuidRecord>* definitions,
                                              Array<PropertyRecord>* properties) {
    if (!definitions || !properties) return kErrBadParameters;
    if (!knownElement(host, element)) return kErrBadIndex;
    std::vector<GuidBytes> guids;
    for (const GuidRecord& guid : *definitions) guids.push_back(toGuidBytes(guid));
    const SimIFCState& ifc = data(host);
    return listValues(ifc, holderOf(ifc, toGuidBytes(*element)), guids, *properties);
}

Result SimPropertySlots::setElementProperties(SimulatedHost& host, Addon&, const GuidRecord* element,
                                              const Array<PropertyRecord>* properties) {
    if (!properties) return kErrBadParameters;
    if (!knownElement(host, element)) return kErrBadIndex;
    SimIFCState& ifc = data(host);
    return setValues(ifc, ifc.elements, toGuidBytes(*element), *properties);
}

Result SimPropertySlots::getDefaultPropertyDefinitions(SimulatedHost& host, Addon&, std::int32_t type,
                                                       std::int32_t variation, std::int32_t filter,
                                                       Array<PropertyDefinitionRecord>* definitions) {
    if (!definitions || filter != 0) return kErrBadParameters;
    const SimIFCState& ifc = data(host);
    const SimElementData* holder = defaultOf(ifc, type, variation);
    definitions->clear();
    for (const SimPropertyDefinition& definition : *ifc.propertyDefinitions)
        if (availableFor(ifc, definition, holder)) definitions->push_back(definitionRecord(definition));
    return kNoError;
}

Result SimPropertySlots::getDefaultProperties(SimulatedHost& host, Addon&, std::int32_t type,
                                              std::int32_t variation,
                                              const Array<PropertyDefinitionRecord>* definitions,
                                              Array<PropertyRecord>* properties) {
    if (!definitions || !properties) return kErrBadParameters;
    std::vector<GuidBytes> guids;
    for (const PropertyDefinitionRecord& definition : *definitions)
        guids.push_back(toGuidBytes(definition.guid));
    const SimIFCState& ifc = data(host);
    return listValues(ifc, defaultOf(ifc, type, variation), guids, *properties);
}

Result SimPropertySlots::setDefaultProperties(SimulatedHost& host, Addon&, std::int32_t type,
                                              std::int32_t variation,
                                              const Array<PropertyRecord>* properties) {
    if (!properties) return kErrBadParameters;
    SimIFCState& ifc = data(host);
    return setValues(ifc, ifc.defaults, std::make_pair(type, variation), *properties);
}

}   // namespace host
