#include "SimIFCFile.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <set>
#include <utility>

#include "HostIFCRecords.h"
#include "SimJsonFields.h"
#include "SimPropertyFile.h"

namespace host {
namespace {

using Json = nlohmann::ordered_json;
using namespace jsonfields;

// --- IFC data ------------------------------------------------------------------------------------------
constexpr const char* kIFCKinds[] = {"single", "list", "bounded", "enumerated", "table", "reference"};

SimIFCValue readIFCValue(const Json& entry, const std::string& where) {
    onlyKeys(entry, {"type", "text", "integer", "real", "boolean", "primitive"}, where);
    SimIFCValue result;
    result.type = text(entry, "type", where);
    result.text = text(entry, "text", where);
    result.integer = value<std::int64_t>(entry, "integer", where, 0);
    result.real = value<double>(entry, "real", where, 0);
    result.boolean = value<bool>(entry, "boolean", where, false);
    result.primitive = value<std::int32_t>(entry, "primitive", where, 0);
    return result;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"   // only what is not the default value is written
Json writeIFCValue(const SimIFCValue& v) {
    Json entry = Json::object();
    if (!v.type.empty()) entry["type"] = v.type;
    if (!v.text.empty()) entry["text"] = v.text;
    if (v.integer != 0) entry["integer"] = v.integer;
    if (v.real != 0) entry["real"] = v.real;
    if (v.boolean) entry["boolean"] = true;
    if (v.primitive != 0) entry["primitive"] = v.primitive;
    return entry;
}
#pragma GCC diagnostic pop

std::vector<SimIFCValue> readIFCValues(const Json& entry, const char* key, const std::string& where) {
    std::vector<SimIFCValue> values;
    const Json& items = list(entry, key, where);
    for (std::size_t i = 0; i < items.size(); ++i)
        values.push_back(readIFCValue(items[i], at(where, key, i)));
    return values;
}

void writeIFCValues(Json& entry, const char* key, const std::vector<SimIFCValue>& values) {
    if (values.empty()) return;
    Json items = Json::array();
    for (const SimIFCValue& v : values) items.push_back(writeIFCValue(v));
    entry[key] = std::move(items);
}

// A property of a set the entry names, or (`set` given) one listed under its set.
SimIFCProperty readIFCProperty(const Json& entry, const std::string& where,
                               const std::string* set = nullptr) {
    onlyKeys(entry,
             {"set", "name", "description", "kind", "flag", "value", "lower", "upper", "values",
              "enumeration", "chosen", "defining", "defined", "referenceKind", "date"},
             where);
    SimIFCProperty p;
    if (set && entry.contains("set")) throw FormatError{where + ": takes the set it is listed under"};
    p.set = set ? *set : needText(entry, "set", where);
    p.name = needText(entry, "name", where);
    p.description = text(entry, "description", where);
    p.kind = codeOf(entry, "kind", where, kIFCKinds, 0, kIFCSingleValue);
    p.flag = value<std::uint8_t>(entry, "flag", where, 0);
    if (entry.contains("value")) p.single = readIFCValue(entry["value"], where + ".value");
    if (entry.contains("lower")) p.lower = readIFCValue(entry["lower"], where + ".lower");
    if (entry.contains("upper")) p.upper = readIFCValue(entry["upper"], where + ".upper");
    p.list = readIFCValues(entry, "values", where);
    p.enumeration = readIFCValues(entry, "enumeration", where);
    p.chosen = readIFCValues(entry, "chosen", where);
    p.defining = readIFCValues(entry, "defining", where);
    p.defined = readIFCValues(entry, "defined", where);
    p.referenceKind = value<std::int32_t>(entry, "referenceKind", where, 0);
    if (entry.contains("date")) {
        const std::string date = text(entry, "date", where);
        unsigned year = 0, month = 0, day = 0;
        char end = 0;
        if (std::sscanf(date.c_str(), "%4u-%2u-%2u%c", &year, &month, &day, &end) != 3)
            throw FormatError{where + ": \"date\" must be written YYYY-MM-DD"};
        p.year = static_cast<std::uint16_t>(year);
        p.month = static_cast<std::uint16_t>(month);
        p.day = static_cast<std::uint16_t>(day);
    }
    return p;
}

Json writeIFCProperty(const SimIFCProperty& p) {
    Json entry{{"set", p.set}, {"name", p.name}};
    if (!p.description.empty()) entry["description"] = p.description;
    if (p.kind != kIFCSingleValue) entry["kind"] = nameOf(p.kind, kIFCKinds, 0);
    if (p.flag != 0) entry["flag"] = p.flag;
    if (!(p.single == SimIFCValue{})) entry["value"] = writeIFCValue(p.single);
    if (!(p.lower == SimIFCValue{})) entry["lower"] = writeIFCValue(p.lower);
    if (!(p.upper == SimIFCValue{})) entry["upper"] = writeIFCValue(p.upper);
    writeIFCValues(entry, "values", p.list);
    writeIFCValues(entry, "enumeration", p.enumeration);
    writeIFCValues(entry, "chosen", p.chosen);
    writeIFCValues(entry, "defining", p.defining);
    writeIFCValues(entry, "defined", p.defined);
    if (p.referenceKind != 0) entry["referenceKind"] = p.referenceKind;
    if (p.year != 0 || p.month != 0 || p.day != 0) {
        char date[16];
        std::snprintf(date, sizeof date, "%04u-%02u-%02u", unsigned(p.year) % 10000, unsigned(p.month) % 100,
                      unsigned(p.day) % 100);
        entry["date"] = date;
    }
    return entry;
}

SimIFCAttribute readIFCAttribute(const Json& entry, const std::string& where) {
    onlyKeys(entry, {"name", "type", "value", "hasValue", "flag"}, where);
    SimIFCAttribute a;
    a.name = needText(entry, "name", where);
    a.type = text(entry, "type", where);
    a.value = text(entry, "value", where);
    a.hasValue = value<bool>(entry, "hasValue", where, !a.value.empty());
    a.flag = value<std::uint8_t>(entry, "flag", where, 0);
    return a;
}

Json writeIFCAttribute(const SimIFCAttribute& a) {
    Json entry{{"name", a.name}, {"type", a.type}, {"value", a.value}};
    if (a.hasValue != !a.value.empty()) entry["hasValue"] = a.hasValue;
    if (a.flag != 0) entry["flag"] = a.flag;
    return entry;
}

SimIFCReference readIFCReference(const Json& entry, const std::string& where) {
    onlyKeys(entry,
             {"name", "location", "identification", "referencedName", "flags", "source", "edition",
              "classification"},
             where);
    SimIFCReference r;
    r.name = text(entry, "name", where);
    r.location = text(entry, "location", where);
    r.identification = text(entry, "identification", where);
    r.referencedName = text(entry, "referencedName", where);
    const Json& flags = list(entry, "flags", where);
    if (flags.size() > 3) throw FormatError{where + ": \"flags\" holds at most three"};
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if (!flags[i].is_number_unsigned() || flags[i].get<std::uint64_t>() > 255)
            throw FormatError{where + ": \"flags\" must hold bytes"};
        r.flags[i] = flags[i].get<std::uint8_t>();
    }
    r.source = text(entry, "source", where);
    r.edition = text(entry, "edition", where);
    r.classificationName = text(entry, "classification", where);
    return r;
}

Json writeIFCReference(const SimIFCReference& r) {
    Json entry{{"name", r.name}};
    const auto put = [&](const char* key, const std::string& v) {
        if (!v.empty()) entry[key] = v;
    };
    put("location", r.location);
    put("identification", r.identification);
    put("referencedName", r.referencedName);
    if (r.flags != std::array<std::uint8_t, 3>{}) entry["flags"] = r.flags;
    put("source", r.source);
    put("edition", r.edition);
    put("classification", r.classificationName);
    return entry;
}

// --- Classification systems: each with its items nested as the host nests them -----------------------------
void readItems(const Json& entry, const std::string& where, const GuidBytes& system, const GuidBytes& parent,
               SimIFCState& ifc, std::vector<GuidBytes>& siblings) {
    const Json& items = list(entry, "items", where);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string here = at(where, "items", i);
        onlyKeys(items[i], {"guid", "id", "name", "description", "state", "items"}, here);
        const GuidBytes guid = needGuid(items[i], "guid", here);
        SimClassificationItem item;
        item.system = system;
        item.parent = parent;
        item.id = needText(items[i], "id", here);
        item.name = text(items[i], "name", here);
        item.description = text(items[i], "description", here);
        item.state = value<std::int32_t>(items[i], "state", here, 3);
        if (!ifc.classificationItems.emplace(guid, item))
            throw FormatError{here + ": a second item with the guid " + guidText(guid)};
        siblings.push_back(guid);
        std::vector<GuidBytes> children;
        readItems(items[i], here, system, guid, ifc, children);
        ifc.classificationItems.edit(guid)->children = std::move(children);
    }
}

void readSystems(const Json& section, const std::string& where, SimIFCState& ifc) {
    const Json& systems = list(section, "classificationSystems", where);
    for (std::size_t i = 0; i < systems.size(); ++i) {
        const std::string here = at(where, "classificationSystems", i);
        onlyKeys(systems[i], {"guid", "name", "description", "source", "edition", "date", "items"}, here);
        SimClassificationSystem system;
        system.guid = needGuid(systems[i], "guid", here);
        system.name = needText(systems[i], "name", here);
        system.description = text(systems[i], "description", here);
        system.source = text(systems[i], "source", here);
        system.edition = text(systems[i], "edition", here);
        if (systems[i].contains("date")) {
            unsigned year = 0, month = 0, day = 0;
            char end = 0;
            if (std::sscanf(text(systems[i], "date", here).c_str(), "%4u-%2u-%2u%c", &year, &month, &day,
                            &end) != 3)
                throw FormatError{here + ": \"date\" must be written YYYY-MM-DD"};
            system.year = static_cast<std::uint16_t>(year);
            system.month = static_cast<std::uint16_t>(month);
            system.day = static_cast<std::uint16_t>(day);
        }
        for (const SimClassificationSystem& other : *ifc.classificationSystems)
            if (other.guid == system.guid || other.name == system.name)
                throw FormatError{here + ": a second system with this guid or name"};
        if (ifc.classificationItems.count(system.guid) != 0)
            throw FormatError{here + ": the guid of an item"};
        readItems(systems[i], here, system.guid, {}, ifc, system.topItems);
        ifc.classificationSystems.edit().push_back(std::move(system));
    }
}

Json writeItems(const SimIFCState& ifc, const std::vector<GuidBytes>& guids) {
    Json items = Json::array();
    for (const GuidBytes& guid : guids) {
        const SimClassificationItem& item = *ifc.classificationItems.find(guid);
        Json entry{{"guid", guidText(guid)}, {"id", item.id}, {"name", item.name}};
        if (!item.description.empty()) entry["description"] = item.description;
        if (item.state != 3) entry["state"] = item.state;
        if (!item.children.empty()) entry["items"] = writeItems(ifc, item.children);
        items.push_back(std::move(entry));
    }
    return items;
}

Json writeSystems(const SimIFCState& ifc) {
    Json systems = Json::array();
    for (const SimClassificationSystem& system : *ifc.classificationSystems) {
        Json entry{{"guid", guidText(system.guid)}, {"name", system.name}};
        if (!system.description.empty()) entry["description"] = system.description;
        if (!system.source.empty()) entry["source"] = system.source;
        if (!system.edition.empty()) entry["edition"] = system.edition;
        if (system.year != 0 || system.month != 0 || system.day != 0) {
            char date[16];
            std::snprintf(date, sizeof date, "%04u-%02u-%02u", unsigned(system.year) % 10000,
                          unsigned(system.month) % 100, unsigned(system.day) % 100);
            entry["date"] = date;
        }
        if (!system.topItems.empty()) entry["items"] = writeItems(ifc, system.topItems);
        systems.push_back(std::move(entry));
    }
    return systems;
}

// An element's or default's items: known, and at most one per system.
std::vector<GuidBytes> readClassifications(const Json& entry, const std::string& where,
                                           const SimIFCState& ifc) {
    std::vector<GuidBytes> items;
    std::set<GuidBytes> systems;
    const Json& guids = list(entry, "classifications", where);
    for (std::size_t i = 0; i < guids.size(); ++i) {
        const std::string here = at(where, "classifications", i);
        if (!guids[i].is_string()) throw FormatError{here + ": must be an item's guid"};
        const GuidBytes guid = guidOf(guids[i].get<std::string>(), here);
        const SimClassificationItem* item = ifc.classificationItems.find(guid);
        if (!item) throw FormatError{here + ": no classification item " + guidText(guid)};
        if (!systems.insert(item->system).second)
            throw FormatError{here + ": a second item of one classification system"};
        items.push_back(guid);
    }
    return items;
}

// --- Elements
// ------------------------------------------------------------------------------------------------
// What an entry holds that needs nothing else of the section: its attributes, properties and references.
SimElementData readOwnElementData(const Json& entry, const std::string& where) {
    SimElementData data;
    const Json& attributes = list(entry, "attributes", where);
    for (std::size_t i = 0; i < attributes.size(); ++i)
        data.attributes.push_back(readIFCAttribute(attributes[i], at(where, "attributes", i)));
    const Json& properties = list(entry, "properties", where);
    data.properties.reserve(properties.size());
    for (std::size_t i = 0; i < properties.size(); ++i)
        data.properties.push_back(readIFCProperty(properties[i], at(where, "properties", i)));
    // The same properties in the shorter form the host writes: those of one set listed under it.
    const Json& sets = list(entry, "propertySets", where);
    if (!sets.empty() && !properties.empty())
        throw FormatError{where + ": needs either \"properties\" or \"propertySets\""};
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const std::string here = at(where, "propertySets", i);
        onlyKeys(sets[i], {"set", "properties"}, here);
        const std::string set = needText(sets[i], "set", here);
        const Json& members = list(sets[i], "properties", here);
        for (std::size_t k = 0; k < members.size(); ++k)
            data.properties.push_back(readIFCProperty(members[k], at(here, "properties", k), &set));
    }
    const Json& references = list(entry, "references", where);
    for (std::size_t i = 0; i < references.size(); ++i)
        data.references.push_back(readIFCReference(references[i], at(where, "references", i)));
    return data;
}

