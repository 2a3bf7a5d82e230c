#include "Foundation/VoidSetting.h"

namespace tarnwick {

VoidSetting::VoidSetting(SettingState state) : Setting(state) {}

std::unique_ptr<Setting> VoidSetting::clone() const { return std::make_unique<VoidSetting>(*this); }

bool VoidSetting::assign(const Setting&) { return false; }
std::int64_t VoidSetting::getInt64() const { return 0; }
DateTime VoidSetting::getTime() const { return DateTime(); }
std::int32_t VoidSetting::getInt32() const { return 0; }
bool VoidSetting::getBool() const { return false; }
double VoidSetting::getReal() const { return 0.0; }
String VoidSetting::getText() const { return String(); }
bool VoidSetting::isEqual(const Setting&) const { return false; }
bool VoidSetting::isLess(const Setting&) const { return false; }
bool VoidSetting::isEmpty() const { return true; }
SettingKind VoidSetting::getKind() const { return SettingKind::none; }
void VoidSetting::clear() {}
bool VoidSetting::setInt64(std::int64_t) { return false; }
bool VoidSetting::setTime(const DateTime&) { return false; }
bool VoidSetting::setInt32(std::int32_t) { return false; }
bool VoidSetting::setBool(bool) { return false; }
bool VoidSetting::setReal(double) { return false; }
bool VoidSetting::setText(const String&) { return false; }

void VoidSetting::copyValue(const Setting&) {}
void VoidSetting::clearValue() {}
bool VoidSetting::isValueLess(const Setting&) const { return false; }
bool VoidSetting::isValueEqual(const Setting&) const { return false; }

}   // namespace tarnwick
