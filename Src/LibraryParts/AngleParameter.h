// AngleParameter: a library-part parameter of type code 3: an angle.
#pragma once

#include <memory>

#include "LibraryParts/RealParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class AngleParameter : public RealParameter {
public:
    using RealParameter::RealParameter;
    AngleParameter(const AngleParameter& other) = default;
    ~AngleParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::angle; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::real; }
};

}   // namespace tarnwick
