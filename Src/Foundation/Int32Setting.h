// Int32Setting: a Setting holding a signed 32-bit integer.
#pragma once

#include "Foundation/Setting.h"

namespace tarnwick {

// A value that does not fit 32 bits (a large 64-bit integer, a real out of range or not finite) is refused
// by its setter rather than cut.
class Int32Setting : public virtual Setting {
public:
    Int32Setting() = default;                    // 0, not set
    explicit Int32Setting(std::int32_t value);   // defined

    std::unique_ptr<Setting> clone() const override;
    std::int64_t getInt64() const override;
    std::int32_t getInt32() const override;
    bool getBool() const override;   // not zero
    double getReal() const override;
    String getText() const override;   // decimal
    bool isEmpty() const override;     // zero
    SettingKind getKind() const override;
    bool setInt64(std::int64_t value) override;   // false outside the 32-bit range
    bool setInt32(std::int32_t value) override;
    bool setBool(bool value) override;           // 1 or 0
    bool setReal(double value) override;         // rounded to the nearest; false outside the range
    bool setText(const String& text) override;   // decimal 32-bit integer; false otherwise

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override;
    bool isValueEqual(const Setting& other) const override;

private:
    bool store(std::int32_t value);

    std::int32_t value_ = 0;
};

}   // namespace tarnwick
