#include "LibraryParts/FinishParameter.h"

namespace tarnwick {

FinishParameter::~FinishParameter() = default;

std::unique_ptr<Parameter> FinishParameter::clone() const { return std::make_unique<FinishParameter>(*this); }

}   // namespace tarnwick
