// PresetDatabase: the user database of styles, kept in the project's module data as the package 'PSET'.
// What a style holds is decided by the style types a product registers: the static registry below keeps
// one template record per type, which new styles of the type are cloned from.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

#include <FourCC.h>

#include "Foundation/String.h"
#include "Styles/PresetRecord.h"
#include "Styles/UserDatabase.h"

namespace tarnwick {

class Parameter;

// Owned by its package store, a collection, a dialog or the code that copied it. Copies share the
// records. With no style type registered no record can be made: reading skips every record, and making
// one throws TracedException "bad_alloc" (see UserDatabase::RecordList::newEmptyRecord).
class PresetDatabase : public UserDatabase<PresetRecord, PresetDatabase> {
public:
    static constexpr std::uint32_t kCode = host::fourcc("PSET");
    static constexpr std::string_view kTag = "presetDatabase";
    static constexpr std::string_view kFileRootTag = "tarnwickPresets";

    // The scope in which a style type keeps its records' names unique (a type's flags word).
    enum NameScope : std::uint32_t {
        kUniqueInType = 1,       // among the records of the same type
        kUniqueInDatabase = 2,   // among all records; any other value: names may repeat
    };

    // One registered style type: the template its records are cloned from, and its flags.
    struct TemplateRecord {
        std::unique_ptr<PresetRecord> record;
        std::uint32_t flags = 0;
    };
    using PresetMap = std::map<String, TemplateRecord>;   // by type name

    PresetDatabase();
    PresetDatabase(const PresetDatabase& other);   // shares the records
    ~PresetDatabase() override;

    // --- Package ------------------------------------------------------------------------------------
    std::uint32_t getPackageCode() const override { return kCode; }
    bool isKeptOnReset() const override { return false; }   // reset with the project's other packages
    void shutDown() override;                               // forgets the registered types
    std::string_view getFileRootTag() const override { return kFileRootTag; }
    void dispatchTo(Visitor& visitor) override { visitor.visit(*this); }

    // --- Styles -------------------------------------------------------------------------------------
    // By the flags of the record's type: unique among its type (1), among all styles (2), or not at all.
    void ensureUniqueName(const RecordPtr& record, bool givesNameUp) override;
    using UserDatabase::ensureUniqueName;
    // A new style of the type registered under a legacy group key, cleared and named; not stored. Null for
    // an unknown key.
    RecordPtr makeRecord(const String& key, const String& name) const;
    bool hasRecordOfType(const String& typeName) const;
    // Writes the sorted names of the live styles of the type that pass the filter (all: null) into the
    // parameter's rows, one a row in column 0, the row count following the names; no names leave one
    // empty value. True when the parameter changed.
    bool listNames(Parameter& parameter, const String& typeName, const Filter* filter) const;

    // The first style in key order of the name (of the type; any type: ""), other than excluded; null
    // when none. Names are unique within a type at most, so a lookup for a template keeps to its type.
    Guid findStyleByName(const String& name, const Guid& excluded, const String& typeName = String()) const;
    // The current style: kept while it names a live style, else the first live style in key order;
    // null when there is none.
    Guid getCurrentStyle();
    void setCurrentStyle(const Guid& key);   // only a live style becomes current

    // A name for a style being renamed to `name`, unique among all styles in key order, whatever their
    // type: `name` itself when no style bears it, else the next numbered variant past the highest held.
    // holder: the style that bears the name, a live one before a deleted one (a deleted holder gives its
    // name up, which must never leave two live styles of one name); null when none does.
    struct UniqueChoice {
        String name;
        RecordPtr holder;
    };
    UniqueChoice makeUniqueName(const String& name) const;

    // --- The style-type registry (process-wide) -------------------------------------------------------
    // Registers a type under its template's type name: ignored without a template or a display name; a
    // type is registered once, and a later registration of its name changes nothing. The first
    // registration files an empty style database in the project's module data.
    static void registerType(std::unique_ptr<PresetRecord> templateRecord, const String& displayName,
                             const String& key, std::uint32_t flags);
    // Makes the type current, named by its type name (byTypeName) or its display name. False, with the
    // current type unchanged, for an empty or unknown name or an empty registry.
    static bool findType(const String& name, bool byTypeName);
    static std::uint32_t getTypeFlags(const String& typeName);   // "" the current type; 0 when unknown
    // A clone of the type's template ("": the current type); null when unknown or nothing is registered.
    static RecordPtr newRecordOfType(const String& typeName, std::uint32_t* flags = nullptr);
    static void clearTypes();   // forgets every type, display name, key and the current type
    static bool hasTypes();
    static String getCurrentType();   // the type new empty records are made of; "" when none
    static const std::map<String, String>& getDisplayNames();   // type name to display name
    static String findTypeOfKey(const String& key);             // "" for an unknown legacy key

protected:
    RecordPtr makeRecordOfType(std::string_view typeName) const override;
    RecordPtr newTemplateRecord() const override;
    RecordPtr makeLegacyRecord(std::string_view typeKey) const override;
    // Through the first template of the add-on of the record's type that owns the name, looked up for
    // each value (the values of one block may belong to different templates); dropped when none does.
    void importLegacyValue(PresetRecord& record, const String& name, const Setting& value,
                           std::uint32_t index) override;
};

}   // namespace tarnwick
