#include "LibraryParts/PenParameter.h"

namespace tarnwick {

PenParameter::~PenParameter() = default;

std::unique_ptr<Parameter> PenParameter::clone() const { return std::make_unique<PenParameter>(*this); }

}   // namespace tarnwick
