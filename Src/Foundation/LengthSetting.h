// LengthSetting: a real Setting holding a length in the host's internal unit (metres).
#pragma once

#include "Foundation/RealSetting.h"

namespace tarnwick {

// Text is RealSetting's plain decimal real in metres, not the user's working units, so that it reads back
// unchanged. Compares within RealSetting::kTolerance.
class LengthSetting : public RealSetting {
public:
    LengthSetting() = default;              // 0.0, not set
    explicit LengthSetting(double value);   // defined

    std::unique_ptr<Setting> clone() const override;
    SettingKind getKind() const override;
};

}   // namespace tarnwick
