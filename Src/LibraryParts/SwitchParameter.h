// SwitchParameter: a library-part parameter of type code 5: a light switch (on or off).
#pragma once

#include <memory>

#include "LibraryParts/BooleanParameter.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class SwitchParameter : public BooleanParameter {
public:
    using BooleanParameter::BooleanParameter;
    SwitchParameter(const SwitchParameter& other) = default;
    ~SwitchParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::lightSwitch; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
