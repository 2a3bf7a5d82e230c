// TitleParameter: a library-part parameter of type code 15: a title in the parameter list; no values.
#pragma once

#include <memory>

#include "LibraryParts/Parameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class TitleParameter : public Parameter {
public:
    using Parameter::Parameter;
    TitleParameter(const TitleParameter& other) = default;
    ~TitleParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::title; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
    void reset() override;   // a title has no values: its name and description become empty
};

}   // namespace tarnwick
