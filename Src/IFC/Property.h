// Property: one element's value of one property definition, as SettingPairs, or the definition's default;
// PropertyList: an element's properties, at most one per definition, in the order they were added.
#pragma once

#include <cstddef>
#include <memory>

#include <HostIFCRecords.h>

#include "Foundation/Vector.h"
#include "IFC/PropertyLink.h"
#include "IFC/PropertyName.h"
#include "IFC/SettingPair.h"

namespace tarnwick {

class Element;
class PropertyDatabase;
class PropertyTemplate;

// A value; a copy copies the values and shares the template. Edits give false when refused; getValue
// throws for a value that is not there.
class Property {
public:
    Property();
    explicit Property(std::shared_ptr<PropertyTemplate> definition);
    Property(std::shared_ptr<PropertyTemplate> definition, const SettingPair& first);
    explicit Property(const PropertyLink& definition);   // the database's template of it
    Property(const PropertyLink& definition, const SettingPair& first);
    Property(const Property& other);
    Property& operator=(const Property& other);
    ~Property();

    // The property of a host record: null when the project's database has no template for its definition.
    static std::unique_ptr<Property> fromHost(const host::PropertyRecord& record);
    // False without a template or a value list.
    bool toHost(host::PropertyRecord& record) const;

    PropertyLink getLink() const;   // null without a template
    const std::shared_ptr<PropertyTemplate>& getTemplate() const { return template_; }
    String getName() const;
    String getGroupName() const;
    String getDescription() const;
    PropertyName getPropertyName() const;

    std::size_t getValueCount() const;
    // The i-th value (the default's while the property uses it): "bad_access" when it uses the default
    // without a template, "out_of_range" past the end.
    const SettingPair& getValue(std::size_t i) const;
    bool isUndefined(bool ignoreDefault) const;
    bool isDefaultUndefined() const;
    bool usesDefault() const { return usesDefault_; }
    bool isChanged() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

    bool setValue(const SettingPair& pair, std::size_t i);
    bool setValueCount(std::size_t n);
    bool removeValue(std::size_t i);
    bool setUsesDefault(bool usesDefault);
    bool setUndefined(bool undefined);
    // The same definition, then the same undefined-ness; defined ones need the same default flag and equal
    // value lists. Symmetric.
    bool isEqual(const Property& other) const;
    bool isAvailableFor(Element& element) const;
    // Takes the database's template of the definition and drops the values it would not admit; false
    // when the database has none.
    bool normalize(PropertyDatabase& database);

private:
    bool onDefault() const;   // uses the default of a template without expressions
    bool materialize();
    void leaveDefault();
    std::size_t ownCount() const { return values_ ? values_->size() : 0; }

    std::unique_ptr<SettingPairList> values_;
    std::shared_ptr<PropertyTemplate> template_;
    bool usesDefault_ = false;
    bool changed_ = false;
};

// Owns its properties. Lookups by name resolve the name through the project's PropertyDatabase.
class PropertyList {
public:
    PropertyList() = default;
    PropertyList(const PropertyList& other);   // deep, with every changed flag
    PropertyList& operator=(const PropertyList& other);

    std::size_t size() const { return items_.size(); }
    Property* at(std::size_t i) const { return items_.at(i); }   // out of range: "out_of_range"
    bool isEmpty() const { return items_.empty(); }
    bool isChanged() const;   // the list's own flag or any entry's
    void setListChanged(bool changed) { changed_ = changed; }

    Property* find(const PropertyName& name) const;   // null when none
    Property* find(const PropertyLink& link) const;
    bool contains(const Property& property, bool compareValues) const;
    // Overwrites the entry of the same definition or appends a copy; refused without a template or GUID.
    bool addOrReplace(const Property& property, bool markChanged);
    const Setting* getValue(const PropertyName& name, std::size_t i) const;   // null when not there
    const Setting* getValue(const PropertyLink& link, std::size_t i) const;
    // The entry's i-th value becomes the setting (the entry is made for the definition when missing).
    bool setValue(const Setting& setting, const PropertyName& name, std::size_t i);
    bool setValue(const Setting& setting, const PropertyLink& link, std::size_t i);
    bool remove(const PropertyName& name);
    bool remove(const PropertyLink& link);
    bool removeGroup(const String& groupName);
    bool removeGroup(const Guid& groupGuid);
    void markAll();
    bool setChanged(bool changed);   // every entry's flag; true when any changed
    bool update(const PropertyList* other, const PropertyList* base) const;   // false, changes nothing

    // The entries removed since the last store, each set to use its default: a store writes them so that
    // the element gives up its own values. Adding the definition again takes it off this list.
    const Vector<Property>& getRemoved() const { return removed_; }
    void clearRemoved() { removed_.clear(); }
    // After a store: no entry, nor the list, is changed any longer, and nothing is pending removal.
    void markStored();

private:
    std::ptrdiff_t indexOf(const PropertyLink& link) const;   // -1 when none
    bool removeAt(std::ptrdiff_t i);
    bool setValueAt(const Setting& setting, std::shared_ptr<PropertyTemplate> definition, std::size_t i);

    Vector<Property> items_;
    Vector<Property> removed_;
    bool changed_ = false;
};

}   // namespace tarnwick
