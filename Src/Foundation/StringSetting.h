// StringSetting: a Setting holding a text.
#pragma once

#include "Foundation/Setting.h"

namespace tarnwick {

// Every other type is taken and given as its text (numbers in decimal, reals at full precision, dates as
// DateTime formats them, booleans as "1" or "0"). Texts compare exactly, and order by code point.
class StringSetting : public virtual Setting {
public:
    StringSetting() = default;                     // empty, not set
    explicit StringSetting(const String& value);   // defined

    std::unique_ptr<Setting> clone() const override;
    String getText() const override;
    bool isEmpty() const override;   // the empty text
    SettingKind getKind() const override;
    bool setText(const String& text) override;   // always true

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override;
    bool isValueEqual(const Setting& other) const override;

private:
    String value_;
};

}   // namespace tarnwick
