// IFCCalendarDate: an IFC reference-value property holding a calendar date.
#pragma once

#include <memory>

#include "Foundation/TimeSetting.h"
#include "IFC/IFCProperty.h"

namespace tarnwick {

class IFCCalendarDate : public IFCProperty {
public:
    IFCCalendarDate(const String& name, const String& setName, const String& typeName,
                    const String& description,
                    const Setting& value);   // takes the value's time
    IFCCalendarDate(const IFCCalendarDate& other);
    ~IFCCalendarDate() override;

    // Null unless both names are there; a record whose reference kind is not a date keeps the value unset.
    static std::unique_ptr<IFCCalendarDate> create(const host::IFCPropertyRecord& record);

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    // The head, and the date when the value holds one; false (no date written) while it is unset, so that
    // no invented date reaches the host.
    bool toHost(host::IFCPropertyRecord& record) const override;
    virtual Setting& getValue() const;
    virtual void setValue(const Setting& value);

private:
    IFCCalendarDate() = default;

    std::unique_ptr<TimeSetting> value_;
};

}   // namespace tarnwick
