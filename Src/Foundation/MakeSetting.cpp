#include "Foundation/MakeSetting.h"

#include "Foundation/AngleSetting.h"
#include "Foundation/AreaSetting.h"
#include "Foundation/BooleanSetting.h"
#include "Foundation/IDSetting.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/Int64Setting.h"
#include "Foundation/LengthSetting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TimeSetting.h"
#include "Foundation/VolumeSetting.h"

namespace tarnwick {

namespace {

// The measure kinds are made holding a defined zero; the factory's settings are empty and not set.
std::unique_ptr<Setting> cleared(std::unique_ptr<Setting> setting) {
    setting->clear();
    return setting;
}

}   // namespace

MakeSetting::~MakeSetting() = default;

std::unique_ptr<Setting> makeEmptySetting(SettingKind kind) {
    switch (kind) {
        case SettingKind::angle:
            return cleared(std::make_unique<AngleSetting>());
        case SettingKind::area:
            return cleared(std::make_unique<AreaSetting>());
        case SettingKind::boolean:
            return std::make_unique<BooleanSetting>();
        case SettingKind::time:
            return std::make_unique<TimeSetting>();
        case SettingKind::id:
            return std::make_unique<IDSetting>();
        case SettingKind::int32:
            return std::make_unique<Int32Setting>();
        case SettingKind::int64:
            return std::make_unique<Int64Setting>();
        case SettingKind::length:
            return std::make_unique<LengthSetting>();
        case SettingKind::real:
            return std::make_unique<RealSetting>();
        case SettingKind::string:
            return std::make_unique<StringSetting>();
        case SettingKind::volume:
            return cleared(std::make_unique<VolumeSetting>());
        case SettingKind::none:
            break;
    }
    return nullptr;   // none, and codes read from outside that name no kind
}

}   // namespace tarnwick
