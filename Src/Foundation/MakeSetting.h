// MakeSetting: the factory that makes an empty Setting of a kind, for readers that learn the kind first.
#pragma once

#include <memory>

#include "Foundation/Setting.h"

namespace tarnwick {

// An interface; other factories (for property values, say) choose their own classes per kind.
class MakeSetting {
public:
    virtual ~MakeSetting();
    virtual std::unique_ptr<Setting> make(SettingKind kind) const = 0;   // null for a kind it does not make
};

// The plain classes: one of the eleven kinds, holding its zero value, state 0 (not set). Null for
// SettingKind::none and any code outside 1 to 11.
std::unique_ptr<Setting> makeEmptySetting(SettingKind kind);

}   // namespace tarnwick
