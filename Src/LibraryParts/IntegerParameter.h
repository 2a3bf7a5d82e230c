// IntegerParameter: a library-part parameter of type code 1: a whole number kept in 16 bits.
#pragma once

#include <cstdint>
#include <memory>

#include "LibraryParts/ParameterForm.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class IntegerParameter : public ParameterForm<std::int16_t> {
public:
    using ParameterForm<std::int16_t>::ParameterForm;
    IntegerParameter(const IntegerParameter& other) = default;
    ~IntegerParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::integer; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
