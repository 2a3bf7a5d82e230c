// LineStyleParameter: a library-part parameter of type code 8: a line type index.
#pragma once

#include <memory>

#include "LibraryParts/IntegerParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class LineStyleParameter : public IntegerParameter {
public:
    using IntegerParameter::IntegerParameter;
    LineStyleParameter(const LineStyleParameter& other) = default;
    ~LineStyleParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::lineStyle; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
