#include "IFC/IFCCalendarDate.h"

namespace tarnwick {

IFCCalendarDate::IFCCalendarDate(const String& name, const String& setName, const String& typeName,
                                 const String& description, const Setting& value)
    : IFCProperty(name, setName, typeName, description), value_(std::make_unique<TimeSetting>()) {
    value_->assign(value);
}

IFCCalendarDate::IFCCalendarDate(const IFCCalendarDate& other)
    : IFCProperty(other), value_(std::make_unique<TimeSetting>(*other.value_)) {}

IFCCalendarDate::~IFCCalendarDate() = default;

std::unique_ptr<IFCCalendarDate> IFCCalendarDate::create(const host::IFCPropertyRecord& record) {
    std::unique_ptr<IFCCalendarDate> property(new IFCCalendarDate());
    const host::UniString typeName(record.referenceKind == 0 ? std::u16string_view(u"IfcCalendarDate")
                                                             : std::u16string_view());
    if (!property->takeHead(record, typeName)) return nullptr;
    property->value_ = std::make_unique<TimeSetting>();
    if (record.referenceKind == 0) {
        DateTime date;
        // The record's year, month and day in 15, 4 and 5 bits.
        date.setDate(record.year & 0x7FFF, record.month & 0xF, record.day & 0x1F);
        date.clearTime();
        property->value_->setTime(date);
    }
    return property;
}

std::unique_ptr<IFCData> IFCCalendarDate::clone() const { return std::make_unique<IFCCalendarDate>(*this); }
IFCDataKind IFCCalendarDate::getKind() const { return IFCDataKind::referenceValue; }
Setting& IFCCalendarDate::getValue() const { return *value_; }
void IFCCalendarDate::setValue(const Setting& value) { value_->assign(value); }

bool IFCCalendarDate::toHost(host::IFCPropertyRecord& record) const {
    const bool head = writeHead(record);
    if (value_->getState() == SettingState::notSet) return false;
    std::uint16_t year = 0, month = 0, day = 0;
    value_->getTime().getDate(year, month, day);
    record.referenceKind = 0;
    record.day = day;
    record.month = month;
    record.year = year;
    return head;
}

}   // namespace tarnwick
