#include "SimProject.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <span>
#include <type_traits>

#include <nlohmann/json.hpp>

#include "ByteText.h"
#include "FourCC.h"
#include "HostMemory.h"
#include "HostText.h"
#include "JsonInput.h"
#include "SimAttributeFields.h"
#include "SimBytes.h"
#include "SimElementFile.h"
#include "SimElementKinds.h"
#include "SimIFCFile.h"
#include "SimModelView.h"
#include "SimStyledText.h"

namespace host {

using namespace projectfile;

namespace {

constexpr const char* kFormat = "skellow-host project";
constexpr int kFormatVersion = 1;

ModuleDataEntry readModuleData(const Json& entry, const std::string& where, std::string& addon,
                               std::string& name) {
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry, {"addon", "name", "version", "platformSign", "text", "base64"}, where);
    addon = required<std::string>(entry, "addon", where);
    name = required<std::string>(entry, "name", where);
    ModuleDataEntry data;
    data.version = required<std::int32_t>(entry, "version", where);
    const auto sign = required<std::int64_t>(entry, "platformSign", where);
    if (sign < 0 || sign > 0xFFFF) throw LoadError{where + ": \"platformSign\" must be 0 to 65535"};
    data.platformSign = static_cast<std::uint16_t>(sign);
    if (entry.contains("text") == entry.contains("base64"))
        throw LoadError{where + ": needs either \"text\" or \"base64\""};
    if (entry.contains("text")) {
        const auto text = required<std::string>(entry, "text", where);
        data.bytes.assign(text.begin(), text.end());
    } else {
        try {
            data.bytes = fromBase64(required<std::string>(entry, "base64", where));
        } catch (const LoadError& e) {
            throw LoadError{where + ": " + e.what};
        }
    }
    return data;
}

// Things the host finds by their guid (lockables, renovation filters) must each have their own.
template <typename Item>
void refuseTakenGuid(const std::vector<Item>& items, const GuidBytes& guid, const std::string& where,
                     const char* listName) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].guid == guid)
            throw LoadError{where + ": \"guid\" " + guidText(guid) + " is that of " + listName + "[" +
                            std::to_string(i) + "]"};
}

// --- Layout settings ----------------------------------------------------------------------------
Json writeLayout(const SimLayout& layout) {
    Json entry;
    entry["paper"] = Json::array({layout.paperWidth, layout.paperHeight});
    entry["margins"] = layout.margins;
    entry["layoutName"] = layout.layoutName;
    const SimLayout fresh;   // the carried values only when set
    if (layout.flag != fresh.flag) entry["flag"] = layout.flag;
    if (layout.value != fresh.value) entry["value"] = layout.value;
    if (layout.valueA != fresh.valueA || layout.valueB != fresh.valueB)
        entry["values"] = Json::array({layout.valueA, layout.valueB});
    if (!layout.textA.empty()) entry["textA"] = layout.textA;
    if (!layout.textB.empty()) entry["textB"] = layout.textB;
    if (layout.byteA != fresh.byteA || layout.byteB != fresh.byteB)
        entry["bytes"] = Json::array({layout.byteA, layout.byteB});
    return entry;
}

SimLayout readLayout(const Json& entry, const std::string& where) {
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry, {"paper", "margins", "layoutName", "flag", "value", "values", "textA", "textB", "bytes"},
             where);
    SimLayout layout;
    if (entry.contains("paper")) {
        const auto paper = required<std::vector<double>>(entry, "paper", where);
        if (paper.size() != 2 || !(paper[0] > 0) || !(paper[1] > 0))
            throw LoadError{where + ": \"paper\" must be [width, height], both above 0"};
        layout.paperWidth = paper[0];
        layout.paperHeight = paper[1];
    }
    if (entry.contains("margins")) {
        const auto margins = required<std::vector<double>>(entry, "margins", where);
        if (margins.size() != 4 ||
            std::any_of(margins.begin(), margins.end(), [](double m) { return !(m >= 0); }))
            throw LoadError{where + ": \"margins\" must be [left, top, right, bottom], none below 0"};
        std::copy(margins.begin(), margins.end(), layout.margins.begin());
    }
    layout.layoutName = optionalValue<std::string>(entry, "layoutName", where, "");
    if (layout.layoutName.size() > sizeof(LayoutRecord::layoutName))
        throw LoadError{where + ": \"layoutName\" is longer than 256 bytes"};
    layout.flag = optionalValue<std::int16_t>(entry, "flag", where, 0);
    layout.value = optionalValue<std::int16_t>(entry, "value", where, 0);
    if (entry.contains("values")) {
        const auto values = required<std::vector<std::int32_t>>(entry, "values", where);
        if (values.size() != 2) throw LoadError{where + ": \"values\" must be two whole numbers"};
        layout.valueA = values[0];
        layout.valueB = values[1];
    }
    layout.textA = optionalValue<std::string>(entry, "textA", where, "");
    layout.textB = optionalValue<std::string>(entry, "textB", where, "");
    for (const std::string* text : {&layout.textA, &layout.textB})
        if (utf8ToUtf16(*text).size() > kDatabaseTextChars)
            throw LoadError{where + ": \"textA\" and \"textB\" hold at most 256 characters"};
    for (const std::string* text : {&layout.layoutName, &layout.textA, &layout.textB})
        if (text->find('\0') != std::string::npos) throw LoadError{where + ": a text must not hold U+0000"};
    if (entry.contains("bytes")) {
        const auto bytes = required<std::vector<std::uint8_t>>(entry, "bytes", where);
        if (bytes.size() != 2) throw LoadError{where + ": \"bytes\" must be two bytes"};
        layout.byteA = bytes[0];
        layout.byteB = bytes[1];
    }
    return layout;
}

// --- Databases and views ------------------------------------------------------------------------
std::string databaseText(const DatabaseKey& key) {
    if (key.first == kDatabasePlan) return "plan";
    if (key.first == kDatabaseModel) return "3d";
    return guidText(key.second);
}

std::array<double, 4> readBox(const Json& entry, const char* key, const std::string& where) {
    const auto box = required<std::vector<double>>(entry, key, where);
    if (box.size() != 4 || !(box[0] < box[2]) || !(box[1] < box[3]))
        throw LoadError{where + ": \"" + key + "\" must be [xMin, yMin, xMax, yMax] with min below max"};
    return {box[0], box[1], box[2], box[3]};
}

bool isGuidDatabaseType(std::int32_t type) {
    switch (type) {
        case kDatabaseSection:
        case kDatabaseDetail:
        case kDatabaseLayout:
        case kDatabaseMasterLayout:
        case kDatabaseElevation:
        case kDatabaseInteriorElevation:
        case kDatabaseWorksheet:
        case kDatabaseDocument3D:
            return true;
        default:
            return false;
    }
}

}   // namespace

// --- Guids, memo parts, elements -------------------------------------------------------------------
GuidBytes toGuidBytes(const GuidRecord& guid) {
    GuidBytes bytes;
    std::memcpy(bytes.data(), &guid, bytes.size());
    return bytes;
}

GuidRecord toGuidRecord(const GuidBytes& guid) {
    GuidRecord record;
    std::memcpy(&record, guid.data(), guid.size());
    return record;
}

bool isNullGuid(const GuidBytes& guid) {
    for (unsigned char b : guid)
        if (b != 0) return false;
    return true;
}

GuidBytes newGuidBytes() { return toGuidBytes(generateGuid()); }