Json writeElementData(const SimIFCState& ifc, const SimElementData& data) {
    Json entry = Json::object();
    const auto put = [&](const char* key, const auto& items, auto write) {
        if (items.empty()) return;
        Json out = Json::array();
        for (const auto& item : items) out.push_back(write(item));
        entry[key] = std::move(out);
    };
    put("attributes", data.attributes, writeIFCAttribute);
    if (!data.properties.empty()) {   // a run of properties of one set under the set's name
        Json sets = Json::array();
        for (const SimIFCProperty& property : data.properties) {
            if (sets.empty() || sets.back()["set"] != property.set)
                sets.push_back(Json{{"set", property.set}, {"properties", Json::array()}});
            Json member = writeIFCProperty(property);
            member.erase("set");
            sets.back()["properties"].push_back(std::move(member));
        }
        entry["propertySets"] = std::move(sets);
    }
    put("references", data.references, writeIFCReference);
    put("classifications", data.classifications, guidText);
    if (Json values = writePropertyValues(ifc, data.propertyValues); !values.empty())
        entry["propertyValues"] = std::move(values);
    return entry;
}

}   // namespace

void SimIFCElementEntries::read(std::size_t index, const Json& entry) {
    if (!error.empty()) return;
    const std::string here = at("ifc", "elements", index);
    try {
        onlyKeys(entry,
                 {"guid", "attributes", "properties", "propertySets", "references", "classifications",
                  "propertyValues"},
                 here);
        Entry read{needGuid(entry, "guid", here), readOwnElementData(entry, here), Json()};
        for (const char* key : {"classifications", "propertyValues"})
            if (const auto found = entry.find(key); found != entry.end()) read.rest[key] = *found;
        entries.push_back(std::move(read));
    } catch (const FormatError& e) {
        error = e.what;
    } catch (const nlohmann::json::exception& e) {
        error = std::string("ifc: ") + e.what();
    }
}

