// IFCAttribute: one IFC attribute of an element ("Name", "GlobalId", ...) with its value as a Setting.
#pragma once

#include <memory>

#include "IFC/IFCData.h"

namespace tarnwick {

// The value always exists: a value type that makes no Setting (a date), or a text its kind cannot read
// (an IFC compressed id under "IfcGloballyUniqueId"), is held as a StringSetting of the text.
class IFCAttribute : public IFCData {
public:
    IFCAttribute(const Setting& initial, const String& name, const String& typeName, std::uint8_t flag);
    IFCAttribute(const IFCAttribute& other);
    ~IFCAttribute() override;

    // Null unless the record has a name and a value-type name.
    static std::unique_ptr<IFCAttribute> create(const host::IFCAttributeRecord& record);

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    virtual Setting& getValue() const;
    virtual void setValue(const Setting& value);   // assigns into the held Setting
    // Fills the record; true when its name and value-type name are not empty.
    virtual bool toHost(host::IFCAttributeRecord& record) const;

private:
    IFCAttribute() = default;
    void takeText(const String& text);   // the value from text, kept as text when the kind refuses it

    std::unique_ptr<Setting> value_;
};

}   // namespace tarnwick
