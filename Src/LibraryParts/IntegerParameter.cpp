#include "LibraryParts/IntegerParameter.h"

namespace tarnwick {

IntegerParameter::~IntegerParameter() = default;

std::unique_ptr<Parameter> IntegerParameter::clone() const {
    return std::make_unique<IntegerParameter>(*this);
}

}   // namespace tarnwick
