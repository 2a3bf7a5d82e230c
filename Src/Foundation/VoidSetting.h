// VoidSetting: a Setting without a value, standing for a missing one.
#pragma once

#include "Foundation/Setting.h"

namespace tarnwick {

// Kind none (0). Every getter gives zero, false or the empty text; every setter, assign and clear change
// nothing and give false. It is empty, equals nothing (not even another VoidSetting) and orders before
// nothing. Its state is the one given at construction, or one set by setState.
class VoidSetting : public virtual Setting {
public:
    explicit VoidSetting(SettingState state = SettingState::notSet);

    std::unique_ptr<Setting> clone() const override;
    bool assign(const Setting& other) override;
    std::int64_t getInt64() const override;
    DateTime getTime() const override;
    std::int32_t getInt32() const override;
    bool getBool() const override;
    double getReal() const override;
    String getText() const override;
    bool isEqual(const Setting& other) const override;
    bool isLess(const Setting& other) const override;
    bool isEmpty() const override;
    SettingKind getKind() const override;
    void clear() override;
    bool setInt64(std::int64_t value) override;
    bool setTime(const DateTime& value) override;
    bool setInt32(std::int32_t value) override;
    bool setBool(bool value) override;
    bool setReal(double value) override;
    bool setText(const String& text) override;

protected:
    void copyValue(const Setting& other) override;
    void clearValue() override;
    bool isValueLess(const Setting& other) const override;
    bool isValueEqual(const Setting& other) const override;
};

}   // namespace tarnwick
