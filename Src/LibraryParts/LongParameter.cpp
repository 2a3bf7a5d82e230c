#include "LibraryParts/LongParameter.h"

namespace tarnwick {

LongParameter::~LongParameter() = default;

std::unique_ptr<Parameter> LongParameter::clone() const { return std::make_unique<LongParameter>(*this); }

}   // namespace tarnwick
