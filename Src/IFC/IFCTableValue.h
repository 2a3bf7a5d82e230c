// IFCTableValue: an IFC property holding a table: rows from a defining value (the key, in value order)
// to a defined value.
#pragma once

#include <map>
#include <memory>

#include "IFC/IFCProperty.h"

namespace tarnwick {

// Keys are pooled (IFCData::shareValue) and shared with copies; defined values are owned and copied.
class IFCTableValue : public IFCProperty {
public:
    using Rows = std::map<SharedValue, std::unique_ptr<Setting>, SettingOrder>;

    IFCTableValue(const String& name, const String& setName, const String& typeName,
                  const String& description,
                  const String& keyTypeName);   // starts empty
    IFCTableValue(const IFCTableValue& other);
    ~IFCTableValue() override;

    // Null unless both names are there and the first of at least one defined value has a type name.
    // Only the rows both arrays have are read; a later row with an equal key replaces the earlier one.
    static std::unique_ptr<IFCTableValue> create(const host::IFCPropertyRecord& record);

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    // Appends our rows to the record's defining and defined values; true when the head is complete, the
    // two hold a row and as many of one as of the other.
    bool toHost(host::IFCPropertyRecord& record) const override;

    const Rows& getRows() const { return rows_; }
    Rows& getRows() { return rows_; }
    const IFCValueType& getKeyType() const { return keyType_; }

private:
    IFCTableValue() = default;

    Rows rows_;
    IFCValueType keyType_;
};

}   // namespace tarnwick
