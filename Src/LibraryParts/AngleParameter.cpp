#include "LibraryParts/AngleParameter.h"

namespace tarnwick {

AngleParameter::~AngleParameter() = default;

std::unique_ptr<Parameter> AngleParameter::clone() const { return std::make_unique<AngleParameter>(*this); }

}   // namespace tarnwick
