// PropertyDatabase: the project's database of the host's property groups and definitions: one shared
// PropertyGroup per group GUID and one shared PropertyTemplate per definition GUID, found by name and by
// the classification items a definition is available for, and created and changed in the host.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <HostIFCRecords.h>

#include "Foundation/Guid.h"
#include "Foundation/Setting.h"
#include "IFC/PropertyLink.h"
#include "Project/Database.h"

namespace tarnwick {

class PropertyGroup;
class PropertyName;
class PropertyTemplate;

// Owned by the Project. Host refusals are kept as the last error and give false or null, never a throw.
// clear() keeps both maps but moves both generations on, so every cached group and template reads its
// host record again on its next access; holders keep their instances.
class PropertyDatabase : public Database {
public:
    explicit PropertyDatabase(Project& project);
    ~PropertyDatabase() override;

    void clear() override;
    String typeName() const override;   // "PropertyDatabase"

    // The process-wide generations that cached templates and groups compare their stamps with.
    static std::uint32_t definitionGeneration();
    static std::uint32_t groupGeneration();

    // The shared template of the GUID; one holding only the GUID is entered when absent (it reads itself
    // on first access). Null for the null GUID.
    std::shared_ptr<PropertyTemplate> getDefinition(const Guid& guid);
    // The shared template of the record's GUID; one read from the record is entered when absent.
    std::shared_ptr<PropertyTemplate> getDefinition(const host::PropertyDefinitionRecord& record);
    std::shared_ptr<PropertyGroup> getGroup(const Guid& guid);      // entered (unloaded) when absent
    std::shared_ptr<PropertyGroup> findGroup(const String& name);   // null when none
    std::shared_ptr<PropertyTemplate> findDefinition(const PropertyName& name);   // null when none
    std::size_t getDefinitionCount();
    std::shared_ptr<PropertyTemplate> getDefinitionAt(std::size_t i);   // null out of range
    // Appends the links of the definitions available for any of the items; true when the list grew.
    bool findForClassifications(const std::vector<Guid>& items, PropertyLinks& links);
    // Points the handle at this database's template of the same GUID; false for an empty handle.
    bool resolve(std::shared_ptr<PropertyTemplate>& definition);

    std::shared_ptr<PropertyGroup> createGroup(const String& name);   // an existing one of the name first
    std::shared_ptr<PropertyTemplate> createDefinition(const std::shared_ptr<PropertyGroup>& group,
                                                       const PropertyName& name, SettingKind kind,
                                                       std::int32_t collectionType,
                                                       const Guid& availability = Guid());
    // The group named by the name's group name, created when missing.
    std::shared_ptr<PropertyTemplate> createDefinition(const PropertyName& name, SettingKind kind,
                                                       std::int32_t collectionType,
                                                       const Guid& availability = Guid());
    // Changed in the host, or created when its GUID is null; on success this very instance is the
    // database's template (group) of the host's GUID.
    bool storeDefinition(const std::shared_ptr<PropertyTemplate>& definition);
    bool storeGroup(const std::shared_ptr<PropertyGroup>& group);

    void loadAll();
    void loadDefinitions();   // once until clear
    void loadGroups();        // once until clear
    std::uint32_t getLastError() const { return lastError_; }

private:
    std::shared_ptr<PropertyTemplate> enter(const Guid& guid, std::shared_ptr<PropertyTemplate> definition);

    std::map<Guid, std::shared_ptr<PropertyGroup>> groups_;
    std::map<Guid, std::shared_ptr<PropertyTemplate>> definitions_;
    std::uint32_t lastError_ = 0;
    bool definitionsLoaded_ = false;
    bool groupsLoaded_ = false;
};

}   // namespace tarnwick
