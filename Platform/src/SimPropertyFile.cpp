#include "SimPropertyFile.h"

#include <algorithm>

#include "SimJsonFields.h"
#include "SimProperty.h"

namespace host {
namespace {

using namespace jsonfields;

constexpr const char* kCollections[] = {"single", "list", "singleChoice", "multipleChoice"};
constexpr const char* kValueTypes[] = {"integer", "real", "string", "boolean", "guid"};
constexpr const char* kMeasures[] = {"plain", "length", "area", "volume", "angle"};

const SimPropertyDefinition* definitionOf(const SimIFCState& ifc, const GuidBytes& guid) {
    for (const SimPropertyDefinition& definition : *ifc.propertyDefinitions)
        if (definition.guid == guid) return &definition;
    return nullptr;
}

// --- One value of the definition's type: a number, a text, true or false, or a guid's text ---------------
SimVariant readVariant(const Json& item, std::int32_t type, const std::string& where) {
    SimVariant variant;
    variant.type = type;
    const auto wrong = [&](const char* what) { return FormatError{where + ": must be " + what}; };
    switch (type) {
        case kVariantInteger:
            if (!item.is_number_integer() ||
                item.get<std::int64_t>() < std::numeric_limits<std::int32_t>::min() ||
                item.get<std::int64_t>() > std::numeric_limits<std::int32_t>::max())
                throw wrong("a whole number of 32 bits");
            variant.integer = item.get<std::int32_t>();
            break;
        case kVariantReal:
            if (!item.is_number()) throw wrong("a number");
            variant.real = item.get<double>();
            break;
        case kVariantString:
            if (!item.is_string()) throw wrong("a text");
            variant.text = item.get<std::string>();
            break;
        case kVariantBoolean:
            if (!item.is_boolean()) throw wrong("true or false");
            variant.boolean = item.get<bool>();
            break;
        default:
            if (!item.is_string()) throw wrong("a guid");
            variant.guid = guidOf(item.get<std::string>(), where);
            break;
    }
    return variant;
}

Json writeVariant(const SimVariant& variant) {
    switch (variant.type) {
        case kVariantInteger:
            return variant.integer;
        case kVariantReal:
            return variant.real;
        case kVariantString:
            return variant.text;
        case kVariantBoolean:
            return variant.boolean;
        default:
            return guidText(variant.guid);
    }
}

// A choice is written as its key; the value shown comes from the definition's allowed values.
SimEnumValue readChoice(const Json& item, const SimPropertyDefinition& definition, const std::string& where) {
    if (!item.is_string()) throw FormatError{where + ": must be the key (a guid) of an allowed value"};
    const GuidBytes key = guidOf(item.get<std::string>(), where);
    for (const SimEnumValue& allowed : definition.allowed)
        if (allowed.key.guid == key) return allowed;
    throw FormatError{where + ": " + guidText(key) + " is not the key of an allowed value"};
}

// null: undefined; else the value in the form of the definition's collection type.
SimPropertyValue readValue(const Json& item, const SimPropertyDefinition& definition,
                           const std::string& where) {
    SimPropertyValue value;
    value.status = kVariantStatusUserUndefined;
    if (item.is_null()) return canonicalValue(definition, value);
    value.status = kVariantStatusNormal;
    const bool many =
        definition.collection == kPropertyList || definition.collection == kPropertyMultipleChoice;
    if (many && !item.is_array()) throw FormatError{where + ": must be a list"};
    for (std::size_t i = 0; many && i < item.size(); ++i) {
        const std::string here = where + "[" + std::to_string(i) + "]";
        if (definition.collection == kPropertyList)
            value.list.push_back(readVariant(item[i], definition.valueType, here));
        else
            value.choices.push_back(readChoice(item[i], definition, here));
    }
    if (definition.collection == kPropertySingle)
        value.single = readVariant(item, definition.valueType, where);
    if (definition.collection == kPropertySingleChoice) value.choice = readChoice(item, definition, where);
    return value;
}

Json writeValue(const SimPropertyValue& value, const SimPropertyDefinition& definition) {
    if (value.status != kVariantStatusNormal) return nullptr;
    Json out = Json::array();
    switch (definition.collection) {
        case kPropertySingle:
            return writeVariant(value.single);
        case kPropertyList:
            for (const SimVariant& variant : value.list) out.push_back(writeVariant(variant));
            return out;
        case kPropertySingleChoice:
            return guidText(value.choice.key.guid);
        default:
            for (const SimEnumValue& choice : value.choices) out.push_back(guidText(choice.key.guid));
            return out;
    }
}

const char* refusal(Result result) {
    switch (result) {
        case kErrBadName:
            return "an empty name, or the name of another definition of its group";
        case kErrBadIndex:
            return "no property group with the guid of \"group\"";
        default:
            return "contradictory: an enumeration without allowed values, or values not of its type";
    }
}

SimPropertyDefinition readDefinition(const Json& entry, const std::string& where, const SimIFCState& ifc) {
    onlyKeys(entry,
             {"guid", "group", "name", "description", "collection", "valueType", "measure", "builtIn",
              "editable", "default", "expressions", "allowed", "availability"},
             where);
    SimPropertyDefinition definition;
    definition.guid = needGuid(entry, "guid", where);
    definition.group = needGuid(entry, "group", where);
    definition.name = needText(entry, "name", where);
    definition.description = text(entry, "description", where);
    definition.collection =
        codeOf(entry, "collection", where, kCollections, kPropertySingle, kPropertySingle);
    definition.valueType = codeOf(entry, "valueType", where, kValueTypes, kVariantInteger, kVariantString);
    definition.measure = codeOf(entry, "measure", where, kMeasures, kMeasureDefault, kMeasureDefault);
    definition.definitionType =
        value<bool>(entry, "builtIn", where, false) ? kPropertyBuiltIn : kPropertyUserDefined;
    definition.editable = value<bool>(entry, "editable", where, true);
    const Json& allowed = list(entry, "allowed", where);
    for (std::size_t i = 0; i < allowed.size(); ++i) {
        const std::string here = at(where, "allowed", i);
        onlyKeys(allowed[i], {"key", "value"}, here);
        SimEnumValue choice;
        choice.key.type = kVariantGuid;
        choice.key.guid = needGuid(allowed[i], "key", here);
        if (!allowed[i].contains("value")) throw FormatError{here + ": needs \"value\""};
        choice.display = readVariant(allowed[i]["value"], definition.valueType, here + ".value");
        for (const SimEnumValue& other : definition.allowed)
            if (other.key == choice.key) throw FormatError{here + ": a second allowed value with this key"};
        definition.allowed.push_back(choice);
    }
    const Json& expressions = list(entry, "expressions", where);
    for (std::size_t i = 0; i < expressions.size(); ++i) {
        if (!expressions[i].is_string()) throw FormatError{at(where, "expressions", i) + ": must be a text"};
        definition.expressions.push_back(expressions[i].get<std::string>());
    }
    definition.defaultValue =
        readValue(entry.contains("default") ? entry["default"] : Json(), definition, where + ".default");
    const Json& availability = list(entry, "availability", where);
    for (std::size_t i = 0; i < availability.size(); ++i) {
        const std::string here = at(where, "availability", i);
        if (!availability[i].is_string()) throw FormatError{here + ": must be an item's guid"};
        const GuidBytes item = guidOf(availability[i].get<std::string>(), here);
        if (ifc.classificationItems.count(item) == 0)
            throw FormatError{here + ": no classification item " + guidText(item)};
        definition.availability.push_back(item);
    }
    if (definitionOf(ifc, definition.guid)) throw FormatError{where + ": a second definition with this guid"};
    if (const Result refused = checkPropertyDefinition(ifc, definition))
        throw FormatError{where + ": " + refusal(refused)};
    return definition;
}

}   // namespace

void readPropertyDefinitions(const Json& section, const std::string& where, SimIFCState& ifc) {
    const Json& groups = list(section, "propertyGroups", where);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::string here = at(where, "propertyGroups", i);
        onlyKeys(groups[i], {"guid", "name", "builtIn"}, here);
        SimPropertyGroup group;
        group.guid = needGuid(groups[i], "guid", here);
        group.name = needText(groups[i], "name", here);
        group.type = value<bool>(groups[i], "builtIn", here, false) ? kPropertyBuiltIn : kPropertyUserDefined;
        for (const SimPropertyGroup& other : *ifc.propertyGroups)
            if (other.guid == group.guid || other.name == group.name)
                throw FormatError{here + ": a second group with this guid or name"};
        ifc.propertyGroups.edit().push_back(std::move(group));
    }
    const Json& definitions = list(section, "propertyDefinitions", where);
    for (std::size_t i = 0; i < definitions.size(); ++i)
        ifc.propertyDefinitions.edit().push_back(
            readDefinition(definitions[i], at(where, "propertyDefinitions", i), ifc));
}

