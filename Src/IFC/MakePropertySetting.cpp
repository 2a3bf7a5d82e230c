#include "IFC/MakePropertySetting.h"

#include "Foundation/AngleSetting.h"
#include "Foundation/AreaSetting.h"
#include "Foundation/IDSetting.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/LengthSetting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/VoidSetting.h"
#include "Foundation/VolumeSetting.h"
#include "IFC/BooleanPropertySetting.h"
#include "IFC/HostUniText.h"

namespace tarnwick {

std::unique_ptr<Setting> MakePropertySetting::make(SettingKind kind) const {
    // The measure kinds hold a defined zero, as their constructors make them.
    switch (kind) {
        case SettingKind::boolean:
            return std::make_unique<BooleanPropertySetting>();
        case SettingKind::angle:
            return std::make_unique<AngleSetting>();
        case SettingKind::area:
            return std::make_unique<AreaSetting>();
        case SettingKind::volume:
            return std::make_unique<VolumeSetting>();
        default:
            return makeEmptySetting(kind);   // null for none and unknown codes
    }
}

std::unique_ptr<Setting> MakePropertySetting::makeFromHost(const host::VariantRecord& variant) const {
    switch (variant.type) {
        case host::kVariantInteger:
            return std::make_unique<Int32Setting>(variant.intValue);
        case host::kVariantReal:
            switch (measure_) {
                case PropertyMeasure::length:
                    return std::make_unique<LengthSetting>(variant.doubleValue);
                case PropertyMeasure::area:
                    return std::make_unique<AreaSetting>(variant.doubleValue);
                case PropertyMeasure::volume:
                    return std::make_unique<VolumeSetting>(variant.doubleValue);
                case PropertyMeasure::angle:
                    return std::make_unique<AngleSetting>(variant.doubleValue);
                default:
                    return std::make_unique<RealSetting>(variant.doubleValue);
            }
        case host::kVariantString:
            return std::make_unique<StringSetting>(fromUniString(variant.uniStringValue));
        case host::kVariantBoolean:
            return std::make_unique<BooleanPropertySetting>(variant.boolValue != 0);
        case host::kVariantGuid:
            return std::make_unique<IDSetting>(Guid(variant.guidValue));
        default:
            return std::make_unique<VoidSetting>(SettingState::undefined);
    }
}

PropertyMeasure MakePropertySetting::measureOf(SettingKind kind) {
    switch (kind) {
        case SettingKind::length:
            return PropertyMeasure::length;
        case SettingKind::area:
            return PropertyMeasure::area;
        case SettingKind::volume:
            return PropertyMeasure::volume;
        case SettingKind::angle:
            return PropertyMeasure::angle;
        case SettingKind::none:
            return PropertyMeasure::none;
        default:
            return PropertyMeasure::plain;
    }
}

}   // namespace tarnwick
