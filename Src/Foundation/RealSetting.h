// RealSetting: a Setting holding one real; the base of the measured kinds (angle, area, length, volume).
#pragma once

#include "Foundation/Setting.h"

namespace tarnwick {

// Values within kTolerance of each other are equal, and only a value below another by more than that
// orders first. Only finite values are held: a NaN or infinity is refused by every setter.
class RealSetting : public virtual Setting {
public:
    static constexpr double kTolerance = 1e-5;

    RealSetting() = default;              // 0.0, not set
    explicit RealSetting(double value);   // defined

    std::unique_ptr<Setting> clone() const override;
    std::int64_t getInt64() const override;   // rounded to the nearest, held to the type's range
    std::int32_t getInt32() const override;   // rounded to the nearest, held to the type's range
    bool getBool() const override;            // not zero
    double getReal() const override;
    String getText() const override;   // the shortest decimal text that reads back exactly
    bool isEmpty() const override;     // within kTolerance of zero
    SettingKind getKind() const override;
    bool setInt64(std::int64_t value) override;
    bool setInt32(std::int32_t value) override;
    bool setBool(bool value) override;           // 1.0 or 0.0
    bool setReal(double value) override;         // false for NaN and infinities
    bool setText(const String& text) override;   // a decimal real ('.' as the point); false otherwise

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override;
    bool isValueEqual(const Setting& other) const override;

    bool storeReal(double value);   // the value, if finite, with state 2

    double value_ = 0.0;
};

}   // namespace tarnwick
