// IFCSingleValue: an IFC property holding one value.
#pragma once

#include <memory>

#include "IFC/IFCProperty.h"

namespace tarnwick {

class IFCSingleValue : public IFCProperty {
public:
    IFCSingleValue(const String& name, const String& setName, const String& typeName,
                   const String& description,
                   const Setting& value);   // clones the value
    IFCSingleValue(const IFCSingleValue& other);
    ~IFCSingleValue() override;

    // Null unless both names and the single value's type name are there.
    static std::unique_ptr<IFCSingleValue> create(const host::IFCPropertyRecord& record);

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    bool toHost(host::IFCPropertyRecord& record) const override;   // head and value complete
    virtual Setting& getValue() const;
    virtual void setValue(const Setting& value);   // assigns into the held Setting

private:
    IFCSingleValue() = default;

    std::unique_ptr<Setting> value_;
};

}   // namespace tarnwick