bool isPlainUtf8(std::string_view bytes) {
    return plainUtf8(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

bool isValidLocation(const SimLocation& location) {
    return std::isfinite(location.longitude) && std::isfinite(location.latitude) &&
           std::isfinite(location.north) && std::abs(location.longitude) <= 180 &&
           std::abs(location.latitude) <= 90;
}

ElementHead SimElement::head() const {
    ElementHead h;
    std::memcpy(&h, record.data(), sizeof h);
    return h;
}

void SimElement::setHead(const ElementHead& h) { std::memcpy(record.data(), &h, sizeof h); }

GuidBytes SimElement::guid() const {
    GuidBytes g;
    std::memcpy(g.data(), record.data() + offsetof(ElementHead, guid), g.size());
    return g;
}

// --- The project ---------------------------------------------------------------------------------------
namespace {

SimDatabase fixedDatabase(std::int32_t type) {
    SimDatabase database;
    database.type = type;
    database.name = type == kDatabasePlan ? "Floor Plan" : "3D Window";
    database.title = database.name;
    return database;
}

// The host's own layer, which every project has and no call deletes.
SimAttribute hostLayer() {
    SimAttribute layer;
    layer.type = kAttributeLayer;
    layer.index = 1;
    layer.name = "ArchiCAD Layer";
    return layer;
}

// The lockable of the layer settings, under the same guid in every project.
constexpr GuidBytes kLayerSettingsLockable = {0x5A, 0x1E, 0x7E, 0x20, 0x3C, 0x4B, 0x4E, 0x11,
                                              0x9A, 0x6D, 0x2B, 0x43, 0x6C, 0x61, 0x79, 0x72};

}   // namespace

SimProject::SimProject() {
    state.databases = {fixedDatabase(kDatabasePlan), fixedDatabase(kDatabaseModel)};
    state.storeys = {SimStorey{0, 0, 0, 0.0, 3.0, "Ground Floor"}};
    state.attributes = {hostLayer()};
    state.teamwork.lockables = {SimLockable{"LayerSettingsDialog", kLayerSettingsLockable, 0}};
}

DatabaseKey SimProject::keyOf(const SimDatabase& database) {
    if (database.type == kDatabasePlan || database.type == kDatabaseModel) return {database.type, {}};
    return {0, database.guid};
}

const SimDatabase* SimProject::findDatabase(std::int32_t type, const GuidBytes& guid) const {
    for (const SimDatabase& database : state.databases) {
        if (type == kDatabasePlan || type == kDatabaseModel) {
            if (database.type == type) return &database;
            continue;
        }
        const bool layoutKind = type == kDatabaseLayout || type == kDatabaseMasterLayout;
        const bool sameKind = layoutKind
                                  ? database.type == kDatabaseLayout || database.type == kDatabaseMasterLayout
                                  : database.type == type;
        if (sameKind && !isNullGuid(guid) && database.guid == guid) return &database;
    }
    return nullptr;
}

const SimDatabase* SimProject::database(const DatabaseKey& key) const {
    if (key.first != 0) return findDatabase(key.first, {});
    for (const SimDatabase& database : state.databases)
        if (keyOf(database) == key) return &database;
    return nullptr;
}

SimAttribute* SimProject::findAttribute(std::int32_t type, std::int32_t index) {
    return const_cast<SimAttribute*>(std::as_const(*this).findAttribute(type, index));
}

const SimAttribute* SimProject::findAttribute(std::int32_t type, std::int32_t index) const {
    const auto& attributes = state.attributes;
    const auto found =
        std::lower_bound(attributes.begin(), attributes.end(), std::pair{type, index},
                         [](const SimAttribute& a, const std::pair<std::int32_t, std::int32_t>& key) {
                             return std::pair<std::int32_t, std::int32_t>{a.type, a.index} < key;
                         });
    return found != attributes.end() && found->type == type && found->index == index ? &*found : nullptr;
}

bool SimProject::layerHidden(std::int16_t layer) const {
    const SimAttribute* found = findAttribute(kAttributeLayer, layer);
    return found && (found->flags & kLayerHidden);
}

SimLibraryPart* SimProject::findLibraryPart(std::int32_t index) {
    return const_cast<SimLibraryPart*>(std::as_const(*this).findLibraryPart(index));
}

const SimLibraryPart* SimProject::findLibraryPart(std::int32_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > state.libraryParts.size()) return nullptr;
    const SimLibraryPart& part = state.libraryParts[static_cast<std::size_t>(index) - 1];
    return part.deleted ? nullptr : &part;
}

std::int32_t SimAttribute::layerGroup() const {
    std::int32_t group;
    std::memcpy(&group, body.data(), sizeof group);
    return group;
}

void SimAttribute::setLayerGroup(std::int32_t group) { std::memcpy(body.data(), &group, sizeof group); }

void sortAttributes(std::vector<SimAttribute>& attributes) {
    std::stable_sort(attributes.begin(), attributes.end(), [](const SimAttribute& a, const SimAttribute& b) {
        return std::pair{a.type, a.index} < std::pair{b.type, b.index};
    });
}

SimElement* SimProject::findElement(const GuidBytes& guid) { return state.elements.find(guid); }

const SimElement* SimProject::findElement(const GuidBytes& guid) const { return state.elements.find(guid); }

bool SimProject::inDatabase(const SimElement& element, const DatabaseKey& key) {
    if (key.first == kDatabasePlan || key.first == kDatabaseModel)
        return element.databaseType == kDatabasePlan;
    return element.databaseType != kDatabasePlan && element.databaseGuid == key.second;
}

namespace {

// --- Attributes ----------------------------------------------------------------------------------
// The extension parts by name in the file.
constexpr std::pair<const char*, std::uint16_t> kExtensionNames[] = {
    {"lineTypeDashes", offsetof(AttributeExtension, lineTypeDashes)},
    {"lineTypeLines", offsetof(AttributeExtension, lineTypeLines)},
    {"fillLines", offsetof(AttributeExtension, fillLines)},
    {"fillLineLengths", offsetof(AttributeExtension, fillLineLengths)},
    {"compositeSkins", offsetof(AttributeExtension, compositeSkins)},
    {"compositeLines", offsetof(AttributeExtension, compositeLines)},
    {"layerStatuses", offsetof(AttributeExtension, layerStatuses)},
};

// Layer flags as the file writes them: "hidden" and "locked" by name, the other bits as "flags".
void writeLayerFlags(Json& entry, std::uint16_t flags) {
    if (flags & kLayerHidden) entry["hidden"] = true;
    if (flags & kLayerLocked) entry["locked"] = true;
    if (const std::uint16_t rest = flags & ~(kLayerHidden | kLayerLocked)) entry["flags"] = rest;
}

std::uint16_t readLayerFlags(const Json& entry, const std::string& where) {
    std::uint16_t flags = optionalValue<std::uint16_t>(entry, "flags", where, 0);
    if (optionalValue<bool>(entry, "hidden", where, false)) flags |= kLayerHidden;
    if (optionalValue<bool>(entry, "locked", where, false)) flags |= kLayerLocked;
    return flags;
}

// The body's bytes past the named fields, trimmed of trailing zeros; empty when all zero.
std::vector<unsigned char> bodyRest(std::vector<unsigned char> body, std::size_t named) {
    std::fill_n(body.begin(), std::min(named, body.size()), 0);
    while (!body.empty() && body.back() == 0) body.pop_back();
    return body;
}

Json writeAttribute(const SimAttribute& attribute) {
    Json entry;
    if (attribute.type != kAttributeLayer) entry["type"] = attribute.type;
    entry["index"] = attribute.index;
    entry["name"] = attribute.name;
    std::size_t named = 0;   // body bytes written by name
    if (attribute.type == kAttributeLayer) {
        writeLayerFlags(entry, attribute.flags);
        if (attribute.layerGroup() != 0) entry["group"] = attribute.layerGroup();
        named = 4;
    } else if (attribute.flags != 0) {
        entry["flags"] = attribute.flags;
    }
    Json extension = Json::object();
    for (const auto& [name, offset] : kExtensionNames) {
        const auto part = attribute.extension.find(offset);
        if (part == attribute.extension.end()) continue;
        if (attribute.type == kAttributeLayerCombination &&
            offset == offsetof(AttributeExtension, layerStatuses)) {
            Json statuses = Json::array();
            for (std::size_t at = 0; at + sizeof(LayerStatusRecord) <= part->second.size();
                 at += sizeof(LayerStatusRecord)) {
                LayerStatusRecord status;
                std::memcpy(&status, part->second.data() + at, sizeof status);
                Json item{{"layer", status.layer}};
                writeLayerFlags(item, status.flags);
                if (status.group != 0) item["group"] = status.group;
                statuses.push_back(std::move(item));
            }
            entry["statuses"] = std::move(statuses);
            named = 2;   // the status count follows the list
            continue;
        }
        extension[name] = toBase64(part->second);
    }
    if (!extension.empty()) entry["extension"] = std::move(extension);
    if (attribute.parameters) entry["parameters"] = writeParameters(*attribute.parameters);
    std::vector<unsigned char> body = attribute.body;
    writeAttributeFields(attribute, entry, body);   // the kind's own fields by name, out of the body
    if (const auto rest = bodyRest(std::move(body), named); !rest.empty()) entry["body"] = toBase64(rest);
    if (attribute.userData) entry["userData"] = writeUserData(*attribute.userData);
    return entry;
}

SimAttribute readAttribute(const Json& given, const std::string& where, std::int32_t type) {
    if (!given.is_object()) throw LoadError{where + ": not an object"};
    Json entry = given;   // without the kind's named fields, which readAttributeFields takes
    const Json* typed = given.contains("type") ? &given["type"] : nullptr;
    const std::int32_t kind =
        type != 0 ? type : (typed && typed->is_number_integer() ? typed->get<int>() : 0);
    for (auto it = given.begin(); it != given.end(); ++it)
        if (isAttributeField(kind, it.key())) entry.erase(it.key());
    if (type == kAttributeLayer)
        onlyKeys(entry, {"index", "name", "hidden", "locked", "flags", "group", "body", "userData"}, where);
    else
        onlyKeys(
            entry,
            {"type", "index", "name", "flags", "statuses", "extension", "parameters", "body", "userData"},
            where);
    SimAttribute attribute;
    attribute.type = type != 0 ? type : required<std::int32_t>(entry, "type", where);
    if (attribute.type < kAttributePen || attribute.type > kAttributeLastType)
        throw LoadError{where + ": \"type\" must be 1 to 18"};
    if (type == 0 && attribute.type == kAttributeLayer) throw LoadError{where + ": layers go in \"layers\""};
    attribute.index = required<std::int16_t>(entry, "index", where);
    if (attribute.index < 1) throw LoadError{where + ": \"index\" must be above 0"};
    attribute.name = required<std::string>(entry, "name", where);
    if (attribute.name.empty() || attribute.name.size() >= kAttributeNameBytes ||
        !isPlainUtf8(attribute.name))
        throw LoadError{where + ": \"name\" must be 1 to 255 bytes of UTF-8"};
    if (entry.contains("body")) {
        const auto body = readBase64(required<std::string>(entry, "body", where), where);
        if (body.size() > attribute.body.size())
            throw LoadError{where + ": \"body\" is longer than the record"};
        std::copy(body.begin(), body.end(), attribute.body.begin());
    }
    if (std::string why = readAttributeFields(given, where, attribute); !why.empty()) throw LoadError{why};
    if (attribute.type == kAttributeLayer) {
        attribute.flags = readLayerFlags(entry, where);
        if (entry.contains("group")) attribute.setLayerGroup(required<std::int32_t>(entry, "group", where));
    } else {
        attribute.flags = optionalValue<std::uint16_t>(entry, "flags", where, 0);
    }
    if (entry.contains("statuses")) {
        if (attribute.type != kAttributeLayerCombination)
            throw LoadError{where + ": only a layer combination has \"statuses\""};
        const Json& list = entry["statuses"];
        if (!list.is_array()) throw LoadError{where + ": \"statuses\" must be a list"};
        std::vector<unsigned char> bytes;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string at = where + ".statuses[" + std::to_string(i) + "]";
            if (!list[i].is_object()) throw LoadError{at + ": not an object"};
            onlyKeys(list[i], {"layer", "hidden", "locked", "flags", "group"}, at);
            LayerStatusRecord status{required<std::int16_t>(list[i], "layer", at),
                                     readLayerFlags(list[i], at),
                                     optionalValue<std::int32_t>(list[i], "group", at, 0)};
            const auto* raw = reinterpret_cast<const unsigned char*>(&status);
            bytes.insert(bytes.end(), raw, raw + sizeof status);
        }
        const auto count = static_cast<std::int16_t>(list.size());
        std::memcpy(attribute.body.data(), &count, sizeof count);
        attribute.extension[offsetof(AttributeExtension, layerStatuses)] = std::move(bytes);
    }
    if (entry.contains("extension")) {
        const Json& parts = entry["extension"];
        if (!parts.is_object()) throw LoadError{where + ": \"extension\" must be an object"};
        for (const auto& [key, value] : parts.items()) {
            const auto* found = std::find_if(std::begin(kExtensionNames), std::end(kExtensionNames),
                                             [&key = key](const auto& named) { return key == named.first; });
            if (found == std::end(kExtensionNames) ||
                (found->second == offsetof(AttributeExtension, layerStatuses)))
                throw LoadError{where + ".extension: unknown part " + quotedInput(key)};
            if (!value.is_string())
                throw LoadError{where + ".extension: \"" + key + "\" must be base64 text"};
            attribute.extension[found->second] = readBase64(value.get<std::string>(), where + ".extension");
        }
    }
    if (entry.contains("parameters"))
        attribute.parameters = readParameters(entry["parameters"], where + ".parameters");
    if (entry.contains("userData")) attribute.userData = readUserData(entry["userData"], where + ".userData");
    return attribute;
}

// --- Library parts -------------------------------------------------------------------------------
Json writeSection(const SimSection& section) {
    Json entry{{"type", fourccText(section.type)}};
    if (section.subIdent != 0) entry["subIdent"] = section.subIdent;
    // A text section whose bytes are UTF-8 closed by one zero byte is written as its text.
    if (!section.bytes.empty() && section.bytes.back() == 0 &&
        plainUtf8(std::span(section.bytes.data(), section.bytes.size() - 1)))
        entry["text"] = std::string(section.bytes.begin(), section.bytes.end() - 1);
    else
        entry["base64"] = toBase64(section.bytes);
    return entry;
}

SimSection readSection(const Json& entry, const std::string& where) {
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry, {"type", "subIdent", "text", "base64"}, where);
    SimSection section;
    const auto code = fourccFromText(required<std::string>(entry, "type", where));
    if (!code || *code == 0) throw LoadError{where + ": \"type\" must be four characters"};
    section.type = *code;
    section.subIdent = optionalValue<std::int16_t>(entry, "subIdent", where, 0);
    if (entry.contains("text") == entry.contains("base64"))
        throw LoadError{where + ": needs either \"text\" or \"base64\""};
    if (entry.contains("text")) {
        const auto text = required<std::string>(entry, "text", where);
        section.bytes.assign(text.begin(), text.end());
        section.bytes.push_back(0);
    } else {
        section.bytes = readBase64(required<std::string>(entry, "base64", where), where);
    }
    return section;
}

