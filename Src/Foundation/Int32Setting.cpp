#include "Foundation/Int32Setting.h"

#include <cmath>
#include <limits>

namespace tarnwick {
namespace {

constexpr auto kLowest = std::numeric_limits<std::int32_t>::min();
constexpr auto kHighest = std::numeric_limits<std::int32_t>::max();

}   // namespace

Int32Setting::Int32Setting(std::int32_t value) : Setting(SettingState::defined), value_(value) {}

std::unique_ptr<Setting> Int32Setting::clone() const { return std::make_unique<Int32Setting>(*this); }

std::int64_t Int32Setting::getInt64() const { return value_; }
std::int32_t Int32Setting::getInt32() const { return value_; }
bool Int32Setting::getBool() const { return value_ != 0; }
double Int32Setting::getReal() const { return value_; }
String Int32Setting::getText() const { return String(value_); }
bool Int32Setting::isEmpty() const { return value_ == 0; }
SettingKind Int32Setting::getKind() const { return SettingKind::int32; }

bool Int32Setting::setInt64(std::int64_t value) {
    if (value < kLowest || value > kHighest) return false;
    return store(static_cast<std::int32_t>(value));
}

bool Int32Setting::setInt32(std::int32_t value) { return store(value); }
bool Int32Setting::setBool(bool value) { return store(value ? 1 : 0); }

bool Int32Setting::setReal(double value) {
    const double rounded = std::round(value);
    if (!(rounded >= kLowest && rounded <= kHighest)) return false;   // also NaN
    return store(static_cast<std::int32_t>(rounded));
}

bool Int32Setting::setText(const String& text) {
    std::int32_t value = 0;
    return parseInt32(text, value) && store(value);
}

void Int32Setting::copyValue(const Setting& other) { value_ = other.getInt32(); }
void Int32Setting::clearValue() { value_ = 0; }
bool Int32Setting::isValueLess(const Setting& other) const { return value_ < other.getInt32(); }
bool Int32Setting::isValueEqual(const Setting& other) const { return value_ == other.getInt32(); }

bool Int32Setting::store(std::int32_t value) {
    value_ = value;
    markDefined();
    return true;
}

}   // namespace tarnwick
