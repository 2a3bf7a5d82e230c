// IFCProperty: one IFC property of an element, in a property set; the base of the six property kinds.
#pragma once

#include <memory>

#include "IFC/IFCData.h"

namespace tarnwick {

class IFCProperty : public IFCData {
public:
    IFCProperty(const String& name, const String& setName, const String& typeName, const String& description);
    ~IFCProperty() override;

    // The datum of the record's kind (0 to 5); null for another kind or a record that lacks what the kind
    // needs (names, values, value-type names).
    static std::unique_ptr<IFCProperty> create(const host::IFCPropertyRecord& record);

    // Fills the record's head and appends our values to its value arrays, leaving what they held; true
    // when the record is complete.
    virtual bool toHost(host::IFCPropertyRecord& record) const = 0;

    String getSetName() const;       // the empty text when none
    String getDescription() const;   // the empty text when none
    const SharedName& getSharedSetName() const { return setName_; }

protected:
    IFCProperty() = default;
    IFCProperty(const IFCProperty& other) = default;

    // For the factories: the names from the record and the value type from the type name; false when
    // the property or property-set name is empty.
    bool takeHead(const host::IFCPropertyRecord& record, const host::UniString& typeName);
    // The kind word, names, description and flag; true when both names are there.
    bool writeHead(host::IFCPropertyRecord& record) const;
    // A new Setting of `type` (default: ours) read from the host value; null when none can be made.
    std::unique_ptr<Setting> readSetting(const host::IFCPropertyValueRecord& value,
                                         const IFCValueType* type = nullptr) const;

    SharedName setName_;
    SharedName description_;
};

}   // namespace tarnwick
