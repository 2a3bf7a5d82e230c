// VolumeSetting: a real Setting holding a volume in the host's internal unit (cubic metres).
#pragma once

#include "Foundation/RealSetting.h"

namespace tarnwick {

// Text goes through the host's area number format, which the host also uses for volumes; compares within
// RealSetting::kTolerance.
class VolumeSetting : public RealSetting {
public:
    VolumeSetting() : Setting(SettingState::defined) {}   // 0.0, defined
    explicit VolumeSetting(double value);                 // defined

    std::unique_ptr<Setting> clone() const override;
    String getText() const override;   // in the host's area format, which serves volumes too
    SettingKind getKind() const override;
    // In the host's area format, which serves volumes too; false otherwise.
    bool setText(const String& text) override;
};

}   // namespace tarnwick
