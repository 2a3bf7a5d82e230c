#include "LibraryParts/ParameterLink.h"

namespace tarnwick {

ParameterLink::~ParameterLink() = default;

std::unique_ptr<ParameterLink> ParameterLink::clone() const { return std::make_unique<ParameterLink>(*this); }

}   // namespace tarnwick
