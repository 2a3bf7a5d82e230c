// FillParameter: a library-part parameter of type code 10: a fill index.
#pragma once

#include <memory>

#include "LibraryParts/IntegerParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class FillParameter : public IntegerParameter {
public:
    using IntegerParameter::IntegerParameter;
    FillParameter(const FillParameter& other) = default;
    ~FillParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::fill; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
