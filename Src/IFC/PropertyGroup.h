// PropertyGroup: the framework's cached copy of one of the host's property groups, shared by the
// PropertyDatabase and every definition of the group.
#pragma once

#include <cstdint>

#include <HostIFCRecords.h>

#include "Foundation/Guid.h"
#include "Foundation/String.h"

namespace tarnwick {

// Held through shared pointers. A group made from a GUID reads itself from the host on first access, and
// again after the database's clear (the group generation). A group the host says it does not have gets
// the null GUID; a group whose read failed otherwise keeps its GUID and tries again on its next access.
class PropertyGroup {
public:
    static constexpr std::int32_t kUserDefined = 2;

    explicit PropertyGroup(const String& name);   // a new user-defined group, not yet in the host
    explicit PropertyGroup(const Guid& guid);     // read on first access
    explicit PropertyGroup(const host::PropertyGroupRecord& record);

    const Guid& getGuid() const { return guid_; }
    void setGuid(const Guid& guid) { guid_ = guid; }   // the host's GUID after a store
    String getName() const;
    std::int32_t getGroupType() const;
    bool isUserDefined() const;
    bool isModified() const { return modified_; }
    bool isEnabled() const { return enabled_; }   // every group is made so; nothing here clears it

    bool setName(const String& name);   // false unless user-defined
    bool setModified(bool modified);    // false unless user-defined

    void read(const host::PropertyGroupRecord& record);    // GUID, type and name; not modified
    bool write(host::PropertyGroupRecord& record) const;   // false for an empty name

private:
    void refresh() const;
    void assign(const host::PropertyGroupRecord& record) const;

    mutable Guid guid_;
    mutable String name_;
    mutable std::uint32_t stamp_ = 0;
    mutable std::int32_t groupType_ = kUserDefined;
    mutable bool loaded_ = false;
    mutable bool modified_ = false;
    bool enabled_ = true;
};

}   // namespace tarnwick
