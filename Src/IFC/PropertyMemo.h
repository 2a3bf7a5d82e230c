// PropertyMemo: an element's property values, loaded from the host on first use for the definitions the
// element's classification items make available, and written back.
#pragma once

#include <cstddef>
#include <memory>

#include "IFC/Property.h"
#include "IFC/PropertyLink.h"

namespace tarnwick {

class Element;
class Setting;

// A base of the element kinds that carry properties, beside ClassificationMemo; it finds its element and
// the element's classifications by run-time casts. It serves a placed element (by GUID) and a tool
// default (by type and variation). Host failures give false (or an empty list), never a throw. A copy
// copies the list deeply, without the filter.
class PropertyMemo {
public:
    PropertyMemo();
    PropertyMemo(const PropertyMemo& other);
    PropertyMemo& operator=(const PropertyMemo& other);
    virtual ~PropertyMemo();

    void ensureLoaded();
    bool loadDefaults();   // the properties of the tool default of the element's type and variation
    // Reads the given entries (every entry without links) from the host again; loads when nothing is.
    bool reload(const PropertyLinks* links = nullptr);
    // Writes the changed properties (every one with force), and those removed as using their defaults,
    // of the definitions available for the element. True when nothing needed writing or the host took
    // it all; false also when a changed property could not be put into a host record.
    bool store(bool toDefault, bool force);
    bool storeToDefault();   // the changed flags stay as they are

    // When set, only these definitions are loaded.
    void setFilter(std::shared_ptr<const PropertyLinks> filter) { filter_ = std::move(filter); }

    Property* find(const PropertyName& name);
    Property* find(const PropertyLink& link);
    const PropertyList& getList();
    const Setting* getValue(const PropertyName& name, std::size_t i);   // null when not there
    const Setting* getValue(const PropertyLink& link, std::size_t i);
    bool contains(const Property& property, bool compareValues);
    bool isAvailable(const Property& property);
    bool add(const Property& property);
    bool setValue(const Setting& setting, const PropertyName& name, std::size_t i);
    bool setValue(const Setting& setting, const PropertyLink& link, std::size_t i);
    bool remove(const PropertyName& name);
    bool remove(const PropertyLink& link);
    bool removeGroup(const String& groupName);
    bool removeGroup(const Guid& groupGuid);
    void markAll();                                         // only when loaded
    bool setChanged(bool changed);                          // false when clearing an unloaded memo
    bool update(PropertyMemo* other, PropertyMemo* base);   // false, changes nothing
    bool isChanged() const { return list_ && list_->isChanged(); }

private:
    Element* element();
    bool addRecords(const host::Array<host::PropertyRecord>& records);

    std::unique_ptr<PropertyList> list_;   // null until loaded
    std::shared_ptr<const PropertyLinks> filter_;
};

}   // namespace tarnwick
