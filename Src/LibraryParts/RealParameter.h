// RealParameter: a library-part parameter of type code 4: a real number.
#pragma once

#include <memory>

#include "LibraryParts/ParameterForm.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class RealParameter : public ParameterForm<double> {
public:
    using ParameterForm<double>::ParameterForm;
    RealParameter(const RealParameter& other) = default;
    ~RealParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::real; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::real; }
};

}   // namespace tarnwick
