#include "LibraryParts/IntegerParameter.h"

namespace tarnwick {

IntegerParameter::IntegerParameter(const String& name, const String& description, std::int16_t value,
                                   std::uint16_t flags, std::uint64_t rows, std::uint64_t columns, bool array)
    : ParameterForm<std::int16_t>(name, description, flags, columns,
                                  /*index=*/0, array || rows > 1 || columns > 1) {
    if (rows > 1) setRowCount(rows);
    for (std::uint64_t row = 0; row < getRowCount(); ++row)
        for (std::uint64_t column = 0; column < getColumnCount(); ++column) set(value, row, column);
}

IntegerParameter::~IntegerParameter() = default;

std::unique_ptr<Parameter> IntegerParameter::clone() const {
    return std::make_unique<IntegerParameter>(*this);
}

}   // namespace tarnwick
