// IFCBoundedValue: an IFC property holding a lower and an upper bound.
#pragma once

#include <memory>

#include "IFC/IFCProperty.h"

namespace tarnwick {

// Owns its two bounds; a copy has bounds of its own.
class IFCBoundedValue : public IFCProperty {
public:
    IFCBoundedValue(const String& name, const String& setName, const String& typeName,
                    const String& description, const Setting& lower, const Setting& upper);   // clones both
    IFCBoundedValue(const IFCBoundedValue& other);
    ~IFCBoundedValue() override;

    // Null unless both names and the lower bound's type name are there.
    static std::unique_ptr<IFCBoundedValue> create(const host::IFCPropertyRecord& record);

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    bool toHost(host::IFCPropertyRecord& record) const override;   // head and both bounds complete
    virtual Setting& getLower() const;
    virtual Setting& getUpper() const;
    virtual void setLower(const Setting& value);   // assigns into the held Setting
    virtual void setUpper(const Setting& value);

private:
    IFCBoundedValue() = default;

    std::unique_ptr<Setting> lower_;
    std::unique_ptr<Setting> upper_;
};

}   // namespace tarnwick
