// Classification: the framework's record of one classification item of the host: its id, name,
// description, state, parent and system, loaded from the host on first access when made from a GUID.
#pragma once

#include <cstdint>
#include <memory>

#include <HostIFCRecords.h>

#include "Foundation/Guid.h"
#include "Foundation/String.h"

namespace tarnwick {

class ClassificationSystem;

// Held through shared pointers (the database's map and tree, element memos, callers). Getters load the
// record first; the host is asked at most once. A load the host answers with "no such item" clears the
// GUID; any other failed load keeps it (a later store then changes this item, never makes a second one).
// Either way the fields stay empty. The state word's flags:
// 1 for elements other than zones, 2 for zones.
class Classification {
public:
    static constexpr std::int32_t kStateA = 1;
    static constexpr std::int32_t kStateB = 2;

    explicit Classification(const Guid& guid);   // not loaded (loaded at once for the null GUID)
    explicit Classification(const host::ClassificationItemRecord& record);

    const Guid& getGuid() const { return guid_; }
    void setGuid(const Guid& guid) { guid_ = guid; }   // the host's GUID after a store
    bool isChanged() const { return changed_; }
    bool loadFailed() const;

    String getId() const;
    String getName() const;
    String getDescription() const;
    std::int32_t getState() const;
    Guid getParentGuid() const;
    std::shared_ptr<ClassificationSystem> getSystem() const;
    Guid getSystemGuid() const;   // null without a system
    String getSystemName() const;
    bool isStateA() const;   // 1 or 3
    bool isStateB() const;   // 2 or 3

    // Each stores and marks the item changed only when the value differs (setSystem always does).
    void setId(const String& text);
    void setName(const String& text);
    void setDescription(const String& text);
    void setState(std::int32_t state);
    void setParentGuid(const Guid& guid);
    void setSystem(std::shared_ptr<ClassificationSystem> system);
    void markStateA();
    void markStateB();

    // Fills the record; false, writing nothing, unless loaded with an id, a name and a system.
    bool toHost(host::ClassificationItemRecord& record) const;
    // "System:id name", "id name" without the system; parts that are empty are left out with their
    // separator.
    String getDisplayName(bool withSystem) const;
    // Takes the record and asks the host for the item's system (false when it cannot name one) and parent.
    bool assignFromHost(const host::ClassificationItemRecord& record);
    // Grows whenever any item's name changes, by a setter or a load; an index by name older than it
    // is stale.
    static std::uint64_t nameGeneration();

private:
    void refresh() const;
    bool assign(const host::ClassificationItemRecord& record) const;   // steps 2 to 6 of assignFromHost

    mutable Guid guid_;   // cleared by a load the host answers with "no such item"
    mutable Guid parentGuid_;
    mutable String id_;
    mutable String name_;
    mutable String description_;
    mutable std::int32_t state_ = 0;
    mutable std::shared_ptr<ClassificationSystem> system_;
    mutable bool loaded_ = false;
    mutable bool loadFailed_ = false;
    mutable bool changed_ = false;
};

}   // namespace tarnwick