bool uniqueIdForm(const std::string& text) {
    const auto braced = [](std::string_view part) {
        GuidRecord guid;
        return part.size() == 38 && part.front() == '{' && part.back() == '}' && guidFromText(part, guid);
    };
    return braced(text) ||
           (text.size() == 77 && text[38] == '-' && braced(std::string_view(text).substr(0, 38)) &&
            braced(std::string_view(text).substr(39)));
}

Json writeLibraryPart(const SimLibraryPart& part) {
    Json entry;
    entry["type"] = part.type;
    entry["name"] = part.name;
    if (part.fileName != part.name) entry["fileName"] = part.fileName;
    if (part.location) entry["location"] = *part.location;
    entry["uniqueId"] = part.uniqueId;
    if (!part.parentId.empty()) entry["parent"] = part.parentId;
    if (!part.placeable) entry["placeable"] = false;
    if (part.option != 0) entry["option"] = part.option;
    if (part.owner != 0) entry["owner"] = fourccText(part.owner);
    if (part.savedCode != 1) entry["savedCode"] = part.savedCode;
    if (part.deleted) entry["deleted"] = true;
    entry["size"] = Json::array({part.a, part.b});
    if (!part.parameters.empty()) entry["parameters"] = writeParameters(part.parameters);
    if (!part.sections.empty()) {
        Json sections = Json::array();
        for (const SimSection& section : part.sections) sections.push_back(writeSection(section));
        entry["sections"] = std::move(sections);
    }
    if (const auto details = bodyRest(part.details, 0); !details.empty())
        entry["details"] = toBase64(details);
    return entry;
}

