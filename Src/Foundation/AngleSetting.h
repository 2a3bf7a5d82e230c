// AngleSetting: a real Setting holding an angle in radians, written and read as text in degrees.
#pragma once

#include "Foundation/RealSetting.h"

namespace tarnwick {

// Compares within RealSetting::kTolerance, in radians.
class AngleSetting : public RealSetting {
public:
    AngleSetting() : Setting(SettingState::defined) {}   // 0.0, defined
    explicit AngleSetting(double radians);               // defined

    std::unique_ptr<Setting> clone() const override;
    String getText() const override;   // degrees, in the host's angle format
    SettingKind getKind() const override;
    bool setText(const String& text) override;   // degrees in the host's angle format; false otherwise
};

}   // namespace tarnwick
