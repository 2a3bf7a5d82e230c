// IDSetting: a Setting holding a Guid; its text is the Guid's text form.
#pragma once

#include "Foundation/Guid.h"
#include "Foundation/Setting.h"

namespace tarnwick {

// The zero value is the null Guid. Numbers cannot be set; numeric getters read 0. Guids order as the
// host orders them.
class IDSetting : public virtual Setting {
public:
    IDSetting() = default;                   // the null Guid, not set
    explicit IDSetting(const Guid& value);   // defined

    const Guid& getGuid() const { return value_; }

    std::unique_ptr<Setting> clone() const override;
    String getText() const override;   // "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX"
    bool isEmpty() const override;     // the null Guid
    SettingKind getKind() const override;
    bool setText(const String& text) override;   // a GUID text, braces optional; false, nothing changed, else

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override;
    bool isValueEqual(const Setting& other) const override;

private:
    static Guid guidOf(const Setting& other);   // of the same kind: its Guid, read from its text if need be

    Guid value_;
};

}   // namespace tarnwick
