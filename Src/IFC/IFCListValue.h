// IFCListValue: an IFC property holding a list of values, in order.
#pragma once

#include <cstddef>
#include <memory>

#include "Foundation/Vector.h"
#include "IFC/IFCProperty.h"

namespace tarnwick {

// The list's Settings are owned and copied with the property.
class IFCListValue : public IFCProperty, public Vector<Setting> {
public:
    IFCListValue(const String& name, const String& setName, const String& typeName, const String& description,
                 std::size_t capacity);   // starts empty
    IFCListValue(const IFCListValue& other);
    ~IFCListValue() override;

    // Null unless both names are there and the first of at least one list value has a type name.
    static std::unique_ptr<IFCListValue> create(const host::IFCPropertyRecord& record);

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    // Appends our values to the record's list values; true when the head is complete and the list holds one.
    bool toHost(host::IFCPropertyRecord& record) const override;

private:
    IFCListValue() = default;
};

}   // namespace tarnwick
