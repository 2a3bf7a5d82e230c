#include "LibraryParts/SwitchParameter.h"

namespace tarnwick {

SwitchParameter::~SwitchParameter() = default;

std::unique_ptr<Parameter> SwitchParameter::clone() const { return std::make_unique<SwitchParameter>(*this); }

}   // namespace tarnwick
