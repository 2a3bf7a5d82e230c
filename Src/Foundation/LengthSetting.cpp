#include "Foundation/LengthSetting.h"

namespace tarnwick {

LengthSetting::LengthSetting(double value) : Setting(SettingState::defined), RealSetting(value) {}

std::unique_ptr<Setting> LengthSetting::clone() const { return std::make_unique<LengthSetting>(*this); }

SettingKind LengthSetting::getKind() const { return SettingKind::length; }

}   // namespace tarnwick
