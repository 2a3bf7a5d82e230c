// IFCEnumeratedValue: an IFC property holding an enumeration: its values, each once and in value order,
// with a flag telling that the value is also chosen (a reference value).
#pragma once

#include <map>
#include <memory>

#include "IFC/IFCProperty.h"

namespace tarnwick {

// The values are pooled (IFCData::shareValue) and shared with copies.
class IFCEnumeratedValue : public IFCProperty {
public:
    using Values = std::map<SharedValue, bool, SettingOrder>;

    IFCEnumeratedValue(const String& name, const String& setName, const String& typeName,
                       const String& description);   // starts empty
    IFCEnumeratedValue(const IFCEnumeratedValue& other);
    ~IFCEnumeratedValue() override;

    // Null unless both names are there and the first chosen value has a type name: an enumeration with
    // nothing chosen gives none.
    static std::unique_ptr<IFCEnumeratedValue> create(const host::IFCPropertyRecord& record);

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    // Appends our values to the record's values, and the chosen ones to its chosen values; true when the
    // head is complete and the values hold one.
    bool toHost(host::IFCPropertyRecord& record) const override;

    const Values& getValues() const { return values_; }
    Values& getValues() { return values_; }

private:
    IFCEnumeratedValue() = default;

    Values values_;
};

}   // namespace tarnwick