void writePropertyDefinitions(const SimIFCState& ifc, Json& section) {
    Json groups = Json::array();
    for (const SimPropertyGroup& group : *ifc.propertyGroups) {
        Json entry{{"guid", guidText(group.guid)}, {"name", group.name}};
        if (group.type != kPropertyUserDefined) entry["builtIn"] = true;
        groups.push_back(std::move(entry));
    }
    Json definitions = Json::array();
    for (const SimPropertyDefinition& definition : *ifc.propertyDefinitions) {
        Json entry{{"guid", guidText(definition.guid)},
                   {"group", guidText(definition.group)},
                   {"name", definition.name}};
        if (!definition.description.empty()) entry["description"] = definition.description;
        entry["collection"] = nameOf(definition.collection, kCollections, kPropertySingle);
        entry["valueType"] = nameOf(definition.valueType, kValueTypes, kVariantInteger);
        if (definition.measure != kMeasureDefault)
            entry["measure"] = nameOf(definition.measure, kMeasures, kMeasureDefault);
        if (definition.definitionType != kPropertyUserDefined) entry["builtIn"] = true;
        if (!definition.editable) entry["editable"] = false;
        if (!definition.allowed.empty()) {
            Json allowed = Json::array();
            for (const SimEnumValue& choice : definition.allowed)
                allowed.push_back(
                    {{"key", guidText(choice.key.guid)}, {"value", writeVariant(choice.display)}});
            entry["allowed"] = std::move(allowed);
        }
        if (!definition.expressions.empty()) entry["expressions"] = definition.expressions;
        const Json defaultValue = writeValue(definition.defaultValue, definition);
        if (!defaultValue.is_null()) entry["default"] = defaultValue;
        if (!definition.availability.empty()) {
            Json items = Json::array();
            for (const GuidBytes& item : definition.availability) items.push_back(guidText(item));
            entry["availability"] = std::move(items);
        }
        definitions.push_back(std::move(entry));
    }
    if (!groups.empty()) section["propertyGroups"] = std::move(groups);
    if (!definitions.empty()) section["propertyDefinitions"] = std::move(definitions);
}

