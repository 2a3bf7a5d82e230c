#include "LibraryParts/IntensityParameter.h"

namespace tarnwick {

IntensityParameter::~IntensityParameter() = default;

std::unique_ptr<Parameter> IntensityParameter::clone() const {
    return std::make_unique<IntensityParameter>(*this);
}

}   // namespace tarnwick
