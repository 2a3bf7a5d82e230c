// The simulated project's IFC data, properties and classifications: the project's property groups and
// definitions and its classification systems with their items, and per placed element (or tool default)
// its IFC attributes, properties and classification references, its classification items and its own
// property values. Part of ProjectState, so an undo step covers it; its part of the project file is read
// and written by SimIFCFile.cpp (format in Platform/README.md).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "SimFlatMap.h"
#include "SimShared.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"   // the state compares exactly, as ProjectState does

namespace host {

using SimGuid = std::array<unsigned char, 16>;   // as GuidBytes in SimProject.h

// --- IFC data (texts as UTF-8) -------------------------------------------------------------------------
struct SimIFCValue {
    std::int32_t primitive = 0;   // IFCPrimitiveType
    double real = 0;
    std::int64_t integer = 0;
    bool boolean = false;
    std::string text;
    std::string type;   // "IfcLabel", ...
    bool operator==(const SimIFCValue&) const = default;
};

struct SimIFCProperty {
    std::string set;
    std::string name;
    std::string description;
    std::int32_t kind = 0;   // IFCPropertyKind
    std::uint8_t flag = 0;
    SimIFCValue single;
    SimIFCValue lower;
    SimIFCValue upper;
    std::vector<SimIFCValue> list;
    std::vector<SimIFCValue> enumeration;
    std::vector<SimIFCValue> chosen;   // the enumeration's reference values
    std::vector<SimIFCValue> defining;
    std::vector<SimIFCValue> defined;
    std::int32_t referenceKind = 0;
    std::uint16_t day = 0;
    std::uint16_t month = 0;
    std::uint16_t year = 0;
    bool operator==(const SimIFCProperty&) const = default;
};

struct SimIFCAttribute {
    std::string name;
    std::string type;
    std::string value;
    bool hasValue = false;
    std::uint8_t flag = 0;
    bool operator==(const SimIFCAttribute&) const = default;
};

struct SimIFCReference {
    std::string name;
    std::string location;
    std::string identification;
    std::string referencedName;
    std::array<std::uint8_t, 3> flags{};   // of location, identification, referenced name
    std::string source;
    std::string edition;
    std::string classificationName;
    bool operator==(const SimIFCReference&) const = default;
};

// --- Properties -----------------------------------------------------------------------------------------
struct SimVariant {
    std::int32_t type = 0;   // VariantType
    std::int32_t integer = 0;
    double real = 0;
    bool boolean = false;
    std::string text;
    SimGuid guid{};
    bool operator==(const SimVariant&) const = default;
};

struct SimEnumValue {
    SimVariant key;       // a guid
    SimVariant display;   // the value shown
    bool operator==(const SimEnumValue&) const = default;
};

// A value in the form its definition's collection type gives: single, list, one choice or choices.
struct SimPropertyValue {
    std::int32_t status = 2;   // VariantStatus
    SimVariant single;
    std::vector<SimVariant> list;
    SimEnumValue choice;
    std::vector<SimEnumValue> choices;
    bool operator==(const SimPropertyValue&) const = default;
};

struct SimPropertyGroup {
    SimGuid guid{};
    std::int32_t type = 2;   // PropertyDefinitionType
    std::string name;
    bool operator==(const SimPropertyGroup&) const = default;
};

struct SimPropertyDefinition {
    SimGuid guid{};
    SimGuid group{};
    std::string name;
    std::string description;
    std::int32_t collection = 1;   // PropertyCollectionType
    std::int32_t valueType = 3;    // VariantType
    std::int32_t measure = 1;      // PropertyMeasureType
    std::int32_t definitionType = 2;
    bool editable = true;
    SimPropertyValue defaultValue;
    std::vector<std::string> expressions;   // a default given as expressions
    std::vector<SimEnumValue> allowed;      // enumerations: the values to choose from
    std::vector<SimGuid> availability;      // classification items the property is available for
    bool operator==(const SimPropertyDefinition&) const = default;
};

// An element's own value of a property; without one the element shows the definition's default.
struct SimPropertyEntry {
    SimGuid definition{};
    SimPropertyValue value;
    bool operator==(const SimPropertyEntry&) const = default;
};

// --- Classification -------------------------------------------------------------------------------------
struct SimClassificationSystem {
    SimGuid guid{};
    std::string name;
    std::string description;
    std::string source;
    std::string edition;
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::vector<SimGuid> topItems;   // in the host's order
    bool operator==(const SimClassificationSystem&) const = default;
};

struct SimClassificationItem {   // kept by its guid
    SimGuid system{};
    SimGuid parent{};   // null at the top of its system
    std::string id;
    std::string name;
    std::string description;
    std::int32_t state = 3;          // kClassificationFor... flags
    std::vector<SimGuid> children;   // in the host's order
    bool operator==(const SimClassificationItem&) const = default;
};

// What one placed element or one tool default carries (tool defaults have no IFC data).
struct SimElementData {
    std::vector<SimIFCAttribute> attributes;
    std::vector<SimIFCProperty> properties;
    std::vector<SimIFCReference> references;
    std::vector<SimGuid> classifications;           // item guids, at most one per system
    std::vector<SimPropertyEntry> propertyValues;   // the element's own values
    bool empty() const {
        return attributes.empty() && properties.empty() && references.empty() && classifications.empty() &&
               propertyValues.empty();
    }
    bool operator==(const SimElementData&) const = default;
};

// A copy shares every part with the state it came from until one of the two changes it (SimShared.h):
// an undo step keeps only the lists, items and elements' data its command changed.
struct SimIFCState {
    SimShared<std::vector<SimPropertyGroup>> propertyGroups;
    SimShared<std::vector<SimPropertyDefinition>> propertyDefinitions;
    SimShared<std::vector<SimClassificationSystem>> classificationSystems;
    // By guid; the trees are in the lists. Hashed in flat blocks: a system of 100 000 items is walked by
    // lookups alone.
    SimSharedMap<SimGuid, SimClassificationItem,
                 SimFlatMap<SimGuid, std::shared_ptr<SimClassificationItem>, SimGuidHash>>
        classificationItems;
    // By element guid, hashed: every element read asks for its own.
    SimSharedMap<SimGuid, SimElementData, SimFlatMap<SimGuid, std::shared_ptr<SimElementData>, SimGuidHash>>
        elements;
    SimSharedMap<std::pair<std::int32_t, std::int32_t>, SimElementData> defaults;   // by (type, variation)
    bool operator==(const SimIFCState&) const = default;
};

}   // namespace host

#pragma GCC diagnostic pop
