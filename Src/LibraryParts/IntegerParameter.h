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

protected:
    // The attribute kinds' constructor: rows x columns copies of the value (one row at least). The column
    // count is stored when above 1; else an array of one column when rows or columns exceed 1 or the
    // array flag is set; else a scalar.
    IntegerParameter(const String& name, const String& description, std::int16_t value, std::uint16_t flags,
                     std::uint64_t rows, std::uint64_t columns, bool array);
};

}   // namespace tarnwick
