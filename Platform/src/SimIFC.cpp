#include "SimIFC.h"

#include <algorithm>

#include "HostText.h"

namespace host {
namespace {

std::string text(const UniString& value) { return utf16ToUtf8(value.view()); }
UniString uni(const std::string& value) { return UniString(utf8ToUtf16(value)); }

std::vector<SimIFCValue> simValues(const Array<IFCPropertyValueRecord>& records) {
    std::vector<SimIFCValue> values;
    for (const IFCPropertyValueRecord& record : records) values.push_back(simIFCValue(record));
    return values;
}

void putValues(const std::vector<SimIFCValue>& values, Array<IFCPropertyValueRecord>& records) {
    records.clear();
    for (const SimIFCValue& value : values) records.push_back(ifcValueRecord(value));
}

IFCAttributeRecord attributeRecord(const SimIFCAttribute& attribute) {
    IFCAttributeRecord record{};
    record.name = uni(attribute.name);
    record.valueType = uni(attribute.type);
    record.value = uni(attribute.value);
    record.hasValue = attribute.hasValue ? 1 : 0;
    record.flag = attribute.flag;
    return record;
}

IFCClassificationReferenceRecord referenceRecord(const SimIFCReference& reference) {
    IFCClassificationReferenceRecord record{};
    record.name = uni(reference.name);
    record.location = uni(reference.location);
    record.locationFlag = reference.flags[0];
    record.identification = uni(reference.identification);
    record.identificationFlag = reference.flags[1];
    record.referencedName = uni(reference.referencedName);
    record.referencedNameFlag = reference.flags[2];
    record.source = uni(reference.source);
    record.edition = uni(reference.edition);
    record.classificationName = uni(reference.classificationName);
    return record;
}

// The element's data, made when missing; null (kErrBadIndex) for an element the project lacks.
SimElementData* elementData(SimulatedHost& host, const GuidRecord* element) {
    if (!element) return nullptr;
    const GuidBytes guid = toGuidBytes(*element);
    if (!host.project().findElement(guid)) return nullptr;
    return &host.project().state.ifc.elements[guid];
}

const SimElementData* storedData(SimulatedHost& host, const GuidRecord* element, bool& known) {
    known = element && host.project().findElement(toGuidBytes(*element));
    return known ? host.project().state.ifc.elements.find(toGuidBytes(*element)) : nullptr;
}

}   // namespace

// --- Conversions -------------------------------------------------------------------------------------------
SimIFCValue simIFCValue(const IFCPropertyValueRecord& record) {
    return SimIFCValue{record.primitiveType,  record.realValue,         record.intValue,
                       record.boolValue != 0, text(record.stringValue), text(record.valueType)};
}

IFCPropertyValueRecord ifcValueRecord(const SimIFCValue& value) {
    IFCPropertyValueRecord record{};
    record.primitiveType = value.primitive;
    record.realValue = value.real;
    record.intValue = value.integer;
    record.boolValue = value.boolean ? 1 : 0;
    record.stringValue = uni(value.text);
    record.valueType = uni(value.type);
    return record;
}

SimIFCProperty simIFCProperty(const IFCPropertyRecord& record) {
    SimIFCProperty property;
    property.set = text(record.propertySetName);
    property.name = text(record.propertyName);
    property.description = text(record.description);
    property.kind = record.kind;
    property.flag = record.flag;
    property.single = simIFCValue(record.singleValue);
    property.lower = simIFCValue(record.lowerBound);
    property.upper = simIFCValue(record.upperBound);
    property.list = simValues(record.listValues);
    property.enumeration = simValues(record.enumerationValues);
    property.chosen = simValues(record.enumerationReferenceValues);
    property.defining = simValues(record.tableDefiningValues);
    property.defined = simValues(record.tableDefinedValues);
    property.referenceKind = record.referenceKind;
    property.day = record.day;
    property.month = record.month;
    property.year = record.year;
    return property;
}

IFCPropertyRecord ifcPropertyRecord(const SimIFCProperty& property) {
    IFCPropertyRecord record{};
    record.propertySetName = uni(property.set);
    record.propertyName = uni(property.name);
    record.description = uni(property.description);
    record.kind = property.kind;
    record.flag = property.flag;
    record.singleValue = ifcValueRecord(property.single);
    record.lowerBound = ifcValueRecord(property.lower);
    record.upperBound = ifcValueRecord(property.upper);
    putValues(property.list, record.listValues);
    putValues(property.enumeration, record.enumerationValues);
    putValues(property.chosen, record.enumerationReferenceValues);
    putValues(property.defining, record.tableDefiningValues);
    putValues(property.defined, record.tableDefinedValues);
    record.referenceKind = property.referenceKind;
    record.day = property.day;
    record.month = property.month;
    record.year = property.year;
    return record;
}

// --- Reading
// -------------------------------------------------------------------------------------------------
Result SimIFCSlots::getElementIFCProperties(SimulatedHost& host, Addon&, const GuidRecord* element,
                                            std::uint8_t, Array<IFCPropertyRecord>* properties) {
    if (!properties) return kErrBadParameters;
    bool known = false;
    const SimElementData* data = storedData(host, element, known);
    if (!known) return kErrBadIndex;
    properties->clear();
    if (data)
        for (const SimIFCProperty& property : data->properties)
            properties->push_back(ifcPropertyRecord(property));
    return kNoError;
}

Result SimIFCSlots::getElementIFCAttributes(SimulatedHost& host, Addon&, const GuidRecord* element,
                                            std::uint8_t storedOnly, Array<IFCAttributeRecord>* attributes) {
    if (!attributes) return kErrBadParameters;
    bool known = false;
    const SimElementData* data = storedData(host, element, known);
    if (!known) return kErrBadIndex;
    attributes->clear();
    bool hasGlobalId = false;
    if (data)
        for (const SimIFCAttribute& attribute : data->attributes) {
            attributes->push_back(attributeRecord(attribute));
            hasGlobalId = hasGlobalId || attribute.name == "GlobalId";
        }
    if (storedOnly == 0 && !hasGlobalId)   // what an export would give: the element's own guid
        attributes->push_back(attributeRecord(
            SimIFCAttribute{"GlobalId", "IfcGloballyUniqueId", guidToText(*element), true, 0}));
    return kNoError;
}

Result SimIFCSlots::getElementIFCReferences(SimulatedHost& host, Addon&, const GuidRecord* element,
                                            std::uint8_t,
                                            Array<IFCClassificationReferenceRecord>* references) {
    if (!references) return kErrBadParameters;
    bool known = false;
    const SimElementData* data = storedData(host, element, known);
    if (!known) return kErrBadIndex;
    references->clear();
    if (data)
        for (const SimIFCReference& reference : data->references)
            references->push_back(referenceRecord(reference));
    return kNoError;
}

// --- Writing
// -------------------------------------------------------------------------------------------------
Result SimIFCSlots::setElementIFCProperty(SimulatedHost& host, Addon&, const GuidRecord* element,
                                          const IFCPropertyRecord* property) {
    if (!property || property->kind < kIFCSingleValue || property->kind > kIFCReferenceValue)
        return kErrBadParameters;
    SimIFCProperty stored = simIFCProperty(*property);
    if (stored.name.empty() || stored.set.empty()) return kErrBadName;
    SimElementData* data = elementData(host, element);
    if (!data) return kErrBadIndex;
    const auto same =
        std::find_if(data->properties.begin(), data->properties.end(),
                     [&](const SimIFCProperty& p) { return p.set == stored.set && p.name == stored.name; });
    if (same != data->properties.end())
        *same = std::move(stored);
    else
        data->properties.push_back(std::move(stored));
    return kNoError;
}

Result SimIFCSlots::setElementIFCAttribute(SimulatedHost& host, Addon&, const GuidRecord* element,
                                           const IFCAttributeRecord* attribute) {
    if (!attribute) return kErrBadParameters;
    SimIFCAttribute stored{text(attribute->name), text(attribute->valueType), text(attribute->value),
                           attribute->hasValue != 0, attribute->flag};
    if (stored.name.empty()) return kErrBadName;
    SimElementData* data = elementData(host, element);
    if (!data) return kErrBadIndex;
    const auto same = std::find_if(data->attributes.begin(), data->attributes.end(),
                                   [&](const SimIFCAttribute& a) { return a.name == stored.name; });
    if (same != data->attributes.end())
        *same = std::move(stored);
    else
        data->attributes.push_back(std::move(stored));
    return kNoError;
}

Result SimIFCSlots::removeElementIFCProperty(SimulatedHost& host, Addon&, const GuidRecord* element,
                                             const IFCPropertyRecord* property) {
    if (!property) return kErrBadParameters;
    bool known = false;
    const SimElementData* stored = storedData(host, element, known);
    if (!known) return kErrBadIndex;
    if (!stored) return kErrBadName;
    const std::string set = text(property->propertySetName);
    const std::string name = text(property->propertyName);
    const auto same = [&](const SimIFCProperty& p) { return p.set == set && p.name == name; };
    if (std::none_of(stored->properties.begin(), stored->properties.end(), same)) return kErrBadName;
    SimElementData* data = host.project().state.ifc.elements.edit(toGuidBytes(*element));
    data->properties.erase(std::find_if(data->properties.begin(), data->properties.end(), same));
    return kNoError;
}

}   // namespace host
