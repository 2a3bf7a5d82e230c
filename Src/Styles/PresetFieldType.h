// PresetFieldType<SettingType, Value>: a style field of one value type, kept as a list of values and
// exchanged with parameter cells through the setting kind of that type. PresetFieldType<IDSetting,
// Guid> is a link field: its values are the Guids of other styles.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "Foundation/Guid.h"
#include "Foundation/IDSetting.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/String.h"
#include "Foundation/StringSetting.h"
#include "LibraryParts/Parameter.h"
#include "Styles/PresetField.h"

namespace tarnwick {

// SettingType is IDSetting, Int32Setting, RealSetting or StringSetting, with the matching Value.
template <typename SettingType, typename Value>
class PresetFieldType : public PresetField {
public:
    static constexpr std::uint32_t kNotFound = 0xFFFFFFFF;

    explicit PresetFieldType(const String& name, std::vector<Value> values = {Value{}})
        : PresetField(name), values_(std::move(values)) {}

    const std::vector<Value>& getValues() const { return values_; }
    std::vector<Value>& values() { return values_; }   // for a record's own XML of the field
    void setValues(std::vector<Value> values) { values_ = std::move(values); }
    Value getValue(std::size_t index = 0) const { return index < values_.size() ? values_[index] : Value{}; }
    void setValue(const Value& value, std::size_t index = 0) {
        if (index >= values_.size()) values_.resize(index + 1);
        values_[index] = value;
    }
    // The index of the value; kNotFound when the field does not hold it.
    std::uint32_t positionOf(const Value& value) const {
        for (std::size_t index = 0; index < values_.size(); ++index)
            if (values_[index] == value) return static_cast<std::uint32_t>(index);
        return kNotFound;
    }

    std::unique_ptr<PresetField> clone() const override { return std::make_unique<PresetFieldType>(*this); }

    bool applyTo(Parameter& parameter, std::uint64_t row, std::uint64_t column) const override {
        bool changed = false;
        for (std::size_t index = 0; index < values_.size(); ++index) {
            const std::uint64_t at = column + index;
            if (!parameter.holdsCell(row, at)) break;
            const std::unique_ptr<Setting> before = parameter.makeSetting(row, at);
            parameter.setCell(SettingType(values_[index]), row, at);
            const std::unique_ptr<Setting> after = parameter.makeSetting(row, at);
            if (before && after && !before->isEqual(*after)) changed = true;
        }
        return changed;
    }

    void storeFrom(const Parameter& parameter, std::uint64_t row, std::uint64_t column) override {
        const std::size_t count = values_.empty() ? 1 : values_.size();
        for (std::size_t index = 0; index < count; ++index) {
            if (!parameter.holdsCell(row, column + index)) break;
            const std::unique_ptr<Setting> cell = parameter.makeSetting(row, column + index);
            if (cell) setValue(*cell, static_cast<std::uint32_t>(index));
        }
    }

    bool setValue(const Setting& value, std::uint32_t index) override {
        SettingType converted;
        if (!converted.assign(value)) return false;
        setValue(valueOf(converted), index);
        return true;
    }

    bool isEqual(const PresetField& other) const override {
        const auto* same = dynamic_cast<const PresetFieldType*>(&other);
        return same && same->getName() == getName() && same->getFlag() == getFlag() &&
               same->values_ == values_;
    }

private:
    static Value valueOf(const SettingType& setting) {
        if constexpr (std::is_same_v<Value, Guid>) {
            return setting.getGuid();
        } else if constexpr (std::is_same_v<Value, String>) {
            return setting.getText();
        } else if constexpr (std::is_same_v<Value, double>) {
            return setting.getReal();
        } else {
            return setting.getInt32();
        }
    }

    std::vector<Value> values_;
};

using PresetLinkField = PresetFieldType<IDSetting, Guid>;

}   // namespace tarnwick
