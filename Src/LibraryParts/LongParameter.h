// LongParameter: a library-part parameter of type code 1: a 32-bit whole number, for add-on command
// parameters only (type code 1 like IntegerParameter).
#pragma once

#include <cstdint>
#include <memory>

#include "LibraryParts/ParameterForm.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class LongParameter : public ParameterForm<std::int32_t> {
public:
    using ParameterForm<std::int32_t>::ParameterForm;
    LongParameter(const LongParameter& other) = default;
    ~LongParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::integer; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }
};

}   // namespace tarnwick
