// PenParameter: a library-part parameter of type code 11: a pen index.
#pragma once

#include <memory>

#include "LibraryParts/IntegerParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class PenParameter : public IntegerParameter {
public:
    using IntegerParameter::IntegerParameter;
    PenParameter(const PenParameter& other) = default;
    ~PenParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::pen; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
