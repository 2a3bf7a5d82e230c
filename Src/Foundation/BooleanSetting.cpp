#include "Foundation/BooleanSetting.h"

#include <cmath>

namespace tarnwick {

BooleanSetting::BooleanSetting(bool value) : Setting(SettingState::defined), value_(value) {}

std::unique_ptr<Setting> BooleanSetting::clone() const { return std::make_unique<BooleanSetting>(*this); }

std::int64_t BooleanSetting::getInt64() const { return value_ ? 1 : 0; }
std::int32_t BooleanSetting::getInt32() const { return value_ ? 1 : 0; }
bool BooleanSetting::getBool() const { return value_; }
double BooleanSetting::getReal() const { return value_ ? 1.0 : 0.0; }
String BooleanSetting::getText() const { return value_ ? "1" : "0"; }
bool BooleanSetting::isEmpty() const { return !value_; }
SettingKind BooleanSetting::getKind() const { return SettingKind::boolean; }

bool BooleanSetting::setInt64(std::int64_t value) { return store(value != 0); }
bool BooleanSetting::setInt32(std::int32_t value) { return store(value != 0); }
bool BooleanSetting::setBool(bool value) { return store(value); }

bool BooleanSetting::setReal(double value) {
    if (std::isnan(value)) return false;
    return store(std::fpclassify(value) != FP_ZERO);
}

bool BooleanSetting::setText(const String& text) {
    bool value = false;
    return readBoolText(text, value) && store(value);
}

void BooleanSetting::copyValue(const Setting& other) { value_ = other.getBool(); }
void BooleanSetting::clearValue() { value_ = false; }
bool BooleanSetting::isValueLess(const Setting& other) const { return !value_ && other.getBool(); }
bool BooleanSetting::isValueEqual(const Setting& other) const { return value_ == other.getBool(); }

bool BooleanSetting::store(bool value) {
    value_ = value;
    markDefined();
    return true;
}

}   // namespace tarnwick
