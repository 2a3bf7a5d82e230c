#include "Styles/PresetSettingList.h"

namespace tarnwick {

PresetSettingList::~PresetSettingList() = default;

std::unique_ptr<XMLAssembly> PresetSettingList::clone() const {
    return std::make_unique<PresetSettingList>(*this);
}

PresetSetting& PresetSettingList::add(const PresetSetting& setting) {
    return static_cast<PresetSetting&>(addItem(std::make_unique<PresetSetting>(setting)));
}

bool PresetSettingList::applyAll(ParameterList& parameters, std::uint64_t i,
                                 const PresetRecord& record) const {
    bool changed = false;
    for (std::size_t index = 0; index < size(); ++index)
        changed = at(index).apply(parameters, i, record) || changed;
    return changed;
}

void PresetSettingList::storeAll(const ParameterList& parameters, std::uint64_t i,
                                 PresetRecord& record) const {
    for (std::size_t index = 0; index < size(); ++index) at(index).store(parameters, i, record);
}

}   // namespace tarnwick
