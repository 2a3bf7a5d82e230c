#include "Foundation/AreaSetting.h"

#include <HostText.h>

namespace tarnwick {

AreaSetting::AreaSetting(double value) : Setting(SettingState::defined), RealSetting(value) {}

std::unique_ptr<Setting> AreaSetting::clone() const { return std::make_unique<AreaSetting>(*this); }

SettingKind AreaSetting::getKind() const { return SettingKind::area; }

String AreaSetting::getText() const { return tarnwick::formatReal(value_, host::kFormatArea); }

bool AreaSetting::setText(const String& text) {
    double value = 0.0;
    return tarnwick::parseReal(text, host::kFormatArea, value) && storeReal(value);
}

}   // namespace tarnwick
