// FinishParameter: a library-part parameter of type code 9: a surface material index.
#pragma once

#include <memory>

#include "LibraryParts/IntegerParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class FinishParameter : public IntegerParameter {
public:
    using IntegerParameter::IntegerParameter;
    FinishParameter(const FinishParameter& other) = default;
    ~FinishParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::finish; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