SimLibraryPart readLibraryPart(const Json& entry, const std::string& where) {
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry,
             {"type", "name", "fileName", "location", "uniqueId", "parent", "placeable", "option", "owner",
              "savedCode", "deleted", "size", "parameters", "sections", "details"},
             where);
    SimLibraryPart part;
    part.type = required<std::int32_t>(entry, "type", where);
    if (part.type < kLibrarySpecification || part.type > kLibraryLastType)
        throw LoadError{where + ": \"type\" must be 1 to 13"};
    part.name = required<std::string>(entry, "name", where);
    part.fileName = optionalValue<std::string>(entry, "fileName", where, part.name);
    for (const std::string* text : {&part.name, &part.fileName})
        if (text->empty() || utf8ToUtf16(*text).size() >= kLibraryNameChars)
            throw LoadError{where + ": \"name\" and \"fileName\" must be 1 to 255 characters"};
    if (entry.contains("location")) part.location = required<std::string>(entry, "location", where);
    part.uniqueId = required<std::string>(entry, "uniqueId", where);
    part.parentId = optionalValue<std::string>(entry, "parent", where, "");
    if (!uniqueIdForm(part.uniqueId) || (!part.parentId.empty() && !uniqueIdForm(part.parentId)))
        throw LoadError{where + ": \"uniqueId\" and \"parent\" must be \"{guid}-{guid}\" or \"{guid}\""};
    part.placeable = optionalValue<bool>(entry, "placeable", where, true);
    part.option = optionalValue<std::uint8_t>(entry, "option", where, 0);
    if (entry.contains("owner")) {
        const auto owner = fourccFromText(required<std::string>(entry, "owner", where));
        if (!owner) throw LoadError{where + ": \"owner\" must be four characters"};
        part.owner = *owner;
    }
    part.savedCode = optionalValue<std::int16_t>(entry, "savedCode", where, 1);
    part.deleted = optionalValue<bool>(entry, "deleted", where, false);
    if (entry.contains("size")) {
        const auto size = required<std::vector<double>>(entry, "size", where);
        if (size.size() != 2) throw LoadError{where + ": \"size\" must be [A, B]"};
        part.a = size[0];
        part.b = size[1];
    }
    if (entry.contains("parameters"))
        part.parameters = readParameters(entry["parameters"], where + ".parameters");
    if (entry.contains("sections")) {
        const Json& list = entry["sections"];
        if (!list.is_array()) throw LoadError{where + ": \"sections\" must be a list"};
        for (std::size_t i = 0; i < list.size(); ++i) {
            SimSection section = readSection(list[i], where + ".sections[" + std::to_string(i) + "]");
            for (const SimSection& other : part.sections)
                if (other.type == section.type)
                    throw LoadError{where + ": two sections " + fourccText(section.type)};
            part.sections.push_back(std::move(section));
        }
    }
    if (entry.contains("details")) {
        const auto details = readBase64(required<std::string>(entry, "details", where), where);
        if (details.size() > sizeof(LibraryPartDetails)) throw LoadError{where + ": \"details\" is too long"};
        part.details.assign(sizeof(LibraryPartDetails), 0);
        std::copy(details.begin(), details.end(), part.details.begin());
    }
    return part;
}

void readLibrary(const Json& entry, ProjectState& state) {
    const std::string where = "library";
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry, {"folders", "current", "parts"}, where);
    if (entry.contains("folders"))
        state.libraryFolders = required<std::vector<std::string>>(entry, "folders", where);
    state.currentLibrary = optionalValue<std::int32_t>(entry, "current", where, -1);
    if (state.currentLibrary < -1 ||
        state.currentLibrary >= static_cast<std::int32_t>(state.libraryFolders.size()))
        throw LoadError{where + ": \"current\" must be -1 or the place of a folder"};
    if (entry.contains("parts")) {
        const Json& list = entry["parts"];
        if (!list.is_array()) throw LoadError{where + ": \"parts\" must be a list"};
        // The host finds a part by its unique id: two loaded parts with one id would make one of them
        // unreachable. Guid texts compare without case.
        std::map<std::string, std::size_t> loadedIds;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string at = where + ".parts[" + std::to_string(i) + "]";
            // The place in the list counts from 0, the library index from 1: a fault names both.
            const std::string index = " (library index " + std::to_string(i + 1) + ")";
            try {
                state.libraryParts.push_back(readLibraryPart(list[i], at));
            } catch (LoadError& error) {
                error.what.insert(std::min(error.what.find(": "), error.what.size()), index);
                throw;
            }
            const SimLibraryPart& part = state.libraryParts.back();
            if (part.deleted) continue;
            std::string id = part.uniqueId;
            std::transform(id.begin(), id.end(), id.begin(), [](unsigned char c) { return std::toupper(c); });
            if (const auto [first, added] = loadedIds.emplace(id, i); !added)
                throw LoadError{at + index + ": \"uniqueId\" " + part.uniqueId + " is that of parts[" +
                                std::to_string(first->second) + "] (library index " +
                                std::to_string(first->second + 1) + ")"};
        }
    }
}

Json writeLibrary(const ProjectState& state) {
    Json library;
    if (!state.libraryFolders.empty()) library["folders"] = state.libraryFolders;
    if (state.currentLibrary != -1) library["current"] = state.currentLibrary;
    Json parts = Json::array();
    for (const SimLibraryPart& part : state.libraryParts) parts.push_back(writeLibraryPart(part));
    if (!parts.empty()) library["parts"] = std::move(parts);
    return library;
}

// Attributes from "layers" and "attributes": layer 1 is always there; two of one type and index are refused.
void readAttributes(const Json& root, ProjectState& state) {
    std::vector<SimAttribute> attributes;
    if (root.contains("layers")) {
        const Json& list = root["layers"];
        if (!list.is_array()) throw LoadError{"project: \"layers\" must be a list"};
        for (std::size_t i = 0; i < list.size(); ++i)
            attributes.push_back(
                readAttribute(list[i], "layers[" + std::to_string(i) + "]", kAttributeLayer));
    }
    if (root.contains("attributes")) {
        const Json& list = root["attributes"];
        if (!list.is_array()) throw LoadError{"project: \"attributes\" must be a list"};
        for (std::size_t i = 0; i < list.size(); ++i)
            attributes.push_back(readAttribute(list[i], "attributes[" + std::to_string(i) + "]", 0));
    }
    if (std::none_of(attributes.begin(), attributes.end(),
                     [](const SimAttribute& a) { return a.type == kAttributeLayer && a.index == 1; }))
        attributes.push_back(state.attributes.front());   // the host's own layer of the empty project
    sortAttributes(attributes);
    std::set<std::pair<std::int32_t, std::string_view>> names;   // a name is unique within its type
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const SimAttribute& b = attributes[i];
        if (i > 0 && attributes[i - 1].type == b.type && attributes[i - 1].index == b.index)
            throw LoadError{"attributes: two of type " + std::to_string(b.type) + " with index " +
                            std::to_string(b.index)};
        if (!names.emplace(b.type, b.name).second)
            throw LoadError{"attributes: two of type " + std::to_string(b.type) + " named " +
                            quotedInput(b.name)};
    }
    state.attributes = std::move(attributes);
    state.currentLayerCombination =
        optionalValue<std::int16_t>(root, "currentLayerCombination", "project", 0);
    if (state.currentLayerCombination != 0 &&
        std::none_of(state.attributes.begin(), state.attributes.end(), [&](const SimAttribute& a) {
            return a.type == kAttributeLayerCombination && a.index == state.currentLayerCombination;
        }))
        throw LoadError{"project: \"currentLayerCombination\" names no layer combination"};
}

