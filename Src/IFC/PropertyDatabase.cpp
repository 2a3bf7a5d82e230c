#include "IFC/PropertyDatabase.h"

#include <algorithm>

#include "Environment/HostApi.h"
#include "IFC/PropertyGroup.h"
#include "IFC/PropertyName.h"
#include "IFC/PropertyTemplate.h"

namespace tarnwick {
namespace {

std::uint32_t gDefinitionGeneration = 1;   // 0 is the stamp of a template never read
std::uint32_t gGroupGeneration = 1;

}   // namespace

PropertyDatabase::PropertyDatabase(Project& project) : Database(project) {}

PropertyDatabase::~PropertyDatabase() = default;

std::uint32_t PropertyDatabase::definitionGeneration() { return gDefinitionGeneration; }
std::uint32_t PropertyDatabase::groupGeneration() { return gGroupGeneration; }

void PropertyDatabase::clear() {
    definitionsLoaded_ = false;
    groupsLoaded_ = false;
    ++gDefinitionGeneration;
    ++gGroupGeneration;
}

String PropertyDatabase::typeName() const { return "PropertyDatabase"; }

// --- Finding -----------------------------------------------------------------------------------------------
std::shared_ptr<PropertyTemplate> PropertyDatabase::enter(const Guid& guid,
                                                          std::shared_ptr<PropertyTemplate> definition) {
    definitions_[guid] = definition;
    definition->setIndex(static_cast<std::uint32_t>(definitions_.size()));
    return definition;
}

std::shared_ptr<PropertyTemplate> PropertyDatabase::getDefinition(const Guid& guid) {
    if (!guid.isValid()) return nullptr;
    const auto found = definitions_.find(guid);
    if (found != definitions_.end()) return found->second;
    return enter(guid, std::make_shared<PropertyTemplate>(guid));
}

std::shared_ptr<PropertyTemplate> PropertyDatabase::getDefinition(
    const host::PropertyDefinitionRecord& record) {
    const Guid guid(record.guid);
    if (!guid.isValid()) return nullptr;
    const auto found = definitions_.find(guid);
    if (found != definitions_.end()) return found->second;
    return enter(guid, std::make_shared<PropertyTemplate>(record));
}

std::shared_ptr<PropertyGroup> PropertyDatabase::getGroup(const Guid& guid) {
    std::shared_ptr<PropertyGroup>& group = groups_[guid];
    if (!group) group = std::make_shared<PropertyGroup>(guid);
    return group;
}

std::shared_ptr<PropertyGroup> PropertyDatabase::findGroup(const String& name) {
    loadGroups();
    for (const auto& [guid, group] : groups_)
        if (group->getName() == name) return group;
    return nullptr;
}

std::shared_ptr<PropertyTemplate> PropertyDatabase::findDefinition(const PropertyName& name) {
    loadDefinitions();
    for (const auto& [guid, definition] : definitions_) {
        if (!(definition->getName() == static_cast<const String&>(name))) continue;
        const std::shared_ptr<PropertyGroup> group = definition->getGroup();
        if (!name.getGroupName().isEmpty() && group && group->getName() != name.getGroupName()) continue;
        return definition;
    }
    return nullptr;
}

std::size_t PropertyDatabase::getDefinitionCount() {
    loadDefinitions();
    return definitions_.size();
}

std::shared_ptr<PropertyTemplate> PropertyDatabase::getDefinitionAt(std::size_t i) {
    loadDefinitions();
    if (i >= definitions_.size()) return nullptr;
    return std::next(definitions_.begin(), static_cast<std::ptrdiff_t>(i))->second;
}

bool PropertyDatabase::findForClassifications(const std::vector<Guid>& items, PropertyLinks& links) {
    loadDefinitions();
    const std::size_t before = links.size();
    for (const auto& [guid, definition] : definitions_)
        if (definition->isAvailableFor(items)) appendUnique(links, PropertyLink(guid));
    return links.size() > before;
}

bool PropertyDatabase::resolve(std::shared_ptr<PropertyTemplate>& definition) {
    if (!definition) return false;
    if (std::shared_ptr<PropertyTemplate> shared = getDefinition(definition->getLink())) definition = shared;
    return true;
}

// --- Creating and storing ----------------------------------------------------------------------------------
std::shared_ptr<PropertyGroup> PropertyDatabase::createGroup(const String& name) {
    if (name.isEmpty()) return nullptr;
    if (std::shared_ptr<PropertyGroup> existing = findGroup(name)) return existing;
    auto group = std::make_shared<PropertyGroup>(name);
    return storeGroup(group) ? group : nullptr;
}

std::shared_ptr<PropertyTemplate> PropertyDatabase::createDefinition(
    const std::shared_ptr<PropertyGroup>& group, const PropertyName& name, SettingKind kind,
    std::int32_t collectionType, const Guid& availability) {
    if (!group || name.isEmpty()) return nullptr;
    if (std::shared_ptr<PropertyTemplate> existing = findDefinition(PropertyName(name, group->getName())))
        return existing;
    auto definition = std::make_shared<PropertyTemplate>();
    definition->setGroup(group);
    definition->setName(name);
    definition->setKind(kind);
    definition->setList(collectionType == PropertyTemplate::kList ||
                        collectionType == PropertyTemplate::kMultipleChoice);
    definition->setEnumeration(collectionType == PropertyTemplate::kSingleChoice ||
                               collectionType == PropertyTemplate::kMultipleChoice);
    if (availability.isValid()) definition->addAvailability(availability);
    return storeDefinition(definition) ? definitions_.at(definition->getLink()) : nullptr;
}

std::shared_ptr<PropertyTemplate> PropertyDatabase::createDefinition(const PropertyName& name,
                                                                     SettingKind kind,
                                                                     std::int32_t collectionType,
                                                                     const Guid& availability) {
    std::shared_ptr<PropertyGroup> group = findGroup(name.getGroupName());
    if (!group && !name.getGroupName().isEmpty()) group = createGroup(name.getGroupName());
    return createDefinition(group, name, kind, collectionType, availability);
}

bool PropertyDatabase::storeDefinition(const std::shared_ptr<PropertyTemplate>& definition) {
    if (!definition) return false;
    host::PropertyDefinitionRecord record{};
    if (!definition->write(record)) return false;
    const bool isNew = !Guid(record.guid).isValid();
    lastError_ = isNew ? hostApi().call<host::HostSlot::createPropertyDefinition>(&record)
                       : hostApi().call<host::HostSlot::changePropertyDefinition>(&record);
    if (lastError_ != host::kNoError) return false;
    const Guid guid(record.guid);
    definition->setLink(guid);
    const auto found = definitions_.find(guid);
    if (found == definitions_.end() || found->second != definition)
        enter(guid, std::make_shared<PropertyTemplate>(*definition));
    return true;
}

bool PropertyDatabase::storeGroup(const std::shared_ptr<PropertyGroup>& group) {
    if (!group) return false;
    host::PropertyGroupRecord record{};
    if (!group->write(record)) return false;
    const bool isNew = !Guid(record.guid).isValid();
    lastError_ = isNew ? hostApi().call<host::HostSlot::createPropertyGroup>(&record)
                       : hostApi().call<host::HostSlot::changePropertyGroup>(&record);
    if (lastError_ != host::kNoError) return false;
    const Guid guid(record.guid);
    group->setGuid(guid);
    group->setModified(false);
    std::shared_ptr<PropertyGroup>& entry = groups_[guid];
    if (!entry) entry = group;
    return true;
}

// --- Loading -----------------------------------------------------------------------------------------------
void PropertyDatabase::loadAll() {
    loadDefinitions();
    loadGroups();
}

void PropertyDatabase::loadDefinitions() {
    if (definitionsLoaded_) return;
    definitionsLoaded_ = true;
    host::Array<host::PropertyDefinitionRecord> records;
    const host::GuidRecord allGroups{};
    lastError_ = hostApi().call<host::HostSlot::getPropertyDefinitions>(&allGroups, &records);
    if (lastError_ != host::kNoError || records.empty()) return;
    std::map<Guid, std::shared_ptr<PropertyTemplate>> loaded;
    std::uint32_t index = 0;
    for (const host::PropertyDefinitionRecord& record : records) {
        const Guid guid(record.guid);
        std::shared_ptr<PropertyTemplate> definition;
        const auto known = definitions_.find(guid);
        if (known != definitions_.end())
            definition = known->second;
        else if (record.definitionType == host::kPropertyUserDefined)
            definition = std::make_shared<PropertyTemplate>(record);
        else
            continue;   // built into the host: not this add-on's to cache
        definition->setIndex(++index);
        loaded[guid] = std::move(definition);
    }
    definitions_ = std::move(loaded);
}

void PropertyDatabase::loadGroups() {
    if (groupsLoaded_) return;
    groupsLoaded_ = true;
    host::Array<host::PropertyGroupRecord> records;
    lastError_ = hostApi().call<host::HostSlot::getPropertyGroups>(&records);
    if (lastError_ != host::kNoError || records.empty()) return;
    std::map<Guid, std::shared_ptr<PropertyGroup>> loaded;
    for (const host::PropertyGroupRecord& record : records) {
        const Guid guid(record.guid);
        const auto known = groups_.find(guid);
        loaded[guid] = known != groups_.end() ? known->second : std::make_shared<PropertyGroup>(record);
    }
    groups_ = std::move(loaded);
}

}   // namespace tarnwick
