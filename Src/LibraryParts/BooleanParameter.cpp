#include "LibraryParts/BooleanParameter.h"

namespace tarnwick {

BooleanParameter::~BooleanParameter() = default;

std::unique_ptr<Parameter> BooleanParameter::clone() const {
    return std::make_unique<BooleanParameter>(*this);
}

}   // namespace tarnwick
