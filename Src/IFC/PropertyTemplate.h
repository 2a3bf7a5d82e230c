// PropertyTemplate: the framework's cached copy of one of the host's property definitions: its name, group,
// value kind, collection type, default and allowed values and the classification items it is available
// for. The PropertyDatabase shares one instance per definition with every Property of it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <HostIFCRecords.h>

#include "Foundation/Guid.h"
#include "Foundation/String.h"
#include "IFC/PropertyLink.h"
#include "IFC/SettingPair.h"

namespace tarnwick {

class Element;
class PropertyGroup;

// Held through shared pointers. Every accessor first refreshes: a template reads its host definition on
// first access and again after the database's clear (the definition generation). A definition the host
// says it does not have leaves the template with a null link, reading as empty; any other failed read
// keeps the link and tries again on the next access. Setters need the template writable and mark it
// modified; they give false otherwise. Only getDefaultValue and getAllowedValue throw.
class PropertyTemplate {
public:
    // Collection types (the host's numbers).
    static constexpr std::int32_t kSingle = 1;
    static constexpr std::int32_t kList = 2;
    static constexpr std::int32_t kSingleChoice = 3;
    static constexpr std::int32_t kMultipleChoice = 4;

    PropertyTemplate();                            // a new writable definition, not in the host
    explicit PropertyTemplate(const Guid& guid);   // read from the host on first access
    explicit PropertyTemplate(const host::PropertyDefinitionRecord& record);
    PropertyTemplate(const PropertyTemplate& other);   // a deep copy: lists owned anew, the group shared
    PropertyTemplate& operator=(const PropertyTemplate&) = delete;
    ~PropertyTemplate();

    // --- Reading ----------------------------------------------------------------------------------------
    PropertyLink getLink();
    std::shared_ptr<PropertyGroup> getGroup();   // null when it has none
    String getName();
    String getDescription();
    std::int32_t getCollectionType();   // 0 when undefined
    SettingKind getKind();
    bool isWritable();
    bool isModified();
    bool isEnumeration();   // collection type 3 or 4
    bool isListValued();    // collection type 2 or 4
    std::uint32_t getIndex() const { return index_; }
    void setIndex(std::uint32_t index) { index_ = index; }   // the database's numbering
    bool isMarked() const { return marked_; }                // travels with copies; nothing sets it here

    std::size_t getDefaultValueCount();
    const SettingPair& getDefaultValue(std::size_t i);   // out of range: "out_of_range"
    std::size_t getAllowedValueCount();
    const SettingPair& getAllowedValue(std::size_t i);   // out of range: "out_of_range"
    // A copy of the value of the allowed pair whose GUID key equals `key` / of the key of the allowed pair
    // whose value equals `value`; null when none.
    std::unique_ptr<Setting> findAllowedByKey(const Setting& key);
    std::unique_ptr<Setting> findAllowedByValue(const Setting& value);
    bool isAllowedKey(const Setting& key);       // true at once for a type that is not an enumeration
    bool isAllowedValue(const Setting& value);   // the same
    void collectAvailability(std::vector<Guid>& items);    // appends the items not yet there
    bool isAvailableFor(const std::vector<Guid>& items);   // any of them; false without availability

    bool hasExpressions();
    std::size_t getExpressionCount();
    String getExpression(std::size_t i);   // empty out of range

    // --- Changing ---------------------------------------------------------------------------------------
    bool setExpression(const String& text, std::size_t i);   // grows the list to i+1
    bool setExpressionCount(std::size_t n);                  // 0 removes them all
    bool removeExpression(std::size_t i);
    bool setKind(SettingKind kind);   // converts the default and allowed values too
    bool setName(const String& name);
    bool setDescription(const String& description);
    bool setGroup(std::shared_ptr<PropertyGroup> group);   // false for null
    bool setGroupByGuid(const Guid& guid);                 // the database's group of the GUID
    // False while expressions are present or when n is the count already; a single-valued type keeps at
    // most one; 0 removes the list; new pairs have no members.
    bool setDefaultCount(std::size_t n);
    // False while expressions are present, for a pair that is not valid (keys checked for enumerations),
    // or for i > 0 unless list-valued; grows the list to i+1.
    bool setDefaultValue(const SettingPair& pair, std::size_t i);
    bool removeDefaultValue(std::size_t i);                         // removing the last drops the list
    bool setAllowedCount(std::size_t n);                            // enumerations only
    bool setAllowedValue(const SettingPair& pair, std::size_t i);   // enumerations; i inside the list
    bool removeAllowedValue(std::size_t i);
    bool setAvailability(const std::vector<Guid>& items);
    bool addAvailability(const Guid& item);   // no duplicates
    // Adds every classification item of every element that carries classifications.
    bool makeAvailableFor(const std::vector<Element*>& elements);
    bool setEnumeration(bool enumeration);   // single 1 <-> 3, list 2 <-> 4
    bool setList(bool list);                 // 1 <-> 2, 3 <-> 4
    bool setModified(bool modified);
    // False when the host's definition allowed value edits when read; else writable and modified.
    bool makeWritable();
    void setLink(const Guid& guid) { link_ = PropertyLink(guid); }   // the host's GUID after a store

    // --- Values -----------------------------------------------------------------------------------------
    // Whether the pair can be a value of this definition; an admitted pair may be changed to the form the
    // definition keeps (no key unless an enumeration; the allowed pair it names for an enumeration).
    bool admits(SettingPair& pair, bool allowUndefined);
    // Readies a pair that is to stand for the default: defined, and for an enumeration an allowed value
    // (the pair's own when allowed); undefined when it has no value or nothing can be chosen.
    void fixDefault(SettingPair& pair);
    // A host value into pairs / pairs into a host value, as the collection type says. False for a type
    // that is not 1 to 4, and when writing yields no state.
    bool readValues(const host::PropertyValueRecord& value, SettingPairList& pairs);
    bool writeValues(const SettingPairList& pairs, host::PropertyValueRecord& value);

    // --- Host records -----------------------------------------------------------------------------------
    void read(const host::PropertyDefinitionRecord& record);
    // False without a group, a name or a collection type, and for an enumeration without allowed values.
    bool write(host::PropertyDefinitionRecord& record);

    static SettingKind kindOf(std::int32_t valueType, std::int32_t measureType);
    static void hostTypeOf(SettingKind kind, std::int32_t& valueType, std::int32_t& measureType);

private:
    void refresh();
    PropertyMeasure measure() const { return MakePropertySetting::measureOf(kind_); }
    bool canChange() {
        refresh();
        return writable_;
    }
    bool changed() {
        modified_ = true;
        return true;
    }

    PropertyLink link_;
    std::shared_ptr<PropertyGroup> group_;
    String name_;
    String description_;
    std::unique_ptr<SettingPairList> defaultValues_;
    std::unique_ptr<SettingPairList> allowedValues_;
    std::unique_ptr<std::vector<Guid>> availability_;
    std::unique_ptr<std::vector<String>> defaultExpressions_;
    std::uint32_t stamp_ = 0;
    std::int32_t collectionType_ = 0;
    SettingKind kind_ = SettingKind::none;
    std::uint32_t index_ = 0;
    bool writable_ = false;
    bool hostWritable_ = false;
    bool marked_ = false;
    bool modified_ = false;
    bool loaded_ = false;
};

}   // namespace tarnwick
