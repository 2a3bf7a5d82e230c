// ColourParameter: a library-part parameter of type code 6: a colour index.
#pragma once

#include <memory>

#include "LibraryParts/IntegerParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class ColourParameter : public IntegerParameter {
public:
    using IntegerParameter::IntegerParameter;
    ColourParameter(const ColourParameter& other) = default;
    ~ColourParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::colour; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
