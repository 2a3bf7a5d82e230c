// BooleanPropertySetting: the boolean of a property value, written "True" or "False" as the host shows it.
#pragma once

#include "Foundation/BooleanSetting.h"

namespace tarnwick {

// A BooleanSetting in every other respect (kind 3, the same text rules on reading).
class BooleanPropertySetting : public BooleanSetting {
public:
    BooleanPropertySetting() = default;            // false, not set
    explicit BooleanPropertySetting(bool value);   // defined

    std::unique_ptr<Setting> clone() const override;
    String getText() const override;   // "True" or "False"
};

}   // namespace tarnwick
