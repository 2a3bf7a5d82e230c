// MenuSetting: the typed value of a popup's choice: the item's index and its text.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/Int32Setting.h"
#include "Foundation/StringSetting.h"

namespace tarnwick {

// Kind 6 (int32). The text part answers the text operations, equality and order; the index part the
// number operations. Clearing empties the text and sets the index to 0.
class MenuSetting : public StringSetting, public Int32Setting {
public:
    MenuSetting(std::int32_t index, const String& text);   // defined
    MenuSetting(const MenuSetting& other);

    std::unique_ptr<Setting> clone() const override;
    bool assign(const Setting& other) override;   // a MenuSetting copies both parts
    String getText() const override { return StringSetting::getText(); }
    bool setText(const String& text) override { return StringSetting::setText(text); }
    bool isEmpty() const override { return StringSetting::isEmpty(); }
    SettingKind getKind() const override { return Int32Setting::getKind(); }
    std::int32_t getIndex() const { return Int32Setting::getInt32(); }

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override { return StringSetting::isValueLess(other); }
    bool isValueEqual(const Setting& other) const override { return StringSetting::isValueEqual(other); }
};

}   // namespace tarnwick
