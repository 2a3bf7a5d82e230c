#include "LibraryParts/RealParameter.h"

namespace tarnwick {

RealParameter::~RealParameter() = default;

std::unique_ptr<Parameter> RealParameter::clone() const { return std::make_unique<RealParameter>(*this); }

}   // namespace tarnwick
