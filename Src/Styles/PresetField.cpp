#include "Styles/PresetField.h"

namespace tarnwick {

PresetField::~PresetField() = default;

}   // namespace tarnwick
