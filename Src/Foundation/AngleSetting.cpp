#include "Foundation/AngleSetting.h"

#include <HostText.h>

namespace tarnwick {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;

}   // namespace

AngleSetting::AngleSetting(double radians) : Setting(SettingState::defined), RealSetting(radians) {}

std::unique_ptr<Setting> AngleSetting::clone() const { return std::make_unique<AngleSetting>(*this); }

String AngleSetting::getText() const {
    return tarnwick::formatReal(value_ * kDegreesPerRadian, host::kFormatAngle);
}

SettingKind AngleSetting::getKind() const { return SettingKind::angle; }

bool AngleSetting::setText(const String& text) {
    double degrees = 0.0;
    return tarnwick::parseReal(text, host::kFormatAngle, degrees) && storeReal(degrees * kRadiansPerDegree);
}

}   // namespace tarnwick
