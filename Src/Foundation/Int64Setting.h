// Int64Setting: a Setting holding a signed 64-bit integer.
#pragma once

#include "Foundation/Setting.h"

namespace tarnwick {

// Read as a 32-bit integer, a value outside that range is held to its nearest end.
class Int64Setting : public virtual Setting {
public:
    Int64Setting() = default;                    // 0, not set
    explicit Int64Setting(std::int64_t value);   // defined

    std::unique_ptr<Setting> clone() const override;
    std::int64_t getInt64() const override;
    std::int32_t getInt32() const override;   // held to the 32-bit range
    bool getBool() const override;            // not zero
    double getReal() const override;          // nearest real (exact up to 2^53)
    String getText() const override;          // decimal
    bool isEmpty() const override;            // zero
    SettingKind getKind() const override;
    bool setInt64(std::int64_t value) override;
    bool setInt32(std::int32_t value) override;
    bool setBool(bool value) override;           // 1 or 0
    bool setReal(double value) override;         // rounded to the nearest; false outside the range
    bool setText(const String& text) override;   // decimal 64-bit integer; false otherwise

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override;
    bool isValueEqual(const Setting& other) const override;

private:
    bool store(std::int64_t value);

    std::int64_t value_ = 0;
};

}   // namespace tarnwick
