#include "Foundation/Int64Setting.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnwick {
namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;   // the first real past the 64-bit range

}   // namespace

Int64Setting::Int64Setting(std::int64_t value) : Setting(SettingState::defined), value_(value) {}

std::unique_ptr<Setting> Int64Setting::clone() const { return std::make_unique<Int64Setting>(*this); }

std::int64_t Int64Setting::getInt64() const { return value_; }

std::int32_t Int64Setting::getInt32() const {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value_, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool Int64Setting::getBool() const { return value_ != 0; }
double Int64Setting::getReal() const { return static_cast<double>(value_); }
String Int64Setting::getText() const { return String(value_); }
bool Int64Setting::isEmpty() const { return value_ == 0; }
SettingKind Int64Setting::getKind() const { return SettingKind::int64; }

bool Int64Setting::setInt64(std::int64_t value) { return store(value); }
bool Int64Setting::setInt32(std::int32_t value) { return store(value); }
bool Int64Setting::setBool(bool value) { return store(value ? 1 : 0); }

bool Int64Setting::setReal(double value) {
    const double rounded = std::round(value);
    if (!(rounded >= -kTwoTo63 && rounded < kTwoTo63)) return false;   // also NaN
    return store(static_cast<std::int64_t>(rounded));
}

bool Int64Setting::setText(const String& text) {
    std::int64_t value = 0;
    return readInt64Text(text, value) && store(value);
}

void Int64Setting::copyValue(const Setting& other) { value_ = other.getInt64(); }
void Int64Setting::clearValue() { value_ = 0; }
bool Int64Setting::isValueLess(const Setting& other) const { return value_ < other.getInt64(); }
bool Int64Setting::isValueEqual(const Setting& other) const { return value_ == other.getInt64(); }

bool Int64Setting::store(std::int64_t value) {
    value_ = value;
    markDefined();
    return true;
}

}   // namespace tarnwick
