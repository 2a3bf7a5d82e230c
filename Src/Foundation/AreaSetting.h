// AreaSetting: a real Setting holding an area in the host's internal unit (square metres).
#pragma once

#include "Foundation/RealSetting.h"

namespace tarnwick {

// Text goes through the host's area number format; compares within RealSetting::kTolerance.
class AreaSetting : public RealSetting {
public:
    AreaSetting() : Setting(SettingState::defined) {}   // 0.0, defined
    explicit AreaSetting(double value);                 // defined

    std::unique_ptr<Setting> clone() const override;
    String getText() const override;   // in the host's area format
    SettingKind getKind() const override;
    bool setText(const String& text) override;   // in the host's area format; false otherwise
};

}   // namespace tarnwick