void writeAttributes(Json& root, const ProjectState& state) {
    Json layers = Json::array();
    Json others = Json::array();
    for (const SimAttribute& attribute : state.attributes)
        (attribute.type == kAttributeLayer ? layers : others).push_back(writeAttribute(attribute));
    root["layers"] = std::move(layers);
    if (!others.empty()) root["attributes"] = std::move(others);
    if (state.currentLayerCombination != 0) root["currentLayerCombination"] = state.currentLayerCombination;
}

// The project's settings: "settings": {"lengthUnit", "location": {"longitude", "latitude", "north",
// "timeZone"}, "notes": {"projectName", "city", "postcode", "architect"}}, every key optional.
SimSettings readSettings(const Json& entry) {
    const std::string where = "settings";
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry, {"lengthUnit", "location", "notes"}, where);
    SimSettings settings;
    settings.lengthUnit = optionalValue<std::int32_t>(entry, "lengthUnit", where, kLengthUnitMetre);
    if (settings.lengthUnit < kLengthUnitMetre || settings.lengthUnit > kLengthUnitDecimalInches)
        throw LoadError{where + ": \"lengthUnit\" must be 0 to 8"};
    if (entry.contains("location")) {
        const Json& location = entry["location"];
        const std::string at = where + ".location";
        if (!location.is_object()) throw LoadError{at + ": not an object"};
        onlyKeys(location, {"longitude", "latitude", "north", "timeZone"}, at);
        SimLocation& l = settings.location;
        l.longitude = optionalValue<double>(location, "longitude", at, l.longitude);
        l.latitude = optionalValue<double>(location, "latitude", at, l.latitude);
        l.north = optionalValue<double>(location, "north", at, l.north);
        l.timeZone = optionalValue<std::int16_t>(location, "timeZone", at, l.timeZone);
        if (!isValidLocation(l))
            throw LoadError{at + ": the longitude must be -180 to 180 and the latitude -90 to 90"};
    }
    if (entry.contains("notes")) {
        const Json& notes = entry["notes"];
        const std::string at = where + ".notes";
        if (!notes.is_object()) throw LoadError{at + ": not an object"};
        onlyKeys(notes, {"projectName", "city", "postcode", "architect"}, at);
        const auto note = [&](const char* key) {
            std::string text = optionalValue<std::string>(notes, key, at, "");
            if (text.size() > kProjectNoteBytes)
                throw LoadError{at + ": \"" + key + "\" is longer than " + std::to_string(kProjectNoteBytes) +
                                " bytes"};
            if (!isPlainUtf8(text)) throw LoadError{at + ": \"" + key + "\" holds a NUL character"};
            return text;
        };
        settings.projectName = note("projectName");
        settings.city = note("city");
        settings.postcode = note("postcode");
        settings.architect = note("architect");
    }
    return settings;
}

// Written only when they differ from a new project's, so older project files save as they were.
void writeSettings(Json& root, const SimSettings& settings) {
    if (settings == SimSettings()) return;
    const SimLocation& l = settings.location;
    root["settings"] = Json{{"lengthUnit", settings.lengthUnit},
                            {"location", Json{{"longitude", l.longitude},
                                              {"latitude", l.latitude},
                                              {"north", l.north},
                                              {"timeZone", l.timeZone}}},
                            {"notes", Json{{"projectName", settings.projectName},
                                           {"city", settings.city},
                                           {"postcode", settings.postcode},
                                           {"architect", settings.architect}}}};
}

