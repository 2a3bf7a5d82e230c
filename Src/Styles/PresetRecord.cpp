#include "Styles/PresetRecord.h"

#include "Styles/PresetField.h"

namespace tarnwick {

PresetRecord::~PresetRecord() = default;

std::shared_ptr<PresetRecord> PresetRecord::clonePreset() const {
    return std::static_pointer_cast<PresetRecord>(cloneRecord());
}

PresetField* PresetRecord::getField(std::size_t) { return nullptr; }

const PresetField* PresetRecord::getField(std::size_t index) const {
    return const_cast<PresetRecord*>(this)->getField(index);
}

PresetField* PresetRecord::findField(const String& name) {
    for (std::size_t index = 0; index < getFieldCount(); ++index)
        if (PresetField* field = getField(index); field && field->getName() == name) return field;
    return nullptr;
}

const PresetField* PresetRecord::findField(const String& name) const {
    return const_cast<PresetRecord*>(this)->findField(name);
}

std::shared_ptr<PresetRecord> PresetRecord::getSubRecord(std::size_t) const { return nullptr; }

bool PresetRecord::setSetting(const String& name, const Setting& value, std::uint32_t index) {
    PresetField* const field = findField(name);
    return field && field->setValue(value, index);
}

}   // namespace tarnwick
