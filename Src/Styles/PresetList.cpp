#include "Styles/PresetList.h"

#include "Environment/Addon.h"
#include "Styles/PresetRecord.h"
#include "Styles/TarnwickLibrary.h"

namespace tarnwick {

PresetList::~PresetList() = default;

std::unique_ptr<XMLAssembly> PresetList::clone() const { return std::make_unique<PresetList>(*this); }

Preset& PresetList::add(std::unique_ptr<Preset> preset) {
    return static_cast<Preset&>(addItem(std::move(preset)));
}

const Preset* PresetList::findByKey(const String& type, const String& keyParameterName) const {
    for (std::size_t index = 0; index < size(); ++index) {
        const Preset& preset = at(index);
        if (preset.type == type && preset.keyParameter.name == keyParameterName) return &preset;
    }
    return nullptr;
}

const Preset* PresetList::findOwner(const PresetRecord& record, const String& parameterName,
                                    const PresetDatabase& database) const {
    const String type = record.getTypeName();
    for (std::size_t index = 0; index < size(); ++index) {
        const Preset& preset = at(index);
        if (preset.type == type && preset.ownsParameter(parameterName, record, database)) return &preset;
    }
    return nullptr;
}

const PresetList* PresetList::ofAddon() {
    Addon* const addon = Addon::getInstance();
    return addon ? &addon->getTarnwickLibrary().getPresets() : nullptr;
}

}   // namespace tarnwick