void readProject(const Json& root, SimProject& loaded, StreamedElements& streamed,
                 SimIFCElementEntries streamedIFC) {
    ProjectState& state = loaded.state;
    ViewState& view = loaded.view;

    readAttributes(root, state);
    if (root.contains("library")) readLibrary(root["library"], state);
    if (root.contains("settings")) state.settings = readSettings(root["settings"]);

    // Storeys first: the floor plan's elements refer to them.
    if (root.contains("storeys")) {
        const Json& list = root["storeys"];
        if (!list.is_array() || list.empty())
            throw LoadError{"project: \"storeys\" must be a list of at least one"};
        state.storeys.clear();
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string where = "storeys[" + std::to_string(i) + "]";
            const Json& entry = list[i];
            if (!entry.is_object()) throw LoadError{where + ": not an object"};
            onlyKeys(entry, {"index", "number", "flag", "level", "height", "name"}, where);
            SimStorey storey;
            storey.index = required<std::int16_t>(entry, "index", where);
            storey.number = optionalValue<std::int16_t>(entry, "number", where, 0);
            storey.flag = optionalValue<std::uint8_t>(entry, "flag", where, 0);
            storey.level = required<double>(entry, "level", where);
            storey.height = required<double>(entry, "height", where);
            storey.name = optionalValue<std::string>(entry, "name", where, "");
            if (!(storey.height >= 0)) throw LoadError{where + ": \"height\" must not be negative"};
            if (!state.storeys.empty() && storey.index <= state.storeys.back().index)
                throw LoadError{where + ": storeys must come bottom up with rising indices"};
            state.storeys.push_back(std::move(storey));
        }
    }
    const auto hasStorey = [&](std::int16_t index) {
        return std::any_of(state.storeys.begin(), state.storeys.end(),
                           [&](const SimStorey& s) { return s.index == index; });
    };

    // Databases: the floor plan and the 3D window are always there; entries of them set their texts.
    std::vector<std::pair<DatabaseKey, const Json*>> viewEntries;
    if (root.contains("databases")) {
        const Json& list = root["databases"];
        if (!list.is_array()) throw LoadError{"project: \"databases\" must be a list"};
        std::vector<SimDatabase> others;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string where = "databases[" + std::to_string(i) + "]";
            const Json& entry = list[i];
            if (!entry.is_object()) throw LoadError{where + ": not an object"};
            onlyKeys(entry,
                     {"type", "guid", "master", "title", "name", "reference", "layout", "zoom", "extent",
                      "scale", "selection"},
                     where);
            SimDatabase database;
            database.type = required<std::int32_t>(entry, "type", where);
            database.title = optionalValue<std::string>(entry, "title", where, "");
            database.name = optionalValue<std::string>(entry, "name", where, "");
            database.reference = optionalValue<std::string>(entry, "reference", where, "");
            if (database.type == kDatabasePlan || database.type == kDatabaseModel) {
                if (entry.contains("guid") || entry.contains("master") || entry.contains("layout"))
                    throw LoadError{where +
                                    ": the floor plan and the 3D window have no guid, master or layout"};
                SimDatabase& fixed = state.databases[database.type == kDatabasePlan ? 0 : 1];
                if (std::any_of(viewEntries.begin(), viewEntries.end(),
                                [&](const auto& v) { return v.first.first == database.type; }))
                    throw LoadError{where + ": the project has one " + fixed.name};
                fixed = database;
            } else if (isGuidDatabaseType(database.type)) {
                database.guid = readGuid(entry, "guid", where);
                if (isNullGuid(database.guid)) throw LoadError{where + ": \"guid\" must not be empty"};
                for (const SimDatabase& other : others)
                    if (other.guid == database.guid)
                        throw LoadError{where + ": a second database with this guid"};
                if (entry.contains("master")) {
                    if (database.type != kDatabaseLayout)
                        throw LoadError{where + ": only a layout has a master"};
                    database.master = readGuid(entry, "master", where);
                }
                if (entry.contains("layout")) {
                    if (database.type != kDatabaseLayout && database.type != kDatabaseMasterLayout)
                        throw LoadError{where + ": only a layout or master layout has \"layout\" settings"};
                    database.layout = readLayout(entry["layout"], where + ".layout");
                }
                others.push_back(database);
            } else {
                throw LoadError{where + ": \"type\" " + std::to_string(database.type) +
                                " is no database kind"};
            }
            viewEntries.push_back({SimProject::keyOf(database), &entry});
        }
        for (const SimDatabase& database : others) {   // a master must be a master layout of the project
            if (isNullGuid(database.master)) continue;
            const bool found = std::any_of(others.begin(), others.end(), [&](const SimDatabase& d) {
                return d.type == kDatabaseMasterLayout && d.guid == database.master;
            });
            if (!found)
                throw LoadError{"databases: the master " + guidText(database.master) + " of layout " +
                                guidText(database.guid) + " is no master layout of the project"};
        }
        state.databases.insert(state.databases.end(), others.begin(), others.end());
    }
    const auto databaseFromText = [&](const std::string& text, const std::string& where) -> DatabaseKey {
        if (text == "plan") return {kDatabasePlan, {}};
        if (text == "3d") return {kDatabaseModel, {}};
        GuidRecord guid;
        if (!guidFromText(text, guid))
            throw LoadError{where + ": " + quotedInput(text) +
                            " is neither \"plan\", \"3d\" nor a database guid"};
        const DatabaseKey key{0, toGuidBytes(guid)};
        if (!loaded.database(key)) throw LoadError{where + ": no database " + text};
        return key;
    };

    // Elements: their entries were read as the text streamed by; here they meet the rest of the project.
    if (root.contains("elements")) {
        const Json& list = root["elements"];
        if (!list.is_array()) throw LoadError{"project: \"elements\" must be a list"};
        for (const Json& entry : list) streamed.read(streamed.elements.size(), entry);
    }
    if (!streamed.error.empty()) throw LoadError{streamed.error};
    std::set<GuidBytes> seen;
    auto database = streamed.databases.begin();
    for (std::size_t i = 0; i < streamed.elements.size(); ++i) {
        const auto where = [i] { return "elements[" + std::to_string(i) + "]"; };
        SimElement& element = streamed.elements[i];
        if (!seen.insert(element.guid()).second)
            throw LoadError{where() + ": a second element with this guid"};
        if (database != streamed.databases.end() && database->first == i) {
            const DatabaseKey key = databaseFromText(database->second, where() + ".database");
            if (key.first == 0) {
                element.databaseType = loaded.database(key)->type;
                element.databaseGuid = key.second;
            }
            ++database;
        }
        if (element.databaseType == kDatabasePlan && !hasStorey(element.head().storey))
            throw LoadError{where() + ": no storey " + std::to_string(element.head().storey)};
    }
    state.elements = std::move(streamed.elements);

    // Views of the databases, now that their elements are known.
    for (const auto& [key, entry] : viewEntries) {
        const std::string where = "database " + databaseText(key);
        SimView v;
        if (entry->contains("zoom")) v.zoom = readBox(*entry, "zoom", where);
        if (entry->contains("extent")) v.extent = readBox(*entry, "extent", where);
        v.scale = optionalValue<double>(*entry, "scale", where, v.scale);
        if (!(v.scale > 0)) throw LoadError{where + ": \"scale\" must be above 0"};
        if (entry->contains("selection")) {
            const Json& selection = (*entry)["selection"];
            if (!selection.is_object()) throw LoadError{where + ": \"selection\" must be an object"};
            onlyKeys(selection, {"kind", "elements"}, where + ".selection");
            for (const auto& text :
                 optionalValue<std::vector<std::string>>(selection, "elements", where, {})) {
                GuidRecord guid;
                if (!guidFromText(text, guid))
                    throw LoadError{where + ": selection: " + quotedInput(text) + " is not a guid"};
                const SimElement* element = loaded.findElement(toGuidBytes(guid));
                if (!element || !SimProject::inDatabase(*element, key))
                    throw LoadError{where + ": selection: no element " + text + " in this database"};
                v.selection.elements.push_back(toGuidBytes(guid));
            }
            v.selection.kind = optionalValue<std::int32_t>(
                selection, "kind", where, v.selection.elements.empty() ? kSelectionNone : kSelectionElements);
            if (v.selection.kind < kSelectionNone || v.selection.kind > kSelectionMarqueeRotated)
                throw LoadError{where + ": selection \"kind\" must be 0 to 4"};
            if (v.selection.elements.empty() != (v.selection.kind == kSelectionNone))
                throw LoadError{where + ": selection \"kind\" 0 goes with no elements, and only then"};
        }
        if (!(v == SimView{})) view.views[key] = v;
    }

    if (std::string error; !readRelations(root, state, error)) throw LoadError{error};
    // Links.
    if (root.contains("links")) {
        const Json& list = root["links"];
        if (!list.is_array()) throw LoadError{"project: \"links\" must be a list"};
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string where = "links[" + std::to_string(i) + "]";
            if (!list[i].is_object()) throw LoadError{where + ": not an object"};
            onlyKeys(list[i], {"from", "to", "flags"}, where);
            SimLink link{readGuid(list[i], "from", where), readGuid(list[i], "to", where),
                         optionalValue<std::uint32_t>(list[i], "flags", where, 0)};
            if (!loaded.findElement(link.from) || !loaded.findElement(link.to) || link.from == link.to)
                throw LoadError{where + ": must link two different elements of the project"};
            state.links.push_back(link);
        }
    }

    // Tool defaults.
    if (root.contains("defaults")) {
        const Json& list = root["defaults"];
        if (!list.is_array()) throw LoadError{"project: \"defaults\" must be a list"};
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string where = "defaults[" + std::to_string(i) + "]";
            const Json& entry = list[i];
            if (!entry.is_object()) throw LoadError{where + ": not an object"};
            SimToolDefault tool;
            tool.record = readRecord(entry, where, /*withGuid=*/false);
            ElementHead head;
            std::memcpy(&head, tool.record.data(), sizeof head);
            refuseUnknownKeys(entry, head.type, {"memo", "userData"}, where);
            if (entry.contains("memo")) tool.memo = readMemo(entry["memo"], where + ".memo");
            if (entry.contains("userData"))
                tool.userData = readUserData(entry["userData"], where + ".userData");
            if (!state.defaults.emplace(std::make_pair(head.type, head.variation), std::move(tool)).second)
                throw LoadError{where + ": a second default of type " + std::to_string(head.type) +
                                " and variation " + std::to_string(head.variation)};
        }
    }

    if (root.contains("ifc")) {   // its "elements" were read as the text streamed by
        if (std::string why = readIFCSection(root["ifc"], state, std::move(streamedIFC)); !why.empty())
            throw LoadError{why};
    }

    // Teamwork.
    if (root.contains("teamwork")) {
        const Json& entry = root["teamwork"];
        const std::string where = "teamwork";
        if (!entry.is_object()) throw LoadError{where + ": not an object"};
        onlyKeys(entry, {"shared", "connected", "available", "member", "members", "lockables"}, where);
        SimTeamwork& teamwork = state.teamwork;
        teamwork.shared = optionalValue<bool>(entry, "shared", where, false);
        teamwork.connected = optionalValue<bool>(entry, "connected", where, true);
        teamwork.available = optionalValue<bool>(entry, "available", where, true);
        if (entry.contains("lockables")) {   // these replace the host's own list
            const Json& lockables = entry["lockables"];
            if (!lockables.is_array()) throw LoadError{where + ": \"lockables\" must be a list"};
            teamwork.lockables.clear();
            for (std::size_t i = 0; i < lockables.size(); ++i) {
                const std::string at = where + ".lockables[" + std::to_string(i) + "]";
                if (!lockables[i].is_object()) throw LoadError{at + ": not an object"};
                onlyKeys(lockables[i], {"name", "guid", "holder"}, at);
                SimLockable lockable;
                lockable.name = required<std::string>(lockables[i], "name", at);
                lockable.guid = readGuid(lockables[i], "guid", at);
                lockable.holder = optionalValue<std::int16_t>(lockables[i], "holder", at, 0);
                refuseTakenGuid(teamwork.lockables, lockable.guid, at, "lockables");
                teamwork.lockables.push_back(std::move(lockable));
            }
        }
        teamwork.memberId = optionalValue<std::int16_t>(entry, "member", where, 0);
        if (entry.contains("members")) {
            const Json& members = entry["members"];
            if (!members.is_array()) throw LoadError{where + ": \"members\" must be a list"};
            for (std::size_t i = 0; i < members.size(); ++i) {
                const std::string at = where + ".members[" + std::to_string(i) + "]";
                if (!members[i].is_object()) throw LoadError{at + ": not an object"};
                onlyKeys(members[i], {"id", "name", "loginName", "guid", "value"}, at);
                SimMember member;
                member.id = required<std::int16_t>(members[i], "id", at);
                member.name = required<std::string>(members[i], "name", at);
                member.loginName = optionalValue<std::string>(members[i], "loginName", at, "");
                if (members[i].contains("guid")) member.guid = readGuid(members[i], "guid", at);
                member.value = optionalValue<std::int16_t>(members[i], "value", at, 0);
                if (member.id <= 0) throw LoadError{at + ": \"id\" must be above 0"};
                teamwork.members.push_back(std::move(member));
            }
        }
        if (teamwork.shared && teamwork.memberId <= 0)
            throw LoadError{where + ": a shared project needs \"member\""};
    }

    // Renovation filters and hidden layers.
    if (root.contains("renovation")) {
        const Json& entry = root["renovation"];
        const std::string where = "renovation";
        if (!entry.is_object()) throw LoadError{where + ": not an object"};
        onlyKeys(entry, {"active", "filters"}, where);
        if (entry.contains("filters")) {
            const Json& filters = entry["filters"];
            if (!filters.is_array()) throw LoadError{where + ": \"filters\" must be a list"};
            for (std::size_t i = 0; i < filters.size(); ++i) {
                const std::string at = where + ".filters[" + std::to_string(i) + "]";
                if (!filters[i].is_object()) throw LoadError{at + ": not an object"};
                onlyKeys(filters[i], {"guid", "name", "shows"}, at);
                SimRenovationFilter filter;
                filter.guid = readGuid(filters[i], "guid", at);
                filter.name = optionalValue<std::string>(filters[i], "name", at, "");
                filter.shownStatuses = optionalValue<std::vector<std::int32_t>>(filters[i], "shows", at, {});
                refuseTakenGuid(state.renovationFilters, filter.guid, at, "filters");
                state.renovationFilters.push_back(std::move(filter));
            }
        }
        if (entry.contains("active")) {
            state.activeRenovationFilter = readGuid(entry, "active", where);
            const auto& filters = state.renovationFilters;
            if (std::none_of(filters.begin(), filters.end(), [&](const SimRenovationFilter& f) {
                    return f.guid == state.activeRenovationFilter;
                }))
                throw LoadError{where + ": \"active\" names no filter of the project"};
        }
    }
    if (root.contains("hiddenLayers")) {   // shorthand: these layers, made when missing, are hidden
        for (const auto layer : required<std::vector<std::int16_t>>(root, "hiddenLayers", "project")) {
            if (layer < 1) throw LoadError{"project: \"hiddenLayers\": a layer index is below 1"};
            if (!loaded.findAttribute(kAttributeLayer, layer)) {
                SimAttribute made;
                made.type = kAttributeLayer;
                made.index = layer;
                made.name = "Layer " + std::to_string(layer);
                // Layer names are unique; a clash would save a file that cannot be loaded again.
                if (std::any_of(state.attributes.begin(), state.attributes.end(), [&](const SimAttribute& a) {
                        return a.type == kAttributeLayer && a.name == made.name;
                    }))
                    throw LoadError{"project: \"hiddenLayers\": layer " + std::to_string(layer) +
                                    " would be made as " + quotedInput(made.name) +
                                    ", a name another layer has"};
                state.attributes.push_back(std::move(made));
                sortAttributes(state.attributes);
            }
            loaded.findAttribute(kAttributeLayer, layer)->flags |= kLayerHidden;
        }
    }

    // What the user looks at.
    if (root.contains("currentDatabase"))
        view.currentDatabase = databaseFromText(required<std::string>(root, "currentDatabase", "project"),
                                                "project: \"currentDatabase\"");
    if (root.contains("frontWindow"))
        view.frontWindow = databaseFromText(required<std::string>(root, "frontWindow", "project"),
                                            "project: \"frontWindow\"");
    if (std::string why; root.contains("view3D") && !(why = readView3D(root["view3D"], view)).empty())
        throw LoadError{why};
    view.currentStorey =
        optionalValue<std::int16_t>(root, "currentStorey", "project", state.storeys.front().index);
    if (!hasStorey(view.currentStorey))
        throw LoadError{"project: no storey " + std::to_string(view.currentStorey) + " to be current"};
    if (root.contains("toolbox")) {
        const Json& entry = root["toolbox"];
        if (!entry.is_object()) throw LoadError{"toolbox: not an object"};
        onlyKeys(entry, {"type", "variation"}, "toolbox");
        view.toolType = required<std::int32_t>(entry, "type", "toolbox");
        view.toolVariation = optionalValue<std::int32_t>(entry, "variation", "toolbox", 0);
    }
}

