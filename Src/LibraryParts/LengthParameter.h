// LengthParameter: a library-part parameter of type code 2: a length in metres; its value object is a
// LengthSetting.
#pragma once

#include <memory>

#include "LibraryParts/RealParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class LengthParameter : public RealParameter {
public:
    using RealParameter::RealParameter;
    LengthParameter(const LengthParameter& other) = default;
    ~LengthParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::length; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::real; }

protected:
    std::unique_ptr<Setting> makeValueObject() const override;
};

}   // namespace tarnwick
