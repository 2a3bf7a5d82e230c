// BooleanSetting: a Setting holding true or false; written as "1" or "0".
#pragma once

#include "Foundation/Setting.h"

namespace tarnwick {

// Text in: empty or "false" (any case) is false, "true" (any case) is true, any other text is read as a
// number, not zero being true; text that is none of these is refused. False orders before true.
class BooleanSetting : public virtual Setting {
public:
    BooleanSetting() = default;            // false, not set
    explicit BooleanSetting(bool value);   // defined

    std::unique_ptr<Setting> clone() const override;
    std::int64_t getInt64() const override;   // 1 or 0
    std::int32_t getInt32() const override;   // 1 or 0
    bool getBool() const override;
    double getReal() const override;   // 1.0 or 0.0
    String getText() const override;   // "1" or "0"
    bool isEmpty() const override;     // true when false
    SettingKind getKind() const override;
    bool setInt64(std::int64_t value) override;   // not zero
    bool setInt32(std::int32_t value) override;   // not zero
    bool setBool(bool value) override;
    bool setReal(double value) override;   // not zero; false for NaN
    bool setText(const String& text) override;

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override;
    bool isValueEqual(const Setting& other) const override;

    bool store(bool value);

    bool value_ = false;
};

}   // namespace tarnwick
