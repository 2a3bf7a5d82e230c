// ClassificationMemo: the classification items given to an element (at most one per system), loaded from
// the host on first use and written back by difference.
#pragma once

#include <memory>
#include <vector>

#include "Foundation/Guid.h"

namespace tarnwick {

class Classification;
class ClassificationName;
class Element;

// A base of the element kinds that carry classifications; it finds its element by a run-time cast. It
// serves a placed element (by GUID) and a tool default (by type and variation). Items are the shared
// records of the project's ClassificationDatabase; items the database has not met are held all the same,
// so a store never takes from an element what it could not read. Host failures give false.
class ClassificationMemo {
public:
    ClassificationMemo();
    ClassificationMemo(const ClassificationMemo& other);   // the items shared, both flags copied
    ClassificationMemo& operator=(const ClassificationMemo& other);
    virtual ~ClassificationMemo();

    void ensureLoaded();
    bool getItemGuids(std::vector<Guid>& guids);   // appends; true when there is an item
    bool hasItem(const ClassificationName& name);
    bool hasItem(const Guid& guid);
    // Refused for null, for an item whose state does not suit the element (1 not for zones, 2 only for
    // zones, 3 for any) and for one already held; replaces the held item of the same system.
    bool add(std::shared_ptr<Classification> item);
    bool add(const Guid& guid);
    bool addAll(const std::vector<Guid>& guids);   // true when any was added
    bool remove(const ClassificationName& name);   // false when not held
    bool remove(const Guid& guid);
    bool removeAll(const std::vector<Guid>& guids);
    bool removeSystem(const String& systemName);
    bool removeSystem(const Guid& systemGuid);
    void clear();
    bool loadDefaults();   // the items of the tool default of the element's type and variation
    // Writes what differs from the host's items, also when unchanged with force. True when nothing
    // needed writing or every call succeeded; a partly failed store stays changed, so the next one retries.
    bool store(bool toDefault, bool force);
    bool storeToDefault();
    bool update(ClassificationMemo* other, ClassificationMemo* base);   // loads, changes nothing
    bool isChanged() const { return changed_; }

private:
    const Element* element() const;
    bool suits(const Classification& item) const;
    bool removeWhere(bool (*test)(const Classification&, const void*), const void* what);

    std::unique_ptr<std::vector<std::shared_ptr<Classification>>> items_;   // null until loaded
    bool loaded_ = false;
    bool changed_ = false;
};

}   // namespace tarnwick
