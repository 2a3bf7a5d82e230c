// IFCData: one datum of an element's IFC data (an attribute, a property or a classification reference),
// read from a host record as typed Settings and written back into the same kind of record.
#pragma once

#include <cstdint>
#include <memory>

#include <HostIFCRecords.h>

#include "Foundation/Setting.h"
#include "Foundation/String.h"

namespace tarnwick {

// Names and type names are shared immutable Strings from one process-wide pool (no String for an empty
// text); enumeration values and table keys are shared Settings from a second pool.
using SharedName = std::shared_ptr<const String>;
using SharedValue = std::shared_ptr<Setting>;

// The value type of a datum: the IFC type name ("IfcLabel"; none for an empty name) and its SettingKind
// code (10 for names the table does not list, 0 for a classification reference).
struct IFCValueType {
    SharedName name;
    std::uint32_t code = 10;
    bool hasName() const { return name != nullptr; }
};

// What a datum is; 0 to 5 are the host's property kinds.
enum class IFCDataKind : std::uint32_t {
    singleValue = 0,
    listValue = 1,
    boundedValue = 2,
    enumeratedValue = 3,
    tableValue = 4,
    referenceValue = 5,   // a calendar date
    attribute = 0xFFFFFFFF,
    classificationReference = 0xFFFFFFFE,
};

// Orders Settings by kind, then by value; reals compare exactly (not within RealSetting's tolerance),
// so that it is a strict order and two values are equivalent only when they are the same value.
struct SettingOrder {
    bool operator()(const Setting& a, const Setting& b) const;
    bool operator()(const SharedValue& a, const SharedValue& b) const;   // an empty handle first
};

// Abstract; owned by the IFCDataList that holds it (or by the caller of a factory). Nothing throws on bad
// data: a factory gives null, a writer false. Allocation failures throw TracedException "bad_alloc".
class IFCData {
public:
    IFCData(const String& name, const String& typeName, std::uint8_t flag);
    virtual ~IFCData();

    // --- Virtual operations, in the order of the interface -----------------------------------------------
    virtual std::unique_ptr<IFCData> clone() const = 0;
    virtual IFCDataKind getKind() const = 0;
    // A new empty Setting of the kind the value type's code asks for (default: this datum's own type),
    // taking the initial Setting's value when one is given; null for codes that make no Setting (4).
    virtual std::unique_ptr<Setting> makeSetting(const Setting* initial = nullptr,
                                                 const IFCValueType* type = nullptr) const;
    // Sets `setting` from the host value as the type's code says; false for codes it cannot read (4).
    virtual bool readValue(Setting& setting, const host::IFCPropertyValueRecord& value,
                           const IFCValueType* type = nullptr) const;
    // Fills the host value from `setting`; true when the code is handled and the type has a name.
    virtual bool writeValue(host::IFCPropertyValueRecord& value, const Setting& setting,
                            const IFCValueType* type = nullptr) const;

    // --- The pools and the type-name table ------------------------------------------------------------
    static IFCValueType lookupValueType(const String& typeName);
    static SharedName shareName(const String& text);   // null for the empty text
    // The pooled Setting of exactly this kind and value, else `value` itself, now pooled.
    static SharedValue shareValue(SharedValue value);
    static void releaseTypeTables();   // empties both pools

    String getName() const;   // the empty text when none
    const SharedName& getSharedName() const { return name_; }
    const IFCValueType& getValueType() const { return valueType_; }
    String getTypeName() const;
    std::uint8_t getFlag() const { return flag_; }

protected:
    IFCData() = default;   // for the factories: no name, code 10, flag clear
    IFCData(const IFCData& other) = default;
    IFCData& operator=(const IFCData&) = delete;

    SharedName name_;
    IFCValueType valueType_;
    std::uint8_t flag_ = 0;   // goes to the host record's flag byte
};

}   // namespace tarnwick
