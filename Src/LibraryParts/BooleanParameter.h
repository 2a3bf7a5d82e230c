// BooleanParameter: a library-part parameter of type code 13: a yes or no value.
#pragma once

#include <memory>

#include "LibraryParts/ParameterForm.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class BooleanParameter : public ParameterForm<bool> {
public:
    using ParameterForm<bool>::ParameterForm;
    BooleanParameter(const BooleanParameter& other) = default;
    ~BooleanParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::boolean; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