std::vector<SimPropertyEntry> readPropertyValues(const Json& entry, const std::string& where,
                                                 const SimIFCState& ifc) {
    std::vector<SimPropertyEntry> values;
    const Json& items = list(entry, "propertyValues", where);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string here = at(where, "propertyValues", i);
        onlyKeys(items[i], {"definition", "value"}, here);
        const GuidBytes guid = needGuid(items[i], "definition", here);
        const SimPropertyDefinition* definition = definitionOf(ifc, guid);
        if (!definition) throw FormatError{here + ": no property definition " + guidText(guid)};
        if (std::any_of(values.begin(), values.end(),
                        [&](const SimPropertyEntry& e) { return e.definition == guid; }))
            throw FormatError{here + ": a second value of this definition"};
        values.push_back({guid, readValue(items[i].contains("value") ? items[i]["value"] : Json(),
                                          *definition, here + ".value")});
    }
    return values;
}

Json writePropertyValues(const SimIFCState& ifc, const std::vector<SimPropertyEntry>& values) {
    Json out = Json::array();
    for (const SimPropertyEntry& value : values) {
        const SimPropertyDefinition* definition = definitionOf(ifc, value.definition);
        if (!definition) continue;   // its definition is gone
        Json entry{{"definition", guidText(value.definition)}};
        const Json written = writeValue(value.value, *definition);
        if (!written.is_null()) entry["value"] = written;
        out.push_back(std::move(entry));
    }
    return out;
}

}   // namespace host
