#include "Foundation/RealSetting.h"

#include <cmath>
#include <limits>

namespace tarnwick {
namespace {

// Rounded to the nearest and held to Int's range; NaN gives 0.
template <typename Int>
Int roundHeld(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = std::round(value);
    constexpr auto lowest = std::numeric_limits<Int>::min();
    constexpr auto highest = std::numeric_limits<Int>::max();
    if (rounded <= static_cast<double>(lowest)) return lowest;
    if (rounded >= static_cast<double>(highest)) return highest;   // 2^63 for int64: the cast would overflow
    return static_cast<Int>(rounded);
}

}   // namespace

RealSetting::RealSetting(double value) : Setting(SettingState::defined), value_(value) {}

std::unique_ptr<Setting> RealSetting::clone() const { return std::make_unique<RealSetting>(*this); }

std::int64_t RealSetting::getInt64() const { return roundHeld<std::int64_t>(value_); }
std::int32_t RealSetting::getInt32() const { return roundHeld<std::int32_t>(value_); }
bool RealSetting::getBool() const { return std::fpclassify(value_) != FP_ZERO; }
double RealSetting::getReal() const { return value_; }
String RealSetting::getText() const { return String(value_, /*step=*/0.0); }
bool RealSetting::isEmpty() const { return std::abs(value_) <= kTolerance; }
SettingKind RealSetting::getKind() const { return SettingKind::real; }

bool RealSetting::setInt64(std::int64_t value) { return storeReal(static_cast<double>(value)); }
bool RealSetting::setInt32(std::int32_t value) { return storeReal(value); }
bool RealSetting::setBool(bool value) { return storeReal(value ? 1.0 : 0.0); }
bool RealSetting::setReal(double value) { return storeReal(value); }

bool RealSetting::setText(const String& text) {
    double value = 0.0;
    return parseDouble(text, value) && storeReal(value);
}

void RealSetting::copyValue(const Setting& other) { value_ = other.getReal(); }
void RealSetting::clearValue() { value_ = 0.0; }
bool RealSetting::isValueLess(const Setting& other) const { return value_ < other.getReal() - kTolerance; }
bool RealSetting::isValueEqual(const Setting& other) const {
    return std::abs(value_ - other.getReal()) <= kTolerance;
}

bool RealSetting::storeReal(double value) {
    if (!std::isfinite(value)) return false;
    value_ = value;
    markDefined();
    return true;
}

}   // namespace tarnwick
