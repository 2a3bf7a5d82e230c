// MakePropertySetting: the factory of property values: the Setting class for a kind, and the Setting that
// holds a host variant, with the measure (length, area, volume, angle) of the property's definition.
#pragma once

#include <cstdint>
#include <memory>

#include <HostIFCRecords.h>

#include "Foundation/MakeSetting.h"

namespace tarnwick {

// The measure a real value is read with; the numbers are the host's measure types.
enum class PropertyMeasure : std::uint32_t {
    none = 0,
    plain = 1,
    length = 2,
    area = 3,
    volume = 4,
    angle = 5,
};

// Stateless apart from its measure; copy freely.
class MakePropertySetting : public MakeSetting {
public:
    explicit MakePropertySetting(PropertyMeasure measure = PropertyMeasure::plain) : measure_(measure) {}

    // A setting of the kind holding its zero value (a boolean says "True"/"False"); null for kind 0 and
    // codes outside 1 to 11.
    std::unique_ptr<Setting> make(SettingKind kind) const override;
    // The variant's value: an integer, a real of this factory's measure, a text, a boolean or a GUID, in
    // state 2. A variant of another type gives a VoidSetting in state 1.
    std::unique_ptr<Setting> makeFromHost(const host::VariantRecord& variant) const;

    // The measure real values of a kind are read with: length 2, area 3, volume 4, angle 5, none 0 for
    // kind 0, plain 1 for the rest.
    static PropertyMeasure measureOf(SettingKind kind);

private:
    PropertyMeasure measure_;
};

}   // namespace tarnwick
