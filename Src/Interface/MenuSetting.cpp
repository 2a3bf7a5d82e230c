#include "Interface/MenuSetting.h"

namespace tarnwick {

MenuSetting::MenuSetting(std::int32_t index, const String& text)
    : Setting(SettingState::defined), StringSetting(text), Int32Setting(index) {}

MenuSetting::MenuSetting(const MenuSetting& other)
    : Setting(other), StringSetting(other), Int32Setting(other) {}

std::unique_ptr<Setting> MenuSetting::clone() const { return std::make_unique<MenuSetting>(*this); }

bool MenuSetting::assign(const Setting& other) {
    if (&other == this) return true;
    if (const auto* menu = dynamic_cast<const MenuSetting*>(&other)) {
        copyValue(*menu);
        setState(menu->getState());
        return true;
    }
    return Setting::assign(other);
}

void MenuSetting::copyValue(const Setting& other) {
    if (dynamic_cast<const MenuSetting*>(&other)) StringSetting::copyValue(other);
    Int32Setting::copyValue(other);
}

void MenuSetting::clearValue() {
    StringSetting::clearValue();
    Int32Setting::clearValue();
}

}   // namespace tarnwick
