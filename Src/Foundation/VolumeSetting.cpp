#include "Foundation/VolumeSetting.h"

#include <HostText.h>

namespace tarnwick {

VolumeSetting::VolumeSetting(double value) : Setting(SettingState::defined), RealSetting(value) {}

std::unique_ptr<Setting> VolumeSetting::clone() const { return std::make_unique<VolumeSetting>(*this); }

SettingKind VolumeSetting::getKind() const { return SettingKind::volume; }

String VolumeSetting::getText() const { return tarnwick::formatReal(value_, host::kFormatArea); }

bool VolumeSetting::setText(const String& text) {
    double value = 0.0;
    return tarnwick::parseReal(text, host::kFormatArea, value) && storeReal(value);
}

}   // namespace tarnwick
