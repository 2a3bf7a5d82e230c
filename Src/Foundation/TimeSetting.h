// TimeSetting: a Setting holding a DateTime.
#pragma once

#include "Foundation/Setting.h"

namespace tarnwick {

// Text is DateTime's: "YYYY-MM-DD HH:MM:SS" out; that or a date alone in. Times order by the instant
// they name; the zero value is the default DateTime (0000-01-01 00:00:00). Numbers cannot be set.
class TimeSetting : public virtual Setting {
public:
    TimeSetting() = default;                       // the default DateTime, not set
    explicit TimeSetting(const DateTime& value);   // defined

    std::unique_ptr<Setting> clone() const override;
    DateTime getTime() const override;
    String getText() const override;
    bool isEmpty() const override;   // equal to the default DateTime
    SettingKind getKind() const override;
    bool setTime(const DateTime& value) override;
    bool setText(const String& text) override;   // false, nothing changed, when the text is not a date

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override;
    bool isValueEqual(const Setting& other) const override;

private:
    DateTime value_;
};

}   // namespace tarnwick