Json writeDatabase(const SimDatabase& database, const ViewState& view) {
    Json entry;
    entry["type"] = database.type;
    if (!isNullGuid(database.guid)) entry["guid"] = guidText(database.guid);
    if (!isNullGuid(database.master)) entry["master"] = guidText(database.master);
    entry["title"] = database.title;
    entry["name"] = database.name;
    entry["reference"] = database.reference;
    if (database.type == kDatabaseLayout || database.type == kDatabaseMasterLayout)
        entry["layout"] = writeLayout(database.layout);
    const auto found = view.views.find(SimProject::keyOf(database));
    if (found != view.views.end()) {
        const SimView& v = found->second;
        const SimView fresh;
        if (v.zoom != fresh.zoom) entry["zoom"] = v.zoom;
        if (v.extent != fresh.extent) entry["extent"] = v.extent;
        if (v.scale < fresh.scale || v.scale > fresh.scale) entry["scale"] = v.scale;
        if (!v.selection.elements.empty()) {
            Json selection;
            selection["kind"] = v.selection.kind;
            Json guids = Json::array();
            for (const GuidBytes& guid : v.selection.elements) guids.push_back(guidText(guid));
            selection["elements"] = std::move(guids);
            entry["selection"] = std::move(selection);
        }
    }
    return entry;
}

}   // namespace

