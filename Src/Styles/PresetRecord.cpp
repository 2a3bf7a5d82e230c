#include "Styles/PresetRecord.h"

namespace tarnwick {

PresetRecord::~PresetRecord() = default;

std::shared_ptr<PresetRecord> PresetRecord::clonePreset() const {
    return std::static_pointer_cast<PresetRecord>(cloneRecord());
}

}   // namespace tarnwick
