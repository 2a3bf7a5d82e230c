// IntensityParameter: a library-part parameter of type code 7: a light intensity.
#pragma once

#include <memory>

#include "LibraryParts/RealParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class IntensityParameter : public RealParameter {
public:
    using RealParameter::RealParameter;
    IntensityParameter(const IntensityParameter& other) = default;
    ~IntensityParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::intensity; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::real; }
};

}   // namespace tarnwick