std::string readIFCSection(const Json& section, ProjectState& state, SimIFCElementEntries streamed) {
    try {
        const std::string where = "ifc";
        onlyKeys(section,
                 {"classificationSystems", "propertyGroups", "propertyDefinitions", "elements", "defaults"},
                 where);
        SimIFCState ifc;
        readSystems(section, where, ifc);
        readPropertyDefinitions(section, where, ifc);
        // Entries the text held in its list, then those read as it streamed by: one of the two is empty.
        for (const Json& entry : list(section, "elements", where))
            streamed.read(streamed.entries.size(), entry);
        if (!streamed.error.empty()) throw FormatError{streamed.error};
        for (std::size_t i = 0; i < streamed.entries.size(); ++i) {
            const std::string here = at(where, "elements", i);
            SimIFCElementEntries::Entry& entry = streamed.entries[i];
            if (std::as_const(state.elements).find(entry.guid) == nullptr)
                throw FormatError{here + ": the project has no element " + guidText(entry.guid)};
            if (ifc.elements.count(entry.guid) != 0)
                throw FormatError{here + ": a second entry for this element"};
            const Json& rest = entry.rest.is_null() ? Json::object() : entry.rest;
            entry.data.classifications = readClassifications(rest, here, ifc);
            entry.data.propertyValues = readPropertyValues(rest, here, ifc);
            ifc.elements[entry.guid] = std::move(entry.data);
        }
        const Json& defaults = list(section, "defaults", where);
        for (std::size_t i = 0; i < defaults.size(); ++i) {
            const std::string here = at(where, "defaults", i);
            onlyKeys(defaults[i], {"type", "variation", "classifications", "propertyValues"}, here);
            const auto key = std::make_pair(value<std::int32_t>(defaults[i], "type", here, 0),
                                            value<std::int32_t>(defaults[i], "variation", here, 0));
            if (ifc.defaults.count(key) != 0)
                throw FormatError{here + ": a second entry for this tool default"};
            SimElementData data;
            data.classifications = readClassifications(defaults[i], here, ifc);
            data.propertyValues = readPropertyValues(defaults[i], here, ifc);
            if (!data.empty()) ifc.defaults[key] = std::move(data);
        }
        state.ifc = std::move(ifc);
        return {};
    } catch (const FormatError& e) {
        return e.what;
    } catch (const nlohmann::json::exception& e) {
        return std::string("ifc: ") + e.what();
    }
}

