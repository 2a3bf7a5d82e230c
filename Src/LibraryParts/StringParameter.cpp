#include "LibraryParts/StringParameter.h"

namespace tarnwick {

StringParameter::~StringParameter() = default;

std::unique_ptr<Parameter> StringParameter::clone() const { return std::make_unique<StringParameter>(*this); }

}   // namespace tarnwick
