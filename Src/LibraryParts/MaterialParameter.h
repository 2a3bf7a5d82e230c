// MaterialParameter: a library-part parameter of type code 16: a building material index.
#pragma once

#include <memory>

#include "LibraryParts/IntegerParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class MaterialParameter : public IntegerParameter {
public:
    using IntegerParameter::IntegerParameter;
    MaterialParameter(const MaterialParameter& other) = default;
    ~MaterialParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::material; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
