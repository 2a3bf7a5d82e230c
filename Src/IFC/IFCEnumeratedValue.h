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

    // Null unless both names are there and the first chosen value (or, when none is chosen, the first
    // value) has a type name.
    static std::unique_ptr<IFCEnumeratedValue> create(const host::IFCPropertyRecord& record);

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    // Replaces the record's values and chosen values with ours; true when the head is complete and a
    // value was written.
    bool toHost(host::IFCPropertyRecord& record) const override;

    const Values& getValues() const { return values_; }
    Values& getValues() { return values_; }

private:
    IFCEnumeratedValue() = default;

    Values values_;
};

}   // namespace tarnwick
