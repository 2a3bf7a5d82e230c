// SeparatorParameter: a library-part parameter of type code 14: a separator line in the parameter list; no
// values.
#pragma once

#include <memory>

#include "LibraryParts/Parameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class SeparatorParameter : public Parameter {
public:
    using Parameter::Parameter;
    SeparatorParameter(const SeparatorParameter& other) = default;
    ~SeparatorParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::separator; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
