// PresetSettingList: the settings of a style template, applied and stored in list order.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "Foundation/XMLArray.h"
#include "Styles/PresetSetting.h"

namespace tarnwick {

class ParameterList;
class PresetRecord;

// Owns its settings; copies are deep. XML: one element "setting" per setting.
class PresetSettingList : public XMLArray {
public:
    static constexpr std::string_view kTag = "presetSettingList";

    PresetSettingList() : XMLArray(kTag, "setting") {}
    PresetSettingList(const PresetSettingList&) = default;
    ~PresetSettingList() override;

    std::unique_ptr<XMLAssembly> clone() const override;
    std::size_t size() const { return getItemCount(); }
    const PresetSetting& at(std::size_t index) const {
        return static_cast<const PresetSetting&>(getItem(index));
    }
    PresetSetting& add(const PresetSetting& setting);

    bool applyAll(ParameterList& parameters, std::uint64_t i,
                  const PresetRecord& record) const;   // any change
    void storeAll(const ParameterList& parameters, std::uint64_t i, PresetRecord& record) const;

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<PresetSetting>(); }
};

}   // namespace tarnwick