bool appendIFCSection(const ProjectState& state, std::string& out) {
    Json section = Json::object();
    if (!state.ifc.classificationSystems->empty()) section["classificationSystems"] = writeSystems(state.ifc);
    writePropertyDefinitions(state.ifc, section);
    Json defaults = Json::array();
    for (const auto& [key, data] : state.ifc.defaults) {
        if (data.empty()) continue;
        Json entry{{"type", key.first}, {"variation", key.second}};
        entry.update(writeElementData(state.ifc, data));
        defaults.push_back(std::move(entry));
    }
    const std::size_t start = out.size();
    bool any = false;
    // The elements in the project's order, one entry built at a time; gone elements drop out.
    const auto appendElements = [&] {
        bool first = true;
        for (const SimElement& element : state.elements) {
            const SimElementData* found = state.ifc.elements.find(element.guid());
            if (!found || found->empty()) continue;
            if (first)
                out += ",\"elements\":[";
            else
                out += ',';
            first = false;
            Json entry{{"guid", guidText(element.guid())}};
            entry.update(writeElementData(state.ifc, *found));
            out += entry.dump();
        }
        if (!first) out += ']';
        any = any || !first;
    };
    out += '{';
    for (const auto& [key, value] : section.items()) {
        out += ',' + Json(key).dump() + ':' + value.dump();
        any = true;
    }
    appendElements();
    if (!defaults.empty()) out += ",\"defaults\":" + defaults.dump();
    any = any || !defaults.empty();
    if (!any) {
        out.resize(start);
        return false;
    }
    out.erase(start + 1, 1);   // the comma before the first key
    out += '}';
    return true;
}

}   // namespace host