bool SimProject::loadText(const std::string& json, std::string& error) {
    if (!checkJsonInput(json, error)) return false;   // says where, or which key is doubled
    // The two lists that grow with the project are read into records as the text streams by, never
    // held whole as a document.
    StreamedElements elements;
    SimIFCElementEntries ifcElements;
    JsonStreamReader reader;
    reader.takeItems({"elements"}, [&](std::size_t i, Json&& entry) { elements.read(i, entry); });
    reader.takeItems({"ifc", "elements"}, [&](std::size_t i, Json&& entry) { ifcElements.read(i, entry); });
    Json root;
    if (!reader.read(json, root, error)) return false;
    try {
        if (!root.is_object()) throw LoadError{"the project must be a JSON object"};
        onlyKeys(root,
                 {"format",        "version",    "name",         "suspendGroups",   "moduleData",
                  "storeys",       "databases",  "elements",     "links",           "defaults",
                  "teamwork",      "renovation", "hiddenLayers", "currentDatabase", "frontWindow",
                  "currentStorey", "toolbox",    "layers",       "attributes",      "currentLayerCombination",
                  "library",       "settings",   "ifc",          "relations",       "view3D"},
                 "project");
        if (root.contains("format") && required<std::string>(root, "format", "project") != kFormat)
            throw LoadError{std::string("project: \"format\" must be \"") + kFormat + "\""};
        if (root.contains("version") && required<int>(root, "version", "project") != kFormatVersion)
            throw LoadError{"project: version " + root["version"].dump() + " is not known; this host reads " +
                            std::to_string(kFormatVersion)};
        SimProject loaded;
        loaded.name = root.contains("name") ? required<std::string>(root, "name", "project") : "";
        loaded.state.suspendGroups =
            root.contains("suspendGroups") && required<bool>(root, "suspendGroups", "project");
        if (root.contains("moduleData")) {
            const Json& list = root["moduleData"];
            if (!list.is_array()) throw LoadError{"project: \"moduleData\" must be a list"};
            for (std::size_t i = 0; i < list.size(); ++i) {
                const std::string where = "moduleData[" + std::to_string(i) + "]";
                std::string addon, name;
                ModuleDataEntry data = readModuleData(list[i], where, addon, name);
                if (!loaded.state.moduleData.emplace(std::make_pair(addon, name), std::move(data)).second)
                    throw LoadError{where + ": " + quotedInput(addon) + " already has module data named " +
                                    quotedInput(name)};
            }
        }
        readProject(root, loaded, elements, std::move(ifcElements));
        loaded.filePath = filePath;
        *this = std::move(loaded);
        return true;
    } catch (const LoadError& e) {
        error = e.what;
        return false;
    }
}

std::string SimProject::saveText() const {
    Json root;
    root["format"] = kFormat;
    root["version"] = kFormatVersion;
    root["name"] = name;
    root["suspendGroups"] = state.suspendGroups;
    root["currentDatabase"] = databaseText(view.currentDatabase);
    root["frontWindow"] = databaseText(view.frontWindow);
    root["currentStorey"] = view.currentStorey;
    if (Json view3D = writeView3D(view); !view3D.is_null()) root["view3D"] = std::move(view3D);
    if (view.toolType != 0 || view.toolVariation != 0)
        root["toolbox"] = Json{{"type", view.toolType}, {"variation", view.toolVariation}};
    if (!(state.teamwork == SimProject().state.teamwork)) {
        Json teamwork;
        teamwork["shared"] = state.teamwork.shared;
        teamwork["connected"] = state.teamwork.connected;
        if (!state.teamwork.available) teamwork["available"] = false;
        Json lockables = Json::array();
        for (const SimLockable& lockable : state.teamwork.lockables) {
            Json item{{"name", lockable.name}, {"guid", guidText(lockable.guid)}};
            if (lockable.holder != 0) item["holder"] = lockable.holder;
            lockables.push_back(std::move(item));
        }
        teamwork["lockables"] = std::move(lockables);
        teamwork["member"] = state.teamwork.memberId;
        Json members = Json::array();
        for (const SimMember& member : state.teamwork.members) {
            Json entry{{"id", member.id}, {"name", member.name}, {"loginName", member.loginName}};
            if (!isNullGuid(member.guid)) entry["guid"] = guidText(member.guid);
            if (member.value != 0) entry["value"] = member.value;
            members.push_back(std::move(entry));
        }
        teamwork["members"] = std::move(members);
        root["teamwork"] = std::move(teamwork);
    }
    if (!state.renovationFilters.empty()) {
        Json renovation;
        if (!isNullGuid(state.activeRenovationFilter))
            renovation["active"] = guidText(state.activeRenovationFilter);
        Json filters = Json::array();
        for (const SimRenovationFilter& filter : state.renovationFilters)
            filters.push_back(Json{
                {"guid", guidText(filter.guid)}, {"name", filter.name}, {"shows", filter.shownStatuses}});
        renovation["filters"] = std::move(filters);
        root["renovation"] = std::move(renovation);
    }
    Json storeys = Json::array();
    for (const SimStorey& storey : state.storeys) {
        Json entry{{"index", storey.index},
                   {"name", storey.name},
                   {"level", storey.level},
                   {"height", storey.height}};
        if (storey.number != 0) entry["number"] = storey.number;
        if (storey.flag != 0) entry["flag"] = storey.flag;
        storeys.push_back(std::move(entry));
    }
    root["storeys"] = std::move(storeys);
    writeAttributes(root, state);
    writeSettings(root, state.settings);
    if (Json library = writeLibrary(state); !library.empty()) root["library"] = std::move(library);
    Json databases = Json::array();
    for (const SimDatabase& database : state.databases) databases.push_back(writeDatabase(database, view));
    root["databases"] = std::move(databases);
    root["elements"] = Json::array();   // written an entry at a time below, then the IFC data
    if (!state.links.empty()) {
        Json links = Json::array();
        for (const SimLink& link : state.links)
            links.push_back(
                Json{{"from", guidText(link.from)}, {"to", guidText(link.to)}, {"flags", link.flags}});
        root["links"] = std::move(links);
    }
    writeRelations(root, state);
    if (!state.defaults.empty()) {
        Json defaults = Json::array();
        for (const auto& [key, tool] : state.defaults) {
            Json entry;
            writeRecord(entry, tool.record, /*withGuid=*/false);
            if (!tool.memo.parts.empty() || tool.memo.parameters) entry["memo"] = writeMemo(tool.memo);
            if (tool.userData) entry["userData"] = writeUserData(*tool.userData);
            defaults.push_back(std::move(entry));
        }
        root["defaults"] = std::move(defaults);
    }
    Json list = Json::array();
    for (const auto& [key, data] : state.moduleData) {   // the map keeps them in (add-on, name) order
        Json entry;
        entry["addon"] = key.first;
        entry["name"] = key.second;
        entry["version"] = data.version;
        entry["platformSign"] = data.platformSign;
        writeBytes(entry, data.bytes);
        list.push_back(std::move(entry));
    }
    root["moduleData"] = std::move(list);
    // Compact, and built an element at a time: the text is no larger than the file a project is read
    // from, and the project is never held a second time as a whole document.
    std::string out = "{";
    for (const auto& [key, value] : root.items()) {
        if (out.size() > 1) out += ',';
        out += Json(key).dump() + ':';
        if (key != "elements") {
            out += value.dump();
            continue;
        }
        out += '[';
        bool first = true;
        for (const SimElement& element : state.elements) {
            if (!first) out += ',';
            first = false;
            out += writeElement(element).dump();
        }
        out += ']';
        const std::size_t before = out.size();
        out += ",\"ifc\":";
        if (!appendIFCSection(state, out)) out.resize(before);
    }
    out += "}\n";
    return out;
}

void SimProject::pushUndoStep(std::string stepName, ProjectState before) {
    undo_.push_back({std::move(stepName), std::move(before)});
}

bool SimProject::undo() {
    if (undo_.empty()) return false;
    state = std::move(undo_.back().before);
    undo_.pop_back();
    settleView();
    return true;
}

void SimProject::settleView() {
    const DatabaseKey plan{kDatabasePlan, {}};
    if (!database(view.currentDatabase)) view.currentDatabase = plan;
    if (!database(view.frontWindow)) view.frontWindow = plan;
    const auto& storeys = state.storeys;
    if (!storeys.empty() && std::none_of(storeys.begin(), storeys.end(),
                                         [&](const SimStorey& s) { return s.index == view.currentStorey; }))
        view.currentStorey = storeys.front().index;
    std::erase_if(view.views, [&](const auto& entry) { return !database(entry.first); });
    for (auto& [key, v] : view.views) {
        std::erase_if(v.selection.elements, [this, &key = key](const GuidBytes& guid) {
            const SimElement* element = findElement(guid);
            return !element || !inDatabase(*element, key);
        });
        if (v.selection.elements.empty()) v.selection.kind = kSelectionNone;
    }
}

}   // namespace host
