#include "LibraryParts/FillParameter.h"

namespace tarnwick {

FillParameter::~FillParameter() = default;

std::unique_ptr<Parameter> FillParameter::clone() const { return std::make_unique<FillParameter>(*this); }

}   // namespace tarnwick
