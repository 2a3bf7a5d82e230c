#include "SimAttributeTable.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>

#include "HostFiles.h"
#include "HostMemory.h"

namespace host {
namespace {

// The extension's handles the host keeps as bytes; the parameters are kept apart (their arrays are
// handles too).
constexpr std::uint16_t kExtensionParts[] = {
    offsetof(AttributeExtension, lineTypeDashes), offsetof(AttributeExtension, lineTypeLines),
    offsetof(AttributeExtension, fillLines),      offsetof(AttributeExtension, fillLineLengths),
    offsetof(AttributeExtension, compositeSkins), offsetof(AttributeExtension, compositeLines),
    offsetof(AttributeExtension, layerStatuses),
};

Handle& partAt(AttributeExtension& extension, std::uint16_t offset) {
    return *reinterpret_cast<Handle*>(reinterpret_cast<unsigned char*>(&extension) + offset);
}

Handle partAt(const AttributeExtension& extension, std::uint16_t offset) {
    Handle handle;
    std::memcpy(&handle, reinterpret_cast<const unsigned char*>(&extension) + offset, sizeof handle);
    return handle;
}

}   // namespace

Result SimAttributeTable::nameOf(const AttributeHeader& header, std::string& name) {
    const std::size_t length = strnlen(header.name, sizeof header.name);
    if (length == sizeof header.name) return kErrBadName;   // no terminator inside the field
    std::string taken(header.name, length);
    if (taken.empty() || !isPlainUtf8(taken)) return kErrBadName;
    name = std::move(taken);
    return kNoError;
}

bool SimAttributeTable::nameTaken(std::int32_t type, const std::string& name,
                                  const SimAttribute* self) const {
    return std::any_of(project_.state.attributes.begin(), project_.state.attributes.end(),
                       [&](const SimAttribute& a) { return a.type == type && a.name == name && &a != self; });
}

void SimAttributeTable::putHeader(const SimAttribute& attribute, AttributeHeader& header) {
    std::memset(&header, 0, sizeof header);
    header.type = attribute.type;
    header.index = attribute.index;
    header.flags = attribute.flags;
    std::memcpy(header.name, attribute.name.data(), std::min(attribute.name.size(), sizeof header.name - 1));
}

// A surface material's texture location (or none) names its file; the location stays the caller's, and
// the pointer itself is not kept in the body.
Result SimAttributeTable::takeTextureFile(SimAttribute& attribute) {
    if (attribute.type != kAttributeSurface) return kNoError;
    const void* location = nullptr;
    std::memcpy(&location, attribute.body.data() + kTextureLocationAt, sizeof location);
    const std::optional<std::string> path = locationPath(location);
    if (location != nullptr && !path) return kErrBadParameters;   // no location block
    attribute.textureFile = path.value_or("");
    std::fill_n(attribute.body.begin() + kTextureLocationAt, sizeof location, 0);
    return kNoError;
}

Result SimAttributeTable::count(std::int32_t type, std::int16_t& count) const {
    if (!validType(type)) return kErrBadParameters;
    count = 0;
    for (const SimAttribute& attribute : project_.state.attributes)
        if (attribute.type == type) count = std::max(count, attribute.index);
    return kNoError;
}

Result SimAttributeTable::get(AttributeDefinition& definition) const {
    const SimAttribute* attribute = project_.findAttribute(definition.header.type, definition.header.index);
    if (!attribute) return validType(definition.header.type) ? kErrBadIndex : kErrBadParameters;
    putHeader(*attribute, definition.header);
    std::memcpy(definition.body, attribute->body.data(), sizeof definition.body);
    if (attribute->type == kAttributeSurface) {   // a new location, the caller's to dispose of
        void* location = newLocation(attribute->textureFile);
        if (location == nullptr && !attribute->textureFile.empty()) return kErrMemFull;
        std::memcpy(definition.body + kTextureLocationAt, &location, sizeof location);
    }
    return kNoError;
}

Result SimAttributeTable::getExtension(const AttributeHeader& header, AttributeExtension& extension) const {
    std::memset(&extension, 0, sizeof extension);
    const SimAttribute* attribute = project_.findAttribute(header.type, header.index);
    if (!attribute) return validType(header.type) ? kErrBadIndex : kErrBadParameters;
    AttributeExtension made{};
    for (const auto& [offset, bytes] : attribute->extension) {
        Handle& part = partAt(made, offset);
        part = newHandle(bytes.size(), false);
        if (!part) {
            disposeExtension(made);
            return kErrMemFull;
        }
        if (!bytes.empty()) std::memcpy(*part, bytes.data(), bytes.size());
    }
    if (attribute->parameters) {
        if (Result r = parametersToHandle(*attribute->parameters, made.parameters)) {
            disposeExtension(made);
            return r;
        }
    }
    extension = made;
    return kNoError;
}

Result SimAttributeTable::search(AttributeHeader& header) const {
    if (!validType(header.type)) return kErrBadParameters;
    std::string name;
    if (Result r = nameOf(header, name)) return r;
    for (const SimAttribute& attribute : project_.state.attributes) {
        if (attribute.type == header.type && attribute.name == name) {
            header.index = attribute.index;
            return kNoError;
        }
    }
    return kErrBadName;
}

Result SimAttributeTable::takeExtension(const AttributeExtension& extension, SimAttribute& attribute) {
    std::map<std::uint16_t, std::vector<unsigned char>> parts;
    for (const std::uint16_t offset : kExtensionParts) {
        const Handle part = partAt(extension, offset);
        if (!part) continue;
        if (!isLiveHandle(part)) return kErrBadHandle;
        const std::size_t size = getHandleSize(part);
        const auto* bytes = reinterpret_cast<const unsigned char*>(*part);
        parts[offset] =
            size > 0 ? std::vector<unsigned char>(bytes, bytes + size) : std::vector<unsigned char>();
    }
    if (const auto statuses = parts.find(offsetof(AttributeExtension, layerStatuses));
        statuses != parts.end() && statuses->second.size() % sizeof(LayerStatusRecord) != 0)
        return kErrBadParameters;   // layer statuses come in whole records
    std::optional<std::vector<SimParameter>> parameters;
    if (extension.parameters) {
        parameters.emplace();
        if (Result r = parametersFromHandle(extension.parameters, *parameters)) return r;
    }
    attribute.extension = std::move(parts);
    attribute.parameters = std::move(parameters);
    return kNoError;
}

Result SimAttributeTable::create(AttributeDefinition& definition, const AttributeExtension* extension) {
    const std::int32_t type = definition.header.type;
    if (!validType(type)) return kErrBadParameters;
    SimAttribute made;
    if (Result r = nameOf(definition.header, made.name)) return r;
    if (nameTaken(type, made.name, nullptr)) return kErrBadName;
    std::int16_t highest = 0;
    count(type, highest);
    if (highest == INT16_MAX) return kErrBadIndex;   // the type is full
    made.type = type;
    made.index = static_cast<std::int16_t>(highest + 1);
    made.flags = definition.header.flags;
    std::memcpy(made.body.data(), definition.body, sizeof definition.body);
    if (Result r = takeTextureFile(made)) return r;
    if (extension)
        if (Result r = takeExtension(*extension, made)) return r;
    auto& attributes = project_.state.attributes;
    attributes.push_back(std::move(made));
    sortAttributes(attributes);
    putHeader(*project_.findAttribute(type, highest + 1), definition.header);
    return kNoError;
}

Result SimAttributeTable::change(AttributeDefinition& definition, const AttributeExtension* extension) {
    SimAttribute* attribute = project_.findAttribute(definition.header.type, definition.header.index);
    if (!attribute) return validType(definition.header.type) ? kErrBadIndex : kErrBadParameters;
    SimAttribute changed = *attribute;
    if (Result r = nameOf(definition.header, changed.name)) return r;
    if (nameTaken(changed.type, changed.name, attribute)) return kErrBadName;
    changed.flags = definition.header.flags;
    std::memcpy(changed.body.data(), definition.body, sizeof definition.body);
    if (Result r = takeTextureFile(changed)) return r;
    if (extension)
        if (Result r = takeExtension(*extension, changed)) return r;
    *attribute = std::move(changed);
    putHeader(*attribute, definition.header);
    return kNoError;
}

Result SimAttributeTable::remove(const AttributeHeader& header, const std::int16_t* indices,
                                 std::int32_t count) {
    const std::int32_t type = header.type;
    if (!validType(type) || count < 0 || (count > 0 && !indices)) return kErrBadParameters;
    const std::set<std::int16_t> doomed(indices, indices + count);
    for (const std::int16_t index : doomed) {
        if (!project_.findAttribute(type, index)) return kErrBadIndex;
        if (type == kAttributeLayer && index == 1) return kErrBadIndex;   // the host's own layer stays
    }
    std::erase_if(project_.state.attributes,
                  [&](const SimAttribute& a) { return a.type == type && doomed.count(a.index); });
    if (type == kAttributeLayerCombination && doomed.count(project_.state.currentLayerCombination))
        project_.state.currentLayerCombination = 0;
    return kNoError;
}

Result SimAttributeTable::getUserData(const AttributeHeader& header, UserDataRecord& data) const {
    std::memset(&data, 0, sizeof data);
    const SimAttribute* attribute = project_.findAttribute(header.type, header.index);
    if (!attribute) return validType(header.type) ? kErrBadIndex : kErrBadParameters;
    if (!attribute->userData) return kErrNoUserData;
    const SimUserData& kept = *attribute->userData;
    data.version = kept.version;
    data.platformSign = kept.platformSign;
    data.flags = kept.flags;
    data.data = newHandle(kept.bytes.size(), false);
    if (!data.data) return kErrMemFull;
    if (!kept.bytes.empty()) std::memcpy(*data.data, kept.bytes.data(), kept.bytes.size());
    return kNoError;
}

Result SimAttributeTable::setUserData(const AttributeHeader& header, const UserDataRecord& data) {
    SimAttribute* attribute = project_.findAttribute(header.type, header.index);
    if (!attribute) return validType(header.type) ? kErrBadIndex : kErrBadParameters;
    if (data.data && !isLiveHandle(data.data)) return kErrBadHandle;
    SimUserData kept;
    kept.version = data.version;
    kept.platformSign = data.platformSign;
    kept.flags = data.flags;
    if (const std::size_t size = getHandleSize(data.data); size > 0) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(*data.data);
        kept.bytes.assign(bytes, bytes + size);
    }
    attribute->userData = std::move(kept);
    return kNoError;
}

Result SimAttributeTable::disposeExtension(AttributeExtension& extension) {
    Result result = kNoError;
    for (const std::uint16_t offset : kExtensionParts)
        if (disposeHandle(partAt(extension, offset)) != kNoError) result = kErrBadHandle;
    if (disposeParameterHandle(extension.parameters) != kNoError) result = kErrBadHandle;
    std::memset(&extension, 0, sizeof extension);
    return result;
}

}   // namespace host
