// StringParameter: a library-part parameter of type code 12: a text.
#pragma once

#include <memory>

#include "LibraryParts/ParameterForm.h"

namespace tarnwick {

// Owned by its ParameterList or by the caller; copied through clone().
class StringParameter : public ParameterForm<String> {
public:
    using ParameterForm<String>::ParameterForm;
    StringParameter(const StringParameter& other) = default;
    ~StringParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::string; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::string; }
};

}   // namespace tarnwick
