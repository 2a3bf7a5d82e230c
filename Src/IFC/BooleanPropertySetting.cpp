#include "IFC/BooleanPropertySetting.h"

namespace tarnwick {

BooleanPropertySetting::BooleanPropertySetting(bool value)
    : Setting(SettingState::defined), BooleanSetting(value) {}

std::unique_ptr<Setting> BooleanPropertySetting::clone() const {
    return std::make_unique<BooleanPropertySetting>(*this);
}

String BooleanPropertySetting::getText() const { return getBool() ? "True" : "False"; }

}   // namespace tarnwick
